#pragma once

#include <cstdint>

#include "foundation/ZHashedString.h"
#include "renderer/ZHMDShader.h"

// The pass that copies the finished scene (the pre-HUD render target) into
// the final target before the HUD is drawn over it: edge anti-aliasing at one
// of five levels and the fade to black. Changing the level means making a new
// shader; each holds one reference to its level's effect.
class ZPreHUDPassShader : public ZHMDShader {
public:
    // The cache name and effect file of a level: 0 or less none, 1 low,
    // 2 medium, 3 high, 4 or more ultra.
    struct Level {
        const char* cacheName;
        const char* fileName;
    };
    static Level GetLevelEffect(int32_t fxaaLevel);

    explicit ZPreHUDPassShader(int32_t fxaaLevel);
    ~ZPreHUDPassShader() override;

    bool SetParameters(ZEffectParameter* binding, ZHashedString passName, ZParameterSource* source) override;

    // The level as it was asked for.
    int32_t GetLevel() const { return m_level; }
    // The name its effect is cached under.
    ZHashedString GetEffectName() const { return m_effectName; }

private:
    ZHashedString m_effectName;
    int32_t m_level = 0;
};
