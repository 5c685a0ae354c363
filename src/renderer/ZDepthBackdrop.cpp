#include "renderer/ZDepthBackdrop.h"

#include "entity/ZComponentLookup.h"
#include "entity/ZRenderableComponent.h"
#include "renderer/ZRenderHost.h"
#include "renderer/ZRenderGroup.h"
#include "renderer/ZRenderable.h"
#include "renderer/ZRenderer.h"
#include "renderer/ZShader.h"

ZDepthBackdrop::ZDepthBackdrop() {
    auto* component = new ZRenderableComponent();
    AddComponent(component);
    ZRenderHost* host = ZRenderHost::Get();
    if (host == nullptr) {
        return;
    }
    ZRenderable* quad = host->CreateBackdropQuad();
    if (quad == nullptr) {
        return;
    }
    if (quad->shader == nullptr) {
        quad->shader = host->CreateDepthBackdropShader();
    }
    m_shader = quad->shader;
    if (ZRenderGroup* group = GetRenderer()->FindRenderGroup(host->GetDefaultBackdropGroupName())) {
        group->Add(quad);
    }
    component->AddRenderable(ZHashedString::None(), quad);
}

ZRenderable* ZDepthBackdrop::GetQuad() const {
    const auto* component = GetComponent<ZRenderableComponent>(const_cast<ZDepthBackdrop*>(this));
    if (component == nullptr) {
        return nullptr;
    }
    for (const auto& node : component->renderables) {
        if (node.value != nullptr) {
            return node.value;
        }
    }
    return nullptr;
}

ZDepthBackdrop::~ZDepthBackdrop() {
    if (auto* component = GetComponent<ZRenderableComponent>(this)) {
        component->DestroyRenderables();
    }
    delete m_shader;
}
