// The popup queue and its backdrop, lights, frob checks and prompt placement,
// spawners, deletion notices and the small components' own behaviour.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "EntityTestSupport.h"
#include "entity/ZAIComponent.h"
#include "entity/ZBasingComponent.h"
#include "entity/ZCollisionPoint.h"
#include "entity/ZComponentLookup.h"
#include "entity/ZCollisionSphere.h"
#include "entity/ZCommandRunner.h"
#include "entity/ZDeleteComponent.h"
#include "entity/ZEntity.h"
#include "entity/ZEntityGameHooks.h"
#include "entity/ZFrobComponent.h"
#include "entity/ZLightComponent.h"
#include "entity/ZLightMgr.h"
#include "entity/ZManaComponent.h"
#include "entity/ZMeleeComponent.h"
#include "entity/ZNameComponent.h"
#include "entity/ZPickupComponent.h"
#include "entity/ZPopupBackdrop.h"
#include "entity/ZPopupComponent.h"
#include "entity/ZRenderableComponent.h"
#include "entity/ZShadowComponent.h"
#include "entity/ZSpatialComponent.h"
#include "entity/ZSpawnComponent.h"
#include "renderer/ZEffectParameter.h"
#include "renderer/ZRenderable.h"

namespace {

using entitytest::CommandChain;
using entitytest::Markup;

// Installs the hooks a test sets, and puts the old ones back.
struct Hooks {
    Hooks() : saved(GetEntityGameHooks()) {}
    ~Hooks() { GetEntityGameHooks() = saved; }
    Hooks(const Hooks&) = delete;
    Hooks& operator=(const Hooks&) = delete;
    ZEntityGameHooks saved;
};

class RecordingParameter : public ZEffectParameter {
public:
    explicit RecordingParameter(const char* name) : ZEffectParameter(nullptr, name, kFloat, 1) {}
    void SetFloat(const float v) override { value = v; }
    void SetMatrix(const ZMatrix4& m) override { matrix = m; }
    float value = -1.0f;
    ZMatrix4 matrix = ZMatrix4::MakeUniformScale(0.0f);
};

ZPopupBackdrop*& SceneBackdrop() {
    static ZPopupBackdrop* backdrop = nullptr;
    return backdrop;
}

TEST(ZPopupComponent, OpacityFadesInAndOut) {
    struct Case {
        float remaining;
        float opacity;
    };
    const Case cases[] = {{5.0f, 0.0f}, {4.75f, 0.5f}, {4.5f, 1.0f}, {2.0f, 1.0f}, {0.5f, 1.0f}, {0.25f, 0.5f},
                          {0.0f, 0.0f}, {6.0f, 0.0f}};
    ZPopupComponent popup;
    EXPECT_FLOAT_EQ(popup.GetOpacity(), 0.0f) << "empty queue";
    popup.Push(ZString("Found a key"));
    for (const Case& c : cases) {
        popup.queue[0].remaining = c.remaining;
        EXPECT_FLOAT_EQ(popup.GetOpacity(), c.opacity) << c.remaining;
    }
}

TEST(ZPopupComponent, MessagesQueueAndTheBackdropFollowsThem) {
    const Hooks hooks;
    GetEntityGameHooks().findSceneObject = [](ZHashedString name) -> ZEntity* {
        return name == ZHashedString("Popup Backdrop") ? SceneBackdrop() : nullptr;
    };
    ZPopupBackdrop backdrop;
    SceneBackdrop() = &backdrop;
    ZRenderable* drawable = backdrop.GetDrawable();
    ASSERT_NE(drawable, nullptr);
    {
        ZPopupComponent popup;
        EXPECT_EQ(drawable->GetAttachedSource(), &popup) << "the backdrop's effect asks the popup";
        RecordingParameter opacity("BackdropOpacity");
        RecordingParameter other("Other");
        EXPECT_TRUE(popup.SetParameters(&opacity, ZHashedString("Pass"), nullptr));
        EXPECT_FLOAT_EQ(opacity.value, 0.0f);
        EXPECT_FALSE(popup.SetParameters(&other, ZHashedString("Pass"), nullptr));

        popup.Tick(0.1f);
        EXPECT_FALSE(drawable->visible) << "hidden with nothing to show";
        popup.Push(ZString("First"));
        popup.Push(ZString("Second"));
        popup.Tick(0.25f);
        EXPECT_TRUE(drawable->visible);
        EXPECT_FLOAT_EQ(popup.GetOpacity(), 0.5f);
        EXPECT_FLOAT_EQ(popup.queue[1].remaining, 5.0f) << "only the first message ages";
        for (int i = 0; i < 19; ++i) {
            popup.Tick(0.25f);  // 5.0 s in all: the first is at 0
        }
        ASSERT_EQ(popup.queue.Count(), 2u);
        popup.Tick(0.25f);
        ASSERT_EQ(popup.queue.Count(), 1u);
        EXPECT_STREQ(popup.queue[0].text.GetText(), "Second");
        EXPECT_FLOAT_EQ(popup.GetOpacity(), 0.0f) << "the second starts with its own fade-in";
        EXPECT_GT(backdrop.width, 0.0f);
    }
    EXPECT_FALSE(drawable->visible);
    EXPECT_EQ(drawable->GetAttachedSource(), nullptr);
    SceneBackdrop() = nullptr;
}

TEST(ZPopupComponent, WithoutABackdropMessagesStillTick) {
    ZPopupComponent popup;
    popup.Push(ZString("Alone"));
    popup.Tick(5.5f);
    EXPECT_TRUE(popup.queue.IsEmpty());
}

ZLightMgr*& Lights() {
    static ZLightMgr* lights = nullptr;
    return lights;
}

TEST(ZLightComponent, LightsJoinAndLeaveTheManagerInOrder) {
    const Hooks hooks;
    GetEntityGameHooks().findManager = [](ZHashedString name) -> ZRTTIBase* {
        return name == ZHashedString("Light Manager") ? Lights() : nullptr;
    };
    ZLightMgr manager;
    Lights() = &manager;
    auto* first = new ZLightComponent();
    ZLightComponent second;
    ASSERT_EQ(manager.lights.Count(), 2u);
    EXPECT_EQ(manager.lights[0], first);
    EXPECT_FLOAT_EQ(second.lightValue, 24.0f);
    delete first;
    ASSERT_EQ(manager.lights.Count(), 1u);
    EXPECT_EQ(manager.lights[0], &second);
    Lights() = nullptr;
    ZLightComponent unlisted;  // no manager: nothing to join, nothing fails
    EXPECT_EQ(manager.lights.Count(), 1u);
}

bool Refuse(ZEntity*, uint32_t) { return false; }

TEST(ZFrobComponent, TheFirstCandidateCountsWhenBothSidesAgree) {
    struct Case {
        const char* name;
        bool candidateHasFrob;
        ZFrobComponent::Check a;
        ZFrobComponent::Check b;
        bool chosen;
    };
    const Case cases[] = {
        {"both agree", true, nullptr, nullptr, true},
        {"no frob component", false, nullptr, nullptr, false},
        {"the frobber refuses", true, &Refuse, nullptr, false},
        {"the candidate refuses", true, nullptr, &Refuse, false},
    };
    for (const Case& c : cases) {
        ZEntity player;
        ZEntity sign;
        ZFrobComponent* frobber = AddComponent<ZFrobComponent>(&player);
        frobber->SetCheckA(c.a);
        if (c.candidateHasFrob) {
            AddComponent<ZFrobComponent>(&sign)->SetCheckB(c.b);
        }
        EXPECT_EQ(frobber->ChooseTarget(&sign), c.chosen ? sign.GetHandle() : 0u) << c.name;
    }
    ZEntity player;
    EXPECT_EQ(AddComponent<ZFrobComponent>(&player)->ChooseTarget(nullptr), 0u);
    EXPECT_EQ(GetComponent<ZFrobComponent>(&player)->FindTarget(), 0u) << "nothing in reach without a place";
}

uint32_t g_frobbedBy = 0;

TEST(ZFrobComponent, FrobbingFiresTheEventAndSeesATargetThatDeletesItself) {
    const CommandChain chain;
    ZEntity player;
    auto* sign = new ZEntity();
    ZFrobComponent* frobber = AddComponent<ZFrobComponent>(&player);
    ZFrobComponent* target = AddComponent<ZFrobComponent>(sign);
    target->ReadDefinition(Markup("<Frob Offset='16'><Event Name='OnFrobbed'><Action Text='read'/></Event></Frob>"));
    EXPECT_FLOAT_EQ(target->offset, 16.0f);
    target->SetOnFrobbed([](ZEntity*, const uint32_t frobber) { g_frobbedBy = frobber; });
    frobber->target = sign->GetHandle();
    EXPECT_TRUE(frobber->TryFrob());
    EXPECT_EQ(g_frobbedBy, player.GetHandle());
    ASSERT_EQ(CommandChain::Log().size(), 1u);
    EXPECT_EQ(CommandChain::Log()[0].other, player.GetHandle());
    EXPECT_EQ(CommandChain::Log()[0].context, target->GetHandle());

    // An event that takes the target away.
    target->SetOnFrobbed([](ZEntity* owner, uint32_t) { delete owner; });
    EXPECT_FALSE(frobber->TryFrob());
    EXPECT_FALSE(frobber->TryFrob()) << "a target that is gone is none";
}

TEST(ZFrobComponent, ThePromptSitsOverTheTarget) {
    struct Case {
        float offset;
        float x;
        float y;
    };
    const Case cases[] = {{16.0f, 138.5f, 132.5f}, {0.0f, 138.5f, 116.5f}, {4.6f, 138.5f, 121.5f}};
    for (const Case& c : cases) {
        float x = 0.0f;
        float y = 0.0f;
        ZFrobComponent::PromptPosition(ZVector3(40.2f, 50.0f, 0.0f), ZVector3(30.0f, 30.0f, 0.0f), c.offset, x, y);
        EXPECT_FLOAT_EQ(x, c.x) << c.offset;
        EXPECT_FLOAT_EQ(y, c.y) << c.offset;
    }
}

std::vector<ZEntity*>& Spawned() {
    static std::vector<ZEntity*> spawned;
    return spawned;
}

TEST(ZSpawnComponent, SpawnersCountTheirOwnAndTheRunsEntities) {
    const Hooks hooks;
    GetEntityGameHooks().addSpawnedEntity = [](ZEntity* entity) { Spawned().push_back(entity); };
    ZSpawnComponent::runSpawnCount = 0;
    ZEntity a;
    ZEntity b;
    ZEntity c;
    ZSpawnComponent* spawners[] = {AddComponent<ZSpawnComponent>(&a), AddComponent<ZSpawnComponent>(&b),
                                   AddComponent<ZSpawnComponent>(&c)};
    spawners[0]->Update(9.5f, 4);
    EXPECT_FLOAT_EQ(spawners[0]->timer, 10.0f) << "frame ticks do not count";
    spawners[0]->Update(9.5f, 2);
    EXPECT_TRUE(Spawned().empty());
    spawners[0]->Update(0.5f, 2);
    EXPECT_EQ(Spawned().size(), 1u) << "the first at the step where the timer reaches 0";
    EXPECT_FLOAT_EQ(spawners[0]->timer, 2.0f);
    for (int step = 0; step < 40; ++step) {
        for (ZSpawnComponent* spawner : spawners) {
            spawner->Update(0.5f, 6);
        }
    }
    EXPECT_EQ(spawners[0]->spawnedCount, 3);
    EXPECT_EQ(Spawned().size(), 7u) << "seven in the whole run";
    EXPECT_EQ(ZSpawnComponent::runSpawnCount, 7);
    for (ZEntity* entity : Spawned()) {
        delete entity;
    }
    Spawned().clear();
    for (int step = 0; step < 10; ++step) {
        spawners[2]->Update(2.0f, 2);
    }
    EXPECT_TRUE(Spawned().empty()) << "spawned entities that went do not free a place";
}

std::vector<std::pair<ZEntity*, ZEntity*>>& Notices() {
    static std::vector<std::pair<ZEntity*, ZEntity*>> notices;
    return notices;
}

TEST(ZDeleteComponent, WatchersAreToldOfADeletion) {
    Notices().clear();
    ZEntity watcher;
    ZEntity silent;
    auto* watched = new ZEntity();
    ZDeleteComponent* own = AddComponent<ZDeleteComponent>(&watcher);
    own->SetDeletedCallback([](ZEntity* w, ZEntity* d) { Notices().emplace_back(w, d); });
    AddComponent<ZDeleteComponent>(&silent);  // no callback: never registered
    ZDeleteComponent* deletion = AddComponent<ZDeleteComponent>(watched);
    ZDeleteComponent::Watch(deletion, &watcher);
    ZDeleteComponent::Watch(deletion, &silent);
    ZDeleteComponent::Watch(deletion, nullptr);
    EXPECT_EQ(deletion->watchers.Count(), 1u);
    EXPECT_EQ(own->watching.Count(), 1u);
    deletion->OnDelete();
    ASSERT_EQ(Notices().size(), 1u);
    EXPECT_EQ(Notices()[0].first, &watcher);
    EXPECT_EQ(Notices()[0].second, watched);
    delete watched;

    // A watcher that went first leaves the watched entity's list.
    ZEntity target;
    ZDeleteComponent* targetDeletion = AddComponent<ZDeleteComponent>(&target);
    auto* gone = new ZEntity();
    AddComponent<ZDeleteComponent>(gone)->SetDeletedCallback([](ZEntity*, ZEntity*) {});
    ZDeleteComponent::Watch(targetDeletion, gone);
    GetComponent<ZDeleteComponent>(gone)->OnDelete();
    EXPECT_TRUE(targetDeletion->watchers.IsEmpty());
    delete gone;
    targetDeletion->OnDelete();  // nobody left to tell
}

// Picked up by one carrier, then another: the rider leaves the first, so its
// deletion leaves no carrier listing it (ASan sees the old carrier's read).
TEST(ZPickupComponent, APickedUpRiderLeavesItsOldCarrier) {
    auto* first = new ZEntity();
    auto* second = new ZEntity();
    auto* rider = new ZEntity();
    ZBasingComponent* firstBasing = AddComponent<ZBasingComponent>(first);
    ZBasingComponent* secondBasing = AddComponent<ZBasingComponent>(second);
    ZBasingComponent* riderBasing = AddComponent<ZBasingComponent>(rider);
    ZPickupComponent* pickup = AddComponent<ZPickupComponent>(rider);

    pickup->OnPickedUp(first);
    EXPECT_EQ(riderBasing->parent, first);
    pickup->OnPickedUp(first);
    EXPECT_EQ(firstBasing->children.Count(), 1u) << "picked up again by the same carrier: listed once";
    pickup->OnPickedUp(second);
    EXPECT_EQ(riderBasing->parent, second);
    EXPECT_TRUE(firstBasing->children.IsEmpty()) << "the old carrier still lists the rider";
    ASSERT_EQ(secondBasing->children.Count(), 1u);
    EXPECT_EQ(secondBasing->children[0], rider);

    delete rider;
    EXPECT_TRUE(secondBasing->children.IsEmpty());
    delete first;
    delete second;
}

TEST(ZGameplayComponents, SmallComponentsDoTheirPart) {
    ZEntity entity;
    ZNameComponent* name = AddComponent<ZNameComponent>(&entity);
    name->ReadDefinition(Markup("<Name Name='Bridge Keeper'/>"));
    EXPECT_EQ(name->name, ZHashedString("bridge keeper"));
    name->ReadDefinition(Markup("<Name/>"));
    EXPECT_EQ(name->name, ZHashedString("bridge keeper")) << "a missing Name keeps the old one";

    ZManaComponent* mana = AddComponent<ZManaComponent>(&entity);
    mana->Update(0.25f, 4);
    EXPECT_FLOAT_EQ(mana->cooldown, 0.0f);
    mana->Update(0.25f, 2);
    EXPECT_FLOAT_EQ(mana->cooldown, -0.25f);

    ZShadowComponent* shadow = AddComponent<ZShadowComponent>(&entity);
    shadow->lockedMatrix = ZMatrix4::MakeUniformScale(3.0f);
    shadow->SetLocked(false);
    EXPECT_EQ(shadow->locked, 0);
    shadow->SetLocked(true);
    EXPECT_EQ(shadow->locked, 1);
    EXPECT_EQ(shadow->lockedMatrix.m[0], 1.0f) << "an entity without a place: the identity";
    shadow->lockedMatrix = ZMatrix4::MakeUniformScale(3.0f);
    shadow->SetLocked(true);
    EXPECT_EQ(shadow->GetMatrix().m[0], 3.0f) << "locking again does not take a new matrix";
    RecordingParameter wvp("wvpMat");
    RecordingParameter other("Other");
    EXPECT_TRUE(shadow->SetParameters(&wvp, ZHashedString("Pass"), nullptr));
    EXPECT_EQ(wvp.matrix.m[0], 3.0f) << "a locked shadow draws with its locked matrix";
    EXPECT_FALSE(shadow->SetParameters(&other, ZHashedString("Pass"), nullptr));
    shadow->SetLocked(false);
    EXPECT_TRUE(shadow->SetParameters(&wvp, ZHashedString("Pass"), nullptr));
    EXPECT_EQ(wvp.matrix.m[0], 1.0f) << "unlocked, it follows the entity again";

    // The AI's start values, and its look-ahead point, which no sweep meets.
    ZAIComponent* ai = AddComponent<ZAIComponent>(&entity);
    EXPECT_GE(ai->thinkDelay, 0.0f);
    EXPECT_LE(ai->thinkDelay, 0.25f);
    EXPECT_GE(ai->randomValue, 0.0f);
    EXPECT_LE(ai->randomValue, 1.0f);
    EXPECT_EQ(ai->state, 0u);
    EXPECT_EQ(ai->direction, 1u);
    EXPECT_EQ(ai->active, 1);
    ASSERT_NE(ai->probe, nullptr);
    EXPECT_NE(DynamicCast<ZCollisionPoint>(ai->probe), nullptr);
    EXPECT_EQ(ResolveComponent<ZEntity>(ai->probe), nullptr) << "it belongs to no entity";
}

}  // namespace

