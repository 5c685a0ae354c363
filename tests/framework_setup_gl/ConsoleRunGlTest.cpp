// A whole run of the engine on the SDL window (headless driver) and the GL
// device, driven by a scripted keyboard: the console key opens the console,
// two lines are typed and entered, and the second ("quit") ends the run. A
// read-back of the back buffer in the middle shows the console's text.

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "framework_game/RunScenarios.h"
#include "platform/window/keycodes.h"
#include "renderer/ZFont.h"
#include "renderer/ZRenderer.h"
#include "support/PackagedGame.h"

namespace gametest {
namespace {

using platform::input::FakeInputSystem;

// One key of the script: its scan code and whether Shift is held with it.
struct Key {
    uint8_t code;
    bool shift;
};

Key KeyFor(const char c) {
    using namespace platform;
    struct Entry {
        char c;
        uint8_t code;
    };
    static const Entry kKeys[] = {
        {'a', DIK_A}, {'c', DIK_C}, {'d', DIK_D},     {'e', DIK_E},       {'i', DIK_I},     {'n', DIK_N},
        {'o', DIK_O}, {'q', DIK_Q}, {'s', DIK_S},     {'t', DIK_T},       {'u', DIK_U},     {'v', DIK_V},
        {'y', DIK_Y}, {'0', DIK_0}, {' ', DIK_SPACE}, {'\n', DIK_RETURN}, {'`', DIK_GRAVE},
    };
    const bool upper = c >= 'A' && c <= 'Z';
    const char lower = upper ? static_cast<char>(c - 'A' + 'a') : c;
    for (const Entry& e : kKeys) {
        if (e.c == lower) return Key{e.code, upper};
    }
    ADD_FAILURE() << "no key for '" << c << "'";
    return Key{0, false};
}

// Each key goes down for one frame and up for the next; a key that types
// text also gives the window the text event a keyboard would.
void QueueTyping(FakeInputSystem& input, const std::string& text, std::vector<bool>& shifts,
                 std::vector<char>& texts) {
    for (const char c : text) {
        const Key key = KeyFor(c);
        FakeInputSystem::Frame down;
        down.keys.emplace();
        down.keys->keys[key.code] = 0x80;
        input.QueueFrame(down);
        shifts.push_back(key.shift);
        texts.push_back(c >= 0x20 && c < 0x7F ? c : 0);
        FakeInputSystem::Frame up;
        up.keys.emplace();
        input.QueueFrame(up);
        shifts.push_back(false);
        texts.push_back(0);
    }
}

void PushTextEvent(const char c) {
    SDL_Event event;
    std::memset(&event, 0, sizeof event);
    event.type = SDL_TEXTINPUT;
    event.text.text[0] = c;
    SDL_PushEvent(&event);
}

using Shot = BackBufferShot;

// Pixels bright in every channel (text is white; the backdrop is dark).
int BrightPixels(const Shot& shot, const int32_t fromRow, const int32_t toRow) {
    int count = 0;
    for (int32_t y = fromRow < 0 ? 0 : fromRow; y < toRow && y < shot.height; ++y) {
        for (int32_t x = 0; x < shot.width; ++x) {
            const uint32_t p = shot.pixels[static_cast<size_t>(y) * shot.width + x];
            if ((p & 0xFF) >= 200 && (p >> 8 & 0xFF) >= 200 && (p >> 16 & 0xFF) >= 200) ++count;
        }
    }
    return count;
}

// Pixels unlike the empty scene's (the bottom-right corner, far from the console).
int NonBackgroundPixels(const Shot& shot, const int32_t fromRow, const int32_t toRow) {
    const uint32_t background = shot.pixels.back() & 0x00FFFFFF;
    int count = 0;
    for (int32_t y = fromRow < 0 ? 0 : fromRow; y < toRow && y < shot.height; ++y) {
        for (int32_t x = 0; x < shot.width; ++x) {
            if ((shot.pixels[static_cast<size_t>(y) * shot.width + x] & 0x00FFFFFF) != background) ++count;
        }
    }
    return count;
}

TEST(ConsoleRunGl, ConsoleOpensRunsTwoLinesAndQuits) {
    RunInChild([] {
        GameRun run(platform::window::Backend::Sdl);
        UsePackagedGame(run);
        run.Configure(
            "\r\n[Video]\r\nFullscreen: false\r\nWidthWindowed: 640\r\nHeightWindowed: 480\r\nVSync: "
            "true\r\n");
        TestGame& game = *run.game;
        FakeInputSystem& input = *run.input;

        // A few frames to settle, then the console key, the two lines and their Enters.
        constexpr int kSettleFrames = 3;
        std::vector<bool> shifts(kSettleFrames, false);
        std::vector<char> texts(kSettleFrames, 0);
        for (int i = 0; i < kSettleFrames; ++i) input.QueueFrame(FakeInputSystem::Frame());
        QueueTyping(input, "`", shifts, texts);
        QueueTyping(input, "set Video VSync 0\n", shifts, texts);
        QueueTyping(input, "quit", shifts, texts);
        const size_t shotAt = shifts.size();  // the frame drawn just before the last Enter
        QueueTyping(input, "\n", shifts, texts);

        bool openedAfterKey = false;
        bool vsyncOffBeforeQuit = false;
        float lineHeight = 0.0f;
        int32_t outputLines = 0;
        std::string prompt;
        Shot shot;
        size_t step = 0;
        game.afterFrame = [&](TestGame& g, int /*frame*/) {
            if (step == static_cast<size_t>(kSettleFrames) + 2) {
                openedAfterKey = g.GetConsole().IsOpen();
            }
            if (step == shotAt) {
                shot.Take();
                if (const ZFont* font = g.GetConsoleFont())
                    lineHeight = static_cast<float>(font->GetLineHeight());
                for (int i = 0; i < ZConsole::kLineCount; ++i)
                    outputLines += g.GetConsole().GetOutputLine(i)[0] != 0;
                prompt = g.GetConsole().GetInputLine();
                vsyncOffBeforeQuit = !g.m_vsync;
            }
            // The next frame's keys; Shift comes from the window system.
            SDL_SetModState(step < shifts.size() && shifts[step] ? KMOD_LSHIFT : KMOD_NONE);
            if (step < texts.size() && texts[step] != 0) {
                PushTextEvent(texts[step]);
            }
            input.StepFrame();
            ++step;
        };
        game.quitAfterFrames = 400;  // a safety net: "quit" ends the run first
        run.Run();

        EXPECT_TRUE(openedAfterKey) << "the console key opened the console";
        EXPECT_TRUE(vsyncOffBeforeQuit) << "\"set Video VSync 0\" ran";
        EXPECT_EQ(prompt, "quit");
        EXPECT_LT(game.drawnFrames, 400) << "\"quit\" ended the run";
        EXPECT_EQ(game.shutdowns, 1);

        const std::vector<UserFolder::LogLine> log = run.user.ReadLog();
        EXPECT_TRUE(
            LinesInOrder(log, {"ZBaseGame::CreateRenderGroups", "ZBaseGame::AssignGroupsToPasses",
                               "ZBaseGame::PreLoadEngineAssets", "ZBaseGame::LoadEngineAssets",
                               "ZBaseGame::postinit", "Exiting", "ZBaseGame::shutdown", "Closing the log"}));
        EXPECT_EQ(CountLines(log, "Shader Compilation Error"), 0);
        const std::string config = run.user.Read("Config/Config.ini");
        EXPECT_NE(config.find("VSync: false\r\n"), std::string::npos) << config;
        const std::string memory = run.user.Read("Config/ConsoleMemory.txt");
        EXPECT_NE(memory.find("set Video VSync 0"), std::string::npos) << memory;
        EXPECT_NE(memory.find("quit"), std::string::npos) << memory;

        // The screenshot: white text in the console's rows (the banner, the
        // echoed line and the prompt), nothing bright far below them.
        ASSERT_EQ(shot.width, 640);
        ASSERT_EQ(shot.height, 480);
        ASSERT_GT(lineHeight, 0.0f);
        const int32_t h = static_cast<int32_t>(lineHeight);
        const int32_t rows = 3 + outputLines;
        const int32_t textTop = h;
        const int32_t promptTop = (rows - 2) * h;
        EXPECT_GT(BrightPixels(shot, textTop, textTop + h), 20) << "the first output line";
        EXPECT_GT(BrightPixels(shot, promptTop, promptTop + h), 10) << "the prompt \"> quit\"";
        EXPECT_EQ(NonBackgroundPixels(shot, 0, h), shot.width * h) << "the backdrop above the text";
        EXPECT_EQ(NonBackgroundPixels(shot, (rows + 2) * h, shot.height), 0) << "below the console";
        EXPECT_EQ(BrightPixels(shot, (rows + 2) * h, shot.height), 0) << "below the console";
        if (::testing::Test::HasFailure()) {
            // Written beside the test program for a look.
            ZRenderer::WriteBMP("console_run_failure.bmp", shot.pixels.data(), shot.width, shot.height);
        }
    });
}

}  // namespace
}  // namespace gametest
