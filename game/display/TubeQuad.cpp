#include "game/display/TubeQuad.h"

#include "renderer/ZRenderer.h"

TubeQuad::TubeQuad() {
    int32_t width = 0;
    int32_t height = 0;
    StartListening(width, height);
    Rebuild(width, height);
}

TubeQuad::~TubeQuad() {
    StopListening();
    if (ZRenderer* renderer = PeekRenderer()) renderer->RemoveFromAllRenderGroups(this);
}

void TubeQuad::Extents(const int32_t width, const int32_t height, float& halfWidth, float& halfHeight) {
    halfWidth = 1.0f;
    halfHeight = 1.0f;
    if (width < 1 || height < 1) return;
    const float screen = static_cast<float>(width) / static_cast<float>(height);
    if (screen > kTubeAspect) {
        halfWidth = kTubeAspect / screen;
    } else {
        halfHeight = screen / kTubeAspect;
    }
}

void TubeQuad::Rebuild(const int32_t width, const int32_t height) {
    vertexBuffer = nullptr;
    indexBuffer = nullptr;
    m_vertices.Release();
    m_indices.Release();
    float hw = 1.0f, hh = 1.0f;
    Extents(width, height, hw, hh);
    const float positions[4][3] = {{-hw, -hh, 0.0f}, {hw, -hh, 0.0f}, {hw, hh, 0.0f}, {-hw, hh, 0.0f}};
    const float uv[4][2] = {{0.0f, 1.0f}, {1.0f, 1.0f}, {1.0f, 0.0f}, {0.0f, 0.0f}};
    static constexpr uint16_t kIndices[6] = {0, 1, 2, 0, 2, 3};
    if (BuildQuadGeometry(positions, uv, kIndices, m_vertices, m_indices)) {
        vertexBuffer = &m_vertices;
        indexBuffer = &m_indices;
    }
}
