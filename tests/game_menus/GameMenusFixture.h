#pragma once

// The game's menus on the menu framework without a window: a KorvanthGame
// with its settings, the engine's and the game's packages and strings, the
// menu font, and a display that logs the pass switches. Menus are driven by
// events sent straight to the manager, on a clock the test owns.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "foundation/ZDefinitionCache.h"
#include "foundation/ZStateStore.h"
#include "foundation/ZStreamMgr.h"
#include "framework/ZConfigVar.h"
#include "framework/ZLocMgr.h"
#include "game/menus/GameFlow.h"
#include "game/world/KorvanthGame.h"
#include "input/ZControlMgr.h"
#include "menu/ZMenu.h"
#include "menu/ZMenuItem.h"
#include "menu/ZMenuMgr.h"
#include "platform/os/files.h"
#include "renderer/ZFont.h"
#include "renderer/ZTextureMgr.h"
#include "support/EngineTestEnv.h"
#include "support/TempDir.h"

namespace menustest {

class LoggingDisplay : public NullGameDisplay {
public:
    explicit LoggingDisplay(std::vector<std::string>* log) : m_log(log) {}
    void ApplyCRTPasses(KorvanthGame&, bool on) override { m_log->push_back(std::string("crt ") + (on ? "on" : "off")); }
    void ApplyAnaglyphPasses(KorvanthGame&, bool on) override {
        m_log->push_back(std::string("anaglyph ") + (on ? "on" : "off"));
    }
    void ApplyMinimapSetting(KorvanthGame&, bool on) override {
        m_log->push_back(std::string("minimap ") + (on ? "on" : "off"));
    }

private:
    std::vector<std::string>* m_log;
};

class MenuGame : public KorvanthGame {
public:
    ZFont* GetMenuFont() const override { return font; }
    void Exit() override { ++exits; }
    // The tests' frames have the fixed length they set from the first one.
    void StartupThrottling(float&) override {}
    ZFont* font = nullptr;
    int exits = 0;
};

class GameMenusTest : public testing::Test {
protected:
    void SetUp() override {
        m_env = std::make_unique<korvtest::EngineTestEnv>(m_documents.Path());
        game = new MenuGame();
        game->SetLogging(false);
        game->SetDisplay(std::make_unique<LoggingDisplay>(&displayLog));
        game->registerConfigVars();
        ZStreamMgr* streams = ZStreamMgr::GetInstance();
        streams->AddPackageSource(KORV_DATA_BUILD_DIR "/Engine.zpk");
        streams->AddPackageSource(KORV_DATA_BUILD_DIR "/Korvanth.zpk");
        // A randomizer manifest, so that a seeded game builds its world.
        streams->AddDirectorySource(KORV_FIXTURES_DIR "/randomizer");
        ZLocMgr* loc = ZLocMgr::GetInstance();
        loc->AddEngineStringFiles();
        loc->AddLanguageList(game->GetLanguageListFileName());
        game->AddLocStringFiles();
        loc->SetDefaultPath(false);
        font = std::make_unique<ZFont>();
        ASSERT_TRUE(font->Load("Font_Tahoma_8_256.uv"));
        game->font = font.get();
        GetStateStore()->Clear();
        gameflow::SetGameInProgress(false);
        gameflow::SetUpRandomizer(false, ZString());
        displayLog.clear();  // what registration applied
    }
    void TearDown() override {
        DestroyMenuMgr();
        font.reset();
        gameflow::SetGameInProgress(false);
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

    // Applies the manager's requests and lets every transition finish.
    void Settle() {
        for (int i = 0; i < 6; ++i) {
            now += 0.3f;
            GetMenuMgr()->UpdateTransitions(now);
        }
    }
    void Open(ZMenu* menu) {
        GetMenuMgr()->OpenMenu(menu);
        Settle();
    }
    // One event to the top menu, then the requests it made.
    void Send(const int32_t kind) {
        ZMenuEvent event;
        event.kind = kind;
        GetMenuMgr()->DispatchEvent(event, nullptr);
        Settle();
    }
    static void SetDemoMode(const bool on) {
        ZConfigVar::SetFromString(on ? "true" : "false", ZHashedString::None(), ZHashedString("DemoMode"));
    }
    // The autosave's path as the file system spells it.
    std::string AutosaveFile() const { return os::TranslatePath(game->GetAutosavePath().GetText()); }
    ZMenu* Top() const { return GetMenuMgr()->GetTopMenu(); }
    template <typename Menu>
    Menu* TopAs() const {
        return dynamic_cast<Menu*>(Top());
    }
    // The index of the item of that name in the menu, or -1.
    static int32_t IndexOf(const ZMenu* menu, const char* name) {
        for (uint32_t i = 0; i < menu->GetItemCount(); ++i) {
            if (menu->GetItem(static_cast<int32_t>(i))->GetName() == ZHashedString(name)) {
                return static_cast<int32_t>(i);
            }
        }
        return -1;
    }
    // Names of the selectable items, in list order.
    static std::vector<std::string> SelectableNames(const ZMenu* menu) {
        std::vector<std::string> names;
        for (uint32_t i = 0; i < menu->GetItemCount(); ++i) {
            const ZMenuItem* item = menu->GetItem(static_cast<int32_t>(i));
            if (item->IsSelectable()) names.push_back(item->GetName().IsNone() ? "" : item->GetName().GetText());
        }
        return names;
    }
    void SelectAndSend(const char* name, const int32_t kind) {
        const int32_t index = IndexOf(Top(), name);
        ASSERT_GE(index, 0) << name;
        Top()->Select(index);
        Send(kind);
    }
    // A save that can be continued, as the campaign start writes it.
    void WriteSave(const int32_t minimapVersion = gameflow::kMinimapVersion, const bool randomized = false,
                   const int32_t algorithm = gameflow::kAlgorithmVersion) {
        SavedProgress progress;
        progress.campaign = "Korvanth.kdd";
        progress.map = "Overworld";
        progress.minimapVersion = minimapVersion;
        progress.randomized = randomized;
        progress.seed = "abc";
        progress.algorithmVersion = algorithm;
        gameflow::WriteProgressAndAutosave(progress);
    }

    korvtest::TempDir m_documents;
    std::unique_ptr<korvtest::EngineTestEnv> m_env;
    MenuGame* game = nullptr;
    std::unique_ptr<ZFont> font;
    std::vector<std::string> displayLog;
    float now = 10.0f;
};

}  // namespace menustest
