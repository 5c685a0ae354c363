#include "input/ZPlayerControllerComponent.h"

#include "input/ZControlMgr.h"

namespace {

constexpr float kThreshold = 0.5f;

}  // namespace

bool ZPlayerControllerComponent::Suspended() {
    const ZControlMgr::Hooks& hooks = GetControlMgr()->GetHooks();
    return hooks.isPlayerInputSuspended != nullptr && hooks.isPlayerInputSuspended();
}

float ZPlayerControllerComponent::GetActionValue(const ZHashedString group, const ZHashedString control) const {
    return Suspended() ? 0.0f : GetControlMgr()->GetValue(group, control);
}

bool ZPlayerControllerComponent::WasActionPressed(const ZHashedString group, const ZHashedString control) const {
    return !Suspended() && GetControlMgr()->WasPressed(group, control, kThreshold);
}

bool ZPlayerControllerComponent::WasActionReleased(const ZHashedString group, const ZHashedString control) const {
    return !Suspended() && GetControlMgr()->WasReleased(group, control, kThreshold);
}

bool ZPlayerControllerComponent::IsActionDown(const ZHashedString group, const ZHashedString control) const {
    return !Suspended() && GetControlMgr()->IsDown(group, control, kThreshold);
}

bool ZPlayerControllerComponent::WasActionUp(const ZHashedString group, const ZHashedString control) const {
    return !Suspended() && GetControlMgr()->WasUp(group, control, kThreshold);
}

bool ZPlayerControllerComponent::WasActionPressedRepeating(const ZHashedString group,
                                                           const ZHashedString control) const {
    return !Suspended() && GetControlMgr()->WasPressedRepeating(group, control);
}

void ZPlayerControllerComponent::Notify(const ZRTTIBase* object, const float value) const {
    const ZControlMgr::Hooks& hooks = GetControlMgr()->GetHooks();
    if (hooks.controllerNotify != nullptr) {
        hooks.controllerNotify(ZRTTIBase::GetHandle(object), value);
    }
}
