// The cinematic manager: names and priorities, the list's order, cinematics
// that end in their update or have nothing to play, plays asked for while
// the manager walks its list, the two clocks, and input blocking.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "menu/ZCinematic.h"
#include "menu/ZCinematicMgr.h"

namespace {

// A cinematic that writes "<label>:<call>" for its calls and ends after a
// number of updates (never while negative).
class LogCinematic : public ZCinematic {
public:
    LogCinematic(std::string label, std::vector<std::string>* log, const int updatesToRun = -1)
        : m_label(std::move(label)), m_log(log), m_updatesLeft(updatesToRun) {
        name = ZHashedString(m_label.c_str());
        duration = -1.0f;  // only ends when told
        runsOnGameTime = false;
    }
    ~LogCinematic() override { m_log->push_back(m_label + ":deleted"); }

    void Start() override {
        ZCinematic::Start();
        m_log->push_back(m_label + ":Start");
    }
    void End() override {
        m_log->push_back(m_label + ":End");
        if (onEnd) onEnd();
    }
    bool Update(const float clock, const float dt) override {
        m_log->push_back(m_label + ":Update");
        if (onUpdate) onUpdate();
        lastClock = clock;
        lastStep = dt;
        if (m_updatesLeft > 0 && --m_updatesLeft == 0) done = true;
        return ZCinematic::Update(clock, dt);
    }

    std::function<void()> onEnd;
    std::function<void()> onUpdate;  // runs inside the update, as a transition's would
    float lastClock = 0.0f;
    float lastStep = 0.0f;

private:
    std::string m_label;
    std::vector<std::string>* m_log;
    int m_updatesLeft;
};

class CinematicMgrTest : public ::testing::Test {
protected:
    void TearDown() override { DestroyCinematicMgr(); }

    std::vector<std::string> Names() const {
        std::vector<std::string> out;
        for (const ZCinematicRecord* r : GetCinematicMgr()->GetRecords()) out.push_back(r->name.GetText());
        return out;
    }

