#include "renderer/AnaglyphBackdropShader.h"

#include "foundation/ZVector3.h"
#include "foundation/ZVector4.h"
#include "renderer/ZRenderHost.h"
#include "renderer/ZEffect.h"
#include "renderer/ZEffectParameter.h"
#include "renderer/ZShaderMgr.h"
#include "renderer/ZTextureMgr.h"

namespace {

const ZHashedString& CacheName() {
    static const ZHashedString name("Anaglyph Backdrop Shader");
    return name;
}

const ZHashedString& TextureName() {
    static const ZHashedString name("__Default_HUD_Backdrop Texture");
    return name;
}

// The game's native screen in pixels.
constexpr float kScreenWidth = 256.0f;
constexpr float kScreenHeight = 224.0f;

}  // namespace

AnaglyphBackdropShader::AnaglyphBackdropShader() {
    ZEffect* effect = ZShaderMgr::GetInstance()->LoadEffect("anag_backdrop.fxo", CacheName());
    if (effect != nullptr) {
        if (ZPassBinding* binding = effect->FindTechnique(ZHashedString("BackdropTech"))) {
            SetDefaultPassBinding(binding);
        }
    }
    ZTextureMgr::GetInstance()->LoadTexture("korv_textbox.bmp", TextureName(), nullptr);
}

AnaglyphBackdropShader::~AnaglyphBackdropShader() {
    if (ZShaderMgr* shaders = ZShaderMgr::PeekInstance()) {
        shaders->ReleaseEffect(CacheName());
    }
    ZTextureMgr::GetInstance()->ReleaseTexture(TextureName());
}

bool AnaglyphBackdropShader::GetPlacementMatrix(ZMatrix4& out) const {
    float y = 0.0f;
    if (placement == kTop) {
        y = 1.0f - halfHeight - 1.0f / 7.0f;
    } else if (placement == kBottom) {
        y = halfHeight - 1.0f + 1.0f / 7.0f;
    } else {
        return false;
    }
    // Row vectors: the scale applies first, then the moves.
    out = ZMatrix4::MakeScale(ZVector3(halfWidth, halfHeight, 1.0f)) *
          ZMatrix4::Translation(ZVector3(0.0f, y, 0.0f)) *
          ZMatrix4::Translation(ZVector3(0.875f - halfWidth, 0.0f, 0.0f)) *
          ZMatrix4::Translation(ZVector3(-1.0f / kScreenWidth, 1.0f / kScreenHeight, 0.0f));
    return true;
}

bool AnaglyphBackdropShader::SetParameters(ZEffectParameter* binding, const ZHashedString passName,
                                           ZParameterSource* source) {
    static const ZHashedString kWvp("wvpMat");
    static const ZHashedString kTexture("BackdropTexture");
    static const ZHashedString kAspect("AspectRatio");
    static const ZHashedString kTexSize("TexSize");
    static const ZHashedString kTexSplit("TexSplit");
    static const ZHashedString kCornerScale("CornerScale");
    static const ZHashedString kCenterScale("CenterScale");
    static const ZHashedString kMaskColor("MaskColor");
    static const ZHashedString kOpacity("BackdropOpacity");
    static const ZHashedString kDistance("AnaglyphDistance");
    static const ZHashedString kDistanceOffset("AnaglyphDistanceOffset");
    static const ZHashedString kColor("AnaglyphColor");
    static const ZHashedString kSilhFix("AnaglyphSilhFix");
    static const ZHashedString kDesat("AnaglyphDesat");
    static const ZHashedString kGamma("AnaglyphGamma");
    if (binding == nullptr) {
        return false;
    }
    const ZRenderHost* host = ZRenderHost::Get();
    // The box's height in pixels; a box not placed yet has none, and its
    // ratios are then 0 rather than a division by zero.
    const float heightPixels = halfHeight * kScreenHeight;
    const ZHashedString name = binding->name;
    if (name == kWvp) {
        ZMatrix4 placed;
        if (GetPlacementMatrix(placed)) {
            binding->SetMatrix(placed);
        }
    } else if (name == kTexture) {
        binding->SetTexture(TextureName());
    } else if (name == kAspect) {
        binding->SetFloat(heightPixels != 0.0f ? halfWidth * kScreenWidth / heightPixels : 0.0f);
    } else if (name == kTexSize) {
        binding->SetFloat(32.0f);
    } else if (name == kTexSplit) {
        binding->SetFloat(0.25f);
    } else if (name == kCornerScale) {
        binding->SetFloat(heightPixels != 0.0f ? 8.0f / heightPixels : 0.0f);
    } else if (name == kCenterScale) {
        binding->SetFloat(3.0f);
    } else if (name == kMaskColor) {
        binding->SetVector(ZVector4(1.0f, 0.0f, 1.0f, 1.0f));
    } else if (name == kOpacity) {
            binding->SetFloat(host != nullptr && host->GetOpaqueDialogBoxes() ? 1.0f : 0.0f);
    } else if (name == kDistance) {
        binding->SetFloat(host != nullptr ? host->GetAnaglyphDistance() * -0.5f : 0.0f);
    } else if (name == kDistanceOffset) {
        binding->SetFloat(host != nullptr ? host->GetAnaglyphDistanceOffset() : 0.0f);
    } else if (name == kColor) {
        binding->SetVector(host != nullptr ? host->GetAnaglyphColor() : ZVector4(1.0f, 1.0f, 1.0f, 1.0f));
    } else if (name == kSilhFix) {
        binding->SetFloat(0.0f);
    } else if (name == kDesat) {
        binding->SetFloat(host != nullptr ? host->GetAnaglyphDesaturation() : 1.0f);
    } else if (name == kGamma) {
        binding->SetVector(host != nullptr ? host->GetAnaglyphGamma() : ZVector4(1.0f, 1.0f, 1.0f, 1.0f));
    } else {
        return ZShader::SetParameters(binding, passName, source);
    }
    return true;
}
