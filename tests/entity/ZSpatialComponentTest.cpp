#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "entity/BodyFixture.h"
#include "entity/ZBasingComponent.h"
#include "entity/ZCameraComponent.h"
#include "entity/ZCollisionSphere.h"
#include "entity/ZComponentFactoryChain.h"
#include "entity/ZEntityMotion.h"
#include "entity/ZEngineComponentFactory.h"
#include "entity/ZFacingComponent.h"
#include "entity/ZFrobComponent.h"
#include "entity/ZPhysicsComponent.h"
#include "entity/ZPusherComponent.h"
#include "entity/ZShadowComponent.h"

using entitytest::Body;
using entitytest::CommandChain;
using entitytest::Markup;
using entitytest::WorldUp;
using Texts = std::vector<std::string>;

namespace {

constexpr float kDt = 1.0f / 60.0f;
constexpr float kTolerance = 0.015f;

std::string TouchEvent(const std::string& text) {
    return "<Event Name='OnTouch'><Action Text='" + text + "'/></Event>";
}

}  // namespace

TEST(ZSpatialComponent, ReadsItsStateAndMakesEveryCopyEqual) {
    ZEntity entity;
    ZSpatialComponent* spatial = AddComponent<ZSpatialComponent>(&entity);
    spatial->ReadDefinition(Markup("<Spatial><Position><Vector X='3' Y='-4'/></Position></Spatial>"));
    EXPECT_EQ(spatial->current.position, ZVector3(3, -4, 0));
    EXPECT_EQ(spatial->current.velocity, ZVector3());
    EXPECT_EQ(spatial->current.scale, ZVector3(1, 1, 1));
    EXPECT_EQ(spatial->current.rotation, ZQuaternion());
    for (const ZSpatialState* copy : {&spatial->previous, &spatial->interpolated, &spatial->previousInterpolated}) {
        EXPECT_EQ(copy->position, spatial->current.position);
    }

    spatial->ReadDefinition(Markup("<Spatial><Velocity><Vector X='5'/></Velocity><Scale><Vector Z='2'/></Scale>"
                                   "<Rotation><Vector Angle='3.14159265'><Axis Z='4'/></Vector></Rotation></Spatial>"));
    EXPECT_EQ(spatial->current.position, ZVector3(3, -4, 0)) << "missing children keep the field";
    EXPECT_EQ(spatial->current.velocity, ZVector3(5, 0, 0));
    EXPECT_EQ(spatial->current.scale, ZVector3(1, 1, 2));
    EXPECT_NEAR(spatial->current.rotation.w, 0.0f, 1e-6f);
    EXPECT_NEAR(spatial->current.rotation.z, 1.0f, 1e-6f);
}

TEST(ZSpatialComponent, NonFiniteNumbersInADefinitionAreRefused) {
    ZEntity entity;
    ZSpatialComponent* spatial = AddComponent<ZSpatialComponent>(&entity);
    spatial->ReadDefinition(Markup("<Spatial><Position><Vector X='3' Y='4'/></Position></Spatial>"));
    spatial->ReadDefinition(Markup("<Spatial><Position><Vector X='nan'/></Position>"
                                   "<Velocity><Vector Y='inf'/></Velocity><Scale><Vector X='2'/></Scale>"
                                   "<Rotation><Vector Angle='nan'><Axis Z='1'/></Vector></Rotation></Spatial>"));
    EXPECT_EQ(spatial->current.position, ZVector3(3, 4, 0));
    EXPECT_EQ(spatial->current.velocity, ZVector3());
    EXPECT_EQ(spatial->current.scale, ZVector3(2, 1, 1)) << "the good parts still load";
    EXPECT_EQ(spatial->current.rotation, ZQuaternion());
}

