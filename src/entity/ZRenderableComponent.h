#pragma once

#include "entity/ZSerialComponent.h"
#include "foundation/ZHashedString.h"
#include "foundation/ZMap.h"

class ZRenderable;

// The component that puts an entity on screen: the entity's drawables under
// names. The map does not own them; whoever tears the component down says
// whether they are deleted. The base game switches the components of drawn
// entities on and off together.
class ZRenderableComponent : public ZSerialComponent {
    Z_RTTI(ZRenderableComponent, ZSerialComponent)

public:
    ZRenderableComponent() = default;

    ZHashedString GetSerialName() const override {
        static const ZHashedString kind("Renderable");
        return kind;
    }

    // Records the drawable under the name (replacing what was there).
    void AddRenderable(ZHashedString name, ZRenderable* renderable) { renderables.Insert(name, renderable); }
    // The drawable recorded under the name, or null.
    ZRenderable* GetRenderable(ZHashedString name) const;
    // Takes every drawable out of every render group, deletes it and empties
    // the map (entities that own their drawables, before their teardown).
    void DestroyRenderables();
    // Takes every drawable out of every render group without deleting it and
    // empties the map (the drawables belong to whoever added them).
    void ReleaseRenderables();
    // Shows or hides every drawable.
    void SetRenderablesVisible(bool visible);
    // Drops the textures every drawable's shader holds (after new ones load).
    void ClearShaderTextures();

    ZMap<ZHashedString, ZRenderable*> renderables;
};
