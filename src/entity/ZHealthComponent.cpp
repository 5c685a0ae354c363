#include "entity/ZHealthComponent.h"

#include <algorithm>
#include <cmath>

#include "entity/ZAllegianceComponent.h"
#include "entity/ZComponentLookup.h"
#include "entity/ZEntity.h"
#include "entity/ZKnockbackComponent.h"
#include "entity/ZSpatialComponent.h"
#include "foundation/ZHandleRegistry.h"

void ZHealthComponent::TakeDamage(const int32_t amount, const uint32_t other) {
    ZEntity* const entity = GetOwner();
    ZRTTIBase* const attacker = FindObjectByHandle(other);
    const ZAllegianceComponent* const mine = ResolveComponent<ZAllegianceComponent>(entity);
    const ZAllegianceComponent* const theirs = ResolveComponent<ZAllegianceComponent>(attacker);
    if (attacker != nullptr && mine != nullptr && (theirs == nullptr || theirs->allegiance == mine->allegiance)) {
        return;
    }
    if (health <= 0 || invulnerableTime > 0.0f) {
        return;
    }
    invulnerableTime = mine != nullptr && mine->allegiance == 1 ? 1.0f : 0.275f;
    ZKnockbackComponent* const knockback = GetComponent<ZKnockbackComponent>(entity);
    const ZSpatialComponent* const spatial = GetComponent<ZSpatialComponent>(entity);
    const ZSpatialComponent* const attackerSpatial = ResolveComponent<ZSpatialComponent>(attacker);
    if (knockback != nullptr && spatial != nullptr && attackerSpatial != nullptr) {
        ZVector3 away = spatial->current.position - attackerSpatial->current.position;
        const float inverse = 1.0f / away.Length();
        away = std::isfinite(inverse) ? away * inverse : ZVector3();
        knockback->ApplyKnockback(away, 1.0f);
    }
    // Subtracted in 64 bits: a huge or negative amount cannot wrap.
    const int64_t left = static_cast<int64_t>(health) - amount;
    health = static_cast<int32_t>(std::clamp<int64_t>(left, 0, INT32_MAX));
    const uint32_t self = GetHandle();
    if (onDamaged != nullptr) {
        onDamaged(entity, other);
    }
    // The callback may have deleted the entity.
    if (FindObjectByHandle(self) == this && health == 0 && onDeath != nullptr) {
        onDeath(entity, other);
    }
}

void ZHealthComponent::Update(const float timeStep, const uint8_t mask) {
    if ((mask & 2) == 0) {
        return;
    }
    const bool wasRunning = invulnerableTime > 0.0f;
    invulnerableTime -= timeStep;
    if (wasRunning && invulnerableTime <= 0.0f) {
        if (ZKnockbackComponent* knockback = GetComponent<ZKnockbackComponent>(GetOwner())) {
            knockback->knockedBack = 0;
        }
    }
}
