#include "entity/ZPlainEntity.h"

#include <cstdio>

#include "entity/ZCameraComponent.h"
#include "entity/ZComponentLookup.h"
#include "entity/ZRenderableComponent.h"
#include "entity/ZSpatialComponent.h"
#include "framework/ZBaseGame.h"
#include "renderer/ZCamera.h"
#include "renderer/ZEffectParameter.h"
#include "renderer/ZRenderGroup.h"
#include "renderer/ZRenderable.h"
#include "renderer/ZRenderer.h"
#include "renderer/ZTransform.h"

namespace {

// Shared by every plain entity for the run.
uint32_t gPlainRenderableCount = 0;

ZMatrix4 WorldMatrix(const ZSpatialComponent* spatial) {
    if (spatial == nullptr) {
        return ZMatrix4();
    }
    const ZSpatialState& s = spatial->interpolated;
    return ZMatrix4::MakeScale(s.scale) * ZQuaternion::ToMatrix(s.rotation, true) * ZMatrix4::Translation(s.position);
}

}  // namespace

ZPlainEntity::ZPlainEntity() {
    ::AddComponent<ZRenderableComponent>(this);
    ZCameraComponent* const camera = ::AddComponent<ZCameraComponent>(this);
    ::AddComponent<ZSpatialComponent>(this);
    const ZBaseGame* const game = ZBaseGame::PeekInstance();
    camera->camera = game != nullptr ? game->GetCamera() : nullptr;
}

ZPlainEntity::~ZPlainEntity() {
    if (ZRenderableComponent* renderables = GetComponent<ZRenderableComponent>(this)) {
        // The drawables live on: they must not keep asking a gone entity for
        // their parameters.
        for (auto& node : renderables->renderables) {
            if (node.value != nullptr && node.value->GetAttachedSource() == static_cast<ZParameterSource*>(this)) {
                ZTransform::SetParent(node.value, nullptr);
            }
        }
        renderables->ReleaseRenderables();
    }
}

void ZPlainEntity::AddRenderable(ZRenderable* const renderable, const ZHashedString groupName, ZShader* const shader) {
    if (renderable == nullptr) {
        return;
    }
    renderGroup = groupName;
    // Refused (the drawable stays unlinked) when the chain would loop or grow too long.
    ZTransform::SetParent(renderable, static_cast<ZParameterSource*>(this));
    if (shader != nullptr) {
        renderable->shader = shader;
    }
    if (ZRenderGroup* group = GetRenderer()->FindRenderGroup(groupName)) {
        group->Add(renderable);
    }
    char name[32];
    const int written = std::snprintf(name, sizeof(name), "__PLAIN_%u", gPlainRenderableCount);
    const ZHashedString key = written > 0 ? ZHashedString(name) : ZHashedString();
    ++gPlainRenderableCount;
    if (ZRenderableComponent* renderables = GetComponent<ZRenderableComponent>(this)) {
        renderables->AddRenderable(key, renderable);
    }
}

void ZPlainEntity::PostUpdate(const float timeStep, const uint8_t mask) {
    ZSpatialComponent* const spatial = GetComponent<ZSpatialComponent>(this);
    if (spatial == nullptr) {
        return;
    }
    if ((mask & 2) != 0) {
        spatial->Integrate(timeStep);
    }
    if ((mask & 4) != 0) {
        const ZBaseGame* const game = ZBaseGame::PeekInstance();
        spatial->Interpolate(game != nullptr ? game->GetLeftoverFraction() : 1.0f);
    }
}

bool ZPlainEntity::SetParameters(ZEffectParameter* const binding, const ZHashedString passName,
                                 ZParameterSource* const source) {
    static const ZHashedString kWvp("wvpMat");
    static const ZHashedString kWorld("worldMat");
    if (binding != nullptr && binding->name == kWvp) {
        const ZBaseGame* const game = ZBaseGame::PeekInstance();
        ZCamera* const camera = game != nullptr ? game->GetCamera() : nullptr;
        const ZMatrix4 viewProjection = camera != nullptr ? camera->GetViewProjection() : ZMatrix4();
        binding->SetMatrix(WorldMatrix(GetComponent<ZSpatialComponent>(this)) * viewProjection);
        return true;
    }
    if (binding != nullptr && binding->name == kWorld) {
        binding->SetMatrix(WorldMatrix(GetComponent<ZSpatialComponent>(this)));
        return true;
    }
    ZParameterSource* const attached = GetAttachedSource();
    return attached != nullptr && attached->SetParameters(binding, passName, source);
}
