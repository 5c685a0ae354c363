// A cinematic's own clock and skipping: when a press may skip, the second
// press a confirmation window asks for, the inputs that never skip (Alt
// held, a menu or the console open), and the end by time.

#include <memory>

#include "MenuFixture.h"
#include "foundation/ZStreamMgr.h"
#include "framework/ZLocMgr.h"
#include "menu/ZCinematic.h"
#include "renderer/ZFont.h"
#include "platform/window/keycodes.h"

using namespace menutest;
using namespace platform;

namespace {

class CinematicTest : public MenuFixture {
protected:
    // One step of the cinematic's clock with the controls of its group
    // evaluated as the engine does (per frame or per fixed step).
    bool Advance(ZCinematic& c, const float dt = 0.1f) {
        if (c.runsOnGameTime) {
            FrameAndStep(dt);
        } else {
            Frame(dt);
        }
        return c.Update(0.0f, dt);
    }
    // Presses the key for one advance, then lets it go for one.
    bool Tap(ZCinematic& c, const uint8_t key = DIK_RETURN) {
        fake->SetKey(key, true);
        const bool running = Advance(c);
        fake->SetKey(key, false);
        return running && Advance(c);
    }
};

TEST_F(CinematicTest, APressSkipsOnceSkippingIsAllowed) {
    struct Case {
        const char* what;
        float skippableAfter;
        bool gameTime;
        uint8_t key;
        int framesBefore;  // advances before the press
        bool skipped;
    };
    const Case cases[] = {
        {"at once, Accept, game time", 0.0f, true, DIK_RETURN, 0, true},
        {"at once, Cancel, frame time", 0.0f, false, DIK_ESCAPE, 0, true},
        {"never", -1.0f, true, DIK_RETURN, 3, false},
        {"before the time", 0.5f, true, DIK_RETURN, 2, false},
        {"after the time", 0.5f, true, DIK_RETURN, 6, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ZCinematic cinematic;
        cinematic.duration = -1.0f;
        cinematic.skippableAfter = c.skippableAfter;
        cinematic.runsOnGameTime = c.gameTime;
        cinematic.confirmWindow = 0.0f;
        for (int i = 0; i < c.framesBefore; ++i) ASSERT_TRUE(Advance(cinematic));
        fake->SetKey(c.key, true);
        EXPECT_EQ(Advance(cinematic), !c.skipped);
        EXPECT_EQ(cinematic.done, c.skipped);
        fake->SetKey(c.key, false);
        Advance(cinematic);
    }
}

TEST_F(CinematicTest, AClickOrAPadButtonSkipsToo) {
    ZCinematic cinematic;
    cinematic.duration = -1.0f;
    cinematic.skippableAfter = 0.0f;
    fake->SetMouseButton(0, true);
    EXPECT_FALSE(Advance(cinematic));
    fake->SetMouseButton(0, false);

    UsePad();
    ZCinematic padded;
    padded.duration = -1.0f;
    padded.skippableAfter = 0.0f;
    Advance(padded);
    input::Gamepad pad;
    pad.wButtons = 0x1000;  // A
    fake->SetPad(0, pad);
    EXPECT_FALSE(Advance(padded));
}

TEST_F(CinematicTest, AConfirmationWindowAsksForASecondPress) {
    ZCinematic cinematic;
    cinematic.duration = -1.0f;
    cinematic.skippableAfter = 0.0f;
    cinematic.confirmWindow = 1.0f;
    cinematic.runsOnGameTime = false;
    ZCinematic::SetLastSkipControl(ZHashedString::None());

    EXPECT_TRUE(Tap(cinematic, DIK_ESCAPE)) << "the first press only opens the window";
    EXPECT_GT(cinematic.confirmTimeLeft, 0.0f);
    EXPECT_EQ(ZCinematic::GetLastSkipControl(), ZHashedString("Cancel"));
    // The window runs out: the next press opens it again.
    for (int i = 0; i < 12; ++i) ASSERT_TRUE(Advance(cinematic));
    EXPECT_LE(cinematic.confirmTimeLeft, 0.0f);
    EXPECT_TRUE(Tap(cinematic));
    EXPECT_EQ(ZCinematic::GetLastSkipControl(), ZHashedString("Accept"));
    // A second press inside the window skips.
    fake->SetKey(DIK_RETURN, true);
    EXPECT_FALSE(Advance(cinematic));
    EXPECT_TRUE(cinematic.done);
}

TEST_F(CinematicTest, PressesThatNeverSkip) {
    struct Case {
        const char* what;
        std::function<void()> before;
        std::function<void()> after;
    };
    const Case cases[] = {
        {"Alt held (Alt+Enter)", [&] { fake->SetKey(DIK_LMENU, true); }, [&] { fake->SetKey(DIK_LMENU, false); }},
        {"right Alt held", [&] { fake->SetKey(DIK_RMENU, true); }, [&] { fake->SetKey(DIK_RMENU, false); }},
        {"a menu queued", [&] { GetMenuMgr()->OpenMenu(new ZMenu()); }, [&] { DestroyMenuMgr(); }},
        {"the console open", [&] { game->GetConsole().Toggle(); }, [&] { game->GetConsole().Toggle(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ZCinematic cinematic;
        cinematic.duration = -1.0f;
        cinematic.skippableAfter = 0.0f;
        cinematic.confirmWindow = 0.0f;
        c.before();
        fake->SetKey(DIK_RETURN, true);
        EXPECT_TRUE(Advance(cinematic));
        fake->SetKey(DIK_RETURN, false);
        Advance(cinematic);
        c.after();
        EXPECT_FALSE(cinematic.done);
    }
}

TEST_F(CinematicTest, TheDurationEndsTheSequence) {
    struct Case {
        float duration;
        int updatesToEnd;  // -1: never by time
    };
    const Case cases[] = {{0.0f, 1}, {0.35f, 4}, {-1.0f, -1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.duration);
        ZCinematic cinematic;
        cinematic.duration = c.duration;
        cinematic.Start();
        int updates = 0;
        while (updates < 50 && Advance(cinematic)) ++updates;
        EXPECT_EQ(c.updatesToEnd < 0 ? 50 : updates + 1, c.updatesToEnd < 0 ? 50 : c.updatesToEnd);
    }
    ZCinematic zero;
    zero.duration = 0.00005f;
    EXPECT_FALSE(zero.IsActive()) << "a duration of about 0 has nothing to play";
    zero.duration = -1.0f;
    EXPECT_TRUE(zero.IsActive());
}

TEST_F(CinematicTest, ThePromptNamesTheInputThatSkips) {
    ZStreamMgr::GetInstance()->AddPackageSource(KORV_DATA_BUILD_DIR "/Engine.zpk");
    ZLocMgr::GetInstance()->AddEngineStringFiles();
    ZLocMgr::GetInstance()->SetDefaultPath(false);
    auto font = std::make_unique<ZFont>();
    ASSERT_TRUE(font->Load("Font_Tahoma_8_256.uv"));
    game->menuFont = font.get();

    ZCinematic cinematic;
    cinematic.duration = -1.0f;
    cinematic.skippableAfter = 0.0f;
    cinematic.confirmWindow = 1.0f;
    cinematic.runsOnGameTime = false;
    EXPECT_TRUE(Tap(cinematic, DIK_ESCAPE));
    const std::string text = cinematic.promptText.GetText();
    EXPECT_EQ(text.rfind("Press ", 0), 0u) << text;
    EXPECT_NE(text.find(" again to skip"), std::string::npos) << text;
    EXPECT_EQ(text.find("%s"), std::string::npos) << text;
    EXPECT_GT(text.size(), std::string("Press  again to skip").size()) << "the input's name is in it";

    game->menuFont = nullptr;
    font.reset();
    ZLocMgr::DestroyInstance();
    ZStreamMgr::DestroyInstance();
}

}  // namespace