TEST(ZSpatialComponent, SnapsToPixelCentresInStepWithTheReference) {
    struct Case {
        float position;
        float reference;
        float translation;
    };
    const Case cases[] = {
        {10.2f, 0.0f, 10.5f}, {10.6f, 0.0f, 11.5f}, {10.2f, 0.6f, 11.5f},
        {10.2f, 0.9f, 10.5f}, {-3.4f, 0.0f, -2.5f}, {-3.6f, 0.0f, -3.5f},
    };
    for (const Case& c : cases) {
        EXPECT_FLOAT_EQ(ZSpatialComponent::SnapAxis(c.position, c.reference), c.translation)
            << c.position << " " << c.reference;
    }
    ZEntity entity;
    ZSpatialComponent* spatial = AddComponent<ZSpatialComponent>(&entity);
    spatial->current.position = {10.2f, 10.6f, 0.0f};
    spatial->current.scale = {2.0f, 3.0f, 1.0f};
    spatial->ResetInterpolation();
    const ZMatrix4 m = spatial->GetSnappedWorldMatrix({});
    EXPECT_FLOAT_EQ(m[0], 2.0f);
    EXPECT_FLOAT_EQ(m[5], 3.0f);
    EXPECT_FLOAT_EQ(m[12], 10.5f);
    EXPECT_FLOAT_EQ(m[13], 11.5f);
}

TEST(ZSpatialComponent, DrawingBlendsTheLastTwoSteps) {
    ZEntity entity;
    ZSpatialComponent* spatial = AddComponent<ZSpatialComponent>(&entity);
    spatial->current.velocity = {60.0f, 0.0f, 0.0f};
    spatial->Integrate(kDt);
    spatial->Integrate(kDt);
    EXPECT_NEAR(spatial->current.position.x, 2.0f, 1e-5f);
    struct Case {
        float alpha;
        float x;
    };
    for (const Case c : {Case{0.0f, 1.0f}, Case{0.25f, 1.25f}, Case{1.0f, 2.0f}}) {
        const ZVector3 last = spatial->interpolated.position;
        spatial->Interpolate(c.alpha);
        EXPECT_NEAR(spatial->interpolated.position.x, c.x, 1e-5f);
        EXPECT_EQ(spatial->previousInterpolated.position, last);
    }
}

TEST(ZSpatialComponent, AStepWithoutDisplacementTouchesNothing) {
    const CommandChain chain;
    Body mover({0, 0, 0}, 1, 1, "", TouchEvent("mover"));
    Body wall({2, 0, 0}, 1, 1, "Blocker='true'", TouchEvent("wall"));
    mover.spatial->Integrate(kDt);
    EXPECT_TRUE(chain.Words().empty());
    mover.Velocity() = {60, 0, 0};
    mover.spatial->Integrate(kDt);
    EXPECT_EQ(chain.Words(), (Texts{"mover", "wall"}));
    EXPECT_NEAR(mover.Position().x, 0.0f, 1e-4f) << "already touching: it stays";
}

TEST(ZSpatialComponent, BlockingContactsChangeTheVelocityByResponse) {
    struct Case {
        uint32_t response;
        int bounces;
        ZVector3 velocity;
        std::vector<float> vx;  // after each of three moves into the wall
        int bouncesLeft;
    };
    const Case cases[] = {
        {ZCollisionInterface::kStop, 0, {60, 30, 0}, {0, 0, 0}, 0},
        {ZCollisionInterface::kSlide, 0, {60, 30, 0}, {0, 0, 0}, 0},
        // Halved while bounces are left.
        {ZCollisionInterface::kBounce, 2, {60, 0, 0}, {-30, -30, -60}, 0},
    };
    Body wall({10, 0, 0}, 1, 50);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.response);
        Body mover({0, 0, 0}, 1, 1, "");
        ZPhysicsComponent* physics = AddComponent<ZPhysicsComponent>(&mover.entity);
        physics->bounceCount = c.bounces;
        mover.Box()->responseKind = c.response;
        for (const float vx : c.vx) {
            mover.Velocity() = c.velocity;
            mover.spatial->Move({0, 0, 0}, {20, 0, 0});
            EXPECT_FLOAT_EQ(mover.Velocity().x, vx);
            if (c.response == ZCollisionInterface::kSlide) {
                EXPECT_FLOAT_EQ(mover.Velocity().y, c.velocity.y) << "the part along the wall stays";
            }
        }
        EXPECT_EQ(physics->bounceCount, c.bouncesLeft);
    }
}

