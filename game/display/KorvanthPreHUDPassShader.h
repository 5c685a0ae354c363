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

    // The name the game's effect is cached under (released by the same name).
    ZHashedString GetGameEffectName() const { return m_gameEffectName; }

private:
    ZHashedString m_gameEffectName;
};
