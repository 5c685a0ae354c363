#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "framework/ZBaseGame.h"
#include "framework/ZWindow.h"
#include "platform/window/fake/FakeWindowSystem.h"
#include "support/TempDir.h"

using namespace platform::window;

namespace {

constexpr uint32_t kWindowedStyle = 0x00CE0000;
constexpr uint32_t kPopupStyle = 0x80080000;

// A base game on a fake 1920x1080 desktop, its user folders in a temporary
// folder, whose window is made as start-up makes it.
class ApplyWindowStyleTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* old = std::getenv("XDG_DOCUMENTS_DIR");
        hadDocuments = old != nullptr;
        oldDocuments = old != nullptr ? old : "";
        setenv("XDG_DOCUMENTS_DIR", documents.Path().c_str(), 1);

        auto system = std::make_unique<FakeWindowSystem>();
        fake = system.get();
        SetWindowSystem(std::move(system));

        MakeGame();
    }

    // A fresh game object: start-up makes the window once per game.
    void MakeGame() {
        game.reset();
        game = std::make_unique<ZBaseGame>();
        game->m_doLogging = false;
        game->m_primaryMonitorWidth = 1920;
        game->m_primaryMonitorHeight = 1080;
        game->m_widthWindowed = 1024;
        game->m_heightWindowed = 768;
        game->m_widthFullscreen = 1920;
        game->m_heightFullscreen = 1080;
    }

    void TearDown() override {
        game.reset();
        SetWindowSystem(nullptr);
        if (hadDocuments) {
            setenv("XDG_DOCUMENTS_DIR", oldDocuments.c_str(), 1);
        } else {
            unsetenv("XDG_DOCUMENTS_DIR");
        }
    }

    void SetVideo(const bool fullscreen, const bool fullscreenWindowed, const bool stretch) {
        game->m_fullscreen = fullscreen;
        game->m_fullscreenWindowed = fullscreenWindowed;
        game->m_fullscreenWindowedStretch = stretch;
        game->UpdateScreenMetrics();
    }

    // The client area on the screen.
    Rect Client() const {
        const Point origin = fake->ClientToScreen({0, 0});
        const Rect client = fake->GetClientRect();
        return {origin.x, origin.y, origin.x + client.Width(), origin.y + client.Height()};
    }

    korvtest::TempDir documents;
    bool hadDocuments = false;
    std::string oldDocuments;
    FakeWindowSystem* fake = nullptr;
    std::unique_ptr<ZBaseGame> game;
};

TEST_F(ApplyWindowStyleTest, StyleSizeAndPlaceForEachVideoState) {
    struct VideoState {
        bool fullscreen, fullscreenWindowed, stretch;
    };
    struct Case {
        const char* name;
        VideoState created;  // the state the window was made in
        VideoState applied;  // the state applied after
        bool exclusiveArgument;
        uint32_t style;
        Rect client;
        bool shown;
    };
    const Rect windowed = {448, 156, 1472, 924};  // 1024x768, centred
    const Rect monitor = {0, 0, 1920, 1080};
    const Case cases[] = {
        {"windowed stays windowed", {false, false, false}, {false, false, false}, false, kWindowedStyle, windowed, true},
        {"borderless back to windowed", {true, true, true}, {false, false, false}, false, kWindowedStyle, windowed, true},
        {"windowed to stretched borderless", {false, false, false}, {true, true, true}, false, kPopupStyle, monitor, true},
        {"exclusive takes the popup style only", {false, false, false}, {true, false, false}, true, kPopupStyle,
         windowed, false},
        {"exclusive without the argument does nothing", {false, false, false}, {true, false, false}, false,
         kWindowedStyle, windowed, false},
        {"windowed with the argument does nothing", {true, true, true}, {false, false, false}, true, kPopupStyle,
         monitor, false},
    };
    for (const Case& c : cases) {
        MakeGame();
        SetVideo(c.created.fullscreen, c.created.fullscreenWindowed, c.created.stretch);
        game->setupWindow();
        ASSERT_TRUE(fake->HasWindow()) << c.name;
        ASSERT_FALSE(fake->IsWindowVisible()) << c.name;
        SetVideo(c.applied.fullscreen, c.applied.fullscreenWindowed, c.applied.stretch);
        game->ApplyWindowStyle(c.exclusiveArgument);
        EXPECT_EQ(fake->GetStyle(), c.style) << c.name;
        EXPECT_EQ(fake->GetExStyle(), 0u) << c.name;
        EXPECT_EQ(Client(), c.client) << c.name;
        EXPECT_EQ(fake->IsWindowVisible(), c.shown) << c.name;
    }
}

TEST_F(ApplyWindowStyleTest, BorderlessWithoutStretchCentresTheFullScreenSize) {
    game->m_widthFullscreen = 1280;
    game->m_heightFullscreen = 720;
    SetVideo(false, false, false);
    game->setupWindow();
    SetVideo(true, true, false);
    game->ApplyWindowStyle(false);
    EXPECT_EQ(fake->GetStyle(), kPopupStyle);
    EXPECT_EQ(Client(), (Rect{320, 180, 1600, 900}));
}

TEST_F(ApplyWindowStyleTest, AWindowedResizeKeepsItsPlace) {
    SetVideo(false, false, false);
    game->setupWindow();
    // The player dragged the window elsewhere, then picks a smaller size.
    const Rect frame = fake->GetWindowRect();
    fake->MoveWindow(100, 100, frame.Width(), frame.Height(), true);
    const Rect before = Client();
    game->m_widthWindowed = 800;
    game->m_heightWindowed = 600;
    SetVideo(false, false, false);
    game->ApplyWindowStyle(false);
    EXPECT_EQ(fake->GetStyle(), kWindowedStyle);
    const Rect after = Client();
    EXPECT_EQ(after.Width(), 800);
    EXPECT_EQ(after.Height(), 600);
    EXPECT_EQ(after.left, before.left + (1024 - 800) / 2);
    EXPECT_EQ(after.top, before.top + (768 - 600) / 2);
}

TEST_F(ApplyWindowStyleTest, NothingHappensWithoutAWindow) {
    SetVideo(false, false, false);
    game->ApplyWindowStyle(false);
    game->ApplyWindowStyle(true);
    EXPECT_FALSE(fake->HasWindow());
}

TEST_F(ApplyWindowStyleTest, ToggleFullscreenGoesExclusiveAndBack) {
    SetVideo(false, false, false);
    game->setupWindow();
    game->ToggleFullscreen();
    EXPECT_TRUE(game->m_fullscreen);
    EXPECT_EQ(fake->GetStyle(), kPopupStyle);
    game->ToggleFullscreen();
    EXPECT_FALSE(game->m_fullscreen);
    EXPECT_EQ(fake->GetStyle(), kWindowedStyle);
    EXPECT_EQ(Client(), (Rect{448, 156, 1472, 924}));
    EXPECT_TRUE(fake->IsWindowVisible());
}

}  // namespace
