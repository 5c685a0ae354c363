// The menu manager: queued requests applied between frames with their
// transitions, the order of the events menus receive, the pause and the
// backdrop, the slide and the backdrop's opacity, refused requests, and the
// input step on the engine's "Menus" controls.

#include <cmath>

#include "MenuFixture.h"
#include "menu/ZConsoleBackdrop.h"
#include "platform/window/keycodes.h"

using namespace menutest;
using Strings = std::vector<std::string>;

namespace {

class ZMenuMgrTest : public MenuFixture {};

// A menu that tries to change the stack from its Opened handler.
class EagerMenu : public ZMenu {
public:
    explicit EagerMenu(bool* extraDeleted) : m_extraDeleted(extraDeleted) {}
    void HandleAction(const ZMenuEvent& event, ZMenuMouseState* mouse) override {
        ZMenu::HandleAction(event, mouse);
        if (event.kind == ZMenuEventKind::Opened) {
            struct Extra : ZMenu {
                bool* flag;
                explicit Extra(bool* f) : flag(f) {}
                ~Extra() override { *flag = true; }
            };
            GetMenuMgr()->OpenMenu(new Extra(m_extraDeleted));
            GetMenuMgr()->CloseMenu();
            GetMenuMgr()->CloseAll();
        }
    }

private:
    bool* m_extraDeleted;
};

}  // namespace

TEST_F(ZMenuMgrTest, FirstMenuOpensAtOnceSlidesInAndPausesOnce) {
    ZMenuMgr* menus = GetMenuMgr();
    EXPECT_FALSE(menus->GetBackdrop()->visible);
    menus->OpenMenu(new RecordingMenu("A", &log));
    EXPECT_EQ(menus->GetOpenMenuCount(), 0u) << "queued until the transition step";
    Transitions();
    EXPECT_EQ(log, (Strings{"A:Opened"}));
    EXPECT_EQ(menus->GetTransitionState(), ZMenuMgr::kOpening);
    EXPECT_TRUE(menus->GetBackdrop()->visible);
    EXPECT_EQ(game->pushes, 1);
    EXPECT_FLOAT_EQ(menus->GetSlideOffset(), 1.0f) << "starts one screen to the right";

    Transitions(0.1f);
    EXPECT_NEAR(menus->GetProgress(), 0.4f, 1e-4f);
    EXPECT_NEAR(menus->GetSlideOffset(), std::pow(0.6f, 4.0f), 1e-4f);
    EXPECT_EQ(menus->GetOverlayColor() >> 24, 102u);

    Transitions(0.16f);
    EXPECT_EQ(log, (Strings{"A:Opened", "A:InDone"}));
    EXPECT_EQ(menus->GetTransitionState(), ZMenuMgr::kNone);
    EXPECT_EQ(menus->GetSlideOffset(), 0.0f);
    EXPECT_EQ(menus->GetOverlayColor(), 0xFFFFFFFFu);
    EXPECT_EQ(game->calls, 1);
}

TEST_F(ZMenuMgrTest, SecondMenuWaitsForTheFirstToSlideOut) {
    OpenAtRest("A");
    log.clear();
    GetMenuMgr()->OpenMenu(new RecordingMenu("B", &log));
    Transitions();
    EXPECT_EQ(GetMenuMgr()->GetTransitionState(), ZMenuMgr::kClosing);
    Transitions(0.24f);
    EXPECT_TRUE(log.empty()) << "still sliding out";
    EXPECT_LT(GetMenuMgr()->GetSlideOffset(), 0.0f) << "the covered menu leaves to the left";
    Transitions(0.02f);
    EXPECT_EQ(log, (Strings{"A:OutDone", "A:Covered", "B:Opened"}));
    EXPECT_EQ(GetMenuMgr()->GetOpenMenuCount(), 2u);
    EXPECT_GT(GetMenuMgr()->GetSlideOffset(), 0.99f) << "the new menu comes from the right";
    EXPECT_EQ(game->pushes, 1) << "paused once for the whole stack";
    EXPECT_EQ(GetMenuMgr()->GetOverlayOpacity(), 1.0f);
}

