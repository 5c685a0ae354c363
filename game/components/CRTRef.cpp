#include "game/components/CRTRef.h"

#include "entity/ZComponentLookup.h"
#include "entity/ZRenderableComponent.h"
#include "game/components/CRTReferenceShader.h"
#include "renderer/ZRenderGroup.h"
#include "renderer/ZRenderer.h"

CRTReferenceQuad::CRTReferenceQuad() {
    constexpr float u = kHalfTexelU;
    constexpr float v = kHalfTexelV;
    const float positions[4][3] = {{-1.0f, -1.0f, 0.0f}, {1.0f, -1.0f, 0.0f}, {1.0f, 1.0f, 0.0f}, {-1.0f, 1.0f, 0.0f}};
    const float uv[4][2] = {{u, 1.0f + v}, {1.0f + u, 1.0f + v}, {1.0f + u, v}, {u, v}};
    static constexpr uint16_t kIndices[6] = {0, 1, 2, 0, 2, 3};
    if (BuildQuadGeometry(positions, uv, kIndices, m_vertices, m_indices)) {
        vertexBuffer = &m_vertices;
        indexBuffer = &m_indices;
    }
}

CRTReferenceQuad::~CRTReferenceQuad() {
    if (ZRenderer* const renderer = PeekRenderer()) {
        renderer->RemoveFromAllRenderGroups(this);
    }
}

CRTRef::CRTRef() : m_shader(std::make_unique<CRTReferenceShader>()), m_quad(std::make_unique<CRTReferenceQuad>()) {
    ZRenderableComponent* const renderables = ::AddComponent<ZRenderableComponent>(this);
    m_quad->shader = m_shader.get();
    if (ZRenderer* const renderer = PeekRenderer()) {
        if (ZRenderGroup* const group = renderer->FindRenderGroup(ZHashedString("Debug Background Group"))) {
            if (!group->Contains(m_quad.get())) {
                group->Add(m_quad.get());
            }
        }
    }
    // Under the empty name, where the console's "crtref" looks for it.
    renderables->AddRenderable(ZHashedString(""), m_quad.get());
}

CRTRef::~CRTRef() {
    // The components go first: the renderable component only names the
    // quad, which this entity owns.
    if (ZRenderableComponent* const renderables = GetComponent<ZRenderableComponent>(this)) {
        renderables->ReleaseRenderables();
    }
    DeleteComponents();
    m_quad.reset();
    m_shader.reset();
}
