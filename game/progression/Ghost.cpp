#include "game/progression/Ghost.h"

#include "entity/AnaglyphComponent.h"
#include "entity/ZCameraComponent.h"
#include "entity/ZComponentLookup.h"
#include "entity/ZEntityGameHooks.h"
#include "entity/ZFacingComponent.h"
#include "entity/ZPhysicsComponent.h"
#include "entity/ZRenderableComponent.h"
#include "entity/ZSpatialComponent.h"
#include "framework/ZBaseGame.h"
#include "game/player/PlayerSpriteTexture.h"
#include "game/progression/SpeedrunComponent.h"
#include "game/world/KorvanthGame.h"
#include "game/world/TileLayerMesh.h"
#include "renderer/ZCamera.h"
#include "renderer/ZEffectParameter.h"
#include "renderer/ZRenderGroup.h"
#include "renderer/ZRenderer.h"
#include "renderer/ZTransform.h"

Ghost::Ghost() {
    ZRenderableComponent* const renderable = ::AddComponent<ZRenderableComponent>(this);
    ::AddComponent<ZSpatialComponent>(this);
    ::AddComponent<ZPhysicsComponent>(this);
    ZCameraComponent* const camera = ::AddComponent<ZCameraComponent>(this);
    ::AddComponent<ZFacingComponent>(this)->facing = ZFacingComponent::kTowardsPlusX;
    ::AddComponent<AnaglyphComponent>(this)->depth = 0.0f;

    // The sprite asks this entity for its place and frame.
    auto* const sprite = new GhostSpriteTexture();
    sprite->shader = GetSpriteShader();
    // The player's quad: one for every sprite of the game.
    if (const KorvanthGame* const game = KorvanthGame::Get()) sprite->SetSource(game->GetSpriteQuad());
    ZTransform::SetParent(sprite, static_cast<ZParameterSource*>(this));
    if (ZRenderer* const renderer = PeekRenderer()) {
        if (ZRenderGroup* const group = renderer->FindRenderGroup(GetWorldSpriteGroup())) {
            // Drawn in front of the props, behind the player it races.
            group->AddOnLayer(sprite, 1);
        }
    }
    // The world camera, as the player's: the base game's would turn the view
    // away from the CRT.
    const KorvanthGame* const korvanth = KorvanthGame::Get();
    if (ZCamera* const world = korvanth != nullptr ? korvanth->GetWorldCamera() : nullptr) {
        camera->camera = world;
    } else if (const ZBaseGame* const game = ZBaseGame::PeekInstance()) {
        camera->camera = game->GetCamera();
    }
    renderable->AddRenderable(ZHashedString(), sprite);
    // Nothing raced yet: hidden until a pose says otherwise.
    renderable->SetRenderablesVisible(false);
}

Ghost::~Ghost() {
    if (ZRenderableComponent* const renderable = GetComponent<ZRenderableComponent>(this)) {
        renderable->DestroyRenderables();
    }
}

void Ghost::PostUpdate(float /*timeStep*/, uint8_t /*mask*/) {
    if (m_owner == nullptr) return;
    if (ZSpatialComponent* const spatial = GetComponent<ZSpatialComponent>(this)) {
        m_owner->UpdateGhostPose(*spatial);
    }
}

void Ghost::SelectFrame(const float runningTime, const int32_t facing, float& u, float& v) {
    const float scaled = runningTime * kFramesPerSecond;
    // Truncated towards zero as a whole number; a time before the start or
    // beyond any count shows the first frame.
    const int32_t step = scaled >= 0.0f && scaled < 2.0e9f ? static_cast<int32_t>(scaled) : 0;
    u = kFrameWidth * static_cast<float>(step % kFrameCount);
    v = facing == ZFacingComponent::kTowardsMinusX ? kLeftRow : 0.0f;
}

bool Ghost::SetParameters(ZEffectParameter* const binding, const ZHashedString passName,
                          ZParameterSource* const source) {
    static const ZHashedString kWvp("wvpMat");
    static const ZHashedString kUv("uvMat");
    static const ZHashedString kDistance("AnaglyphDistance");
    if (binding == nullptr) return false;
    const ZHashedString name = binding->name;
    const ZBaseGame* const game = ZBaseGame::PeekInstance();
    if (name == kWvp) {
        const ZSpatialComponent* const spatial = GetComponent<ZSpatialComponent>(this);
        const ZCameraComponent* const camera = GetComponent<ZCameraComponent>(this);
        const auto gameView = GetEntityGameHooks().getSpriteViewProjection;
        ZMatrix4 wvp;
        if (spatial != nullptr && camera != nullptr) {
            const ZVector3 reference = camera->camera != nullptr ? camera->camera->position : ZVector3();
            // The quad is centred, so the ghost covers the place the runner
            // stood, as the player's sprite covers the player's.
            wvp = spatial->GetSnappedWorldMatrix(reference) *
                  (gameView != nullptr ? gameView() : camera->GetShakenViewProjection());
        }
        binding->SetMatrix(wvp);
        return true;
    }
    if (name == kUv) {
        const ZFacingComponent* const facing = GetComponent<ZFacingComponent>(this);
        float u = 0.0f;
        float v = 0.0f;
        SelectFrame(game != nullptr ? game->GetTotalGameTime() : 0.0f, facing != nullptr ? facing->facing : 0, u,
                    v);
        binding->SetMatrix(ZMatrix4::MakeScale(ZVector3(kFrameWidth, kFrameHeight, 1.0f)) *
                           ZMatrix4::Translation(ZVector3(u, v, 0.0f)));
        return true;
    }
    if (name == kDistance) {
        const AnaglyphComponent* const anaglyph = GetComponent<AnaglyphComponent>(this);
        binding->SetFloat(anaglyph != nullptr ? AnaglyphComponent::DistanceAt(anaglyph->depth) : 0.0f);
        return true;
    }
    const KorvanthGame* const korvanth = KorvanthGame::Get();
    if (AnaglyphComponent::SetSceneParameter(binding,
                                             korvanth != nullptr && korvanth->IsSilhouetteOnColor() ? 1.0f : 0.0f)) {
        return true;
    }
    return ZActorEntity::SetParameters(binding, passName, source);
}