namespace {

TEST(ZDeleteComponent, TheSavedStateOfADeadEntity) {
    ZEntity entity;
    ZDeleteComponent* deletion = AddComponent<ZDeleteComponent>(&entity);
    ZDefNode saved(ZHashedString("Delete"));
    deletion->Save(saved);
    EXPECT_TRUE(saved.IsEmpty()) << "a living entity saves nothing";
    deletion->state = 3;
    deletion->Save(saved);
    EXPECT_EQ(saved.GetAttribute(ZHashedString("Dead")), "true");
    ZDefNode half(ZHashedString("Delete"));
    deletion->state = 2;
    deletion->halfDeadNode = Markup("<Record SessionGUID='00000abc'/>");
    deletion->Save(half);
    EXPECT_EQ(half.GetAttribute(ZHashedString("HalfDead")), "true");
    ASSERT_EQ(half.children.Count(), 1u);
    EXPECT_EQ(half.children[0].GetAttribute(ZHashedString("SessionGUID")), "00000abc");

    struct Case {
        const char* markup;
        bool deletable;
        int32_t state;
    };
    const Case cases[] = {
        {"<Delete Dead='TRUE'/>", true, 3},
        {"<Delete Dead='TRUE'/>", false, 0},
        {"<Delete Dead='yes'/>", true, 0},
        {"<Delete HalfDead='true'/>", true, 0},
    };
    for (const Case& c : cases) {
        ZEntity loaded;
        ZDeleteComponent* restored = AddComponent<ZDeleteComponent>(&loaded);
        ZRenderableComponent* drawables = AddComponent<ZRenderableComponent>(&loaded);
        ZRenderable body;
        drawables->AddRenderable(ZHashedString("Body"), &body);
        restored->mayBeDeleted = c.deletable;
        restored->ReadDefinition(Markup(c.markup));
        EXPECT_EQ(restored->state, c.state) << c.markup;
        EXPECT_EQ(body.visible, c.state != 3) << c.markup;
        drawables->renderables.Clear();
    }
}

}  // namespace

