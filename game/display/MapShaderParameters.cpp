#include "game/display/MapShaderParameters.h"

#include "foundation/ZMatrix4.h"
#include "foundation/ZVector4.h"
#include "game/display/DisplayShaderSupport.h"
#include "game/display/DisplayState.h"
#include "game/display/MinimapView.h"
#include "game/world/KorvanthGame.h"
#include "renderer/ZEffectParameter.h"
#include "renderer/ZTextureMgr.h"

MinimapView GetMinimapView() {
    MinimapView view;
    const DisplayState* display = PeekDisplayState();
    if (display != nullptr && display->minimapView != nullptr && !display->minimapView(view)) view = MinimapView();
    return view;
}

ZMatrix4 MapQuadPlacement(const ZHashedString textureName, const ZVector3& position, const ZVector3& scale) {
    // A picture that is not there (no map painted yet) is not drawn at all,
    // rather than as a black box over the frame.
    const ZTextureMgr* textures = ZTextureMgr::GetInstance();
    if (textures->FindTexture(textureName) == nullptr) return ZMatrix4::MakeUniformScale(0.0f);
    return FramePlacementMatrix(position, scale);
}

bool SetMapShaderParameter(ZEffectParameter& binding, const ZHashedString textureName, const ZVector3& position,
                           const ZVector3& scale) {
    static const ZHashedString kWvp("wvpMat");
    static const ZHashedString kUv("uvMat");
    static const ZHashedString kDiffuse("DiffuseMap");
    static const ZHashedString kMask("MaskColor");
    static const ZHashedString kDistance("AnaglyphDistance");
    static const ZHashedString kDistanceOffset("AnaglyphDistanceOffset");
    static const ZHashedString kColor("AnaglyphColor");
    static const ZHashedString kSilhFix("AnaglyphSilhFix");
    static const ZHashedString kDesat("AnaglyphDesat");
    static const ZHashedString kGamma("AnaglyphGamma");
    const DisplayState* display = PeekDisplayState();
    const ZHashedString name = binding.name;
    if (name == kWvp) {
        binding.SetMatrix(MapQuadPlacement(textureName, position, scale));
    } else if (name == kUv) {
        binding.SetMatrix(ZMatrix4::Identity());
    } else if (name == kDiffuse) {
        binding.SetTexture(textureName);
    } else if (name == kMask) {
        binding.SetVector(ZVector4(1.0f, 0.0f, 1.0f, 1.0f));
    } else if (name == kDistance) {
        binding.SetFloat(display != nullptr ? -1.0f * display->GetAnaglyphDistance() : 0.0f);
    } else if (name == kDistanceOffset) {
        binding.SetFloat(display != nullptr ? display->GetAnaglyphDistanceOffset() : 0.0f);
    } else if (name == kColor) {
        binding.SetVector(display != nullptr ? display->GetAnaglyphColor() : ZVector4(1.0f, 1.0f, 1.0f, 1.0f));
    } else if (name == kSilhFix) {
        const KorvanthGame* game = KorvanthGame::Get();
        binding.SetFloat(game != nullptr && game->IsSilhouetteOnColor() ? 1.0f : 0.0f);
    } else if (name == kDesat) {
        binding.SetFloat(display != nullptr ? display->GetAnaglyphDesaturation() : 1.0f);
    } else if (name == kGamma) {
        binding.SetVector(display != nullptr ? display->GetAnaglyphGamma() : ZVector4(1.0f, 1.0f, 1.0f, 1.0f));
    } else {
        return false;
    }
    return true;
}