TEST(ZSpatialComponent, ATouchedEntityDeletedByACallbackIsSkipped) {
    static Body* doomed = nullptr;
    static int calls = 0;
    calls = 0;
    Body mover({0, 0, 0}, 1, 1, "");
    auto* wall = new Body({3, 0, 0}, 1, 1);
    auto* pushable = AddComponent<ZPusherComponent>(&wall->entity);
    pushable->canBePushed = true;
    AddComponent<ZPusherComponent>(&mover.entity)->canPush = true;
    doomed = wall;
    mover.spatial->SetContactCallback([](ZEntity*, const CollisionResult&) {
        ++calls;
        delete doomed;
        doomed = nullptr;
    });
    mover.Velocity() = {600, 0, 0};
    mover.spatial->Integrate(kDt);
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(GetComponent<ZPusherComponent>(&mover.entity)->queue.IsEmpty()) << "no push for a gone entity";
    mover.Velocity() = {600, 0, 0};
    mover.spatial->Integrate(kDt);
    EXPECT_GT(mover.Position().x, 10.0f) << "the wall left the world with its entity";
}

TEST(ZSpatialComponent, PushersQueueAndApplyPushesOnTheirNextStep) {
    Body mover({0, 0, 0}, 1, 1, "");
    // A pushable crate does not block its pusher: the pusher keeps its speed
    // and the crate is moved out of its way.
    Body crate({2.7f, 0, 0}, 1, 1, "");
    ZPusherComponent* pusher = AddComponent<ZPusherComponent>(&mover.entity);
    pusher->ReadDefinition(Markup("<Pusher CanPush='TRUE'/>"));
    AddComponent<ZPusherComponent>(&crate.entity)->ReadDefinition(Markup("<Pusher CanBePushed='true'/>"));
    mover.Velocity() = {60, 0, 0};
    mover.spatial->Integrate(kDt);
    // The contact came at 0.685 of a 1-unit move; the rest of the step's
    // travel is queued and applied at the end of the same step, as a sweep.
    const float time = (0.7f - kTolerance) / 1.0f;
    EXPECT_FLOAT_EQ(mover.Position().x, 1.0f);
    EXPECT_FLOAT_EQ(mover.Velocity().x, 60.0f);
    EXPECT_NEAR(crate.Position().x, 2.7f + (1.0f - time) * 60.0f * kDt, 1e-4f);
    EXPECT_TRUE(crate.spatial->resetPending);
    EXPECT_TRUE(pusher->queue.IsEmpty());
    EXPECT_TRUE(pusher->queue.IsFixed());

    // A crate that cannot be pushed stays.
    GetComponent<ZPusherComponent>(&crate.entity)->canBePushed = false;
    const float crateX = crate.Position().x;
    mover.spatial->Integrate(kDt);
    EXPECT_FLOAT_EQ(crate.Position().x, crateX);

    struct Case {
        const char* text;
        bool canPush;
    };
    for (const Case c : {Case{"TRUE", true}, Case{"true", true}, Case{"1", false}, Case{"yes", false}}) {
        ZPusherComponent p;
        p.ReadDefinition(Markup(std::string("<Pusher CanPush='") + c.text + "'/>"));
        EXPECT_EQ(p.canPush, c.canPush) << c.text;
    }
}

TEST(ZCollisionComponent, ReadsItsShapeFromTheDefinition) {
    struct Case {
        std::string markup;
        uint32_t sweep;
        bool blocker;
        bool hasShape;
        ZVector3 extents;
        uint32_t filter;
        uint32_t response;
    };
    const Case cases[] = {
        {"<Collision/>", 0xFFFFFFFFu, false, false, {}, 0, 0},
        {"<Collision Sweep='0x0a' Blocker='true'><Primitive Type='box' Filter='ff' Response='BOUNCE'>"
         "<Extents><Vector X='3' Y='4'/></Extents></Primitive></Collision>",
         0x0a, true, true, {3, 4, 1}, 0xff, ZCollisionInterface::kBounce},
        {"<Collision Blocker='yes'><Primitive Type='Box' Response='stop'><Extents><Vector X='1' Y='1' Z='5'/>"
         "</Extents></Primitive></Collision>",
         0xFFFFFFFFu, false, true, {1, 1, 5}, 1, ZCollisionInterface::kSlide},
        {"<Collision><Primitive Type='Sphere'/></Collision>", 0xFFFFFFFFu, false, false, {}, 0, 0},
        // Sizes that are not sizes are made usable.
        {"<Collision><Primitive Type='Box'><Extents><Vector X='-4' Y='nan' Z='inf'/></Extents></Primitive>"
         "</Collision>",
         0xFFFFFFFFu, false, true, {4, 0, 1}, 1, ZCollisionInterface::kSlide},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.markup);
        ZEntity entity;
        ZSpatialComponent* spatial = AddComponent<ZSpatialComponent>(&entity);
        ZCollisionComponent* collision = AddComponent<ZCollisionComponent>(&entity);
        collision->ReadDefinition(Markup(c.markup));
        EXPECT_EQ(collision->sweepMask, c.sweep);
        EXPECT_EQ(collision->blocker, c.blocker);
        auto* box = DynamicCast<ZCollisionBox>(collision->GetPrimary());
        ASSERT_EQ(box != nullptr, c.hasShape);
        if (box != nullptr) {
            EXPECT_EQ(box->halfExtents, c.extents);
            EXPECT_EQ(box->filterMask, c.filter);
            EXPECT_EQ(box->responseKind, c.response);
            EXPECT_EQ(box->GetOwner(), static_cast<ZCollisionOwner*>(spatial));
            EXPECT_EQ(ResolveComponent<ZCollisionComponent>(box), collision);
        }
    }
}

