#pragma once

#include <string>
#include <vector>

#include "ConfigFixture.h"
#include "framework/ZEngineConfigVars.h"
#include "framework/ZLocMgr.h"

namespace configtest {

// A base game stand-in that records what the callbacks hand to the services.
class RecordingGame : public ZEngineConfigVars {
public:
    struct VideoCall {
        int32_t width, height;
        bool vsync, fullscreen, fullscreenWindowed, stretch;
        int32_t fxaa, tate;
    };
    struct AudioCall {
        float master, music, sound, writeDelay;
        bool exclusive;
    };

    void SetAllVideoOptions(int32_t width, int32_t height, bool vsync, bool fullscreen,
                            bool fullscreenWindowed, bool stretch, int32_t fxaa, int32_t tate) override {
        video.push_back({width, height, vsync, fullscreen, fullscreenWindowed, stretch, fxaa, tate});
    }
    void SetCameraFieldOfView(float fov) override { fovs.push_back(fov); }
    void SetMouseFactor(float factor) override { mouseFactors.push_back(factor); }
    void ConfineCursor(bool locked) override { cursorLocks.push_back(locked); }
    void SetAudioOptions(float master, float music, float sound, float writeDelay, bool exclusive) override {
        audio.push_back({master, music, sound, writeDelay, exclusive});
    }

    void ForgetCalls() {
        video.clear();
        fovs.clear();
        mouseFactors.clear();
        cursorLocks.clear();
        audio.clear();
    }

    std::vector<VideoCall> video;
    std::vector<float> fovs;
    std::vector<float> mouseFactors;
    std::vector<bool> cursorLocks;
    std::vector<AudioCall> audio;
};

// The engine's variables registered for a 1920x1080 monitor.
template <typename Game = RecordingGame>
class EngineConfigTest : public ConfigTest {
protected:
    void SetUp() override {
        ConfigTest::SetUp();
        ZLocMgr::DestroyInstance();
        m_game.m_primaryMonitorWidth = 1920;
        m_game.m_primaryMonitorHeight = 1080;
        m_game.registerConfigVars();
    }

    void TearDown() override {
        ZLocMgr::DestroyInstance();
        ConfigTest::TearDown();
    }

    bool Set(const char* section, const char* name, const char* text) {
        const ZHashedString sectionId = section != nullptr ? ZHashedString(section) : ZHashedString::None();
        return ZConfigVar::SetFromString(text, sectionId, ZHashedString(name));
    }

    Game m_game;
};

}  // namespace configtest
