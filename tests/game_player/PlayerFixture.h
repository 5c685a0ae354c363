#pragma once

// A player made outside a running game (no game object: side-view mode, no
// voice), with the game's package mounted so its sprite sheets load, and the
// singletons it touches released after.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "entity/ZCollisionBox.h"
#include "entity/ZCollisionComponent.h"
#include "entity/ZCollisionWorld.h"
#include "entity/ZPhysicsComponent.h"
#include "entity/ZRenderableComponent.h"
#include "entity/ZSpatialComponent.h"
#include "foundation/ZDefinitionCache.h"
#include "foundation/ZStreamMgr.h"
#include "game/player/Player.h"
#include "input/ZControlMgr.h"
#include "renderer/ZCamera.h"
#include "renderer/ZTextureMgr.h"
#include "support/EngineTestEnv.h"
#include "support/TempDir.h"

namespace playertest {

class PlayerTest : public testing::Test {
protected:
    void SetUp() override {
        m_env = std::make_unique<korvtest::EngineTestEnv>(m_documents.Path());
        ZStreamMgr::GetInstance()->AddPackageSource((std::string(KORV_DATA_BUILD_DIR) + "/Korvanth.zpk").c_str());
        player = new Player();
        player->inPlay = true;
    }
    void TearDown() override {
        delete player;
        player = nullptr;
        gWorldUp = ZVector3(0.0f, 0.0f, 1.0f);
        DeleteControlMgr();
        ZTextureMgr::DestroyInstance();
        ZDefinitionCache::DestroyInstance();
        ZStreamMgr::DestroyInstance();
        m_env.reset();
    }

    korvtest::TempDir m_documents;
    std::unique_ptr<korvtest::EngineTestEnv> m_env;
    Player* player = nullptr;
};

}  // namespace playertest