TEST(ZCollisionComponent, AShapeReadBeforeTheSpatialComponentStandsOnIt) {
    static const bool installed = [] {
        RegisterComponentFactory(CreateComponentByName);
        return true;
    }();
    (void)installed;
    ZEntity entity;
    entity.CreateComponentsFromNode(Markup(
        "<Entity><Collision><Primitive Type='Box'><Extents><Vector X='1' Y='1'/></Extents></Primitive></Collision>"
        "<Spatial><Position><Vector X='7'/></Position></Spatial></Entity>"));
    ZCollisionComponent* collision = GetComponent<ZCollisionComponent>(&entity);
    ASSERT_NE(collision, nullptr);
    ASSERT_NE(collision->GetPrimary(), nullptr);
    EXPECT_EQ(collision->GetPrimary()->GetOwnerPosition(), ZVector3(7, 0, 0));
}

TEST(ZCollisionComponent, EnablingOnTopOfOthersTouchesThemAtOnce) {
    const CommandChain chain;
    Body self({0, 0, 0}, 1, 1, "", TouchEvent("self"));
    Body left({-1, 0, 0}, 1, 1, "", TouchEvent("left"));
    Body right({1, 0, 0}, 1, 1, "", TouchEvent("right"));
    Body far({9, 0, 0}, 1, 1, "", TouchEvent("far"));
    self.collision->SetEnabled(false);
    EXPECT_FALSE(self.Box()->enabled);
    EXPECT_TRUE(chain.Words().empty());
    self.collision->SetEnabled(true);
    Texts words = chain.Words();
    std::sort(words.begin(), words.end());
    EXPECT_EQ(words, (Texts{"left", "right", "self", "self"}));
}

TEST(ZBasingComponent, RidersLandOnCarriersRideThemAndLeaveByJumping) {
    const CommandChain chain;
    const WorldUp up(ZVector3(0, -1, 0));
    const std::string events =
        "<Event Name='OnBased'><Action Text='based'/></Event><Event Name='OnUnbased'><Action Text='unbased'/></Event>";
    Body carrier({0, 100, 0}, 50, 8);
    ZBasingComponent* carrierBasing = AddComponent<ZBasingComponent>(&carrier.entity);
    carrierBasing->ReadDefinition(Markup("<Basing Role='PARENT' Impart='0.5'>" + events + "</Basing>"));
    Body rider({0, 70, 0}, 8, 8, "");
    ZBasingComponent* riderBasing = AddComponent<ZBasingComponent>(&rider.entity);
    riderBasing->ReadDefinition(Markup("<Basing Role='child'/>"));
    ZPhysicsComponent* physics = AddComponent<ZPhysicsComponent>(&rider.entity);
    const float heights[] = {32.0f};
    physics->InitPhysics(0, heights, 1, 0.3f, 0.5f, 0);
    physics->ResetMotion(true);
    auto tick = [&](const bool jump) {
        carrier.spatial->Integrate(kDt);
        physics->TickTimers(kDt);
        physics->Walk({}, false, false);
        physics->Jump(jump);
        physics->ClampGravitySpeed();
        physics->Step(kDt);
    };
    for (int n = 0; n < 40 && riderBasing->parent == nullptr; ++n) {
        tick(false);
    }
    ASSERT_EQ(riderBasing->parent, &carrier.entity);
    EXPECT_EQ(chain.Words(), (Texts{"based"}));
    EXPECT_NEAR(rider.Position().y, 100 - 8 - 8 - kTolerance, 1e-3f);

    // The carrier moves: the rider goes along, and nothing fires again.
    carrier.Velocity() = {60, 0, 0};
    const float x = rider.Position().x;
    for (int n = 1; n <= 10; ++n) {
        tick(false);
        EXPECT_NEAR(rider.Position().x, x + n * 1.0f, 1e-3f) << n;
        EXPECT_NEAR(rider.Position().y, 100 - 8 - 8 - kTolerance, 1e-3f) << n;
    }
    EXPECT_EQ(chain.Words(), (Texts{"based"}));
    EXPECT_EQ(carrierBasing->children.Count(), 1u);

    // Jumping off a rising carrier: half its rise is added.
    carrier.Velocity() = {0, -60, 0};
    carrier.spatial->Integrate(kDt);
    physics->Jump(true);
    EXPECT_NEAR(rider.Velocity().y, -(physics->firstJumpSpeed + 30.0f), 1e-3f);
    EXPECT_EQ(riderBasing->parent, nullptr);
    EXPECT_EQ(chain.Words(), (Texts{"based", "unbased"}));
    EXPECT_TRUE(carrierBasing->children.IsEmpty());
}