    std::vector<std::string> log;
};

TEST_F(CinematicMgrTest, NamesComeFromTheCallerOrTheCinematicAndPlayOnce) {
    ZCinematicMgr* mgr = GetCinematicMgr();
    auto* first = new LogCinematic("a", &log);
    mgr->Play(first, ZHashedString::None(), -1);
    EXPECT_TRUE(mgr->IsPlaying(ZHashedString("a")));

    // A second play of a name that is playing is refused and stays the caller's.
    LogCinematic second("a", &log);
    mgr->Play(&second, ZHashedString::None(), -1);
    EXPECT_EQ(mgr->GetPlayingCount(), 1u);

    // A cinematic without a name of its own needs one from the caller.
    LogCinematic unnamed("x", &log);
    unnamed.name = ZHashedString::None();
    mgr->Play(&unnamed, ZHashedString::None(), 5);
    EXPECT_EQ(mgr->GetPlayingCount(), 1u);
    LogCinematic emptyText("z", &log);
    emptyText.name = ZHashedString("");
    mgr->Play(&emptyText, ZHashedString(""), 5);
    EXPECT_EQ(mgr->GetPlayingCount(), 1u) << "the empty text is no name either";
    auto* own = new LogCinematic("own", &log);
    mgr->Play(own, ZHashedString(""), 5);
    EXPECT_TRUE(mgr->IsPlaying(ZHashedString("own"))) << "the empty text takes the cinematic's own name";
    mgr->Stop(ZHashedString("own"));
    auto* named = new LogCinematic("y", &log);
    mgr->Play(named, ZHashedString("given"), 5);
    EXPECT_TRUE(mgr->IsPlaying(ZHashedString("given")));
    EXPECT_FALSE(mgr->IsPlaying(ZHashedString("y")));

    mgr->Play(nullptr, ZHashedString("null"), 0);
    EXPECT_EQ(mgr->GetPlayingCount(), 2u);
    EXPECT_EQ(log, (std::vector<std::string>{"a:Start", "own:Start", "own:End", "own:deleted", "y:Start"}));
    mgr->StopAll();
    log.clear();  // the refused ones die with the test, the others were freed
}

TEST_F(CinematicMgrTest, TheListIsOrderedByPriority) {
    ZCinematicMgr* mgr = GetCinematicMgr();
    struct Case {
        const char* name;
        int32_t priority;
    };
    const Case cases[] = {{"mid", 5}, {"low", 1}, {"high", 9}, {"own", -1}};
    for (const Case& c : cases) {
        auto* cinematic = new LogCinematic(c.name, &log);
        cinematic->priority = 3;  // the cinematic's own, used for -1
        mgr->Play(cinematic, ZHashedString::None(), c.priority);
    }
    EXPECT_EQ(Names(), (std::vector<std::string>{"low", "own", "mid", "high"}));
}

TEST_F(CinematicMgrTest, NothingToPlayIsStartedEndedAndFreedAtOnce) {
    ZCinematicMgr* mgr = GetCinematicMgr();
    auto* empty = new LogCinematic("empty", &log);
    empty->duration = 0.0f;
    mgr->Play(empty, ZHashedString::None(), -1);
    EXPECT_EQ(mgr->GetPlayingCount(), 0u);
    EXPECT_EQ(log, (std::vector<std::string>{"empty:Start", "empty:End", "empty:deleted"}));
}

TEST_F(CinematicMgrTest, OneThatEndsInItsUpdateGoesAndTheNextIsStillUpdated) {
    ZCinematicMgr* mgr = GetCinematicMgr();
    mgr->Play(new LogCinematic("a", &log, 1), ZHashedString::None(), 1);
    mgr->Play(new LogCinematic("b", &log), ZHashedString::None(), 2);
    log.clear();
    mgr->Update(7.0f, 0.5f);
    EXPECT_EQ(log, (std::vector<std::string>{"a:Update", "a:End", "a:deleted", "b:Update"}));
    EXPECT_EQ(Names(), (std::vector<std::string>{"b"}));
}

TEST_F(CinematicMgrTest, EachClockUpdatesItsOwnCinematics) {
    ZCinematicMgr* mgr = GetCinematicMgr();
    auto* frame = new LogCinematic("frame", &log);
    auto* game = new LogCinematic("game", &log);
    game->runsOnGameTime = true;
    mgr->Play(frame, ZHashedString::None(), 1);
    mgr->Play(game, ZHashedString::None(), 2);
    log.clear();
    // A minimized window takes no fixed steps: only frames run.
    mgr->Update(1.0f, 0.25f);
    mgr->Update(1.25f, 0.25f);
    EXPECT_EQ(log, (std::vector<std::string>{"frame:Update", "frame:Update"}));
    EXPECT_FLOAT_EQ(frame->lastClock, 1.25f);
    EXPECT_FLOAT_EQ(frame->GetTime(), 0.5f);
    log.clear();
    mgr->FixedUpdate(3.0f, 1.0f / 60.0f);
    EXPECT_EQ(log, (std::vector<std::string>{"game:Update"}));
    EXPECT_FLOAT_EQ(game->lastClock, 3.0f);
    EXPECT_FLOAT_EQ(game->lastStep, 1.0f / 60.0f);
}

TEST_F(CinematicMgrTest, APlayFromAnEndStartsRightAfterTheWalk) {
    ZCinematicMgr* mgr = GetCinematicMgr();
    struct Case {
        const char* how;
        std::function<void()> run;
    };
    const Case cases[] = {
        {"Stop", [&] { mgr->Stop(ZHashedString("first")); }},
        {"StopAll", [&] { mgr->StopAll(); }},
        {"Update", [&] { mgr->Update(0.0f, 0.1f); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        log.clear();
        auto* first = new LogCinematic("first", &log, 1);
        first->onEnd = [&] {
            EXPECT_FALSE(mgr->IsPlaying(ZHashedString("next"))) << "queued, not started, during the walk";
            mgr->Play(new LogCinematic("next", &log), ZHashedString::None(), -1);
        };
        mgr->Play(first, ZHashedString::None(), -1);
        c.run();
        EXPECT_EQ(Names(), (std::vector<std::string>{"next"}));
        EXPECT_EQ(log.back(), "next:Start");
        mgr->Stop(ZHashedString("next"));
        EXPECT_EQ(mgr->GetPlayingCount(), 0u);
    }
}

// A play asked for during a walk belongs to the manager from the asking; the
// second of two plays of one name is refused when the walk ends and is freed
// unstarted, where a refusal outside a walk leaves it to the caller (false).
TEST_F(CinematicMgrTest, APlayRefusedAfterTheWalkIsFreed) {
    ZCinematicMgr* mgr = GetCinematicMgr();
    auto* walker = new LogCinematic("walker", &log, 1);
    std::vector<bool> taken;
    walker->onUpdate = [&] {
        for (const char* label : {"dup1", "dup2"}) {
            auto* dup = new LogCinematic(label, &log);
            dup->name = ZHashedString("dup");
            taken.push_back(mgr->Play(dup, ZHashedString::None(), -1));
        }
    };
    ASSERT_TRUE(mgr->Play(walker, ZHashedString::None(), -1));
    log.clear();
    mgr->Update(0.0f, 0.1f);
    EXPECT_EQ(taken, (std::vector<bool>{true, true}));
    EXPECT_EQ(log, (std::vector<std::string>{"walker:Update", "walker:End", "walker:deleted", "dup1:Start",
                                             "dup2:deleted"}));
    EXPECT_EQ(Names(), (std::vector<std::string>{"dup"}));

    LogCinematic refused("dup3", &log);
    refused.name = ZHashedString("dup");
    EXPECT_FALSE(mgr->Play(&refused, ZHashedString::None(), -1)) << "playing already: the caller's";
    EXPECT_FALSE(mgr->Play(nullptr, ZHashedString("null"), -1));
    mgr->StopAll();
}

// A cinematic that stops itself, another or everything from its own update
// (the game's transitions do): the walk goes on over live records only.
TEST_F(CinematicMgrTest, StopsFromInsideAnUpdateWaitForTheWalk) {
    ZCinematicMgr* mgr = GetCinematicMgr();
    struct Case {
        const char* how;
        const char* stop;  // the name stopped from a's update; null: StopAll
        std::vector<std::string> log;
        std::vector<std::string> left;
    };
    const Case cases[] = {
        {"itself", "a", {"a:Update", "a:End", "a:deleted", "b:Update"}, {"b"}},
        {"the next", "b", {"a:Update", "b:End", "b:deleted"}, {"a"}},
        {"all", nullptr, {"a:Update", "a:End", "a:deleted", "b:End", "b:deleted"}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        auto* a = new LogCinematic("a", &log);
        mgr->Play(a, ZHashedString::None(), 1);
        mgr->Play(new LogCinematic("b", &log), ZHashedString::None(), 2);
        a->onUpdate = [&] {
            if (c.stop != nullptr) {
                mgr->Stop(ZHashedString(c.stop));
            } else {
                mgr->StopAll();
            }
            EXPECT_FALSE(mgr->IsPlaying(ZHashedString(c.stop != nullptr ? c.stop : "b"))) << "stopped is not playing";
        };
        log.clear();
        mgr->Update(1.0f, 0.1f);
        EXPECT_EQ(log, c.log);
        EXPECT_EQ(Names(), c.left);
        if (!c.left.empty() && c.left[0] == "a") {
            a->onUpdate = nullptr;
        }
        mgr->StopAll();
        EXPECT_EQ(mgr->GetPlayingCount(), 0u);
    }
}

TEST_F(CinematicMgrTest, InputIsBlockedWhileABlockingCinematicPlays) {
    ZCinematicMgr* mgr = GetCinematicMgr();
    EXPECT_FALSE(mgr->IsInputBlocked());
    mgr->Play(new LogCinematic("free", &log), ZHashedString::None(), -1);
    EXPECT_FALSE(mgr->IsInputBlocked());
    auto* blocking = new LogCinematic("blocking", &log);
    blocking->blocksInput = true;
    mgr->Play(blocking, ZHashedString::None(), -1);
    EXPECT_TRUE(mgr->IsInputBlocked());
    mgr->Stop(ZHashedString("blocking"));
    EXPECT_FALSE(mgr->IsInputBlocked());
    mgr->Stop(ZHashedString("unknown"));  // nothing of that name: nothing happens
    EXPECT_EQ(Names(), (std::vector<std::string>{"free"}));
}

}  // namespace
