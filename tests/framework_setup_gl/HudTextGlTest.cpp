// The frame-rate display and the input recorder's label, drawn with the HUD
// font in white at (8, 8) and two lines lower. Whole runs on the SDL window
// (headless driver) and the GL device, read back.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/ZInputRecorder.h"
#include "framework_game/RunScenarios.h"
#include "renderer/ZFont.h"
#include "renderer/ZRenderer.h"
#include "support/PackagedGame.h"

namespace gametest {
namespace {

struct Band {
    int32_t top, bottom;  // rows, bottom excluded
};

// White pixels (every channel at least 200) in the first 200 columns of each band.
struct Counts {
    int fps = 0;
    int label = 0;
};

TEST(HudTextGl, FrameRateAndRecorderLabelShowWhenOn) {
    struct Case {
        const char* name;
        bool showFPS;
        bool recording;
    };
    const Case cases[] = {
        {"neither", false, false},
        {"frame rate", true, false},
        {"recorder label", false, true},
        {"both", true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RunInChild([&c] {
            GameRun run(platform::window::Backend::Sdl);
            UsePackagedGame(run);
            run.Configure(std::string("DevMode: true\r\nShowFPS: ") + (c.showFPS ? "true" : "false") +
                          "\r\n\r\n[Video]\r\nFullscreen: false\r\nWidthWindowed: 640\r\nHeightWindowed: 480\r\n");
            Counts counts;
            int32_t lineHeight = 0;
            run.game->afterFrame = [&](TestGame& g, const int frame) {
                if (frame == 2 && c.recording) {
                    GetInputRecorder()->ToggleRecording();
                }
                if (frame != 5) {
                    return;
                }
                ASSERT_NE(g.GetHUDFont(), nullptr);
                lineHeight = g.GetHUDFont()->GetLineHeight();
                BackBufferShot shot;
                shot.Take();
                const int32_t width = shot.width;
                const int32_t height = shot.height;
                const std::vector<uint32_t>& pixels = shot.pixels;
                const auto white = [&](const Band band) {
                    int count = 0;
                    for (int32_t y = band.top; y < band.bottom && y < height; ++y) {
                        for (int32_t x = 0; x < 200 && x < width; ++x) {
                            const uint32_t p = pixels[static_cast<size_t>(y) * width + x];
                            count += (p & 0xFF) >= 200 && (p >> 8 & 0xFF) >= 200 && (p >> 16 & 0xFF) >= 200;
                        }
                    }
                    return count;
                };
                counts.fps = white({8, 8 + lineHeight});
                counts.label = white({8 + 2 * lineHeight, 8 + 3 * lineHeight});
                if (c.recording) {
                    GetInputRecorder()->ToggleRecording();
                }
            };
            run.game->quitAfterFrames = 6;
            run.Run();

            ASSERT_GT(lineHeight, 0);
            EXPECT_EQ(counts.fps > 20, c.showFPS) << counts.fps;
            EXPECT_EQ(counts.label > 10, c.recording) << counts.label;
        });
    }
}

TEST(HudTextGl, TheFrameRateTextIsTheLabelAndTheAverage) {
    RunInChild([] {
        GameRun run(platform::window::Backend::Sdl);
        UsePackagedGame(run);
        run.Configure("");
        run.game->frameSeconds = {0.02};
        std::string text;
        run.game->beforeShutdown = [&](TestGame& g) { text = g.GetFrameRateText().GetText(); };
        run.game->quitAfterFrames = 20;
        run.Run();
        EXPECT_EQ(text, "FPS: 50\n");
    });
}

}  // namespace
}  // namespace gametest
