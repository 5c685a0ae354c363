// Script functions and timers, driven as the entity verbs drive them.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "EntityTestSupport.h"
#include "entity/ZCommandRunner.h"
#include "entity/ZEntity.h"
#include "entity/ZScriptComponent.h"
#include "entity/ZTimerComponent.h"
#include "foundation/ZUpdateRegistry.h"

namespace {

using entitytest::CommandChain;
using entitytest::Markup;
using Texts = std::vector<std::string>;

TEST(ZScriptComponent, FunctionsRunByNameInDocumentOrder) {
    const CommandChain chain;
    ZEntity entity;
    ZScriptComponent* script = AddComponent<ZScriptComponent>(&entity);
    script->ReadDefinition(Markup("<Script><Function Name='Open'><Action Text='one'/></Function>"
                                  "<Function Name='Close'><Action Text='shut'/></Function>"
                                  "<Function Name='open'><Action Text='two'/></Function></Script>"));
    EXPECT_TRUE(chain.Words().empty()) << "a script without OnLoad runs nothing when loaded";
    RunCommandText("run Self OPEN", entity.GetHandle(), 0);
    RunCommandText("runscript Self Nothing", entity.GetHandle(), 0);
    RunCommandText("runfunction Other Open", entity.GetHandle(), 0);  // no other entity
    RunCommandText("run", entity.GetHandle(), 0);                     // short: taken, does nothing
    EXPECT_EQ(chain.Words(), (Texts{"one", "two"}));
}

TEST(ZScriptComponent, ASecondLoadAddsToTheFirstAndRunsEveryOnLoad) {
    const CommandChain chain;
    ZEntity entity;
    ZScriptComponent* script = AddComponent<ZScriptComponent>(&entity);
    script->ReadDefinition(Markup("<Script><OnLoad><Action Text='load1'/></OnLoad>"
                                  "<Function Name='F'><Action Text='f1'/></Function></Script>"));
    EXPECT_EQ(CommandChain::Log().at(0).context, script->GetHandle());
    script->ReadDefinition(Markup("<Script><OnLoad><Action Text='load2'/></OnLoad>"
                                  "<Function Name='F'><Action Text='f2'/></Function>"
                                  "<OnFullyLoaded><Action Text='full'/></OnFullyLoaded></Script>"));
    script->RunFunction(ZString("f"), 1, 2);
    script->RunFullyLoaded(1, 2);
    EXPECT_EQ(chain.Words(), (Texts{"load1", "load1", "load2", "f1", "f2", "full"}));
}

TEST(ZTimerComponent, TicksOfOneTimer) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        const char* name;
        float duration;
        float remaining;
        bool looping;
        float step;
        bool expired;
        bool running;
        float remainingAfter;
    };
    const Case cases[] = {
        {"counts down", 2.0f, 2.0f, false, 0.5f, false, true, 1.5f},
        {"one-shot stops with a full period", 1.0f, 0.25f, false, 0.25f, true, false, 1.0f},
        {"looping skips whole periods, one expiry", 1.0f, 1.0f, true, 3.5f, true, true, 0.5f},
        {"zero duration never expires", 0.0f, 0.0f, true, 1.0f, false, true, 0.0f},
        {"NaN duration never expires", nan, 0.0f, true, 1.0f, false, true, 0.0f},
        {"a tiny duration computes its periods", 1e-12f, 1e-12f, true, 0.016f, true, true, -1.0f},
        {"a huge step reloads a full period", 1.0f, 1.0f, true, 3e38f, true, true, 1.0f},
    };
    for (const Case& c : cases) {
        ZTimerComponent::Timer timer;
        timer.duration = c.duration;
        timer.remaining = c.remaining;
        timer.looping = c.looping;
        timer.running = true;
        EXPECT_EQ(timer.Tick(c.step), c.expired) << c.name;
        EXPECT_EQ(timer.running, c.running) << c.name;
        if (c.remainingAfter >= 0.0f) {
            EXPECT_FLOAT_EQ(timer.remaining, c.remainingAfter) << c.name;
        } else {
            EXPECT_GT(timer.remaining, 0.0f) << c.name;
            EXPECT_LE(timer.remaining, c.duration) << c.name;
        }
    }
}

