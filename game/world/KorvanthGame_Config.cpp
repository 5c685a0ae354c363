// The game's configuration variables and their change callbacks.

#include <cmath>

#include "foundation/ZLog.h"
#include "framework/ZConfigVar.h"
#include "game/world/KorvanthGame.h"

namespace {

void OnPaletteSetting() {
    if (KorvanthGame* game = KorvanthGame::Get()) game->GetDisplay().ApplyPaletteSetting(*game);
}

void OnBorderSetting() {
    if (KorvanthGame* game = KorvanthGame::Get()) game->GetDisplay().ApplyBorderSetting(*game, game->m_showBorder);
}

void OnAnaglyphPassSetting();

void OnCRTPassSetting() {
    KorvanthGame* game = KorvanthGame::Get();
    if (game == nullptr) return;
    // CRT simulation and anaglyph 3D never run together: the one switched on
    // last wins.
    if (game->m_anaglyph3D && game->m_crtSim) {
        game->m_anaglyph3D = false;
        OnAnaglyphPassSetting();
    }
    game->GetDisplay().ApplyCRTPasses(*game, game->m_crtSim);
}

void OnAnaglyphPassSetting() {
    KorvanthGame* game = KorvanthGame::Get();
    if (game == nullptr) return;
    if (game->m_anaglyph3D && game->m_crtSim) {
        game->m_crtSim = false;
        OnCRTPassSetting();
    }
    game->GetDisplay().ApplyAnaglyphPasses(*game, game->m_anaglyph3D);
}

void OnMinimapSetting() {
    if (KorvanthGame* game = KorvanthGame::Get()) game->GetDisplay().ApplyMinimapSetting(*game, game->m_showMinimap);
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

uint32_t KorvanthGame::PackReverbWord() const {
    if (!m_reverb) return 0;
    // Saturating conversion: a hand-edited Config.ini may hold anything.
    auto field = [](float value, uint32_t bits) {
        const float top = static_cast<float>((1u << bits) - 1u);
        if (!(value > 0.0f)) return 0u;
        return value >= top ? static_cast<uint32_t>(top) : static_cast<uint32_t>(value);
    };
    return field(m_highDelay, 10) << 20 | field(m_lowDelay, 8) << 12 | field(m_dryMix * 15.0f, 4) << 8 |
           field(m_wetMix * 15.0f, 4) << 4 | field(m_attenSpeed, 4);
}

void KorvanthGame::registerConfigVars() {
    ZBaseGame::registerConfigVars();
    ZLog::Printf("KorvanthGame::registerConfigVars");

    struct FloatVar {
        const char* section;
        const char* name;
        float KorvanthGame::*member;
        float defaultValue;
        ZConfigCallback onChange;
        float step, minimum, maximum;  // step 0: no range
    };
    auto registerFloat = [this](const FloatVar& v) {
        RegisterConfigVarFloat(SectionId(v.section), ZHashedString(v.name), &(this->*v.member), v.defaultValue,
                               v.onChange);
        if (v.step != 0.0f) SetRange(v.section, v.name, v.step, v.minimum, v.maximum);
    };
    auto registerBool = [this](const char* section, const char* name, bool KorvanthGame::*member, bool value,
                               ZConfigCallback onChange) {
        RegisterConfigVarBool(SectionId(section), ZHashedString(name), &(this->*member), value, onChange);
    };

    const float twoPi = 6.2831855f;
    static const FloatVar kCRT[] = {
        {"CRT", "PixelAspectRatio", &KorvanthGame::m_pixelAspectRatio, 8.0f / 7.0f, nullptr, 0.02f, 0.5f, 2.0f},
        {"CRT", "Overscan", &KorvanthGame::m_overscan, 1.0f, nullptr, 0.02f, 0.8f, 2.0f},
        {"CRT", "Sharp", &KorvanthGame::m_sharp, 0.8f, nullptr, 0.08f, 0.0f, 4.0f},
        {"CRT", "Pers", &KorvanthGame::m_pers, 0.7f, nullptr, 0.02f, 0.0f, 1.0f},
    };
    for (const FloatVar& v : kCRT) registerFloat(v);
    RegisterConfigVarVector4(ZHashedString("CRT"), ZHashedString("PersColor"), m_persColor, 1.0f, 0.75f, 0.6f, 0.0f);
    static const FloatVar kCRT2[] = {
        {"CRT", "Bleed", &KorvanthGame::m_bleed, 0.5f, nullptr, 0.04f, 0.0f, 2.0f},
        {"CRT", "Dim", &KorvanthGame::m_dim, 0.5f, nullptr, 0.04f, 0.0f, 2.0f},
        {"CRT", "Sat", &KorvanthGame::m_sat, 1.35f, nullptr, 0.08f, 0.0f, 4.0f},
        {"CRT", "Bloom", &KorvanthGame::m_bloom, 0.25f, nullptr, 0.04f, 0.0f, 2.0f},
        {"CRT", "BloomPower", &KorvanthGame::m_bloomPower, 2.0f, nullptr, 0.08f, 0.5f, 4.0f},
        {"CRT", "Refl", &KorvanthGame::m_refl, 0.3f, nullptr, 0.04f, 0.0f, 2.0f},
        {"CRT", "Barrel", &KorvanthGame::m_barrel, -0.115f, nullptr, 0.04f, -0.5f, 2.0f},
        {"CRT", "ScanBright", &KorvanthGame::m_scanBright, 0.45f, nullptr, 0.02f, 0.0f, 1.0f},
        {"CRT", "ScanOpacity", &KorvanthGame::m_scanOpacity, 1.0f, nullptr, 0.04f, 0.0f, 2.0f},
        {"CRT", "NTSC", &KorvanthGame::m_ntsc, 0.5f, nullptr, 0.02f, 0.0f, 1.0f},
        {"CRT", "NTSCBlend", &KorvanthGame::m_ntscBlend, 0.35f, nullptr, 0.02f, 0.0f, 1.0f},
        {"CRT", "NTSCLUTBlend", &KorvanthGame::m_ntscLUTBlend, 1.0f, nullptr, 0.02f, 0.0f, 1.0f},
        {"Anaglyph", "Desaturation", &KorvanthGame::m_anaglyphDesaturation, 0.875f, nullptr, 0.02f, 0.0f, 1.0f},
        {"Anaglyph", "Brightness", &KorvanthGame::m_anaglyphBrightness, 0.5f, nullptr, 0.02f, 0.0f, 1.0f},
        {"Anaglyph", "RedTint", &KorvanthGame::m_redTint, 0.0f, nullptr, 0.02f, -1.0f, 1.0f},
        {"Anaglyph", "BlueTint", &KorvanthGame::m_blueTint, -0.25f, nullptr, 0.02f, -1.0f, 1.0f},
        {"Anaglyph", "BackgroundDimming", &KorvanthGame::m_backgroundDimming, 1.0f, nullptr, 0.02f, 0.0f, 1.0f},
    };
    for (const FloatVar& v : kCRT2) registerFloat(v);
    registerBool("Anaglyph", "EyeSwap", &KorvanthGame::m_eyeSwap, false, nullptr);
    SetRange("", "FOV", 2.0f, 0.05f, 60.0f);

    const FloatVar kRest[] = {
        {"NTSC", "Tint", &KorvanthGame::m_tint, 5.1831856f, OnPaletteSetting, 0.12f, 0.0f, twoPi},
        {"NTSC", "IScalar", &KorvanthGame::m_iScalar, 1.75f, OnPaletteSetting, 0.08f, 0.25f, 4.0f},
        {"NTSC", "QScalar", &KorvanthGame::m_qScalar, 1.0f, OnPaletteSetting, 0.08f, 0.25f, 4.0f},
        {"Video", "BloomDown", &KorvanthGame::m_bloomDown, 0.025f, nullptr, 0.0f, 0.0f, 0.0f},
        {"Video", "BloomUp", &KorvanthGame::m_bloomUp, 0.025f, nullptr, 0.0f, 0.0f, 0.0f},
    };
    for (const FloatVar& v : kRest) registerFloat(v);
    registerBool("Lighting", "ShowBorder", &KorvanthGame::m_showBorder, true, OnBorderSetting);
    registerFloat({"Lighting", "BorderBrightness", &KorvanthGame::m_borderBrightness, 0.06f, nullptr, 0.04f, 0.0f,
                   2.0f});
    registerBool("Input", "AltDownJump", &KorvanthGame::m_altDownJump, false, nullptr);
    registerBool("Video", "CRTSim", &KorvanthGame::m_crtSim, true, OnCRTPassSetting);
    registerBool("Video", "Anaglyph3D", &KorvanthGame::m_anaglyph3D, false, OnAnaglyphPassSetting);
    registerBool("", "ShowInteractPrompts", &KorvanthGame::m_showInteractPrompts, true, nullptr);
    registerBool("", "ShowMinimap", &KorvanthGame::m_showMinimap, true, OnMinimapSetting);
    registerFloat({"", "TransitionSpeed", &KorvanthGame::m_transitionSpeed, 1.0f, nullptr, 0.0f, 0.0f, 0.0f});
    static const FloatVar kLighting[] = {
        {"Lighting", "DiffuseLight", &KorvanthGame::m_diffuseLight, 0.5f, nullptr, 0.04f, 0.0f, 2.0f},
        {"Lighting", "SpecularLight", &KorvanthGame::m_specularLight, 0.35f, nullptr, 0.1f, 0.0f, 5.0f},
        {"Lighting", "SpecularPower", &KorvanthGame::m_specularPower, 50.0f, nullptr, 4.0f, 5.0f, 200.0f},
        {"Lighting", "FresnelLight", &KorvanthGame::m_fresnelLight, 1.0f, nullptr, 0.2f, 0.0f, 10.0f},
        {"Lighting", "LightPosX", &KorvanthGame::m_lightPosX, 5.0f, nullptr, 0.8f, -20.0f, 20.0f},
        {"Lighting", "LightPosY", &KorvanthGame::m_lightPosY, -10.0f, nullptr, 0.8f, -20.0f, 20.0f},
    };
    for (const FloatVar& v : kLighting) registerFloat(v);
    m_lowFrictionRate = 1.5f;
    registerBool("Audio", "Reverb", &KorvanthGame::m_reverb, true, OnReverbSetting);
    static const FloatVar kReverb[] = {
        {"Reverb", "HighDelay", &KorvanthGame::m_highDelay, 200.0f, OnReverbSetting, 0.0f, 0.0f, 0.0f},
        {"Reverb", "LowDelay", &KorvanthGame::m_lowDelay, 40.0f, OnReverbSetting, 0.0f, 0.0f, 0.0f},
        {"Reverb", "DryMix", &KorvanthGame::m_dryMix, 1.0f, OnReverbSetting, 0.0f, 0.0f, 0.0f},
        {"Reverb", "WetMix", &KorvanthGame::m_wetMix, 0.2f, OnReverbSetting, 0.0f, 0.0f, 0.0f},
        {"Reverb", "AttenSpeed", &KorvanthGame::m_attenSpeed, 5.0f, OnReverbSetting, 0.0f, 0.0f, 0.0f},
    };
    for (const FloatVar& v : kReverb) registerFloat(v);
}
