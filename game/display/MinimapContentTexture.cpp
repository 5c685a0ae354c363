#include "game/display/MinimapContentTexture.h"

#include <cmath>

#include "game/display/DisplayShaderSupport.h"
#include "game/display/MinimapView.h"
#include "renderer/ZEffectParameter.h"

namespace {

float Clamp(const float v, const float low, const float high) { return v < low ? low : (v > high ? high : v); }

}  // namespace

MinimapContentTexture::MinimapContentTexture() : ZUpdatable(1) {
    textureName = ZHashedString("MINIMAP_TEXTURE");
    position = ZVector3(0.0f, 0.0f, 0.0f);
    scale = ZVector3(32.0f, 24.0f, 1.0f);
}

ZMatrix4 MinimapContentTexture::WindowMatrix(const MinimapView& view) {
    float u = 0.0f, v = 0.0f;
    if (view.hasPlayer) {
        // Just inside the room's right and bottom edges, so a player standing
        // on the edge counts in this room, not the next.
        const float x = Clamp(view.x, view.left + 0.001f, view.right - 0.001f);
        const float y = Clamp(view.y, view.top + 0.001f, view.bottom - 0.001f);
        const int32_t cx = static_cast<int32_t>(
            std::floor(static_cast<float>(view.roomColumn - view.imageOriginColumn) + x * (1.0f / 256.0f)));
        const int32_t cy =
            static_cast<int32_t>(std::floor(static_cast<float>(view.roomRow - view.imageOriginRow) + y / 224.0f));
        u = ((static_cast<float>(cx) + 0.5f - 2.6666666666666665f) + 1.0f) * 6.0f * (1.0f / 256.0f);
        v = ((static_cast<float>(cy) + 0.5f - 2.0f) + 1.0f) * 6.0f * (1.0f / 256.0f);
    }
    return ZMatrix4::MakeScale(ZVector3(0.125f, 0.09375f, 1.0f)) * ZMatrix4::Translation(ZVector3(u, v, 0.0f));
}

bool MinimapContentTexture::SetParameters(ZEffectParameter* binding, const ZHashedString passName,
                                          ZParameterSource* source) {
    static const ZHashedString kUv("uvMat");
    if (binding != nullptr && binding->name == kUv) {
        binding->SetMatrix(WindowMatrix(GetMinimapView()));
        return true;
    }
    return MinimapShader::SetParameters(binding, passName, source);
}

void MinimapContentTexture::Update(float, const uint8_t mask) {
    if ((mask & 1) != 0) position = ZVector3(204.0f, 180.0f, 0.0f);
}
