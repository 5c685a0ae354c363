#include "entity/ZTimerComponent.h"

#include <cmath>

#include "entity/ZEntity.h"
#include "foundation/ZHandleRegistry.h"

void ZTimerComponent::Timer::SetDuration(const float seconds) {
    remaining = remaining >= 0.0f ? seconds - (duration - remaining) : seconds;
    duration = seconds;
}

bool ZTimerComponent::Timer::Tick(const float dt) {
    if (!running || !(duration > 0.0f)) {
        return false;
    }
    remaining -= dt;
    if (remaining > 0.0f) {
        return false;
    }
    running = looping;
    // Whole periods at once: adding a tiny duration one period at a time
    // could loop for ever (it may not even change the sum).
    const float periods = std::floor(-remaining / duration) + 1.0f;
    remaining += periods * duration;
    if (!(remaining > 0.0f)) {
        remaining += duration;
    }
    if (!(remaining > 0.0f) || !std::isfinite(remaining)) {
        // Beyond what a float can count (a huge step or a NaN): a full period.
        remaining = duration;
    }
    return true;
}

ZHashedString ZTimerComponent::GetSerialName() const {
    static const ZHashedString kind("Timer");
    return kind;
}

void ZTimerComponent::ReadDefinition(const ZDefNode& element) {
    ZDefinedComponent::ReadDefinition(element);
    static const ZHashedString kTimer("Timer");
    static const ZHashedString kName("Name");
    static const ZHashedString kDuration("Duration");
    static const ZHashedString kLooping("Looping");
    static const ZHashedString kOnElapsed("OnElapsed");
    for (const ZDefNode& child : element.children) {
        if (child.name != kTimer || !child.HasAttribute(kName)) {
            continue;
        }
        Timer& timer = GetTimer(ZHashedString(child.GetAttribute(kName).GetText()));
        if (child.HasAttribute(kDuration)) {
            timer.SetDuration(child.GetAttribute(kDuration).ToFloat());
        }
        if (child.HasAttribute(kLooping)) {
            timer.looping = child.GetAttribute(kLooping).EqualsNoCase("true");
        }
        const uint32_t at = child.FindChildIndex(0, kOnElapsed);
        if (at < child.children.Count()) {
            timer.onElapsed = child.children[at];
        }
    }
}

void ZTimerComponent::Update(const float timeStep, const uint8_t mask) {
    if ((mask & 2) == 0) {
        return;
    }
    // Names first: an "OnElapsed" may add timers, or delete this component
    // with its entity, so the map is not walked while commands run.
    ZArray<ZHashedString> names;
    for (const auto& node : m_timers) {
        names.PushBack(node.key);
    }
    const uint32_t self = GetHandle();
    for (const ZHashedString name : names) {
        auto* node = m_timers.Find(name);
        if (node == nullptr || !node->value.Tick(timeStep)) {
            continue;
        }
        const ZDefNode actions(node->value.onElapsed);
        const uint32_t owner = ZRTTIBase::GetHandle(GetOwner());
        RunEventElements(this, actions, owner, 0);
        if (FindObjectByHandle(self) != this) {
            return;
        }
    }
}

void ZTimerComponent::Command(const ZString& subVerb, const ZHashedString name) {
    Timer& timer = GetTimer(name);
    if (subVerb.EqualsNoCase("start")) {
        if (timer.remaining < 0.0f) {
            timer.remaining = timer.duration;
        }
        timer.running = true;
    } else if (subVerb.EqualsNoCase("restart")) {
        timer.remaining = timer.duration;
        timer.running = true;
    } else if (subVerb.EqualsNoCase("stop")) {
        timer.remaining = timer.duration;
        timer.running = false;
    } else if (subVerb.EqualsNoCase("reset")) {
        timer.remaining = timer.duration;
    } else if (subVerb.EqualsNoCase("pause")) {
        timer.running = !timer.running;
    }
}
