#pragma once

#include "entity/ZSerialComponent.h"
#include "renderer/ZParameterSource.h"

class ZSpriteSheet;

// The "Sprite" component: a textured quad in the game's world sprite group,
// cut from a sheet ("Name" and "Sheet"). It owns the quad and answers its
// shader parameters: the transform from the entity's position and camera,
// the current animation frame and the anaglyph depth.
class ZSpriteComponent : public ZSerialComponent, public ZParameterSource {
    Z_RTTI(ZSpriteComponent, ZSerialComponent)

public:
    ZSpriteComponent() = default;
    // The quad leaves its render group and the entity's drawables with it.
    ~ZSpriteComponent() override;

    ZHashedString GetSerialName() const override {
        static const ZHashedString kind("Sprite");
        return kind;
    }
    // Builds the quad when both "Name" and "Sheet" are given (replacing an
    // earlier one).
    void ReadDefinition(const ZDefNode& element) override;

    // Takes the sheet (replacing and deleting the one it had) and puts it in
    // the world sprite group and the entity's drawables.
    void SetSheet(ZSpriteSheet* newSheet);

    bool SetParameters(ZEffectParameter* binding, ZHashedString passName, ZParameterSource* source) override;

    ZSpriteSheet* sheet = nullptr;

private:
    void DropSheet();
};
