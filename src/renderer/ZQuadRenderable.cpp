#include "renderer/ZQuadRenderable.h"

#include "renderer/ZRenderer.h"

ZQuadRenderable::ZQuadRenderable() {
    static constexpr float kPositions[4][3] = {{-1, 1, 0}, {1, 1, 0}, {-1, -1, 0}, {1, -1, 0}};
    static constexpr float kTexCoords[4][2] = {{0, 0}, {1, 0}, {0, 1}, {1, 1}};
    static constexpr uint16_t kIndices[6] = {0, 2, 1, 1, 2, 3};
    const ZStreamElement elements[2] = {{kPositions, 12, 0, false}, {kTexCoords, 8, 5, false}};
    if (m_vertices.Create(elements, 2, 4) && m_indices.Create(kIndices, 6)) {
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
