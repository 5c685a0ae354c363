#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "entity/ZComponentLookup.h"
#include "foundation/ZMap.h"

namespace {

// The least object world the lookups rely on: entities holding components by
// type record, components knowing their entity, shapes knowing an owner that
// knows its spatial component.
class LookupEntity;

class LookupComponent : public ZRTTIBase {
    Z_RTTI(LookupComponent, ZRTTIBase)
public:
    LookupEntity* GetOwner() const { return owner; }
    LookupEntity* owner = nullptr;
};

class SerialPart : public LookupComponent {
    Z_RTTI(SerialPart, LookupComponent)
};

class CollisionOwner {
public:
    virtual ~CollisionOwner() = default;
    virtual LookupComponent* GetSpatial() = 0;
};

// Second base first, so that the pointer casts must adjust.
class SpatialPart : public CollisionOwner, public SerialPart {
    Z_RTTI(SpatialPart, SerialPart)
public:
    LookupComponent* GetSpatial() override { return this; }
};
class DataPart : public SerialPart {
    Z_RTTI(DataPart, SerialPart)
};
class HealthPart : public SerialPart {
    Z_RTTI(HealthPart, SerialPart)
};

class LookupEntity : public ZRTTIBase {
    Z_RTTI(LookupEntity, ZRTTIBase)
public:
    ~LookupEntity() override {
        // A component cached under several keys is deleted once.
        std::vector<LookupComponent*> owned;
        for (const auto& node : components) {
            if (node.value != nullptr && std::find(owned.begin(), owned.end(), node.value) == owned.end()) {
                owned.push_back(node.value);
            }
        }
        for (LookupComponent* c : owned) {
            delete c;
        }
    }

    ZMap<ZTypeRecord, LookupComponent*>& GetComponentMap() { return components; }

    // Adds a component under its own class's record, as the entity does.
    template <typename T>
    T* Add() {
        T* component = new T();
        component->owner = this;
        components.Insert(T::StaticType(), component);
        return component;
    }

private:
    ZMap<ZTypeRecord, LookupComponent*> components;
};

class PlayerEntity : public LookupEntity {
    Z_RTTI(PlayerEntity, LookupEntity)
};

class LookupShape : public ZRTTIBase {
    Z_RTTI(LookupShape, ZRTTIBase)
public:
    CollisionOwner* GetOwner() const { return owner; }
    CollisionOwner* owner = nullptr;
};

// Neither an entity nor a component.
class Unrelated : public ZRTTIBase {
    Z_RTTI(Unrelated, ZRTTIBase)
};

template <typename T>
ZRTTIBase* Resolve(ZRTTIBase* object) {
    return ResolveComponent<T, LookupEntity, LookupComponent, LookupShape>(object);
}

bool SignedBefore(const ZTypeRecord a, const ZTypeRecord b) {
    return static_cast<int32_t>(a.GetId()) < static_cast<int32_t>(b.GetId());
}

TEST(GetComponentTest, FindsExactAndBaseClassesAndCachesTheBaseAnswer) {
    LookupEntity entity;
    SpatialPart* spatial = entity.Add<SpatialPart>();
    auto& map = entity.GetComponentMap();

    EXPECT_EQ(GetComponent<SpatialPart>(&entity), spatial);
    EXPECT_EQ(map.Count(), 1u);

    EXPECT_EQ(GetComponent<SerialPart>(&entity), spatial);
    ASSERT_EQ(map.Count(), 2u);
    EXPECT_EQ(map.Get(SerialPart::StaticType()), spatial);
    EXPECT_EQ(GetComponent<SerialPart>(&entity), spatial);
    EXPECT_EQ(GetComponent<LookupComponent>(&entity), spatial);
    EXPECT_EQ(map.Count(), 3u);
}

TEST(GetComponentTest, MissesReturnNullAndStoreNothing) {
    LookupEntity empty;
    EXPECT_EQ(GetComponent<DataPart>(&empty), nullptr);
    EXPECT_EQ(empty.GetComponentMap().Count(), 0u);
    EXPECT_EQ(GetComponent<DataPart>(static_cast<LookupEntity*>(nullptr)), nullptr);

    LookupEntity entity;
    entity.Add<SpatialPart>();
    for (int call = 0; call < 2; ++call) {
        EXPECT_EQ(GetComponent<DataPart>(&entity), nullptr);
        EXPECT_EQ(entity.GetComponentMap().Count(), 1u);
    }
}

TEST(GetComponentTest, PresentKeyDecidesWithoutSearchingFurther) {
    LookupEntity entity;
    entity.Add<DataPart>();
    auto& map = entity.GetComponentMap();
    // A key holding nothing, or a component of another class, answers null
    // even though a matching component stands under another key.
    map.Insert(SerialPart::StaticType(), nullptr);
    EXPECT_EQ(GetComponent<SerialPart>(&entity), nullptr);
    map.Insert(SerialPart::StaticType(), new LookupComponent());
    EXPECT_EQ(GetComponent<SerialPart>(&entity), nullptr);
    EXPECT_EQ(map.Count(), 2u);
}

TEST(GetComponentTest, BaseClassOfSeveralTakesTheSmallestSignedKeyAndKeepsIt) {
    struct Kind {
        ZTypeRecord type;
        SerialPart* (*add)(LookupEntity&);
    };
    std::vector<Kind> kinds = {
        {SpatialPart::StaticType(), [](LookupEntity& e) -> SerialPart* { return e.Add<SpatialPart>(); }},
        {DataPart::StaticType(), [](LookupEntity& e) -> SerialPart* { return e.Add<DataPart>(); }},
        {HealthPart::StaticType(), [](LookupEntity& e) -> SerialPart* { return e.Add<HealthPart>(); }},
    };
    std::sort(kinds.begin(), kinds.end(), [](const Kind& a, const Kind& b) { return SignedBefore(a.type, b.type); });

    // The two larger keys first: the smaller of them wins.
    LookupEntity entity;
    kinds[2].add(entity);
    SerialPart* middle = kinds[1].add(entity);
    EXPECT_EQ(GetComponent<SerialPart>(&entity), middle);

    // A smaller key added later does not displace the cached answer.
    kinds[0].add(entity);
    EXPECT_EQ(GetComponent<SerialPart>(&entity), middle);
}

class ResolveComponentTest : public ::testing::Test {
protected:
    ResolveComponentTest() {
        plainSpatial = plain.Add<SpatialPart>();
        plainData = plain.Add<DataPart>();
        playerData = player.Add<DataPart>();
        shape.owner = plainSpatial;
    }

