// The game's configuration variables and their change callbacks.

#include <cmath>

#include "foundation/ZLog.h"
#include "framework/ZConfigVar.h"
#include "game/display/DisplayAppliers.h"
#include "game/world/KorvanthGame.h"

namespace {

void OnPaletteSetting() {
    if (KorvanthGame* game = KorvanthGame::Get()) game->GetDisplay().ApplyPaletteSetting(*game);
}

void OnBorderSetting() {
    if (KorvanthGame* game = KorvanthGame::Get()) game->GetDisplay().ApplyBorderSetting(*game, game->m_displaySettings.showBorder);
}

void OnAnaglyphPassSetting();

void OnCRTPassSetting() {
    KorvanthGame* game = KorvanthGame::Get();
    if (game == nullptr) return;
    // CRT simulation and anaglyph 3D never run together: the one switched on
    // last wins.
    DisplaySettings& s = game->m_displaySettings;
    if (s.anaglyph3D && s.crtSim) {
        s.anaglyph3D = false;
        OnAnaglyphPassSetting();
    }
    game->GetDisplay().ApplyCRTPasses(*game, s.crtSim);
}

void OnAnaglyphPassSetting() {
    KorvanthGame* game = KorvanthGame::Get();
    if (game == nullptr) return;
    DisplaySettings& s = game->m_displaySettings;
    if (s.anaglyph3D && s.crtSim) {
        s.crtSim = false;
        OnCRTPassSetting();
    }
    game->GetDisplay().ApplyAnaglyphPasses(*game, s.anaglyph3D);
}

void OnMinimapSetting() {
    if (KorvanthGame* game = KorvanthGame::Get()) game->GetDisplay().ApplyMinimapSetting(*game, game->m_displaySettings.showMinimap);
}

void OnReverbSetting() {
    KorvanthGame* game = KorvanthGame::Get();
    if (game == nullptr || game->GetVoice() == nullptr) return;
    game->GetVoice()->SetReverb(game->PackReverbWord());
}

// The unnamed general section is the none id.
ZHashedString SectionId(const char* section) {
    return section[0] == '\0' ? ZHashedString::None() : ZHashedString(section);
}

void SetRange(const char* section, const char* name, float step, float minimum, float maximum) {
    ZConfigVar& var = FindOrAddConfigVar(SectionId(section), ZHashedString(name));
    var.step = step;
    var.minimum = minimum;
    var.maximum = maximum;
    var.hasRange = true;
}

}  // namespace

uint32_t KorvanthGame::PackReverbWord() const { return ::PackReverbWord(m_displaySettings); }

void KorvanthGame::registerConfigVars() {
    ZBaseGame::registerConfigVars();
    ZLog::Printf("KorvanthGame::registerConfigVars");

    // The display's variables live in the game's settings; their callbacks
    // reach the display through the game.
    DisplaySettingCallbacks callbacks;
    callbacks.palette = OnPaletteSetting;
    callbacks.border = OnBorderSetting;
    callbacks.crt = OnCRTPassSetting;
    callbacks.anaglyph = OnAnaglyphPassSetting;
    callbacks.minimap = OnMinimapSetting;
    callbacks.reverb = OnReverbSetting;
    RegisterDisplayConfigVars(m_displaySettings, callbacks);

    SetRange("", "FOV", 2.0f, 0.05f, 60.0f);
    RegisterConfigVarBool(ZHashedString("Input"), ZHashedString("AltDownJump"), &m_altDownJump, false, nullptr);
    RegisterConfigVarBool(ZHashedString::None(), ZHashedString("ShowInteractPrompts"), &m_showInteractPrompts, true,
                          nullptr);
    RegisterConfigVarFloat(ZHashedString::None(), ZHashedString("TransitionSpeed"), &m_transitionSpeed, 1.0f, nullptr);
    m_lowFrictionRate = 1.5f;
}
