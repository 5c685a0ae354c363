#pragma once

#include <cstdint>

#include "entity/ZControllerComponent.h"
#include "foundation/ZHashedString.h"

// The player's controls as the game's actors read them: the control manager's
// queries, all answering "nothing" while the game suspends player input.
// Thresholds are 0.5.
class ZPlayerControllerComponent : public ZControllerComponent {
    Z_RTTI(ZPlayerControllerComponent, ZControllerComponent)

public:
    ZPlayerControllerComponent() = default;
    ~ZPlayerControllerComponent() override = default;

    virtual float GetActionValue(ZHashedString group, ZHashedString control) const;
    virtual bool WasActionPressed(ZHashedString group, ZHashedString control) const;
    virtual bool WasActionReleased(ZHashedString group, ZHashedString control) const;
    virtual bool IsActionDown(ZHashedString group, ZHashedString control) const;
    virtual bool WasActionUp(ZHashedString group, ZHashedString control) const;
    virtual bool WasActionPressedRepeating(ZHashedString group, ZHashedString control) const;

    // Hands the object's handle and the value to the game's controller hook.
    void Notify(const ZRTTIBase* object, float value) const;

private:
    static bool Suspended();
};
