#pragma once

// A KorvanthGame that is made but not run, in a fresh user folder, with the
// game's package mounted, a recording voice and the one player; the engine
// singletons it touches are released after.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "entity/ZComponentFactoryChain.h"
#include "entity/ZEngineComponentFactory.h"
#include "foundation/ZDefinitionCache.h"
#include "foundation/ZStateStore.h"
#include "foundation/ZStreamMgr.h"
#include "framework/ZConfigVar.h"
#include "framework/ZLocMgr.h"
#include "game/player/Player.h"
#include "game/player/PlayerTransition.h"
#include "game/world/KorvanthGame.h"
#include "input/ZControlMgr.h"
#include "menu/ZCinematicMgr.h"
#include "platform/os/files.h"
#include "renderer/ZCamera.h"
#include "renderer/ZTextureMgr.h"
#include "support/EngineTestEnv.h"
#include "support/TempDir.h"

namespace traveltest {

class RecordingVoice : public GameVoice {
public:
    void SetVolume(float) override {}
    void PlayTune(const char* fileName, int32_t value, ZHashedString channel) override {
        calls.push_back(std::string("play ") + fileName + " " + std::to_string(value) + " " + channel.GetText());
    }
    void StopChannel(ZHashedString channel) override { calls.push_back(std::string("stop ") + channel.GetText()); }
    void SetReverb(uint32_t) override {}
    std::vector<std::string> calls;
};

// The engine's component kinds, registered once for the whole program (the
// chain never shrinks), as the game's start-up does.
inline void UseEngineComponents() {
    static const bool registered = [] {
        RegisterComponentFactory(CreateComponentByName);
        return true;
    }();
    (void)registered;
}

class TravelTest : public testing::Test {
protected:
    void SetUp() override {
        UseEngineComponents();
        m_env = std::make_unique<korvtest::EngineTestEnv>(m_documents.Path());
        game = new KorvanthGame();
        game->SetVoice(&voice);
        game->registerConfigVars();
        ZStreamMgr::GetInstance()->AddPackageSource((std::string(KORV_DATA_BUILD_DIR) + "/Korvanth.zpk").c_str());
        GetStateStore()->Clear();
        player = new Player();
        InstallTransitionHooks();
    }
    void TearDown() override {
        DestroyCinematicMgr();
        RemoveTransitionHooks();
        delete player;
        player = nullptr;
        gWorldUp = ZVector3(0.0f, 0.0f, 1.0f);
        game->SetVoice(nullptr);
        DestroyStateStore();
        ZBaseGame::DestroyInstance();
        ClearConfigRegistry();
        DeleteControlMgr();
        ZLocMgr::DestroyInstance();
        ZTextureMgr::DestroyInstance();
        ZDefinitionCache::DestroyInstance();
        ZStreamMgr::DestroyInstance();
        m_env.reset();
    }

    // The autosave's path as the file system spells it.
    std::string AutosaveFile() const { return os::TranslatePath(game->GetAutosavePath().GetText()); }

    korvtest::TempDir m_documents;
    std::unique_ptr<korvtest::EngineTestEnv> m_env;
    RecordingVoice voice;
    KorvanthGame* game = nullptr;
    Player* player = nullptr;
};

}  // namespace traveltest
