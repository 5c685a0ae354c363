#include "framework/ZBaseGame.h"

#include <cstdio>
#include <cstring>

#include "audio/ZAudioMgr.h"
#include "entity/ZEntity.h"
#include "foundation/ZHashedStringTable.h"
#include "foundation/ZStaticInit.h"
#include "foundation/ZTempStringPool.h"
#include "foundation/ZUserFolders.h"
#include "framework/ZLocMgr.h"
#include "framework/ZWindow.h"
#include "menu/AboutMenu.h"
#include "menu/AudioMenu.h"
#include "menu/BindingsMenu.h"
#include "menu/BrightnessMenu.h"
#include "menu/ConfirmationMenu.h"
#include "menu/ControlGroupsMenu.h"
#include "menu/ControlsMenu.h"
#include "menu/GameOptionsMenu.h"
#include "menu/JoysticksMenu.h"
#include "menu/LanguageMenu.h"
#include "menu/MouseMenu.h"
#include "menu/OptionsMenu.h"
#include "menu/PauseMenu.h"
#include "menu/TextEntryMenu.h"
#include "menu/TitleMenu.h"
#include "menu/VideoMenu.h"
#include "menu/ZLogoSplashCinematic.h"
#include "menu/ZMenu.h"
#include "renderer/ZFXAAFilter.h"

namespace {

ZBaseGame* g_baseGame = nullptr;

}  // namespace

ZBaseGame::ZBaseGame() {
    // Start-up logs from its first line; Config.ini decides from its reading on.
    m_doLogging = true;
    gAppInfoDestroyed.store(false);
    // The game object is the description for the whole run. A default
    // description made before it (by a log line, say) gives way to it.
    ZAppInfo* current = gAppInfo.load();
    if (current == nullptr || dynamic_cast<ZBaseGame*>(current) == nullptr) {
        ZAppInfo::DestroyInstance();
        gAppInfo.store(this);
    }
    if (g_baseGame == nullptr) {
        g_baseGame = this;
        ZRenderHost::Register(this);
    }
}

ZBaseGame::~ZBaseGame() {
    // Nothing is left after a normal shutdown; a game that never ran it still
    // takes its assets out of the renderer's groups.
    ReleaseEngineAssets();
    FreeHistories();
    delete m_fxaaFilter;
    m_fxaaFilter = nullptr;
    delete m_window;
    m_window = nullptr;
    // Collections the game left behind (shutdown empties them normally).
    for (ZEntity*& entity : m_entityList) {
        delete entity;
        entity = nullptr;
    }
    for (auto& node : m_entityMap) {
        delete node.value;
    }
    if (g_baseGame == this) {
        g_baseGame = nullptr;
    }
    ZRenderHost::Unregister(this);
    if (gAppInfo.load() == this) {
        gAppInfo.store(nullptr);
    }
}

ZBaseGame* ZBaseGame::GetInstance() {
    if (g_baseGame == nullptr && !gAppInfoDestroyed.load()) {
        new ZBaseGame();  // stores itself in the slot
    }
    return g_baseGame;
}

ZBaseGame* ZBaseGame::PeekInstance() { return g_baseGame; }

void ZBaseGame::DestroyInstance() {
    delete g_baseGame;
    g_baseGame = nullptr;
}

bool ZBaseGame::IsExiting() { return gAppInfoDestroyed.load(); }

// --- The application description ---

const char* ZBaseGame::GetEngineVersionText() const {
    ZString build;
    const int32_t number = m_versionFile.GetValue(ZHashedString("Version"), ZHashedString("EngineVersion"), build)
                               ? build.ToInt()
                               : 0;
    return FormatTempString("%d.%02d.%04d", 1, 8, number);
}

const char* ZBaseGame::GetLegalNotice() const {
    ZAppInfo* info = ZAppInfo::GetInstance();
    const bool utf8 = info == nullptr || info->UsesUTF8();
    return utf8 ? "\xC2\xA9 Korvanth Works. All rights reserved." : "\xA9 Korvanth Works. All rights reserved.";
}

