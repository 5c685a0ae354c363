#include "game/display/MinimapIndicatorTexture.h"

#include <cmath>

#include "game/display/DisplayShaderSupport.h"
#include "game/display/MinimapView.h"
#include "renderer/ZEffectParameter.h"

MinimapIndicatorTexture::MinimapIndicatorTexture() {
    textureName = ZHashedString("Minimap Texture (Indicator)");
    position = ZVector3(218.0f, 186.0f, 0.0f);
    scale = ZVector3(8.0f, 8.0f, 1.0f);
}

ZMatrix4 MinimapIndicatorTexture::FrameMatrix(const MinimapView& view, const float seconds) {
    const float row = view.hasPlayer && view.countA < view.countB ? 0.5f : 0.0f;
    // A clock before its start or out of range shows the first frame.
    const double steps = static_cast<double>(seconds) * 6.0;
    const int64_t step = steps > 0.0 && steps < 9.0e15 ? static_cast<int64_t>(steps) : 0;
    const float frame = static_cast<float>(step % 4);
    return ZMatrix4::MakeScale(ZVector3(0.25f, 0.5f, 1.0f)) * ZMatrix4::Translation(ZVector3(frame * 0.25f, row, 0.0f));
}

bool MinimapIndicatorTexture::SetParameters(ZEffectParameter* binding, const ZHashedString passName,
                                            ZParameterSource* source) {
    static const ZHashedString kUv("uvMat");
    if (binding != nullptr && binding->name == kUv) {
        binding->SetMatrix(FrameMatrix(GetMinimapView(), GetDisplayRenderTime()));
        return true;
    }
    return MinimapShader::SetParameters(binding, passName, source);
}
