#pragma once

#include <cstdint>

#include "renderer/ZResolutionListener.h"
#include "renderer/ZIndexBuffer.h"
#include "renderer/ZRenderable.h"
#include "renderer/ZVertexBuffer.h"

// The CRT glass until a tube mesh takes its place: a 4:3 quad in the middle
// of the screen (bars beside it on a wider screen, above and below on a
// narrower one), texture coordinates 0..1 over the glass, top-left first.
// Rebuilt when the render size changes.
class TubeQuad : public ZRenderable, public ZResolutionListener {
public:
    static constexpr float kTubeAspect = 4.0f / 3.0f;

    TubeQuad();
    // Leaves the listeners and every render group.
    ~TubeQuad() override;
    TubeQuad(const TubeQuad&) = delete;
    TubeQuad& operator=(const TubeQuad&) = delete;

    void Rebuild(int32_t width, int32_t height);
    void OnResolutionChanged(int32_t width, int32_t height) override { Rebuild(width, height); }

    // The half-extents in clip units of the tube on a screen of that size
    // (1 and 1 for a screen without area).
    static void Extents(int32_t width, int32_t height, float& halfWidth, float& halfHeight);

private:
    ZVertexBuffer m_vertices;
    ZIndexBuffer m_indices;
};
