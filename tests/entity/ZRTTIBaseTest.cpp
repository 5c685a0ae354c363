#include <gtest/gtest.h>

#include <memory>

#include "entity/ZRTTIBase.h"
#include "foundation/ZHandleRegistry.h"
#include "foundation/ZUpdatable.h"
#include "foundation/ZUpdateRegistry.h"

namespace {

// A small object world shaped like the engine's: components down to a
// spatial-like leaf, a component that skips the serial level, and entities
// down to a plain entity that is also updated.
class Component : public ZRTTIBase {
    Z_RTTI(Component, ZRTTIBase)
};
class DefinedComponent : public Component {
    Z_RTTI(DefinedComponent, Component)
};
class SerialComponent : public DefinedComponent {
    Z_RTTI(SerialComponent, DefinedComponent)
};
class SpatialComponent : public SerialComponent {
    Z_RTTI(SpatialComponent, SerialComponent)
};
class GUIDComponent : public DefinedComponent {
    Z_RTTI(GUIDComponent, DefinedComponent)
};
class Entity : public ZRTTIBase {
    Z_RTTI(Entity, ZRTTIBase)
};
class ActorEntity : public Entity, public ZUpdatable {
    Z_RTTI(ActorEntity, Entity)
public:
    ActorEntity() : ZUpdatable(6) {}
    void Update(float, uint8_t) override {}
    void PostUpdate(float, uint8_t) override {}
};
class PlainEntity : public ActorEntity {
    Z_RTTI(PlainEntity, ActorEntity)
};

TEST(TypeRecords, IsAAnswersForTheClassAndEveryAncestorOnly) {
    const ZRTTIBase root;
    const SpatialComponent spatial;
    const GUIDComponent guid;
    const PlainEntity plain;

    struct Case {
        const char* what;
        const ZRTTIBase& object;
        ZTypeRecord type;
        bool expected;
    };
    const Case cases[] = {
        {"root is itself", root, ZRTTIBase::StaticType(), true},
        {"root is no component", root, Component::StaticType(), false},
        {"leaf component is itself", spatial, SpatialComponent::StaticType(), true},
        {"leaf component is its parent", spatial, SerialComponent::StaticType(), true},
        {"leaf component is a grandparent", spatial, DefinedComponent::StaticType(), true},
        {"leaf component is a component", spatial, Component::StaticType(), true},
        {"leaf component is an engine object", spatial, ZRTTIBase::StaticType(), true},
        {"leaf component is no entity", spatial, Entity::StaticType(), false},
        {"guid component skips the serial level", guid, SerialComponent::StaticType(), false},
        {"guid component is defined", guid, DefinedComponent::StaticType(), true},
        {"sibling is not the leaf", guid, SpatialComponent::StaticType(), false},
        {"plain entity is an entity through the actor", plain, Entity::StaticType(), true},
        {"plain entity is an actor", plain, ActorEntity::StaticType(), true},
        {"plain entity is an engine object", plain, ZRTTIBase::StaticType(), true},
        {"plain entity is no component", plain, Component::StaticType(), false},
        {"none id is no type", plain, ZHashedString::None(), false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.object.IsA(c.type), c.expected) << c.what;
    }
    // The class-level twin answers alike, without an object.
    EXPECT_TRUE(PlainEntity::StaticIsA(Entity::StaticType()));
    EXPECT_FALSE(GUIDComponent::StaticIsA(SerialComponent::StaticType()));
    EXPECT_FALSE(ZRTTIBase::StaticIsA(Entity::StaticType()));
}

TEST(TypeRecords, RecordIsTheHashedClassNameAndStable) {
    EXPECT_EQ(SpatialComponent::StaticType(), ZHashedString("SpatialComponent"));
    EXPECT_EQ(ZRTTIBase::StaticType(), ZHashedString("ZRTTIBase"));
    EXPECT_STREQ(SerialComponent::StaticType().GetText(), "SerialComponent");
    EXPECT_EQ(SpatialComponent::StaticType(), SpatialComponent::StaticType());
    EXPECT_NE(SpatialComponent::StaticType(), SerialComponent::StaticType());

    // Through a base pointer the object still answers its own class.
    const std::unique_ptr<ZRTTIBase> object = std::make_unique<PlainEntity>();
    EXPECT_EQ(object->GetType(), PlainEntity::StaticType());
}

TEST(Handles, ObjectsTakeConsecutiveHandlesThatResolveUntilDestroyed) {
    auto first = std::make_unique<Entity>();
    auto second = std::make_unique<SpatialComponent>();
    const uint32_t firstHandle = first->GetHandle();
    const uint32_t secondHandle = second->GetHandle();
    EXPECT_NE(firstHandle, 0u);
    EXPECT_EQ(secondHandle, firstHandle + 1);
    EXPECT_EQ(FindObjectByHandle(firstHandle), first.get());
    EXPECT_EQ(FindObjectByHandle(secondHandle), second.get());

    first.reset();
    EXPECT_EQ(FindObjectByHandle(firstHandle), nullptr);
    EXPECT_EQ(FindObjectByHandle(secondHandle), second.get());

    // A handle is never given out again.
    const Entity later;
    EXPECT_GT(later.GetHandle(), secondHandle);
    EXPECT_EQ(FindObjectByHandle(0), nullptr);
    EXPECT_EQ(ZRTTIBase::GetHandle(nullptr), 0u);
    EXPECT_EQ(ZRTTIBase::GetHandle(&later), later.GetHandle());
}

TEST(Handles, CopiesAreObjectsOfTheirOwn) {
    auto original = std::make_unique<Entity>();
    const uint32_t originalHandle = original->GetHandle();
    {
        Entity copy(*original);
        EXPECT_NE(copy.GetHandle(), originalHandle);
        EXPECT_EQ(FindObjectByHandle(copy.GetHandle()), &copy);
        Entity assigned;
        const uint32_t assignedHandle = assigned.GetHandle();
        assigned = *original;
        EXPECT_EQ(assigned.GetHandle(), assignedHandle);
    }
    // Destroying the copies left the original registered.
    EXPECT_EQ(FindObjectByHandle(originalHandle), original.get());
}

TEST(DynamicCastTest, CastsOnlyAlongTheTypeChain) {
    SpatialComponent spatial;
    PlainEntity plain;
    using Cast = ZRTTIBase* (*)(ZRTTIBase*);
    const Cast toEntity = [](ZRTTIBase* o) -> ZRTTIBase* { return DynamicCast<Entity>(o); };
    const Cast toComponent = [](ZRTTIBase* o) -> ZRTTIBase* { return DynamicCast<Component>(o); };
    const Cast toSerial = [](ZRTTIBase* o) -> ZRTTIBase* { return DynamicCast<SerialComponent>(o); };
    struct Case {
        const char* what;
        ZRTTIBase* object;
        Cast cast;
        ZRTTIBase* expected;
    };
    const Case cases[] = {
        {"null stays null", nullptr, toEntity, nullptr},
        {"component is no entity", &spatial, toEntity, nullptr},
        {"component to a base class", &spatial, toComponent, &spatial},
        {"component to its parent", &spatial, toSerial, &spatial},
        {"entity is no component", &plain, toComponent, nullptr},
        {"entity to its base", &plain, toEntity, &plain},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.cast(c.object), c.expected) << c.what;
    }

    // A class with a second base comes back as the whole object, so its
    // other part is the one the update registry holds.
    ZRTTIBase* asRoot = &plain;
    ActorEntity* actor = DynamicCast<ActorEntity>(asRoot);
    ASSERT_EQ(actor, &plain);
    EXPECT_TRUE(GetUpdateRegistry()->GetList(1).Contains(static_cast<ZUpdatable*>(actor)));
    const ZRTTIBase* constRoot = &spatial;
    EXPECT_EQ(DynamicCast<SpatialComponent>(constRoot), &spatial);
    EXPECT_EQ(DynamicCast<Entity>(constRoot), nullptr);
}

}  // namespace
