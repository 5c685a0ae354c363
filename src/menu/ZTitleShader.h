#pragma once

#include <cstdint>

#include "foundation/ZMatrix4.h"
#include "foundation/ZVector4.h"
#include "menu/ZSingleTextureShader.h"

// The title picture of the title screens: fitted to the screen's aspect
// ratio at the base game's title scale and offset, sliding with the menus,
// and faded with the menu manager's overlay colour ("wvpMat", "OpacityColor",
// "TitleTex"). Its picture is the base game's title texture file.
class ZTitleShader : public ZSingleTextureShader {
public:
    ZTitleShader();
    // The same picture drawn with a game's own title effect (its technique
    // "TitleTech", the same parameters and perhaps more of its own).
    ZTitleShader(const char* effectFile, ZHashedString effectName);

    bool SetParameters(ZEffectParameter* binding, ZHashedString passName, ZParameterSource* source) override;

    // The picture's transform in clip units for a screen of aspect ratio
    // `aspect`, a picture of aspect ratio `pictureAspect`, the title scale and
    // vertical offset, and the menus' horizontal slide. The picture keeps its
    // own shape; the product of its aspect ratio and scale is held to 0.9.
    static ZMatrix4 ComputeTransform(float aspect, float pictureAspect, float scale, float offsetY, float slide);
    // The fade for the overlay's alpha byte: the picture first turns opaque
    // (alpha full at about 0.618), then brightens from black.
    static ZVector4 ComputeOpacity(uint32_t overlayAlpha);
};