TEST_F(ZMenuMgrTest, RequestsOfOneFrameApplyInOneBatchInOrder) {
    struct Case {
        const char* name;
        void (*queue)(std::vector<std::string>* log);
        Strings expected;
        uint32_t openAfter;
    };
    const Case cases[] = {
        {"close then open",
         [](std::vector<std::string>* l) {
             GetMenuMgr()->CloseMenu();
             GetMenuMgr()->OpenMenu(new RecordingMenu("C", l));
         },
         {"B:OutDone", "B:Closing", "B:deleted", "A:Resumed", "A:OutDone", "A:Covered", "C:Opened"},
         2},
        {"two opens",
         [](std::vector<std::string>* l) {
             GetMenuMgr()->OpenMenu(new RecordingMenu("C", l));
             GetMenuMgr()->OpenMenu(new RecordingMenu("D", l));
         },
         {"B:OutDone", "B:Covered", "C:Opened", "C:InDone", "C:OutDone", "C:Covered", "D:Opened"},
         4},
        {"close all",
         [](std::vector<std::string>*) { GetMenuMgr()->CloseAll(); },
         {"B:OutDone", "B:Closing", "B:deleted", "A:Closing", "A:deleted"},
         0},
    };
    for (const Case& c : cases) {
        OpenAtRest("A");
        GetMenuMgr()->OpenMenu(new RecordingMenu("B", &log));
        Transitions();
        Transitions(0.3f);
        Transitions(0.3f);
        log.clear();
        c.queue(&log);
        Transitions();
        EXPECT_TRUE(log.empty()) << c.name << ": the top menu slides out first";
        Transitions(0.26f);
        EXPECT_EQ(log, c.expected) << c.name;
        EXPECT_EQ(GetMenuMgr()->GetOpenMenuCount(), c.openAfter) << c.name;
        EXPECT_EQ(game->pushes, c.openAfter > 0 ? 1 : 0) << c.name;
        EXPECT_EQ(GetMenuMgr()->GetBackdrop()->visible, c.openAfter > 0) << c.name;
        DestroyMenuMgr();
        EXPECT_EQ(game->pushes, 0) << c.name << ": the destructor gives the pause back";
        log.clear();
    }
}

TEST_F(ZMenuMgrTest, RequestsFromTransitionHandlersAreRefusedAndLoseNothing) {
    bool extraDeleted = false;
    GetMenuMgr()->OpenMenu(new EagerMenu(&extraDeleted));
    Transitions();
    EXPECT_TRUE(extraDeleted) << "a refused open frees the menu it was handed";
    EXPECT_TRUE(GetMenuMgr()->GetRequests().IsEmpty());
    EXPECT_EQ(GetMenuMgr()->GetOpenMenuCount(), 1u);
    // From anywhere else requests queue as usual.
    GetMenuMgr()->CloseMenu();
    EXPECT_EQ(GetMenuMgr()->GetRequests().Count(), 1u);
}

// A menu that asks to open itself, or a menu already on the stack, from its
// Opened handler: refused, and the stack's menus stay alive (ASan sees a free).
TEST_F(ZMenuMgrTest, ARefusedOpenOfAMenuTheStackHoldsFreesNothing) {
    struct Reopening : RecordingMenu {
        Reopening(const char* name, Strings* log, ZMenu* target) : RecordingMenu(name, log), which(target) {}
        void HandleAction(const ZMenuEvent& event, ZMenuMouseState* mouse) override {
            RecordingMenu::HandleAction(event, mouse);
            if (event.kind == ZMenuEventKind::Opened) {
                GetMenuMgr()->OpenMenu(which != nullptr ? which : this);
            }
        }
        ZMenu* which;  // null: itself
    };
    RecordingMenu* below = OpenAtRest("Below");
    struct Case {
        const char* name;
        ZMenu* target;
    };
    const Case cases[] = {{"itself", nullptr}, {"the menu below it", below}};
    for (const Case& c : cases) {
        auto* menu = new Reopening("R", &log, c.target);
        GetMenuMgr()->OpenMenu(menu);
        Transitions();
        Transitions(0.3f);
        ASSERT_EQ(GetMenuMgr()->GetOpenMenuCount(), 2u) << c.name;
        EXPECT_EQ(GetMenuMgr()->GetTopMenu(), menu) << c.name;
        EXPECT_EQ(GetMenuMgr()->GetMenuAt(0), below) << c.name;
        menu->which = below;  // it may open again when it is back on top
        GetMenuMgr()->CloseMenu();
        Transitions();
        Transitions(0.3f);
        Transitions();
        Transitions(0.3f);
        EXPECT_EQ(GetMenuMgr()->GetOpenMenuCount(), 1u) << c.name;
    }
}

