// The video page: reading the settings back into its rows, the resolution
// text and ratio, wrapping of every row, what is asked when leaving and what
// reaches SetAllVideoOptions on Yes, No and Cancel.

#include <string>
#include <vector>

#include "Menu3Fixture.h"
#include "menu/ConfirmationMenu.h"
#include "menu/ZMenuUnderlay.h"
#include "menu/ZMenuLabel.h"
#include "menu/VideoMenu.h"

namespace menu3test {
namespace {

struct VideoCall {
    int32_t width, height;
    bool vsync, fullscreen, windowed, stretch;
    int32_t fxaa, tate;
};

// Records the video options instead of resetting a renderer.
class VideoGame : public menutest::CountingGame {
public:
    void SetAllVideoOptions(int32_t width, int32_t height, bool vsync, bool fullscreen, bool windowed, bool stretch,
                            int32_t fxaa, int32_t tate) override {
        calls.push_back({width, height, vsync, fullscreen, windowed, stretch, fxaa, tate});
    }
    std::vector<VideoCall> calls;
};

class VideoMenuTest : public Menu3Fixture {
protected:
    void SetUp() override {
        Menu3Fixture::SetUp();
        // A game of its own kind, set up as the fixture's.
        ZBaseGame::DestroyInstance();
        video = new VideoGame();
        game = video;
        game->SetLogging(false);
        game->CreateControls();
        game->SetUpDefaultControlBindings();
        ClearConfigRegistry();
        game->registerConfigVars();
        game->m_fullscreen = false;
        game->m_widthWindowed = 1280;
        game->m_heightWindowed = 800;
        game->UpdateScreenMetrics();
        game->menuFont = font.get();
        ZArray<ZResolution> modes;
        for (const ZResolution r : {ZResolution{640, 480}, ZResolution{1280, 720}, ZResolution{1280, 800},
                                    ZResolution{1366, 768}, ZResolution{1920, 1080}}) {
            modes.PushBack(r);
        }
        game->SetScreenModes(modes);
        video->calls.clear();
    }
    VideoMenu* OpenVideo() { return Open(static_cast<VideoMenu*>(game->CreateVideoMenu())); }
    static int32_t IndexOf(const VideoMenu* menu, const char* name) {
        for (uint32_t i = 0; i < menu->GetItemCount(); ++i) {
            if (menu->GetItem(static_cast<int32_t>(i))->GetName() == ZHashedString(name)) {
                return static_cast<int32_t>(i);
            }
        }
        ADD_FAILURE() << name;
        return -1;
    }
    static std::string TextOf(const VideoMenu* menu, const char* name) {
        return menu->GetItem(IndexOf(menu, name))->GetText().GetText();
    }

