#pragma once

#include "foundation/ZMatrix4.h"
#include "menu/ZFittedImageShader.h"

class ZTexture;

// Draws the brightness-calibration picture on a clip-space quad: sized to the
// picture's aspect and the base game's scale and vertical offset, following
// the menus' slide and faded with the menu manager's overlay colour. The
// picture file and its placement come from the base game.
class ZCalibrationShader : public ZFittedImageShader {
public:
    // Loads the effect and the picture (either may be missing: nothing is drawn).
    ZCalibrationShader();
    // Releases the effect and the picture by name.
    ~ZCalibrationShader() override;

    float GetImageAspect() const override;
    // "wvpMat", "OpacityColor", "CalibrationTex"; the rest to the attached source.
    bool SetParameters(ZEffectParameter* binding, ZHashedString passName, ZParameterSource* source) override;

    // The picture's matrix for a screen aspect, picture aspect, scale, vertical
    // offset and horizontal slide (clip units): 4:3 and wider keep the height,
    // narrower screens shrink everything with the width.
    static ZMatrix4 ComputeMatrix(float screenAspect, float imageAspect, float scale, float offsetY, float slideX);

    static const char* const kEffectName;
    static const char* const kEffectFile;
    static const char* const kTextureName;

private:
    ZTexture* m_texture = nullptr;
};
