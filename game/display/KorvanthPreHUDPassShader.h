#pragma once

#include <cstdint>

#include "renderer/ZFXAAFilter.h"

// The game's pre-HUD pass: the engine's copy with edge anti-aliasing and fade,
// plus the bloom of the downsampled buffer added over the scene (only while the
// CRT simulation is on and the editor is off). The game makes it in place of
// the engine's filter; a new anti-aliasing level takes a new shader.
class KorvanthPreHUDPassShader : public ZFXAAFilter {
public:
    struct Level {
        const char* effectName;
        const char* fileName;
    };
    // 0 or less none, 1 low, 2 medium, 3 high, 4 or more ultra.
    static Level GetGameLevelEffect(int32_t fxaaLevel);

    explicit KorvanthPreHUDPassShader(int32_t fxaaLevel);
    ~KorvanthPreHUDPassShader() override;
    bool SetParameters(ZEffectParameter* binding, ZHashedString passName, ZParameterSource* source) override;
    // The effect's plain technique (PreHUDPassPlain) while the picture is
    // neither dimmed by the menus nor faded and the effect has one; the full
    // technique otherwise.
    ZPassBinding* GetPassBinding(ZHashedString passName) const override;

    // What the pre-HUD pass multiplies the picture by: the menus' dimming
    // (1 - opacity / 2, the opacity clamped to 0..1) times the fade to black
    // (1 - fade, clamped).
    static float SceneScale(float pauseOpacity, float fadeOut);
    // SceneScale of the menus' and the fade's values now.
    static float CurrentSceneScale();

    // The name the game's effect is cached under (released by the same name).
    ZHashedString GetGameEffectName() const { return m_gameEffectName; }

private:
    ZHashedString m_gameEffectName;
    ZPassBinding* m_plain = nullptr;
};
