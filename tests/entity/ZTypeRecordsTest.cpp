// The engine's own classes answer their type records and IsA chains.

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>

#include "entity/ZActorEntity.h"
#include "entity/ZAllegianceComponent.h"
#include "entity/ZCheckpointComponent.h"
#include "entity/ZCollisionInterface.h"
#include "entity/ZDataComponent.h"
#include "entity/ZDeleteComponent.h"
#include "entity/ZGUIDComponent.h"
#include "entity/ZPickupComponent.h"
#include "entity/ZPlainEntity.h"
#include "entity/ZRenderableComponent.h"
#include "entity/ZRespawnComponent.h"
#include "entity/ZScriptComponent.h"
#include "entity/ZShadowComponent.h"
#include "entity/ZSpatialComponent.h"
#include "entity/ZTimerComponent.h"
#include "input/ZPlayerControllerComponent.h"

namespace {

struct TypeCase {
    const char* text;
    ZTypeRecord (*type)();
    bool (*isA)(ZTypeRecord);
    std::set<std::string> chain;  // every record IsA holds for
};

template <typename T>
TypeCase Case(const char* text, std::set<std::string> chain) {
    return {text, &T::StaticType, &T::StaticIsA, std::move(chain)};
}

const std::set<std::string> kDefined = {"ZDefinedComponent", "ZComponent", "ZRTTIBase"};

std::set<std::string> Serial(const char* own) {
    std::set<std::string> chain = kDefined;
    chain.insert("ZSerialComponent");
    chain.insert(own);
    return chain;
}

const char* const kAllNames[] = {
    "ZRTTIBase", "ZComponent", "ZEntity", "ZCollisionInterface", "ZDefinedComponent", "ZSerialComponent",
    "ZActorEntity", "ZPlainEntity", "ZRenderableComponent", "ZDataComponent", "ZSpatialComponent",
    "ZGUIDComponent", "ZScriptComponent", "ZRespawnComponent", "ZPickupComponent", "ZShadowComponent",
    "ZTimerComponent", "ZAllegianceComponent", "ZCheckpointComponent", "ZDeleteComponent",
};

TEST(ZTypeRecords, EachClassAnswersItsOwnNameAndItsWholeChain) {
    const TypeCase cases[] = {
        Case<ZRTTIBase>("ZRTTIBase", {"ZRTTIBase"}),
        Case<ZComponent>("ZComponent", {"ZComponent", "ZRTTIBase"}),
        Case<ZEntity>("ZEntity", {"ZEntity", "ZRTTIBase"}),
        Case<ZCollisionInterface>("ZCollisionInterface", {"ZCollisionInterface", "ZRTTIBase"}),
        Case<ZDefinedComponent>("ZDefinedComponent", kDefined),
        Case<ZSerialComponent>("ZSerialComponent", Serial("ZSerialComponent")),
        Case<ZActorEntity>("ZActorEntity", {"ZActorEntity", "ZEntity", "ZRTTIBase"}),
        Case<ZPlainEntity>("ZPlainEntity", {"ZPlainEntity", "ZActorEntity", "ZEntity", "ZRTTIBase"}),
        Case<ZRenderableComponent>("ZRenderableComponent", Serial("ZRenderableComponent")),
        Case<ZDataComponent>("ZDataComponent", Serial("ZDataComponent")),
        Case<ZSpatialComponent>("ZSpatialComponent", Serial("ZSpatialComponent")),
        Case<ZGUIDComponent>("ZGUIDComponent", {"ZGUIDComponent", "ZDefinedComponent", "ZComponent", "ZRTTIBase"}),
        Case<ZScriptComponent>("ZScriptComponent", Serial("ZScriptComponent")),
        Case<ZRespawnComponent>("ZRespawnComponent", Serial("ZRespawnComponent")),
        Case<ZPickupComponent>("ZPickupComponent", Serial("ZPickupComponent")),
        Case<ZShadowComponent>("ZShadowComponent", Serial("ZShadowComponent")),
        Case<ZTimerComponent>("ZTimerComponent", Serial("ZTimerComponent")),
        Case<ZAllegianceComponent>("ZAllegianceComponent", Serial("ZAllegianceComponent")),
        Case<ZCheckpointComponent>("ZCheckpointComponent", Serial("ZCheckpointComponent")),
        Case<ZDeleteComponent>("ZDeleteComponent", Serial("ZDeleteComponent")),
    };
    for (const TypeCase& c : cases) {
        EXPECT_EQ(c.type(), ZTypeRecord(c.text)) << c.text;
        EXPECT_STREQ(c.type().GetText(), c.text);
        for (const char* name : kAllNames) {
            EXPECT_EQ(c.isA(ZTypeRecord(name)), c.chain.count(name) == 1) << c.text << " IsA " << name;
        }
    }
}

TEST(ZTypeRecords, ObjectsAnswerThroughTheirVirtualQueries) {
    ZPlainEntity plain;
    ZTimerComponent timer;
    ZGUIDComponent guid;
    const ZRTTIBase* objects[] = {&plain, &timer, &guid};
    for (const ZRTTIBase* object : objects) {
        EXPECT_TRUE(object->IsA(object->GetType()));
        EXPECT_TRUE(object->IsA(ZRTTIBase::StaticType()));
    }
    EXPECT_EQ(plain.GetType(), ZPlainEntity::StaticType());
    EXPECT_TRUE(plain.IsA(ZEntity::StaticType()));
    EXPECT_FALSE(plain.IsA(ZComponent::StaticType()));
    EXPECT_TRUE(timer.IsA(ZComponent::StaticType()));
    EXPECT_FALSE(guid.IsA(ZSerialComponent::StaticType()));
}

TEST(ZTypeRecords, PlayerControllerIsAComponentButNotASerialOne) {
    EXPECT_TRUE(ZPlayerControllerComponent::StaticIsA(ZComponent::StaticType()));
    EXPECT_FALSE(ZPlayerControllerComponent::StaticIsA(ZSerialComponent::StaticType()));
}

TEST(ZTypeRecords, HandlesCountUpAndNullHasNone) {
    auto first = std::make_unique<ZDataComponent>();
    auto second = std::make_unique<ZEntity>();
    EXPECT_EQ(second->GetHandle(), first->GetHandle() + 1);
    EXPECT_EQ(ZRTTIBase::GetHandle(nullptr), 0u);
    EXPECT_EQ(DynamicCast<ZEntity>(first.get()), nullptr);
    EXPECT_EQ(DynamicCast<ZComponent>(first.get()), first.get());
    EXPECT_EQ(DynamicCast<ZEntity>(static_cast<ZRTTIBase*>(nullptr)), nullptr);
}

}  // namespace
