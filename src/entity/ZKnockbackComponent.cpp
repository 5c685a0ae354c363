#include "entity/ZKnockbackComponent.h"

#include "entity/ZComponentLookup.h"
#include "entity/ZEntity.h"
#include "entity/ZPhysicsComponent.h"
#include "entity/ZSpatialComponent.h"

void ZKnockbackComponent::ApplyKnockback(const ZVector3& direction, const float strength) {
    ZSpatialComponent* const spatial = GetComponent<ZSpatialComponent>(GetOwner());
    ZPhysicsComponent* const physics = GetComponent<ZPhysicsComponent>(GetOwner());
    if (spatial == nullptr || physics == nullptr) {
        return;
    }
    const ZVector3 dir = direction.Normalized();
    const float s = strength * 3.0f;
    spatial->current.velocity = ZVector3(dir.x * s, dir.y * s, dir.z * s + 1.5f * strength);
    spatial->current.position.z += 0.1f;
    spatial->ResetInterpolation();
    physics->bounceCount = 0;
    knockedBack = 1;
}