bool ZBaseGame::CheckStack(char* buffer, const uint32_t size) {
    if (buffer == nullptr || size == 0) {
        return false;
    }
    ZString text("Checked stack:");
    for (uint32_t i = 0; i < m_nameStack.Count(); ++i) {
        if (i > 0) {
            text += " /";
        }
        const char* name = m_nameStack[i].GetText();
        text += " ";
        text += name != nullptr ? name : "";
    }
    std::snprintf(buffer, size, "%s", text.GetText());
    return true;
}

void ZBaseGame::StopAudio() {
    ZAudioMgr* audio = GetAudioMgr();
    if (audio != nullptr) {
        audio->StopAllSounds();
        audio->ReleaseAllSounds();
    }
}

void ZBaseGame::HandleCommandLineArgs(const ZArray<ZString>& words, const int32_t pass) {
    for (const ZString& word : words) {
        if (pass == 0 && word.EqualsNoCase("TestLoc")) {
            ZLocMgr::GetInstance()->SetPseudoLocalization(true);
        }
        // "FontGen" is known and has no effect. A game's own options (such as
        // a quick start) are the game's override's, in both passes.
    }
}

// --- Built-in names ---

ZHashedString ZBaseGame::GetPreHUDTargetSetterPassName() const { return GetBuiltinNames().preHUDTargetSetterPass; }
ZHashedString ZBaseGame::GetDefaultPassName() const { return GetBuiltinNames().defaultPass; }
ZHashedString ZBaseGame::GetFinalTargetSetterPassName() const { return GetBuiltinNames().finalTargetSetterPass; }
ZHashedString ZBaseGame::GetPreHUDPassName() const { return GetBuiltinNames().preHUDPass; }
ZHashedString ZBaseGame::GetHUDPassName() const { return GetBuiltinNames().hudPass; }
ZHashedString ZBaseGame::GetMenuPassName() const { return GetBuiltinNames().menuPass; }
ZHashedString ZBaseGame::GetConsolePassName() const { return GetBuiltinNames().consolePass; }
ZHashedString ZBaseGame::GetActualTargetSetterPassName() const { return GetBuiltinNames().actualTargetSetterPass; }
ZHashedString ZBaseGame::GetFinalPassName() const { return GetBuiltinNames().finalPass; }
ZHashedString ZBaseGame::GetDefaultGroupName() const { return GetBuiltinNames().defaultGroup; }
ZHashedString ZBaseGame::GetDefaultBackdropGroupName() const { return GetBuiltinNames().defaultBackdropGroup; }
ZHashedString ZBaseGame::GetDefaultAlphaGroupName() const { return GetBuiltinNames().defaultAlphaGroup; }
ZHashedString ZBaseGame::GetPreHUDGroupName() const { return GetBuiltinNames().preHUDGroup; }
ZHashedString ZBaseGame::GetHUDGroupName() const { return GetBuiltinNames().hudGroup; }
ZHashedString ZBaseGame::GetHUDGlyphGroupName() const { return GetBuiltinNames().hudGlyphGroup; }
ZHashedString ZBaseGame::GetMenuGroupName() const { return GetBuiltinNames().menuGroup; }
ZHashedString ZBaseGame::GetMenuGlyphGroupName() const { return GetBuiltinNames().menuGlyphGroup; }
ZHashedString ZBaseGame::GetMenuBackdropGroupName() const { return GetBuiltinNames().menuBackdropGroup; }
ZHashedString ZBaseGame::GetMenuUnderlayGroupName() const { return GetBuiltinNames().menuUnderlayGroup; }
ZHashedString ZBaseGame::GetConsoleBackdropGroupName() const { return GetBuiltinNames().consoleBackdropGroup; }
ZHashedString ZBaseGame::GetConsoleGroupName() const { return GetBuiltinNames().consoleGroup; }
ZHashedString ZBaseGame::GetConsoleGlyphGroupName() const { return GetBuiltinNames().consoleGlyphGroup; }
ZHashedString ZBaseGame::GetFinalGroupName() const { return GetBuiltinNames().finalGroup; }
ZHashedString ZBaseGame::GetSFXAudioGroupName() const { return GetBuiltinNames().sfxAudioGroup; }
ZHashedString ZBaseGame::GetBGMAudioGroupName() const { return GetBuiltinNames().bgmAudioGroup; }
ZHashedString ZBaseGame::GetTitleScreenGroupName() const { return GetBuiltinNames().titleScreenGroup; }