namespace {

TEST(ZMeleeComponent, TheBladeSweepsAndPulses) {
    struct Case {
        const char* name;
        float time;
        int32_t state;
        float x;  // where the blade's centre lands
        float y;
    };
    const float tMid = std::pow(0.5f, 4.0f / 3.0f);  // s = 0: the middle of the swing
    const Case cases[] = {
        {"start: -54 degrees, smallest", 0.0f, 2, 1.7f * std::cos(0.3f * 3.14159265f),
         -1.7f * std::sin(0.3f * 3.14159265f)},
        {"middle: straight ahead, largest", tMid, 2, 3.0f, 0.0f},
        {"end: +54 degrees", 1.0f, 2, 1.7f * std::cos(0.3f * 3.14159265f), 1.7f * std::sin(0.3f * 3.14159265f)},
        {"past the end clamps", 5.0f, 2, 1.7f * std::cos(0.3f * 3.14159265f), 1.7f * std::sin(0.3f * 3.14159265f)},
        {"not swinging: a point", tMid, 1, 1.0f, 0.0f},
    };
    for (const Case& c : cases) {
        const ZMatrix4 m = ZMeleeComponent::SwingMatrix(c.time, 1.0f, c.state, ZVector3(1.0f, 1.0f, 1.0f),
                                                        ZQuaternion(), ZVector3(10.0f, 20.0f, 0.0f));
        EXPECT_NEAR(m.m[12], 10.0f + c.x, 1e-4f) << c.name;
        EXPECT_NEAR(m.m[13], 20.0f + c.y, 1e-4f) << c.name;
    }
    const ZMatrix4 zero = ZMeleeComponent::SwingMatrix(0.0f, 0.0f, 2, ZVector3(1.0f, 1.0f, 1.0f), ZQuaternion(),
                                                       ZVector3());
    EXPECT_FALSE(std::isnan(zero.m[12])) << "a zero duration is the start, not NaN";

    // On an entity the blade follows the drawn (interpolated) transform.
    ZEntity swordsman;
    ZSpatialComponent* spatial = AddComponent<ZSpatialComponent>(&swordsman);
    spatial->current.position = ZVector3(99.0f, 99.0f, 0.0f);
    spatial->interpolated.position = ZVector3(10.0f, 20.0f, 0.0f);
    spatial->interpolated.scale = ZVector3(2.0f, 2.0f, 2.0f);
    ZMeleeComponent* melee = AddComponent<ZMeleeComponent>(&swordsman);
    melee->swingState = 2;
    melee->swingDuration = 1.0f;
    melee->swingTime = tMid;
    RecordingParameter wvp("wvpMat");
    ASSERT_TRUE(melee->SetParameters(&wvp, ZHashedString("Pass"), nullptr));
    // The blade at the drawn place and scale, not at the current place.
    const ZMatrix4 expected = ZMeleeComponent::SwingMatrix(tMid, 1.0f, 2, ZVector3(2.0f, 2.0f, 2.0f), ZQuaternion(),
                                                           ZVector3(10.0f, 20.0f, 0.0f));
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(wvp.matrix.m[i], expected.m[i], 1e-4f) << i;
    }
    ASSERT_NE(melee->hitShape, nullptr);
    EXPECT_FLOAT_EQ(melee->hitShape->radius, 0.8f);
    EXPECT_EQ(melee->hitShape->responseKind, ZCollisionInterface::kPushOut);
}

}  // namespace
