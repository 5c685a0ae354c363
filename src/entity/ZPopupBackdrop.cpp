#include "entity/ZPopupBackdrop.h"

#include "entity/ZRenderableComponent.h"
#include "renderer/ZQuadRenderable.h"

ZPopupBackdrop::ZPopupBackdrop(ZRenderable* drawable) {
    auto* component = new ZRenderableComponent();
    AddComponent(component);
    if (drawable == nullptr) {
        drawable = new ZQuadRenderable();
    }
    drawable->visible = false;
    component->AddRenderable(ZHashedString::None(), drawable);
}

ZPopupBackdrop::~ZPopupBackdrop() {
    if (auto* component = GetComponent<ZRenderableComponent>(this)) {
        component->DestroyRenderables();
    }
}

ZRenderable* ZPopupBackdrop::GetDrawable() const {
    auto* component = GetComponent<ZRenderableComponent>(const_cast<ZPopupBackdrop*>(this));
    return component != nullptr ? component->GetRenderable(ZHashedString::None()) : nullptr;
}
