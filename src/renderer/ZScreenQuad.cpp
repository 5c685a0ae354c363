#include "renderer/ZScreenQuad.h"

#include "renderer/ZRenderHost.h"
#include "renderer/ZRenderer.h"

ZScreenQuad::ZScreenQuad() {
    Start();
}

ZScreenQuad::ZScreenQuad(const float sx, const float sy, const bool fixed) : scaleX(sx), scaleY(sy), fixedSize(fixed) {
    Start();
}

void ZScreenQuad::Start() {
    int32_t width = 0;
    int32_t height = 0;
    StartListening(width, height);
    Rebuild(width, height);
}

ZScreenQuad::~ZScreenQuad() {
    StopListening();
    if (ZRenderer* renderer = PeekRenderer()) {
        renderer->RemoveFromAllRenderGroups(this);
    }
}

void ZScreenQuad::Rebuild(int32_t width, int32_t height) {
    vertexBuffer = nullptr;
    indexBuffer = nullptr;
    m_vertices.Release();
    m_indices.Release();
    if (fixedSize) {
        if (const ZRenderHost* host = ZRenderHost::Get()) {
            width = host->GetScreenWidth();
            height = host->GetScreenHeight();
        }
    }
    m_builtWidth = static_cast<int32_t>(scaleX * static_cast<float>(width));
    m_builtHeight = static_cast<int32_t>(scaleY * static_cast<float>(height));
    if (BuildScreenQuadGeometry(m_builtWidth, m_builtHeight, m_vertices, m_indices)) {
        vertexBuffer = &m_vertices;
        indexBuffer = &m_indices;
    }
}