TEST(ZBasingComponent, BasingNeedsRolesAndAnUpwardContact) {
    const WorldUp up(ZVector3(0, -1, 0));
    struct Case {
        const char* riderRole;
        const char* carrierRole;
        float degreesFromUp;
        bool based;
    };
    const Case cases[] = {
        {"child", "parent", 0, true},   {"child", "parent", 30, true},  {"child", "parent", 40, false},
        {"child", "child", 0, false},   {"parent", "parent", 0, false}, {"Child", "Parent", 0, true},
    };
    for (const Case& c : cases) {
        ZEntity rider;
        ZEntity carrier;
        ZBasingComponent* r = AddComponent<ZBasingComponent>(&rider);
        ZBasingComponent* k = AddComponent<ZBasingComponent>(&carrier);
        r->ReadDefinition(Markup(std::string("<Basing Role='") + c.riderRole + "'/>"));
        k->ReadDefinition(Markup(std::string("<Basing Role='") + c.carrierRole + "'/>"));
        const float a = c.degreesFromUp * 3.14159265f / 180.0f;
        EXPECT_EQ(r->TryBaseOn(k, ZVector3(std::sin(a), -std::cos(a), 0)), c.based)
            << c.riderRole << " " << c.carrierRole << " " << c.degreesFromUp;
        EXPECT_EQ(r->parent == &carrier, c.based);
        r->Detach();
    }
}

TEST(ZBasingComponent, MovingToAnotherCarrierLeavesTheFirstBeforeArriving) {
    const CommandChain chain;
    ZEntity rider;
    ZEntity first;
    ZEntity second;
    ZBasingComponent* r = AddComponent<ZBasingComponent>(&rider);
    AddComponent<ZBasingComponent>(&first)->ReadDefinition(
        Markup("<Basing><Event Name='OnUnbased'><Action Text='left first'/></Event></Basing>"));
    AddComponent<ZBasingComponent>(&second)->ReadDefinition(
        Markup("<Basing><Event Name='OnBased'><Action Text='on second'/></Event></Basing>"));
    r->AttachTo(first.GetHandle());
    r->AttachTo(second.GetHandle());
    EXPECT_EQ(chain.Words(), (Texts{"left first", "on second"}));
    EXPECT_EQ(r->parent, &second);
    r->AttachTo(0);
    EXPECT_EQ(r->parent, &second) << "a gone carrier changes nothing";
}

