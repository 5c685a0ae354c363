#include "menu/ZTitleShader.h"

#include <algorithm>

#include "foundation/ZVector3.h"
#include "framework/ZBaseGame.h"
#include "menu/ZMenu.h"
#include "menu/ZMenuMgr.h"
#include "renderer/ZEffectParameter.h"

ZTitleShader::ZTitleShader() : ZTitleShader("__ZORP_Default_Title.fxo", ZHashedString("__Default_Title Shader")) {}

ZTitleShader::ZTitleShader(const char* effectFile, const ZHashedString effectName)
    : ZSingleTextureShader(effectFile, effectName, ZHashedString("TitleTech"),
                           ZBaseGame::GetInstance()->GetTitleTextureFile(), ZHashedString("__Default_Title Texture"),
                           ZHashedString("TitleTex")) {}

ZMatrix4 ZTitleShader::ComputeTransform(const float aspect, const float pictureAspect, const float scale,
                                        float offsetY, float slide) {
    float sx = pictureAspect / aspect;
    float sy = 1.0f;
    float w = 0.0f;
    if (aspect < 1.3333334f) {
        // Narrower than 4:3: everything shrinks with the width.
        const float q = aspect / 1.3333333f;
        sx *= q;
        sy = q;
        offsetY *= q;
        w = 1.3333334f * sx;
    } else {
        // Wider: the slide covers the same share of a 4:3 area.
        slide *= 1.3333333f / aspect;
        w = aspect * sx;
    }
    const float m = w * scale / 0.9f;
    if (m > 1.0f) {
        sx /= m;
        sy /= m;
    }
    return ZMatrix4::MakeScale(ZVector3(sx * scale, sy * scale, scale)) *
           ZMatrix4::Translation(ZVector3(slide, offsetY, 0.0f));
}

ZVector4 ZTitleShader::ComputeOpacity(const uint32_t overlayAlpha) {
    const float o = static_cast<float>(overlayAlpha & 0xFFu) / 255.0f;
    const float rgb = std::clamp((o - 0.38196602f) * 1.618034f, 0.0f, 1.0f);
    const float alpha = std::clamp(o * 1.618034f, 0.0f, 1.0f);
    return ZVector4(rgb, rgb, rgb, alpha);
}

bool ZTitleShader::SetParameters(ZEffectParameter* binding, const ZHashedString passName, ZParameterSource* source) {
    static const ZHashedString kWvp("wvpMat");
    static const ZHashedString kOpacity("OpacityColor");
    if (binding != nullptr && binding->name == kWvp) {
        ZBaseGame* game = ZBaseGame::GetInstance();
        float offsetY = game->GetTitleOffsetY();
        float slide = 0.0f;
        if (const ZMenuMgr* menus = PeekMenuMgr()) {
            slide = menus->GetSlideOffset();
            if (ZMenu* top = menus->GetTopMenu()) {
                float adjust = 0.0f;
                top->AdjustTitleOffset(&adjust);
                offsetY += adjust;
            }
        }
        binding->SetMatrix(
            ComputeTransform(game->GetAspectRatio(), GetTextureAspect(), game->GetTitleScale(), offsetY, slide));
        return true;
    }
    if (binding != nullptr && binding->name == kOpacity) {
        const ZMenuMgr* menus = PeekMenuMgr();
        const uint32_t overlay = menus != nullptr ? menus->GetOverlayColor() : 0xFFFFFFFFu;
        binding->SetVector(ComputeOpacity(overlay >> 24));
        return true;
    }
    return ZSingleTextureShader::SetParameters(binding, passName, source);
}
