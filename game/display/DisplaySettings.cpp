#include "game/display/DisplaySettings.h"

#include "framework/ZConfigVar.h"

namespace {

struct FloatVar {
    const char* section;  // null: the base section
    const char* name;
    float DisplaySettings::*field;
    float defaultValue;
    float step, minimum, maximum;  // step 0: no range
    ZConfigCallback onChange;
};

ZHashedString Section(const char* section) { return section != nullptr ? ZHashedString(section) : ZHashedString::None(); }

void Range(const char* section, const char* name, const float step, const float minimum, const float maximum) {
    ZConfigVar& var = FindOrAddConfigVar(Section(section), ZHashedString(name));
    var.hasRange = true;
    var.step = step;
    var.minimum = minimum;
    var.maximum = maximum;
}

void Float(DisplaySettings& s, const FloatVar& v) {
    RegisterConfigVarFloat(Section(v.section), ZHashedString(v.name), &(s.*v.field), v.defaultValue, v.onChange);
    if (v.step > 0.0f) Range(v.section, v.name, v.step, v.minimum, v.maximum);
}

}  // namespace

void RegisterDisplayConfigVars(DisplaySettings& s, const DisplaySettingCallbacks& callbacks) {
    using S = DisplaySettings;
    const FloatVar crt[] = {
        {"CRT", "PixelAspectRatio", &S::pixelAspectRatio, 1.1428571939468384f, 0.02f, 0.5f, 2.0f, nullptr},
        {"CRT", "Overscan", &S::overscan, 1.0f, 0.02f, 0.8f, 2.0f, nullptr},
        {"CRT", "Sharp", &S::sharp, 0.8f, 0.08f, 0.0f, 4.0f, nullptr},
        {"CRT", "Pers", &S::pers, 0.7f, 0.02f, 0.0f, 1.0f, nullptr},
    };
    for (const FloatVar& v : crt) Float(s, v);
    RegisterConfigVarVector4(ZHashedString("CRT"), ZHashedString("PersColor"), s.persColor, 1.0f, 0.75f, 0.6f, 0.0f);
    const FloatVar rest[] = {
        {"CRT", "Bleed", &S::bleed, 0.5f, 0.04f, 0.0f, 2.0f, nullptr},
        {"CRT", "Dim", &S::dim, 0.5f, 0.04f, 0.0f, 2.0f, nullptr},
        {"CRT", "Sat", &S::sat, 1.35f, 0.08f, 0.0f, 4.0f, nullptr},
        {"CRT", "Bloom", &S::bloom, 0.25f, 0.04f, 0.0f, 2.0f, nullptr},
        {"CRT", "BloomPower", &S::bloomPower, 2.0f, 0.08f, 0.5f, 4.0f, nullptr},
        {"CRT", "Refl", &S::refl, 0.3f, 0.04f, 0.0f, 2.0f, nullptr},
        {"CRT", "Barrel", &S::barrel, -0.115f, 0.04f, -0.5f, 2.0f, nullptr},
        {"CRT", "ScanBright", &S::scanBright, 0.45f, 0.02f, 0.0f, 1.0f, nullptr},
        {"CRT", "ScanOpacity", &S::scanOpacity, 1.0f, 0.04f, 0.0f, 2.0f, nullptr},
        {"CRT", "NTSC", &S::ntsc, 0.5f, 0.02f, 0.0f, 1.0f, nullptr},
        {"CRT", "NTSCBlend", &S::ntscBlend, 0.35f, 0.02f, 0.0f, 1.0f, nullptr},
        {"CRT", "NTSCLUTBlend", &S::ntscLUTBlend, 1.0f, 0.02f, 0.0f, 1.0f, nullptr},
        {"Anaglyph", "Desaturation", &S::anaglyphDesaturation, 0.875f, 0.02f, 0.0f, 1.0f, nullptr},
        {"Anaglyph", "Brightness", &S::anaglyphBrightness, 0.5f, 0.02f, 0.0f, 1.0f, nullptr},
        {"Anaglyph", "RedTint", &S::redTint, 0.0f, 0.02f, -1.0f, 1.0f, nullptr},
        {"Anaglyph", "BlueTint", &S::blueTint, -0.25f, 0.02f, -1.0f, 1.0f, nullptr},
        {"Anaglyph", "BackgroundDimming", &S::backgroundDimming, 1.0f, 0.02f, 0.0f, 1.0f, nullptr},
    };
    for (const FloatVar& v : rest) Float(s, v);
    RegisterConfigVarBool(ZHashedString("Anaglyph"), ZHashedString("EyeSwap"), &s.eyeSwap, false, nullptr);
    const FloatVar ntsc[] = {
        {"NTSC", "Tint", &S::tint, 5.183185577392578f, 0.12f, 0.0f, 6.2831855f, callbacks.palette},
        {"NTSC", "IScalar", &S::iScalar, 1.75f, 0.08f, 0.25f, 4.0f, callbacks.palette},
        {"NTSC", "QScalar", &S::qScalar, 1.0f, 0.08f, 0.25f, 4.0f, callbacks.palette},
        {"Video", "BloomDown", &S::bloomDown, 0.025f, 0.0f, 0.0f, 0.0f, nullptr},
        {"Video", "BloomUp", &S::bloomUp, 0.025f, 0.0f, 0.0f, 0.0f, nullptr},
    };
    for (const FloatVar& v : ntsc) Float(s, v);
    RegisterConfigVarBool(ZHashedString("Lighting"), ZHashedString("ShowBorder"), &s.showBorder, true,
                          callbacks.border);
    Float(s, {"Lighting", "BorderBrightness", &S::borderBrightness, 0.06f, 0.04f, 0.0f, 2.0f, nullptr});
    RegisterConfigVarBool(ZHashedString("Video"), ZHashedString("CRTSim"), &s.crtSim, true, callbacks.crt);
    RegisterConfigVarBool(ZHashedString("Video"), ZHashedString("Anaglyph3D"), &s.anaglyph3D, false,
                          callbacks.anaglyph);
    RegisterConfigVarBool(ZHashedString::None(), ZHashedString("ShowMinimap"), &s.showMinimap, true,
                          callbacks.minimap);
    const FloatVar lighting[] = {
        {"Lighting", "DiffuseLight", &S::diffuseLight, 0.5f, 0.04f, 0.0f, 2.0f, nullptr},
        {"Lighting", "SpecularLight", &S::specularLight, 0.35f, 0.1f, 0.0f, 5.0f, nullptr},
        {"Lighting", "SpecularPower", &S::specularPower, 50.0f, 4.0f, 5.0f, 200.0f, nullptr},
        {"Lighting", "FresnelLight", &S::fresnelLight, 1.0f, 0.2f, 0.0f, 10.0f, nullptr},
        {"Lighting", "LightPosX", &S::lightPosX, 5.0f, 0.8f, -20.0f, 20.0f, nullptr},
        {"Lighting", "LightPosY", &S::lightPosY, -10.0f, 0.8f, -20.0f, 20.0f, nullptr},
    };
    for (const FloatVar& v : lighting) Float(s, v);
    RegisterConfigVarBool(ZHashedString("Audio"), ZHashedString("Reverb"), &s.reverb, true, callbacks.reverb);
    const FloatVar reverb[] = {
        {"Reverb", "HighDelay", &S::highDelay, 200.0f, 0.0f, 0.0f, 0.0f, callbacks.reverb},
        {"Reverb", "LowDelay", &S::lowDelay, 40.0f, 0.0f, 0.0f, 0.0f, callbacks.reverb},
        {"Reverb", "DryMix", &S::dryMix, 1.0f, 0.0f, 0.0f, 0.0f, callbacks.reverb},
        {"Reverb", "WetMix", &S::wetMix, 0.2f, 0.0f, 0.0f, 0.0f, callbacks.reverb},
        {"Reverb", "AttenSpeed", &S::attenSpeed, 5.0f, 0.0f, 0.0f, 0.0f, callbacks.reverb},
    };
    for (const FloatVar& v : reverb) Float(s, v);
}