TEST_F(ZMenuMgrTest, AMenuOpenedTwiceIsNotTakenTwice) {
    auto* menu = new RecordingMenu("A", &log);
    GetMenuMgr()->OpenMenu(menu);
    GetMenuMgr()->OpenMenu(menu);
    Transitions();
    EXPECT_EQ(GetMenuMgr()->GetOpenMenuCount(), 1u);
    EXPECT_EQ(log, (Strings{"A:Opened"}));
}

TEST_F(ZMenuMgrTest, AMenuWithoutClosingTransitionDoesNotHoldTheQueue) {
    RecordingMenu* a = OpenAtRest("A");
    a->closeDuration = 0.0f;
    GetMenuMgr()->CloseMenu();
    Transitions();
    EXPECT_EQ(GetMenuMgr()->GetOpenMenuCount(), 0u);
}

TEST_F(ZMenuMgrTest, SlideFollowsDirectionAndState) {
    struct Case {
        const char* name;
        void (*request)();
        float expected;  // 0.1 s into a 0.25 s transition
    };
    const float f = std::pow(0.4f, 4.0f);  // closing: progress 0.6
    const Case cases[] = {
        {"close, back", [] { GetMenuMgr()->CloseMenu(); }, f},
        {"close all, forward", [] { GetMenuMgr()->CloseAll(ZMenuMgr::kForward); }, -f},
        {"close all, back", [] { GetMenuMgr()->CloseAll(ZMenuMgr::kBack); }, f},
        {"close all, other", [] { GetMenuMgr()->CloseAll(7); }, 0.0f},
    };
    for (const Case& c : cases) {
        OpenAtRest("A");
        c.request();
        Transitions();
        Transitions(0.1f);
        EXPECT_NEAR(GetMenuMgr()->GetSlideOffset(), c.expected, 1e-5f) << c.name;
        DestroyMenuMgr();
    }
    auto* still = new RecordingMenu("S", &log);
    still->keepsPosition = true;
    GetMenuMgr()->OpenMenu(still);
    Transitions();
    EXPECT_EQ(GetMenuMgr()->GetSlideOffset(), 0.0f);
}

// A menu that holds its progress below 1 while no transition runs (fading in
// on its own) dims the overlay but stands in its place: the slide belongs to
// transitions alone.
TEST_F(ZMenuMgrTest, AMenuFadingInAtRestDoesNotSlide) {
    struct Case {
        const char* name;
        bool resumed;  // shown again when the menu over it closes (going back)
    };
    const Case cases[] = {{"opened forward", false}, {"resumed going back", true}};
    for (const Case& c : cases) {
        auto* fading = new RecordingMenu("F", &log);
        fading->openDuration = 0.0f;  // no opening transition
        fading->heldProgress = 0.5f;
        GetMenuMgr()->OpenMenu(fading);
        Transitions();
        if (c.resumed) {
            OpenAtRest("G");
            GetMenuMgr()->CloseMenu();
            Transitions();
            Transitions(0.3f);
            ASSERT_EQ(GetMenuMgr()->GetTopMenu(), fading) << c.name;
        }
        for (int frame = 0; frame < 3; ++frame) {
            Transitions(0.1f);
            ASSERT_EQ(GetMenuMgr()->GetTransitionState(), ZMenuMgr::kNone) << c.name;
            EXPECT_FLOAT_EQ(GetMenuMgr()->GetProgress(), 0.5f) << c.name;
            EXPECT_EQ(GetMenuMgr()->GetOverlayColor() >> 24, 128u) << c.name << ": the overlay follows the fade";
            EXPECT_EQ(GetMenuMgr()->GetSlideOffset(), 0.0f) << c.name << ", frame " << frame;
        }
        DestroyMenuMgr();
    }
}

TEST_F(ZMenuMgrTest, BackdropOpacityFollowsFadingMenus) {
    ZMenuMgr* menus = GetMenuMgr();
    EXPECT_EQ(menus->GetOverlayOpacity(), 0.0f);
    auto* fading = new RecordingMenu("F", &log);
    fading->fadesOnOpen = true;
    fading->fadesOnClose = true;
    menus->OpenMenu(fading);
    Transitions();
    Transitions(0.05f);
    EXPECT_NEAR(menus->GetOverlayOpacity(), 0.2f, 1e-4f);
    Transitions(0.3f);
    EXPECT_EQ(menus->GetOverlayOpacity(), 1.0f);
    menus->CloseMenu();
    Transitions();
    Transitions(0.2f);
    EXPECT_NEAR(menus->GetOverlayOpacity(), 0.2f, 1e-4f);
    Transitions(0.1f);
    EXPECT_EQ(menus->GetOverlayOpacity(), 0.0f);

    // A plain menu darkens at once.
    menus->OpenMenu(new RecordingMenu("P", &log));
    Transitions();
    EXPECT_EQ(menus->GetOverlayOpacity(), 1.0f);
}

