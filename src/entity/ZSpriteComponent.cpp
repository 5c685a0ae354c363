#include "entity/ZSpriteComponent.h"

#include "entity/AnaglyphComponent.h"
#include "entity/ZAnimComponent.h"
#include "entity/ZCameraComponent.h"
#include "entity/ZComponentLookup.h"
#include "entity/ZEntity.h"
#include "entity/ZEntityGameHooks.h"
#include "entity/ZRenderableComponent.h"
#include "entity/ZSpatialComponent.h"
#include "entity/ZSpriteSheet.h"
#include "renderer/ZCamera.h"
#include "renderer/ZEffectParameter.h"
#include "renderer/ZRenderGroup.h"
#include "renderer/ZRenderer.h"
#include "renderer/ZTransform.h"

ZSpriteComponent::~ZSpriteComponent() { DropSheet(); }

void ZSpriteComponent::DropSheet() {
    if (sheet == nullptr) {
        return;
    }
    if (ZRenderableComponent* renderables = GetComponent<ZRenderableComponent>(GetOwner())) {
        auto* const node = renderables->renderables.Find(ZHashedString());
        if (node != nullptr && node->value == sheet) {
            renderables->renderables.Remove(ZHashedString());
        }
    }
    // Out of every group before it goes (its own destructor would do it
    // too, but a group must never hold a dangling drawable, even briefly).
    GetRenderer()->RemoveFromAllRenderGroups(sheet);
    delete sheet;
    sheet = nullptr;
}

void ZSpriteComponent::ReadDefinition(const ZDefNode& element) {
    ZDefinedComponent::ReadDefinition(element);
    static const ZHashedString kName("Name");
    static const ZHashedString kSheet("Sheet");
    const ZString& name = element.GetAttribute(kName);
    const ZString& file = element.GetAttribute(kSheet);
    if (name.IsEmpty() || file.IsEmpty()) {
        return;
    }
    SetSheet(new ZSpriteSheet(ZHashedString(name.GetText()), file.GetText()));
}

void ZSpriteComponent::SetSheet(ZSpriteSheet* const newSheet) {
    DropSheet();
    sheet = newSheet;
    if (sheet == nullptr) {
        return;
    }
    ZTransform::SetParent(sheet, static_cast<ZParameterSource*>(this));
    sheet->shader = GetSpriteShader();
    if (ZRenderGroup* group = GetRenderer()->FindRenderGroup(GetWorldSpriteGroup())) {
        group->Add(sheet);
    }
    if (ZRenderableComponent* renderables = GetComponent<ZRenderableComponent>(GetOwner())) {
        renderables->AddRenderable(ZHashedString(), sheet);
    }
}

bool ZSpriteComponent::SetParameters(ZEffectParameter* const binding, const ZHashedString passName,
                                     ZParameterSource* const source) {
    static const ZHashedString kDistance("AnaglyphDistance");
    static const ZHashedString kWvp("wvpMat");
    static const ZHashedString kUv("uvMat");
    if (binding == nullptr) {
        return false;
    }
    ZEntity* const entity = GetOwner();
    const ZHashedString name = binding->name;
    if (name == kDistance) {
        const AnaglyphComponent* const anaglyph = GetComponent<AnaglyphComponent>(entity);
        binding->SetFloat(anaglyph != nullptr ? AnaglyphComponent::DistanceAt(anaglyph->depth) : 0.0f);
        return true;
    }
    if (name == kWvp) {
        const ZSpatialComponent* const spatial = GetComponent<ZSpatialComponent>(entity);
        const ZCameraComponent* const camera = GetComponent<ZCameraComponent>(entity);
        const auto gameView = GetEntityGameHooks().getSpriteViewProjection;
        ZMatrix4 wvp;
        if (spatial != nullptr && (camera != nullptr || gameView != nullptr)) {
            const ZVector3 reference =
                camera != nullptr && camera->camera != nullptr ? camera->camera->position : ZVector3();
            // The unit quad is centred before it is scaled and placed: the
            // entity's position is the middle of its sprite, as it is of its
            // collision shape.
            wvp = ZMatrix4::Translation(ZVector3(-0.5f, -0.5f, 0.0f)) * spatial->GetSnappedWorldMatrix(reference) *
                  (gameView != nullptr ? gameView() : camera->GetShakenViewProjection());
        }
        binding->SetMatrix(wvp);
        return true;
    }
    if (name == kUv) {
        const ZAnimComponent* const anim = GetComponent<ZAnimComponent>(entity);
        binding->SetMatrix(anim != nullptr ? anim->GetUVMatrix() : ZMatrix4());
        return true;
    }
    if (AnaglyphComponent::SetSceneParameter(binding, 0.0f)) {
        return true;
    }
    return ZParameterSource::SetParameters(binding, passName, source);
}