TEST(ZTimerComponent, DurationChangesKeepTheElapsedTime) {
    ZTimerComponent timers;
    timers.ReadDefinition(Markup("<Timer><Timer Name='T' Duration='4'/></Timer>"));
    ZTimerComponent::Timer& timer = timers.GetTimer(ZHashedString("T"));
    EXPECT_FLOAT_EQ(timer.remaining, 4.0f);
    timers.Command(ZString("start"), ZHashedString("T"));
    timers.Update(1.0f, 2);
    timers.ReadDefinition(Markup("<Timer><Timer Name='T' Duration='10' Looping='TRUE'/></Timer>"));
    EXPECT_FLOAT_EQ(timer.duration, 10.0f);
    EXPECT_FLOAT_EQ(timer.remaining, 9.0f);
    EXPECT_TRUE(timer.looping);
    EXPECT_TRUE(timer.running);
}

TEST(ZTimerComponent, CommandsDriveNamedTimers) {
    const CommandChain chain;
    ZEntity entity;
    ZTimerComponent* timers = AddComponent<ZTimerComponent>(&entity);
    timers->ReadDefinition(Markup("<Timer><Timer Name='Fuse' Duration='1' Looping='no'>"
                                  "<OnElapsed><Action Text='boom Self'/></OnElapsed></Timer>"
                                  "<Timer Duration='5'/></Timer>"));
    const uint32_t self = entity.GetHandle();
    const auto step = [&](float dt) { GetUpdateRegistry()->Run(dt, 2); };
    const ZTimerComponent::Timer& fuse = timers->GetTimer(ZHashedString("Fuse"));

    step(2.0f);
    EXPECT_TRUE(chain.Words().empty()) << "loading starts no timer";
    RunCommandText("timer Self START Fuse", self, 0);
    step(0.5f);
    GetUpdateRegistry()->Run(5.0f, 4);  // the per-frame list does not tick timers
    step(0.5f);
    EXPECT_EQ(chain.Words(), Texts{"boom Self"});
    EXPECT_EQ(CommandChain::Log()[0].context, self);
    EXPECT_FALSE(fuse.running);
    EXPECT_FLOAT_EQ(fuse.remaining, 1.0f);

    RunCommandText("timer Self start Fuse", self, 0);  // runs again for a whole period
    step(0.75f);
    RunCommandText("timer Self pause Fuse", self, 0);
    step(5.0f);
    RunCommandText("timer Self pause Fuse", self, 0);
    EXPECT_TRUE(fuse.running);
    EXPECT_FLOAT_EQ(fuse.remaining, 0.25f);
    RunCommandText("timer Self reset Fuse", self, 0);
    EXPECT_FLOAT_EQ(fuse.remaining, 1.0f);
    RunCommandText("timer Self stop Fuse", self, 0);
    EXPECT_FALSE(fuse.running);
    RunCommandText("timer Self restart Fuse", self, 0);
    EXPECT_TRUE(fuse.running);
    RunCommandText("timer Self explode Fuse", self, 0);
    EXPECT_TRUE(fuse.running);
    EXPECT_EQ(chain.Words().size(), 1u);

    // An undeclared name makes a stopped timer of duration 0 that never expires.
    EXPECT_FALSE(timers->HasTimer(ZHashedString("Ghost")));
    RunCommandText("timer Self start Ghost", self, 0);
    ASSERT_TRUE(timers->HasTimer(ZHashedString("Ghost")));
    step(100.0f);
    EXPECT_EQ(timers->GetTimer(ZHashedString("Ghost")).duration, 0.0f);
    EXPECT_EQ(chain.Words().size(), 2u);  // only the fuse, once more
    RunCommandText("timer Self", self, 0);  // short: taken, does nothing
}

}  // namespace