// --- Factories: the engine's built-in menus. A game replaces any of them. ---

ZMenu* ZBaseGame::CreateTitleMenu(int32_t /*argument*/) { return new TitleMenu(); }
ZMenu* ZBaseGame::CreatePauseMenu() { return new PauseMenu(); }
ZMenu* ZBaseGame::CreateControlsMenu() { return new ControlsMenu(); }
ZMenu* ZBaseGame::CreateControlGroupsMenu() { return new ControlGroupsMenu(); }
ZMenu* ZBaseGame::CreateJoysticksMenu() { return new JoysticksMenu(); }
ZMenu* ZBaseGame::CreateMouseMenu() { return new MouseMenu(); }
ZMenu* ZBaseGame::CreateOptionsMenu() {
    auto* menu = new OptionsMenu();
    menu->BuildItems();
    return menu;
}
ZMenu* ZBaseGame::CreateAboutMenu() { return new AboutMenu(); }
ZMenu* ZBaseGame::CreateLanguageMenu() { return new LanguageMenu(); }
ZMenu* ZBaseGame::CreateVideoMenu() { return new VideoMenu(); }
ZMenu* ZBaseGame::CreateBrightnessMenu() { return new BrightnessMenu(); }
ZMenu* ZBaseGame::CreateAudioMenu() { return new AudioMenu(); }
ZMenu* ZBaseGame::CreateGameOptionsMenu() { return new GameOptionsMenu(); }
ZMenu* ZBaseGame::CreateConfirmationMenu(const bool withCancel) { return new ConfirmationMenu(withCancel); }
ZMenu* ZBaseGame::CreateBindingsMenu(const ZHashedString group, const ZHashedString control) {
    return new BindingsMenu(group, control);
}
ZMenu* ZBaseGame::CreateTextEntryMenu(const bool allowCancel) { return new TextEntryMenu(allowCancel); }

ZFXAAFilter* ZBaseGame::CreateFXAAFilter() { return new ZFXAAFilter(m_fxaa); }

ZCinematic* ZBaseGame::CreateIntroSplash() { return new ZLogoSplashCinematic(); }

// --- Diagnostics ---

void ZBaseGame::GetBuildInfo(ZString& out) const {
    out = "ZORP Math:  _FINALRELEASE _PLAT_WIN\r\n"
          "ZORP Util:  _FINALRELEASE _PLAT_WIN\r\n"
          "ZORP Renderer:  _FINALRELEASE _PLAT_WIN\r\n"
          "ZORP Audio:  _FINALRELEASE _PLAT_WIN\r\n"
          "ZORP Game:  _FINALRELEASE _PLAT_WIN\r\n";
}

void ZBaseGame::GetMachineIdText(ZString& out) const {
    const ZString& name = m_machineIdOverride.IsEmpty() ? m_computerName : m_machineIdOverride;
    char text[16];
    std::snprintf(text, sizeof text, "0x%08x", HashStringELF(name.GetText()));
    out = text;
}

float ZBaseGame::GetAverageFrameRate() const {
    const uint32_t length = FrameRateHistoryLength();
    return length > 0 ? m_frameRateSum / static_cast<float>(length) : 0.0f;
}

float ZBaseGame::GetAverageStepCount() const {
    const uint32_t length = GetStepCountHistoryLength();
    return length > 0 ? m_stepCountSum / static_cast<float>(length) : 0.0f;
}

void ZBaseGame::FreeHistories() {
    delete[] m_frameRateHistory;
    m_frameRateHistory = nullptr;
    m_frameRateIndex = 0;
    m_frameRateSum = 0.0f;
    delete[] m_stepCountHistory;
    m_stepCountHistory = nullptr;
    m_stepCountIndex = 0;
    m_stepCountSum = 0.0f;
}

ZString ZBaseGame::UserConfigPath(const char* fileName) const {
    ZString path = GetUserFolderPath(GetGameFolderName(), GetConfigFolder(), true);
    path += fileName;
    return path;
}

platform::window::WindowSystem* ZBaseGame::GetWindowSystem() const {
    return m_window != nullptr ? m_window->GetSystem() : nullptr;
}
