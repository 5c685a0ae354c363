#include "renderer/ZDepthBackdrop.h"

#include "entity/ZComponentLookup.h"
#include "entity/ZRenderableComponent.h"
#include "framework/ZBaseGame.h"
#include "renderer/ZRenderGroup.h"
#include "renderer/ZRenderable.h"
#include "renderer/ZRenderer.h"
#include "renderer/ZShader.h"

ZDepthBackdrop::ZDepthBackdrop() {
    auto* component = new ZRenderableComponent();
    AddComponent(component);
    ZBaseGame* game = ZBaseGame::PeekInstance();
    if (game == nullptr) {
        return;
    }
    ZRenderable* quad = game->CreateBackdropQuad();
    if (quad == nullptr) {
        return;
    }
    if (quad->shader == nullptr) {
        quad->shader = game->CreateDepthBackdropShader();
    }
    m_shader = quad->shader;
    if (ZRenderGroup* group = GetRenderer()->FindRenderGroup(game->GetDefaultBackdropGroupName())) {
        group->Add(quad);
    }
    component->AddRenderable(ZHashedString::None(), quad);
}

ZDepthBackdrop::~ZDepthBackdrop() {
    if (auto* component = GetComponent<ZRenderableComponent>(this)) {
        component->DestroyRenderables();
    }
    delete m_shader;
}