    LookupEntity plain;
    SpatialPart* plainSpatial = nullptr;
    DataPart* plainData = nullptr;
    PlayerEntity player;
    DataPart* playerData = nullptr;
    LookupEntity bare;
    DataPart orphan;  // has no entity
    LookupShape shape;
    LookupShape ownerlessShape;
    Unrelated unrelated;
};

TEST_F(ResolveComponentTest, FindsTheWantedObjectFromAnyKind) {
    using Resolver = ZRTTIBase* (*)(ZRTTIBase*);
    struct Case {
        const char* what;
        ZRTTIBase* object;
        Resolver resolve;
        ZRTTIBase* expected;
    };
    ZRTTIBase* const plainSpatialObject = plainSpatial;
    const Case cases[] = {
        {"null object", nullptr, Resolve<DataPart>, nullptr},
        {"a T is returned as it is", plainData, Resolve<DataPart>, plainData},
        {"a T by a base class", plainData, Resolve<SerialPart>, plainData},
        {"entity gives its component", &plain, Resolve<DataPart>, plainData},
        {"entity without a T", &bare, Resolve<DataPart>, nullptr},
        {"entity answer stands when null", &plain, Resolve<HealthPart>, nullptr},
        {"component gives its sibling", plainSpatialObject, Resolve<DataPart>, plainData},
        {"component without an entity", &orphan, Resolve<SpatialPart>, nullptr},
        {"entity class: the entity itself", &plain, Resolve<LookupEntity>, &plain},
        {"entity class: a component's entity", plainData, Resolve<LookupEntity>, &plain},
        {"derived entity class from its component", playerData, Resolve<PlayerEntity>, &player},
        {"derived entity class, other entity's component", plainData, Resolve<PlayerEntity>, nullptr},
        {"derived entity class from a base entity", &plain, Resolve<PlayerEntity>, nullptr},
        {"neither kind: the object itself", &unrelated, Resolve<Unrelated>, &unrelated},
        {"neither kind from an entity", &plain, Resolve<Unrelated>, nullptr},
        {"component from an unrelated object", &unrelated, Resolve<DataPart>, nullptr},
        {"shape gives its entity's component", &shape, Resolve<DataPart>, plainData},
        {"shape gives its entity", &shape, Resolve<LookupEntity>, &plain},
        {"shape without an owner", &ownerlessShape, Resolve<DataPart>, nullptr},
        {"shape without an owner, entity wanted", &ownerlessShape, Resolve<LookupEntity>, nullptr},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.resolve(c.object), c.expected) << c.what;
    }
}

}  // namespace
