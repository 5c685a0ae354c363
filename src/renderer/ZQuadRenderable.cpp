#include "renderer/ZQuadRenderable.h"

#include "renderer/ZRenderer.h"

namespace {

constexpr float kClipCorners[4][3] = {{-1, 1, 0}, {1, 1, 0}, {-1, -1, 0}, {1, -1, 0}};

}  // namespace

ZQuadRenderable::ZQuadRenderable() : ZQuadRenderable(kClipCorners) {}

ZQuadRenderable::ZQuadRenderable(const float (&corners)[4][3]) {
    static constexpr float kTexCoords[4][2] = {{0, 0}, {1, 0}, {0, 1}, {1, 1}};
    static constexpr uint16_t kIndices[6] = {0, 2, 1, 1, 2, 3};
    // Without a device there is nothing to draw with; the owner keeps working.
    if (BuildQuadGeometry(corners, kTexCoords, kIndices, m_vertices, m_indices)) {
        vertexBuffer = &m_vertices;
        indexBuffer = &m_indices;
    } else {
        m_vertices.Release();
        m_indices.Release();
    }
}

ZQuadRenderable::~ZQuadRenderable() {
    if (ZRenderer* renderer = PeekRenderer()) {
        renderer->RemoveFromAllRenderGroups(this);
    }
}
