#pragma once

#include <cstdint>

#include "entity/ZSerialComponent.h"

// Makes its entity exist only for a player who holds the mask (powerup
// 0x40001): without it every component of the entity is switched off, so it
// neither draws nor collides. With "Fully" "true", an entity met without the
// mask is also deleted through its (armed) delete component.
class HiddenComponent : public ZSerialComponent {
    Z_RTTI(HiddenComponent, ZSerialComponent)

public:
    static constexpr uint32_t kMaskPowerup = 0x40001u;

    HiddenComponent() = default;

    ZHashedString GetSerialName() const override {
        static const ZHashedString kind("Hidden");
        return kind;
    }
    // The visibility step once the component belongs to its entity.
    void AttachHook() override;
    // Events; "Fully" exactly "true"; then the visibility step.
    void ReadDefinition(const ZDefNode& element) override;
    // Once the entity is built: the visibility step again (components read
    // after this one are covered too), then a fully hidden entity met
    // without the mask asks its armed delete component for deletion.
    void PostLoadHook() override;

    // Every component of the entity on when the player holds the mask, off
    // otherwise (also when there is no player yet); its drawables are shown
    // or hidden and its collision shapes switched with them.
    void ApplyVisibility();

    bool fully = false;
};

// Whether the game's player holds the powerup (false without a game or player).
bool GamePlayerHasPowerup(uint32_t powerupId);
