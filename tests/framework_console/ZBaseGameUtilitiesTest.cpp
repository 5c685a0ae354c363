// PNG screenshots, their numbering, and the cursor in render pixels.

#include <gtest/gtest.h>

#include <png.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "ConsoleFixture.h"
#include "framework/ZScreenshot.h"
#include "platform/gfx/fake/fake_gfx.h"
#include "renderer/ZRenderer.h"
#include "platform/os/fake/fake.h"
#include "support/TempDir.h"

namespace consoletest {
namespace {

// The file decoded as 8-bit RGB, or empty when libpng cannot read it.
std::vector<uint8_t> ReadPNG(const std::string& path, uint32_t& width, uint32_t& height) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&image, path.c_str()) == 0) {
        return {};
    }
    image.format = PNG_FORMAT_RGB;
    std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(image));
    if (png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr) == 0) {
        return {};
    }
    width = image.width;
    height = image.height;
    return pixels;
}

TEST(ZScreenshot, WritesOpaqueRGBRowsFromTheTop) {
    korvtest::TempDir dir;
    const std::string path = dir.File("shot.png");
    // A8R8G8B8 words; alpha is ignored.
    const uint32_t pixels[] = {0xFFFF0000u, 0x0000FF00u, 0x800000FFu, 0xFF102030u, 0xFFFFFFFFu, 0xFF000000u};
    ASSERT_TRUE(WriteScreenshotPNG(path.c_str(), pixels, 3, 2));
    uint32_t width = 0;
    uint32_t height = 0;
    const std::vector<uint8_t> rgb = ReadPNG(path, width, height);
    EXPECT_EQ(width, 3u);
    EXPECT_EQ(height, 2u);
    const std::vector<uint8_t> expected = {255,  0,    0,    0,   255, 0,   0, 0, 255,
                                           0x10, 0x20, 0x30, 255, 255, 255, 0, 0, 0};
    EXPECT_EQ(rgb, expected);
}

TEST(ZScreenshot, FailuresLeaveNoFileAndKeepAnOldOne) {
    korvtest::TempDir dir;
    const uint32_t pixel = 0xFF00FF00u;
    EXPECT_FALSE(WriteScreenshotPNG(dir.File("empty.png").c_str(), &pixel, 0, 1));
    EXPECT_FALSE(std::filesystem::exists(dir.File("empty.png")));
    EXPECT_FALSE(WriteScreenshotPNG(dir.File("no/such/folder/shot.png").c_str(), &pixel, 1, 1));

    const std::string path = dir.File("kept.png");
    ASSERT_TRUE(WriteScreenshotPNG(path.c_str(), &pixel, 1, 1));
    const uint32_t big[4] = {};
    {
        os::fake::DiskFull full;
        EXPECT_FALSE(WriteScreenshotPNG(path.c_str(), big, 2, 2));
    }
    uint32_t width = 0;
    uint32_t height = 0;
    EXPECT_EQ(ReadPNG(path, width, height), (std::vector<uint8_t>{0, 255, 0}));
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 1);
}

TEST(ZScreenshot, TakesTheFirstFreeNumber) {
    korvtest::TempDir dir;
    const std::string folder = dir.Path().string() + "/";
    EXPECT_EQ(std::string(FindFreeScreenshotPath(folder.c_str(), "screen_", "png").GetText()),
              folder + "screen_0000.png");
    dir.Write("screen_0000.png", "x");
    dir.Write("screen_0001.png", "x");
    dir.Write("screen_0003.png", "x");
    EXPECT_EQ(std::string(FindFreeScreenshotPath(folder.c_str(), "screen_", "png").GetText()),
              folder + "screen_0002.png");
    EXPECT_EQ(std::string(FindFreeScreenshotPath(folder.c_str(), "screen_", "bmp").GetText()),
              folder + "screen_0000.bmp");
}

// The game's own screenshot on the scripted graphics device, in either format,
// under a documents folder whose path alone is longer than a kilobyte: every
// shot gets its own whole name, none is cut short or written over.
using ScreenshotUnderALongFolder = ConsoleTest;

TEST_F(ScreenshotUnderALongFolder, EveryShotGetsItsOwnWholeName) {
    korvtest::TempDir root;
    std::string documents = root.Path().string();
    for (int i = 0; i < 6; ++i) documents += "/" + std::string(200, static_cast<char>('a' + i));
    ASSERT_GT(documents.size(), 1100u);
    std::filesystem::create_directories(documents);
    setenv("XDG_DOCUMENTS_DIR", documents.c_str(), 1);

    auto state = std::make_shared<gfx::fake::State>();
    GetRenderer()->UseSystem(gfx::fake::CreateSystem(state));
    int32_t width = 4;
    int32_t height = 2;
    ZArray<ZHashedString> missing;
    InitRenderer(windows, width, height, ZRenderVideoSettings(), missing);
    for (const char* format : {"bmp", "png"}) {
        SCOPED_TRACE(format);
        game->m_screenshotFormat = ZHashedString(format);
        game->TakeScreenshot();
        game->TakeScreenshot();
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(documents)) {
            if (entry.path().extension() == std::string(".") + format) names.push_back(entry.path().filename());
        }
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names, (std::vector<std::string>{std::string("screen_0000.") + format,
                                                   std::string("screen_0001.") + format}));
    }
    ShutdownRenderer();
    DestroyRenderer();
}

using CursorClientPos = ConsoleTest;

TEST_F(CursorClientPos, MapsTheCursorIntoRenderPixels) {
    struct Case {
        const char* name;
        bool fullscreen;
        int32_t width, height;
        int32_t tate;
        float pixelSize;
        int32_t cursorX, cursorY;
        float x, y;
    };
    const Case cases[] = {
        {"centre", false, 800, 600, 0, 1.0f, 400, 300, 400.0f, 300.0f},
        {"corner", false, 800, 600, 0, 1.0f, 0, 0, 0.0f, 0.0f},
        {"pixel size 2", false, 800, 600, 0, 2.0f, 800, 600, 400.0f, 300.0f},
        {"quarter turn, centre", false, 800, 600, 1, 1.0f, 400, 300, 300.0f, 400.0f},
        {"quarter turn, corner", false, 800, 600, 1, 1.0f, 0, 0, 0.0f, 800.0f},
        {"half turn", false, 800, 600, 2, 1.0f, 0, 0, 800.0f, 600.0f},
        {"stretched over the monitor", true, 1280, 720, 0, 1.0f, 1920, 1080, 1280.0f, 720.0f},
        {"stretched, middle", true, 1280, 720, 0, 1.0f, 960, 540, 640.0f, 360.0f},
    };
    for (const Case& c : cases) {
        game->m_fullscreen = c.fullscreen;
        game->m_fullscreenWindowed = true;
        game->m_fullscreenWindowedStretch = true;
        game->m_widthWindowed = game->m_widthFullscreen = c.width;
        game->m_heightWindowed = game->m_heightFullscreen = c.height;
        game->m_tate = c.tate;
        game->m_pixelSize = c.pixelSize;
        game->UpdateScreenMetrics();
        windows->SetCursorPos(c.cursorX, c.cursorY);
        float position[2] = {-1.0f, -1.0f};
        game->GetCursorClientPos(position);
        EXPECT_NEAR(position[0], c.x, 1e-3) << c.name;
        EXPECT_NEAR(position[1], c.y, 1e-3) << c.name;
    }
}

}  // namespace
}  // namespace consoletest