    VideoGame* video = nullptr;
};

TEST_F(VideoMenuTest, ResolutionTextShowsTheReducedRatio) {
    struct Case {
        uint32_t w, h;
        const char* text;
    };
    const Case cases[] = {
        {1920, 1080, "< Resolution: 1920x1080 (16:9) >"}, {1280, 800, "< Resolution: 1280x800 (16:10) >"},
        {1280, 1024, "< Resolution: 1280x1024 (5:4) >"},  {1366, 768, "< Resolution: 1366x768 (~16:9) >"},
        {1360, 768, "< Resolution: 1360x768 (~16:9) >"},  {640, 480, "< Resolution: 640x480 (4:3) >"},
        {0, 0, "< Resolution: 0x0 (0:0) >"},
    };
    for (const Case& c : cases) {
        ZArray<ZResolution> one;
        one.PushBack(ZResolution{c.w, c.h});
        game->SetScreenModes(one);
        VideoMenu menu;
        EXPECT_EQ(std::string(menu.FormatResolutionText().GetText()), c.text);
    }
    EXPECT_EQ(GreatestCommonDivisor(1080, 1920 % 1080), 120u);
}

TEST_F(VideoMenuTest, StartsOnTheCurrentSizeOrTheLargestBelowIt) {
    struct Case {
        int32_t w, h;
        int32_t index;
    };
    const Case cases[] = {{1280, 800, 2}, {1300, 700, 2}, {1280, 760, 1}, {320, 200, 0}, {4000, 3000, 4}};
    for (const Case& c : cases) {
        game->m_widthWindowed = c.w;
        game->m_heightWindowed = c.h;
        VideoMenu menu;
        EXPECT_EQ(menu.GetResolutionIndex(), c.index) << c.w << "x" << c.h;
    }
}

TEST_F(VideoMenuTest, WindowingModeIsReadBackFromTheThreeFlags) {
    struct Case {
        const char* fullscreen;
        const char* windowed;
        const char* stretch;
        int32_t mode;
    };
    const Case cases[] = {{"0", "1", "1", 0}, {"1", "0", "1", 1}, {"1", "1", "1", 2}, {"1", "1", "0", 3}};
    const ZHashedString section("Video");
    for (const Case& c : cases) {
        ZConfigVar::SetFromString(c.windowed, section, ZHashedString("FullscreenWindowed"));
        ZConfigVar::SetFromString(c.stretch, section, ZHashedString("FullscreenWindowedStretch"));
        game->m_fullscreen = c.fullscreen[0] == '1';
        VideoMenu menu;
        EXPECT_EQ(menu.GetWindowingMode(), c.mode);
    }
}

TEST_F(VideoMenuTest, RowsWrapAndAcceptStepsOnlyWindowingAndVSync) {
    VideoMenu* menu = OpenVideo();
    menu->Select(IndexOf(menu, "Spinner_AvailRes"));
    Send(ZMenuEventKind::NavRight);
    Send(ZMenuEventKind::NavRight);
    Send(ZMenuEventKind::NavRight);
    EXPECT_EQ(menu->GetResolutionIndex(), 0);
    Send(ZMenuEventKind::NavLeft);
    EXPECT_EQ(menu->GetResolutionIndex(), 4);
    EXPECT_EQ(TextOf(menu, "Spinner_AvailRes"), "< Resolution: 1920x1080 (16:9) >");
    Send(ZMenuEventKind::Accept);
    EXPECT_EQ(menu->GetResolutionIndex(), 4);

    menu->Select(IndexOf(menu, "Spinner_Windowing"));
    Send(ZMenuEventKind::NavLeft);
    EXPECT_EQ(menu->GetWindowingMode(), 3);
    Send(ZMenuEventKind::Accept);
    EXPECT_EQ(menu->GetWindowingMode(), 0);
    EXPECT_EQ(TextOf(menu, "Spinner_Windowing"), "< Display: Window >");

    menu->Select(IndexOf(menu, "Spinner_VSync"));
    const bool before = menu->GetVSync();
    Send(ZMenuEventKind::NavLeft);
    EXPECT_NE(menu->GetVSync(), before);
    Send(ZMenuEventKind::Accept);
    EXPECT_EQ(menu->GetVSync(), before);
    // Navigation within a value row keeps the selection on it.
    EXPECT_EQ(menu->selectedIndex, IndexOf(menu, "Spinner_VSync"));
}

TEST_F(VideoMenuTest, LeavingWithoutChangesClosesAtOnce) {
    for (const int32_t kind : {ZMenuEventKind::Cancel, ZMenuEventKind::Accept}) {
        VideoMenu* menu = OpenVideo();
        menu->Select(0);
        Send(kind);
        Settle();
        EXPECT_EQ(GetMenuMgr()->GetOpenMenuCount(), 0u);
    }
    EXPECT_TRUE(video->calls.empty());
}

TEST_F(VideoMenuTest, SidewaysOnAButtonStillAsksWhenLeaving) {
    VideoMenu* menu = OpenVideo();
    menu->Select(0);
    Send(ZMenuEventKind::NavRight);
    EXPECT_TRUE(menu->HasChangesPending());
    Send(ZMenuEventKind::Cancel);
    Settle();
    EXPECT_NE(dynamic_cast<ConfirmationMenu*>(GetMenuMgr()->GetTopMenu()), nullptr);
}

TEST_F(VideoMenuTest, YesAppliesAllValuesTogetherNoAndCancelDoNot) {
    ZConfigVar::SetFromString("3", ZHashedString("Video"), ZHashedString("FXAA"));
    ZConfigVar::SetFromString("1", ZHashedString("Video"), ZHashedString("Tate"));
    struct Case {
        int32_t answer;  // button index of the confirmation: 0 Yes, 1 No, 2 Cancel
        size_t calls;
        uint32_t menusLeft;
    };
    // Yes applies and leaves: nothing more is asked.
    const Case cases[] = {{2, 0, 1}, {1, 0, 0}, {0, 1, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        video->calls.clear();
        VideoMenu* menu = OpenVideo();
        const bool initialVSync = menu->GetVSync();
        menu->Select(IndexOf(menu, "Spinner_AvailRes"));
        Send(ZMenuEventKind::NavRight);  // 1366x768
        menu->Select(IndexOf(menu, "Spinner_Windowing"));
        Send(ZMenuEventKind::NavRight);
        Send(ZMenuEventKind::NavRight);  // full-screen window, stretched
        menu->Select(IndexOf(menu, "Spinner_VSync"));
        Send(ZMenuEventKind::Accept);
        Send(ZMenuEventKind::Cancel);
        Settle();
        auto* question = dynamic_cast<ConfirmationMenu*>(GetMenuMgr()->GetTopMenu());
        ASSERT_NE(question, nullptr);
        question->Select(c.answer);
        Send(ZMenuEventKind::Accept);
        Settle();
        Settle();
        ASSERT_EQ(video->calls.size(), c.calls);
        EXPECT_EQ(GetMenuMgr()->GetOpenMenuCount(), c.menusLeft);
        if (c.calls == 1) {
            const VideoCall& call = video->calls[0];
            EXPECT_EQ(call.width, 1366);
            EXPECT_EQ(call.height, 768);
            EXPECT_EQ(call.vsync, !initialVSync);
            EXPECT_TRUE(call.fullscreen);
            EXPECT_TRUE(call.windowed);
            EXPECT_TRUE(call.stretch);
            EXPECT_EQ(call.fxaa, 3);
            EXPECT_EQ(call.tate, 1);
        }
        GetMenuMgr()->CloseAll(1);
        Settle();
        Settle();
    }
}

}  // namespace
}  // namespace menu3test
