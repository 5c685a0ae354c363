#pragma once

// A KorvanthGame made in a fresh user folder, with recording stand-ins for
// its voice and display, and the engine singletons it touches released after.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "foundation/ZDefinitionCache.h"
#include "foundation/ZStreamMgr.h"
#include "framework/ZConfigVar.h"
#include "framework/ZLocMgr.h"
#include "game/world/KorvanthGame.h"
#include "input/ZControlMgr.h"
#include "renderer/ZTextureMgr.h"
#include "support/EngineTestEnv.h"
#include "support/TempDir.h"

namespace worldtest {

class RecordingVoice : public GameVoice {
public:
    void SetVolume(float volume) override { calls.push_back("volume " + std::to_string(volume)); }
    void PlayTune(const char* fileName, int32_t value, ZHashedString channel) override {
        calls.push_back(std::string("play ") + fileName + " " + std::to_string(value) + " " + channel.GetText());
    }
    void StopChannel(ZHashedString channel) override { calls.push_back(std::string("stop ") + channel.GetText()); }
    void SetReverb(uint32_t word) override {
        lastReverb = word;
        calls.push_back("reverb");
    }
    std::vector<std::string> calls;
    uint32_t lastReverb = 0xFFFFFFFFu;
};

class RecordingDisplay : public NullGameDisplay {
public:
    explicit RecordingDisplay(std::vector<std::string>* log) : m_log(log) {}
    void ApplyCRTPasses(KorvanthGame&, bool on) override { m_log->push_back(std::string("crt ") + (on ? "on" : "off")); }
    void ApplyAnaglyphPasses(KorvanthGame&, bool on) override {
        m_log->push_back(std::string("anaglyph ") + (on ? "on" : "off"));
    }
    void ReleaseWorldLayers(KorvanthGame&) override { m_log->push_back("release layers"); }
    void SelectCompositeTarget(KorvanthGame&, bool second) override {
        m_log->push_back(std::string("composite ") + (second ? "2" : "1"));
    }

private:
    std::vector<std::string>* m_log;
};

class GameTest : public testing::Test {
protected:
    void SetUp() override {
        m_env = std::make_unique<korvtest::EngineTestEnv>(m_documents.Path());
        m_game = new KorvanthGame();
        m_game->SetDisplay(std::make_unique<RecordingDisplay>(&m_displayLog));
    }
    void TearDown() override {
        ZBaseGame::DestroyInstance();
        ClearConfigRegistry();
        DeleteControlMgr();
        ZLocMgr::DestroyInstance();
        ZTextureMgr::DestroyInstance();
        ZDefinitionCache::DestroyInstance();
        ZStreamMgr::DestroyInstance();
        m_env.reset();
    }

    // Mounts the game's built package.
    static void MountGamePackage() {
        ZStreamMgr::GetInstance()->AddPackageSource((std::string(KORV_DATA_BUILD_DIR) + "/Korvanth.zpk").c_str());
    }

    korvtest::TempDir m_documents;
    std::unique_ptr<korvtest::EngineTestEnv> m_env;
    KorvanthGame* m_game = nullptr;
    std::vector<std::string> m_displayLog;
};

}  // namespace worldtest
