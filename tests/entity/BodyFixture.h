#pragma once

#include <string>

#include "entity/ZCollisionBox.h"
#include "entity/ZCollisionComponent.h"
#include "entity/ZCollisionWorld.h"
#include "entity/ZComponentLookup.h"
#include "entity/ZEntity.h"
#include "entity/ZSpatialComponent.h"
#include "entity/EntityTestSupport.h"
#include "renderer/ZCamera.h"

namespace entitytest {

// An entity with a spatial component at a position and a collision box of
// the given half-extents, read from a definition as the game's data would be.
struct Body {
    Body(const ZVector3& at, const float halfX, const float halfY, const std::string& extra = "Blocker='true'",
         const std::string& events = "") {
        spatial = AddComponent<ZSpatialComponent>(&entity);
        spatial->current.position = at;
        spatial->ResetInterpolation();
        collision = AddComponent<ZCollisionComponent>(&entity);
        collision->ReadDefinition(Markup("<Collision " + extra + ">" + events + "<Primitive Type='Box'><Extents><Vector X='" +
                                         std::to_string(halfX) + "' Y='" + std::to_string(halfY) +
                                         "'/></Extents></Primitive></Collision>"));
    }
    ZCollisionInterface* Box() const { return collision->GetPrimary(); }
    ZVector3& Position() { return spatial->current.position; }
    ZVector3& Velocity() { return spatial->current.velocity; }

    ZEntity entity;
    ZSpatialComponent* spatial = nullptr;
    ZCollisionComponent* collision = nullptr;
};

// Sets the world's up direction for one test and puts the default back.
class WorldUp {
public:
    explicit WorldUp(const ZVector3& up) { gWorldUp = up; }
    ~WorldUp() { gWorldUp = ZVector3(0.0f, 0.0f, 1.0f); }
    WorldUp(const WorldUp&) = delete;
    WorldUp& operator=(const WorldUp&) = delete;
};

}  // namespace entitytest
