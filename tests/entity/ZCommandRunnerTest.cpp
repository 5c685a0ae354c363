// Command texts are split into words and offered to the handlers in order;
// deferred texts run once per fixed step.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "EntityTestSupport.h"
#include "entity/ZCommandRunner.h"
#include "entity/ZDataComponent.h"
#include "entity/ZEntity.h"

namespace {

using entitytest::CommandChain;
using Texts = std::vector<std::string>;

TEST(ZCommandRunner, SplitsTextsIntoWords) {
    struct Case {
        const char* text;
        Texts words;  // what the handler sees, one entry of joined words
    };
    const Case cases[] = {
        {"hello world", {"hello world"}},
        {"  padded\t words  ", {"padded words"}},
        {"say 'two words' \"and more\"", {"say 'two words' \"and more\""}},
        {"check Coins==-3", {"check Coins == -3"}},
        {"check Level<=.5", {"check Level <= .5"}},
        {"", {}},
        {"   ", {}},
    };
    for (const Case& c : cases) {
        const CommandChain chain;
        RunCommandText(ZString(c.text), 0, 0);
        EXPECT_EQ(chain.Words(), c.words) << "'" << c.text << "'";
    }
}

TEST(ZCommandRunner, TheEntityVerbsComeBeforeLaterHandlers) {
    const CommandChain chain;
    ZEntity entity;
    AddComponent<ZDataComponent>(&entity);
    // "set" is an entity verb: taken even without a data component on Other.
    RunCommandText("set Self Coins 3", entity.GetHandle(), 0);
    RunCommandText("set Other Coins 3", entity.GetHandle(), 0);
    RunCommandText("SET", 0, 0);
    RunCommandText("unknownverb Self", 0, 0);
    EXPECT_EQ(chain.Words(), Texts{"unknownverb Self"});
    ZDatumEntry coins;
    EXPECT_TRUE(GetComponent<ZDataComponent>(&entity)->GetDatum(ZHashedString("Coins"), coins));
    EXPECT_EQ(coins.value.intValue, 3);
}

// Runs a nested text before it reads its own words.
bool Nesting(const ZHashedString* verb, const ZArray<ZString>& words, uint32_t, uint32_t) {
    if (*verb != ZHashedString("outer")) {
        return false;
    }
    RunCommandText("inner x", 0, 0);
    CommandChain::Log().push_back({std::string("outer saw ") + words[1].GetText() + " " + words[2].GetText(), 0, 0});
    return true;
}

TEST(ZCommandRunner, ANestedRunLeavesTheOuterWordsAlone) {
    const CommandChain chain(Nesting);
    RunCommandText("outer first second", 0, 0);
    EXPECT_EQ(chain.Words(), (Texts{"inner x", "outer saw first second"}));
}

// Queues two more texts, one of which queues again.
bool Queueing(const ZHashedString* verb, const ZArray<ZString>& words, const uint32_t context, const uint32_t other) {
    if (*verb != ZHashedString("chain")) {
        return false;
    }
    const int left = words.Count() > 1 ? words[1].ToInt() : 0;
    CommandChain::Log().push_back({"chain " + std::to_string(left), context, other});
    if (left > 0) {
        for (int i = 0; i < 8; ++i) {  // enough to move the queue's storage
            QueueDeferredCommand(ZString(("noop " + std::to_string(i)).c_str()), 0, 0);
        }
        QueueDeferredCommand(ZString(("chain " + std::to_string(left - 1)).c_str()), context + 1, other);
    }
    return true;
}

TEST(ZCommandRunner, DeferredTextsQueuedWhileRunningRunInTheSamePass) {
    const CommandChain chain(Queueing);
    QueueDeferredCommand(ZString("chain 2"), 5, 6);
    EXPECT_TRUE(chain.Words().empty());
    RunDeferredCommands();
    EXPECT_EQ(GetDeferredCommandCount(), 0u);
    Texts chains;
    for (const auto& r : CommandChain::Log()) {
        if (r.words.rfind("chain", 0) == 0) {
            chains.push_back(r.words + " @" + std::to_string(r.context) + "," + std::to_string(r.other));
        }
    }
    EXPECT_EQ(chains, (Texts{"chain 2 @5,6", "chain 1 @6,6", "chain 0 @7,6"}));
    CommandChain::Log().clear();
    RunDeferredCommands();
    EXPECT_TRUE(chain.Words().empty());
}

}  // namespace

namespace {

int g_selfRuns = 0;

// Runs itself again, as a script function that calls itself does.
bool Recursing(const ZHashedString* verb, const ZArray<ZString>&, uint32_t, uint32_t) {
    if (*verb != ZHashedString("again")) {
        return false;
    }
    ++g_selfRuns;
    RunCommandText("again", 0, 0);
    return true;
}

// Queues itself for the next pass, for ever.
bool Requeueing(const ZHashedString* verb, const ZArray<ZString>&, uint32_t, uint32_t) {
    if (*verb != ZHashedString("loop")) {
        return false;
    }
    ++g_selfRuns;
    QueueDeferredCommand(ZString("loop"), 0, 0);
    return true;
}

// Queues itself twice: each pass leaves more than it ran.
bool Doubling(const ZHashedString* verb, const ZArray<ZString>&, uint32_t, uint32_t) {
    if (*verb != ZHashedString("twice")) {
        return false;
    }
    QueueDeferredCommand(ZString("twice"), 0, 0);
    QueueDeferredCommand(ZString("twice"), 0, 0);
    return true;
}

TEST(ZCommandRunner, TheDeferredQueueStaysBounded) {
    const CommandChain chain(Doubling);
    QueueDeferredCommand(ZString("twice"), 0, 0);
    for (int step = 0; step < 24; ++step) {
        RunDeferredCommands();
        ASSERT_LE(GetDeferredCommandCount(), kMaxDeferredCommands) << "step " << step;
    }
    EXPECT_GT(GetDeferredCommandCount(), 0u) << "a full queue still runs";
    DestroyDeferredCommands();
    QueueDeferredCommand(ZString("kept"), 0, 0);
    EXPECT_EQ(GetDeferredCommandCount(), 1u) << "an emptied queue takes texts again";
}

TEST(ZCommandRunner, SelfRunningTextsStopInsteadOfHanging) {
    {
        const CommandChain chain(Recursing);
        g_selfRuns = 0;
        RunCommandText("again", 0, 0);
        EXPECT_GT(g_selfRuns, 1);
        EXPECT_LT(g_selfRuns, 1000);
        // The nesting count is back to zero: a fresh text runs.
        RunCommandText("fresh", 0, 0);
        EXPECT_EQ(chain.Words(), Texts{"fresh"});
    }
    {
        const CommandChain chain(Requeueing);
        g_selfRuns = 0;
        QueueDeferredCommand(ZString("loop"), 0, 0);
        QueueDeferredCommand(ZString("kept"), 0, 0);
        RunDeferredCommands();
        const int firstPass = g_selfRuns;
        EXPECT_GT(firstPass, 1);
        EXPECT_EQ(GetDeferredCommandCount(), 1u) << "the loop's next text waits for the next step";
        EXPECT_EQ(chain.Words(), Texts{"kept"});
        RunDeferredCommands();
        EXPECT_GT(g_selfRuns, firstPass);
        EXPECT_EQ(GetDeferredCommandCount(), 1u);
    }
}

}  // namespace
