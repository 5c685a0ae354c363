#pragma once

#include "renderer/ZIndexBuffer.h"
#include "renderer/ZRenderable.h"
#include "renderer/ZVertexBuffer.h"

// A fixed unit quad, corners -1..1, texture coordinates 0..1 with v = 0 at the
// top. Its shader's matrix decides where it lands on screen (backdrops, the
// reference mesh of the screen effects). The buffers are static, so they
// survive device resets.
class ZQuadRenderable : public ZRenderable {
public:
    ZQuadRenderable();
    // Leaves every render group.
    ~ZQuadRenderable() override;

protected:
    // The same quad on other corners (top-left, top-right, bottom-left,
    // bottom-right), for drawables that place it themselves.
    explicit ZQuadRenderable(const float (&corners)[4][3]);

private:
    ZVertexBuffer m_vertices;
    ZIndexBuffer m_indices;
};
