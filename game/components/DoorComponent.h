#pragma once

#include <cstdint>

#include "entity/ZSerialComponent.h"
#include "input/ZInputPrompt.h"

class ZEntity;

// Doors, entered with "Enter" of the "Gameplay" controls. The same class
// sits on both sides: on the player it finds the door the player stands at,
// draws the prompt above it and enters it; on a door entity it holds the
// door's "OnFrobbed" event, which runs with the door as context and the one
// entering as other (a "teleport" run there finds its destinations in the
// door entity's TeleportComponent).
class DoorComponent : public ZSerialComponent {
    Z_RTTI(DoorComponent, ZSerialComponent)

public:
    // Asked on the entering side: may the owner enter that door (handle)?
    using MayEnterHook = bool (*)(ZEntity* owner, uint32_t door);
    // Asked on the door's side: may the one entering (handle) come in?
    using MayBeEnteredHook = bool (*)(ZEntity* owner, uint32_t entering);
    // Told on the door's side when it is entered.
    using OnEnterHook = void (*)(ZEntity* owner, uint32_t entering);

    DoorComponent();

    ZHashedString GetSerialName() const override {
        static const ZHashedString kind("Door");
        return kind;
    }

    virtual void SetMayEnterHook(MayEnterHook hook) { mayEnter = hook; }
    virtual MayEnterHook GetMayEnterHook() const { return mayEnter; }
    virtual void SetMayBeEnteredHook(MayBeEnteredHook hook) { mayBeEntered = hook; }
    virtual MayBeEnteredHook GetMayBeEnteredHook() const { return mayBeEntered; }
    virtual void SetOnEnterHook(OnEnterHook hook) { onEnter = hook; }
    virtual OnEnterHook GetOnEnterHook() const { return onEnter; }

    // The door the owner's sweep shape touches where the owner stands (its
    // handle), when both sides' hooks agree; 0 for none.
    uint32_t FindDoorTarget() const;
    void UpdateTarget() { target = FindDoorTarget(); }
    uint32_t GetTarget() const { return target; }
    // Enters the current target; true when there was one (and it is still
    // there after its event). A target without a door component is skipped
    // (no event) and still answers true.
    bool Enter();
    // The door's side of an entry: the on-enter hook, then "OnFrobbed" with
    // the door as context and the one entering as other.
    void OnEntered(uint32_t entering);
    // Draws the "Enter" prompt centred 24 pixels above the target, on the
    // 256 x 224 game screen around the owner's camera.
    void DrawPrompt();
    // Where DrawPrompt centres the text; false when nothing is drawn (no
    // target, no camera, a target without a place).
    bool GetPromptPosition(float& x, float& y) const;

    ZHashedString sweepShape;  // the owner's collision primitive that finds doors
    uint32_t doorMask = 0xFFFFF7EDu;
    uint32_t target = 0;
    ZInputPrompt prompt;
    MayEnterHook mayEnter = nullptr;
    MayBeEnteredHook mayBeEntered = nullptr;
    OnEnterHook onEnter = nullptr;
};