TEST(ZBasingComponent, RigidRidersSwingTowardsTheirOffset) {
    ZEntity carrier;
    ZEntity rider;
    ZSpatialComponent* carrierSpatial = AddComponent<ZSpatialComponent>(&carrier);
    AddComponent<ZBasingComponent>(&carrier);
    ZSpatialComponent* riderSpatial = AddComponent<ZSpatialComponent>(&rider);
    ZBasingComponent* riderBasing = AddComponent<ZBasingComponent>(&rider);
    ZPhysicsComponent* riderPhysics = AddComponent<ZPhysicsComponent>(&rider);
    riderBasing->AttachTo(carrier.GetHandle());
    riderBasing->heldRigidly = true;
    riderBasing->rigidOffset = {0, 10, 0};
    riderSpatial->current.position = {20, 0, 0};
    riderSpatial->current.velocity = {0, 500, 0};
    carrierSpatial->current.rotation = ZQuaternion::FromAxisAngle({0, 0, 1}, 0.5f);
    carrierSpatial->current.velocity = {60, 0, 0};
    // A rider carried rigidly does not move itself.
    riderPhysics->Step(kDt);
    EXPECT_EQ(riderSpatial->current.position, ZVector3(20, 0, 0));
    carrierSpatial->Integrate(kDt);
    // Moved with the carrier (to x = 11 from the carrier at 1), then turned a
    // third of the way (20 steps a second) towards the offset's direction,
    // and a third of the way from distance 10 to 10.
    const ZVector3 offset = riderSpatial->current.position - carrierSpatial->current.position;
    const float angle = std::atan2(offset.y, offset.x);
    EXPECT_NEAR(angle, 3.14159265f / 2 / 3, 1e-4f);
    EXPECT_NEAR(offset.Length(), 20.0f + (10.0f - 20.0f) / 3.0f, 1e-4f);
    EXPECT_EQ(riderSpatial->current.rotation, carrierSpatial->current.rotation);
}

TEST(ZBasingComponent, LinksGoWithEitherEnd) {
    ZEntity rider;
    ZBasingComponent* r = AddComponent<ZBasingComponent>(&rider);
    {
        ZEntity carrier;
        AddComponent<ZBasingComponent>(&carrier);
        r->AttachTo(carrier.GetHandle());
        ASSERT_EQ(r->parent, &carrier);
    }
    EXPECT_EQ(r->parent, nullptr) << "no pointer to a destroyed carrier";
    ZEntity carrier;
    ZBasingComponent* c = AddComponent<ZBasingComponent>(&carrier);
    {
        ZEntity passenger;
        AddComponent<ZBasingComponent>(&passenger)->AttachTo(carrier.GetHandle());
        EXPECT_EQ(c->children.Count(), 1u);
    }
    EXPECT_TRUE(c->children.IsEmpty()) << "no pointer to a destroyed rider";
}

TEST(ZFacingComponent, FacesNowhereUntilTheGameSetsIt) {
    ZEntity entity;
    ZFacingComponent* facing = AddComponent<ZFacingComponent>(&entity);
    EXPECT_EQ(facing->facing, ZFacingComponent::kNone);
    facing->facing = ZFacingComponent::kTowardsPlusX;
    facing->ReadDefinition(Markup("<Facing Facing='1'/>"));
    EXPECT_EQ(facing->facing, ZFacingComponent::kTowardsPlusX);
}

TEST(ZEntityMotion, QueriesAnswerFromTheRealComponents) {
    Body self({0, 0, 0}, 1, 1, "");
    Body ahead({6, 0, 0}, 1, 1, "");
    Body around({0, 0, 0}, 3, 3, "");
    ZVector3 at;
    ASSERT_TRUE(GetEntityPosition(&self.entity, at));
    EXPECT_EQ(at, ZVector3(0, 0, 0));
    SetEntityVelocity(&self.entity, {1, 2, 3});
    ZVector3 v;
    ASSERT_TRUE(GetEntityVelocity(&self.entity, v));
    EXPECT_EQ(v, ZVector3(1, 2, 3));
    ZEntity bare;
    EXPECT_FALSE(GetEntityPosition(&bare, at));
    EXPECT_EQ(GetEntityFacing(&bare), 0);

    // The first contact on the way wins; with nothing on the way, what stands
    // around the start point; with no such primitive, nothing.
    const ZHashedString primary;
    EXPECT_EQ(FindEntityInReach(&self.entity, primary, {0, 0, 0}, {10, 0, 0}, ~0u), &ahead.entity);
    EXPECT_EQ(FindEntityInReach(&self.entity, primary, {0, 0, 0}, {0, 0.5f, 0}, ~0u), &around.entity);
    EXPECT_EQ(FindEntityInReach(&self.entity, ZHashedString("Hand"), {0, 0, 0}, {10, 0, 0}, ~0u), nullptr);

    SetEntityBasedOffset(&self.entity, {0, 0, 1.8f});
    EXPECT_EQ(GetComponent<ZBasingComponent>(&self.entity), nullptr) << "no basing component: nothing to set";
    ZBasingComponent* basing = AddComponent<ZBasingComponent>(&self.entity);
    SetEntityBasedOffset(&self.entity, {0, 0, 1.8f});
    EXPECT_TRUE(basing->heldRigidly);
    EXPECT_EQ(basing->rigidOffset, ZVector3(0, 0, 1.8f));
}