TEST_F(ZMenuMgrTest, InputStepTurnsControlsIntoEventsInOrder) {
    RecordingMenu* menu = OpenAtRest("A");
    menu->cannotCancel = true;  // Escape must not close the menu mid-test
    struct Case {
        const char* name;
        std::vector<uint8_t> keys;
        Strings expected;
    };
    using namespace platform;
    const Case cases[] = {
        {"nothing", {}, {"A:FrameStart", "A:FrameEnd"}},
        {"right and down", {DIK_RIGHT, DIK_DOWN}, {"A:FrameStart", "A:NavRight", "A:NavDown", "A:FrameEnd"}},
        {"left and right cancel out", {DIK_LEFT, DIK_RIGHT}, {"A:FrameStart", "A:FrameEnd"}},
        {"every kind", {DIK_UP, DIK_TAB, DIK_RETURN, DIK_ESCAPE},
         {"A:FrameStart", "A:NavUp", "A:NavNext", "A:Accept", "A:Cancel", "A:FrameEnd"}},
        {"Alt+Enter is not Accept", {DIK_LMENU, DIK_RETURN}, {"A:FrameStart", "A:FrameEnd"}},
        {"Shift+Tab is not NavNext", {DIK_RSHIFT, DIK_TAB}, {"A:FrameStart", "A:FrameEnd"}},
    };
    for (const Case& c : cases) {
        for (const uint8_t key : c.keys) fake->SetKey(key, true);
        log.clear();
        InputFrame();
        EXPECT_EQ(log, c.expected) << c.name;
        for (const uint8_t key : c.keys) fake->SetKey(key, false);
        InputFrame();
    }
}

TEST_F(ZMenuMgrTest, HeldNavigationRepeatsAndTransitionsSilenceInput) {
    OpenAtRest("A");
    fake->SetKey(platform::DIK_DOWN, true);
    int downs = 0;
    std::vector<int> at;
    // 0.55 s held at 100 frames per second: the press, 0.35 s later, then every 0.075 s.
    for (int i = 0; i < 55; ++i) {
        log.clear();
        Frame(0.01f);
        GetMenuMgr()->Update();
        for (const std::string& line : log) {
            if (line == "A:NavDown") {
                ++downs;
                at.push_back(i);
            }
        }
    }
    EXPECT_EQ(downs, 4) << "press, 0.35, 0.425, 0.5";
    ASSERT_EQ(at.size(), 4u);
    EXPECT_NEAR(at[1] - at[0], 35, 1);
    EXPECT_NEAR(at[2] - at[1], 7.5, 1);
    fake->SetKey(platform::DIK_DOWN, false);
    InputFrame();

    GetMenuMgr()->CloseMenu();
    Transitions();
    log.clear();
    fake->SetKey(platform::DIK_DOWN, true);
    InputFrame();
    EXPECT_TRUE(log.empty()) << "not even FrameStart while a transition runs";
}

TEST_F(ZMenuMgrTest, ForcedAcceptIsTakenOnce) {
    OpenAtRest("A");
    GetMenuMgr()->ForceAccept();
    log.clear();
    InputFrame();
    InputFrame();
    EXPECT_EQ(std::count(log.begin(), log.end(), "A:Accept"), 1);
}

TEST_F(ZMenuMgrTest, BackdropCoversTheScreenWhileAMenuIsOpen) {
    OpenAtRest("A");
    const ZConsoleBackdrop* backdrop = GetMenuMgr()->GetBackdrop();
    EXPECT_TRUE(backdrop->visible);
    EXPECT_EQ(backdrop->transform.m[0], 1.0f);
    EXPECT_EQ(backdrop->transform.m[5], -480.0f) << "y down the screen's height";
    auto* shader = dynamic_cast<ZConsoleBackdropShader*>(backdrop->shader);
    ASSERT_NE(shader, nullptr);
    EXPECT_TRUE(shader->FollowsMenuOpacity());
}
