#pragma once

#include <cstdint>

#include "entity/ZSerialComponent.h"
#include "foundation/ZVector3.h"
#include "input/ZInputPrompt.h"

class ZEntity;

// Interaction with what is in reach ("frobbing": talking to a character,
// reading a sign, opening a chest). On the player it finds the frobbable
// entity in front of it each frame and draws the prompt over it; on the
// target it decides whether it may be frobbed and fires "OnFrobbed".
class ZFrobComponent : public ZSerialComponent {
    Z_RTTI(ZFrobComponent, ZSerialComponent)

public:
    // (owner entity, handle of the other entity)
    using Check = bool (*)(ZEntity* owner, uint32_t other);
    using FrobbedCallback = void (*)(ZEntity* owner, uint32_t frobber);

    ZFrobComponent();
    ~ZFrobComponent() override = default;

    // Events, then "Offset" when present.
    void ReadDefinition(const ZDefNode& element) override;
    ZHashedString GetSerialName() const override {
        static const ZHashedString kind("Frob");
        return kind;
    }

    virtual void SetCheckA(Check check) { checkA = check; }
    virtual Check GetCheckA() const { return checkA; }
    virtual void SetCheckB(Check check) { checkB = check; }
    virtual Check GetCheckB() const { return checkB; }
    virtual void SetOnFrobbed(FrobbedCallback callback) { onFrobbed = callback; }
    virtual FrobbedCallback GetOnFrobbed() const { return onFrobbed; }

    // The entity in reach in front of the owner (its handle), 0 for none.
    uint32_t FindTarget() const;
    void UpdateTarget() { target = FindTarget(); }
    // The target the search found among candidates: the first one only, when
    // it has a frob component and both sides agree; else 0.
    uint32_t ChooseTarget(ZEntity* candidate) const;
    // May the owner frob that entity (check A) / be frobbed by it (check B).
    bool CanFrob(uint32_t candidate) const;
    bool CanFrobB(uint32_t frobber) const;
    // The owner is frobbed: the callback, then "OnFrobbed" (other = frobber).
    void Frob(uint32_t frobber);
    // Frobs the current target; whether it is still there afterwards.
    bool TryFrob();
    // Draws the prompt over the current target.
    void DrawPrompt();
    // Where the prompt over a target goes on the 256 x 224 game screen.
    // Where DrawPrompt centres the prompt: over the target's interpolated
    // position, relative to this owner's camera. False when there is no
    // target, it has no place, or the owner no camera.
    bool GetPromptPosition(float& x, float& y) const;
    static void PromptPosition(const ZVector3& targetPosition, const ZVector3& cameraOrigin, float targetOffset,
                               float& x, float& y);

    float reach = 1.0f;
    ZHashedString primitiveKey;  // the key of the collision component's primary primitive
    float offset = 0.0f;
    uint32_t target = 0;
    ZInputPrompt prompt;
    uint32_t filterMask = 0xFFFFF7EDu;
    Check checkA = nullptr;
    Check checkB = nullptr;
    FrobbedCallback onFrobbed = nullptr;
};
