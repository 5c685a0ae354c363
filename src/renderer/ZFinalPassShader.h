#pragma once

#include <cstdint>

#include "foundation/ZMatrix4.h"
#include "renderer/ZHMDShader.h"

// The frame's last full-screen pass: samples the final render target and
// applies the brightness setting and the screen rotation for monitors turned
// on their side.
class ZFinalPassShader : public ZHMDShader {
public:
    ZFinalPassShader();
    ~ZFinalPassShader() override;

    bool SetParameters(ZEffectParameter* binding, ZHashedString passName, ZParameterSource* source) override;
    // The plain technique while nothing but the fade changes the picture (no
    // rotation, no brightness change, no headset's warp) and the effect has
    // one; the full technique otherwise.
    ZPassBinding* GetPassBinding(ZHashedString passName) const override;
    // Nothing but the fade changes the picture.
    static bool IsPlain();
    // Draws with the plain program now: with the fade this shader leaves at
    // 0, a copy of the final target texel for texel.
    bool CopiesPlainly() const { return m_plain != nullptr && IsPlain(); }

    // The rotation of a screen-rotation setting: 0 none, 1 a quarter turn, 2 a
    // half turn, 3 three quarters. Other values (a damaged setting) give none.
    const ZMatrix4& GetRotation(int32_t setting) const;

private:
    ZMatrix4 m_rotations[4];
    ZPassBinding* m_plain = nullptr;
};