namespace {

// The entity a game callback deletes while the physics step still runs.
Body* g_victim = nullptr;
void DeleteVictim() {
    delete g_victim;
    g_victim = nullptr;
}
void DeleteVictimOnLeave(ZEntity*) { DeleteVictim(); }
void DeleteVictimCarried(ZEntity*, ZEntity*) { DeleteVictim(); }

}  // namespace

// Game callbacks run from the ground probe and the carry step may delete the
// entity whose step is running: the step stops there (ASan sees any read).
TEST(ZSpatialComponent, CallbacksThatDeleteTheMovingEntityEndItsStep) {
    const WorldUp up(ZVector3(0, -1, 0));
    const float heights[] = {32.0f};
    {
        SCOPED_TRACE("walking off a ledge, the leave-ground callback deletes the walker");
        Body floor({0, 100, 0}, 100, 10);
        g_victim = new Body({104, 90 - 8 - kTolerance, 0}, 8, 8, "");
        ZPhysicsComponent* physics = AddComponent<ZPhysicsComponent>(&g_victim->entity);
        physics->InitPhysics(100, heights, 1, 0.3f, 0.5f, 0);
        physics->maxJumps = 1;
        physics->ResetMotion(false);
        physics->Jump(false);
        physics->SetOnLeaveGround(&DeleteVictimOnLeave);
        for (int n = 0; n < 20 && g_victim != nullptr; ++n) {
            physics->TickTimers(kDt);
            physics->Walk({120, 0, 0}, false, false);
            physics->Jump(false);
            physics->UpdateImpulse(kDt);
            physics->ClampGravitySpeed();
            physics->Step(kDt);
        }
        EXPECT_EQ(g_victim, nullptr) << "the walker never left the floor";
    }
    struct Case {
        const char* name;
        bool before;  // the callback before the rider's move, else after it
    };
    const Case cases[] = {{"before the carried move", true}, {"after the carried move", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_victim = new Body({0, 100, 0}, 50, 8);
        ZBasingComponent* carrierBasing = AddComponent<ZBasingComponent>(&g_victim->entity);
        carrierBasing->ReadDefinition(Markup("<Basing Role='parent'/>"));
        Body rider({0, 100 - 16 - kTolerance, 0}, 8, 8, "");
        ZBasingComponent* riderBasing = AddComponent<ZBasingComponent>(&rider.entity);
        riderBasing->AttachTo(g_victim->entity.GetHandle());
        ASSERT_EQ(carrierBasing->children.Count(), 1u);
        (c.before ? riderBasing->beforeCarried : riderBasing->afterCarried) = &DeleteVictimCarried;
        g_victim->Velocity() = {60, 0, 0};
        g_victim->spatial->Integrate(kDt);
        EXPECT_EQ(g_victim, nullptr);
        EXPECT_EQ(riderBasing->parent, nullptr) << "the deleted carrier let the rider go";
    }
}

// The frob search on real bodies: the frobber must face somewhere (a facing
// component), reaches along it, and falls back on what overlaps it; the
// prompt sits over the target's interpolated place.
TEST(ZFrobComponent, TheSearchNeedsAFacingAndThePromptFollowsTheDrawnPlace) {
    struct Case {
        const char* name;
        bool hasFacing;
        int32_t facing;
        float signX;  // the sign's place; the frobber stands at 0 and reaches 10
        bool found;
    };
    const Case cases[] = {
        {"ahead, facing +x", true, ZFacingComponent::kTowardsPlusX, 6.0f, true},
        {"behind, facing +x", true, ZFacingComponent::kTowardsPlusX, -6.0f, false},
        {"behind, facing -x", true, 1, -6.0f, true},
        {"no direction: only what overlaps", true, 0, 6.0f, false},
        {"no direction, overlapping", true, 0, 1.0f, true},
        {"no facing component at all", false, 0, 1.0f, false},
    };
    for (const Case& c : cases) {
        Body player({0, 0, 0}, 1, 1, "");
        Body sign({c.signX, 0, 0}, 1, 1, "");
        ZFrobComponent* frobber = AddComponent<ZFrobComponent>(&player.entity);
        frobber->reach = 10.0f;
        AddComponent<ZFrobComponent>(&sign.entity);
        if (c.hasFacing) {
            AddComponent<ZFacingComponent>(&player.entity)->facing = c.facing;
        }
        frobber->UpdateTarget();
        EXPECT_EQ(frobber->target, c.found ? sign.entity.GetHandle() : 0u) << c.name;
    }

    Body player({0, 0, 0}, 1, 1, "");
    Body sign({40, 50, 0}, 1, 1, "");
    ZFrobComponent* frobber = AddComponent<ZFrobComponent>(&player.entity);
    AddComponent<ZFrobComponent>(&sign.entity)->offset = 16.0f;
    ZCamera camera(60.0f, 1.0f, 1.0f, 1000.0f);
    camera.position = ZVector3(30, 30, 0);
    float x = 0.0f;
    float y = 0.0f;
    frobber->target = sign.entity.GetHandle();
    EXPECT_FALSE(frobber->GetPromptPosition(x, y)) << "no camera: no prompt";
    AddComponent<ZCameraComponent>(&player.entity)->camera = &camera;
    // Drawn halfway between its last two steps: the prompt goes with the drawing.
    sign.spatial->interpolated.position = ZVector3(36, 50, 0);
    ASSERT_TRUE(frobber->GetPromptPosition(x, y));
    EXPECT_FLOAT_EQ(x, 134.5f);
    EXPECT_FLOAT_EQ(y, 132.5f);
}

// The shadow's probe goes 100 units down from where the entity is drawn: over
// nothing the shadow lies flat there; over a surface it lies in it, at the
// point met, turned to its normal.
TEST(ZShadowComponent, TheShadowLiesOnWhatTheProbeMeets) {
    ZEntity caster;
    ZSpatialComponent* spatial = AddComponent<ZSpatialComponent>(&caster);
    spatial->current.position = ZVector3(50, 0, 30);  // not where it is drawn
    spatial->interpolated.position = ZVector3(3, 0, 20);
    spatial->interpolated.scale = ZVector3(2, 2, 2);
    ZShadowComponent* shadow = AddComponent<ZShadowComponent>(&caster);
    shadow->scale = 1.5f;

    ZMatrix4 flat = shadow->ComputeShadowMatrix();
    EXPECT_NEAR(flat.m[0], 3.0f, 1e-5f) << "its scale times the drawn scale";
    EXPECT_NEAR(flat.m[5], 3.0f, 1e-5f);
    EXPECT_NEAR(flat.m[1], 0.0f, 1e-5f);
    EXPECT_NEAR(flat.m[12], 3.0f, 1e-5f);
    EXPECT_NEAR(flat.m[14], 20.0f - kTolerance, 1e-5f);

    // A ball of radius 5 at the origin: met at (3, 0, 4), normal (0.6, 0, 0.8).
    ZEntity ground;
    ZSpatialComponent* groundSpatial = AddComponent<ZSpatialComponent>(&ground);
    ZCollisionComponent* collision = AddComponent<ZCollisionComponent>(&ground);
    auto* ball = new ZCollisionSphere(5.0f);
    ball->SetOwner(groundSpatial);
    ball->blocker = [](ZCollisionInterface*, ZCollisionInterface*) { return true; };
    collision->SetPrimitive(ZHashedString().GetId(), ball);
    const ZMatrix4 m = shadow->ComputeShadowMatrix();
    const float s = 3.0f;
    const float expected[3][3] = {{0.8f, 0.0f, -0.6f}, {0.0f, 1.0f, 0.0f}, {0.6f, 0.0f, 0.8f}};
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
            EXPECT_NEAR(m.m[row * 4 + col], s * expected[row][col], 1e-3f) << row << "," << col;
        }
    }
    EXPECT_NEAR(m.m[12], 3.0f, 0.05f);
    EXPECT_NEAR(m.m[14], 4.0f, 0.05f);
}
