#include "game/display/FullMapIndicatorTexture.h"

#include <cmath>

#include "game/display/DisplayShaderSupport.h"
#include "game/display/MapShaderParameters.h"
#include "game/display/MinimapIndicatorTexture.h"
#include "game/display/MinimapView.h"
#include "renderer/ZEffectParameter.h"

namespace {

float Clamp(const float v, const float low, const float high) { return v < low ? low : (v > high ? high : v); }

}  // namespace

FullMapIndicatorTexture::FullMapIndicatorTexture() {
    textureName = ZHashedString("FullMap Texture (Indicator)");
    position = ZVector3(249.0f, 211.0f, 0.0f);
    scale = ZVector3(8.0f, 8.0f, 1.0f);
}

ZVector3 FullMapIndicatorTexture::MarkerPosition(const MinimapView& view) {
    ZVector3 p(34.0f + 0.5f * (132.0f - 6.0f * static_cast<float>(view.width)),
               186.0f - 0.5f * (108.0f - 6.0f * static_cast<float>(view.height)), 0.0f);
    const float x = Clamp(view.x, view.left, view.right - 0.001f);
    const float y = Clamp(view.y, view.top, view.bottom - 0.001f);
    const int32_t cy =
        static_cast<int32_t>(std::floor(static_cast<float>(view.roomRow - view.imageOriginRow) + y / 224.0f));
    const int32_t cx = static_cast<int32_t>(
        std::floor(static_cast<float>(view.roomColumn - view.imageOriginColumn) + x * (1.0f / 256.0f)));
    p.x = p.x + 6.0f * static_cast<float>(cx) + 30.0f - 1.0f;
    p.y = p.y - 6.0f * static_cast<float>(cy) - 22.0f - 10.0f - 3.0f - 16.0f;
    return p;
}

bool FullMapIndicatorTexture::SetParameters(ZEffectParameter* binding, const ZHashedString passName,
                                            ZParameterSource* source) {
    static const ZHashedString kWvp("wvpMat");
    static const ZHashedString kUv("uvMat");
    if (binding != nullptr && binding->name == kWvp) {
        const MinimapView view = GetMinimapView();
        if (!view.hasPlayer) {
            // No room to mark: the marker is not drawn (the identity would
            // stretch it over a quarter of the frame).
            binding->SetMatrix(ZMatrix4::MakeUniformScale(0.0f));
            return true;
        }
        position = MarkerPosition(view);
        binding->SetMatrix(MapQuadPlacement(textureName, position, scale));
        return true;
    }
    if (binding != nullptr && binding->name == kUv) {
        binding->SetMatrix(MinimapIndicatorTexture::FrameMatrix(GetMinimapView(), GetDisplayRunningTime()));
        return true;
    }
    return FullMapShader::SetParameters(binding, passName, source);
}
