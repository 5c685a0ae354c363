#pragma once

#include <cstdint>

#include "renderer/ZResolutionListener.h"
#include "renderer/ZIndexBuffer.h"
#include "renderer/ZRenderable.h"
#include "renderer/ZVertexBuffer.h"

// A quad that covers a screen-sized target, built for truncate(scaleX x width)
// by truncate(scaleY x height) pixels so that texel (x, y) lands on pixel
// (x, y), and rebuilt when the render size changes. With fixedSize it is
// built for the render host's screen size (the back buffer's, the size the
// renderer is started with) whatever size it is told.
class ZScreenQuad : public ZRenderable, public ZResolutionListener {
public:
    // Scales 1 and 1, following the screen.
    ZScreenQuad();
    ZScreenQuad(float scaleX, float scaleY, bool fixedSize);
    // Leaves the listeners and every render group.
    ~ZScreenQuad() override;

    // Rebuilds the geometry for a screen of width x height.
    void Rebuild(int32_t width, int32_t height);
    void OnResolutionChanged(int32_t width, int32_t height) override { Rebuild(width, height); }

    // The size the current geometry was built for.
    int32_t GetBuiltWidth() const { return m_builtWidth; }
    int32_t GetBuiltHeight() const { return m_builtHeight; }

    const float scaleX = 1.0f;
    const float scaleY = 1.0f;
    const bool fixedSize = false;

private:
    void Start();

    ZVertexBuffer m_vertices;
    ZIndexBuffer m_indices;
    int32_t m_builtWidth = 0;
    int32_t m_builtHeight = 0;
};
