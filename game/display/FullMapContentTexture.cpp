#include "game/display/FullMapContentTexture.h"

#include "game/display/MinimapView.h"
#include "renderer/ZEffectParameter.h"

FullMapContentTexture::FullMapContentTexture() : ZUpdatable(1) {
    textureName = ZHashedString("MINIMAP_TEXTURE");
    position = ZVector3(0.0f, 0.0f, 0.0f);
    scale = ZVector3(132.0f, 108.0f, 1.0f);
}

ZMatrix4 FullMapContentTexture::WindowMatrix(const MinimapView& view) {
    float u = 0.0f, v = 0.0f;
    if (view.hasPlayer) {
        u = 6.0f * static_cast<float>(view.firstColumn) / 256.0f -
            0.5f * (132.0f - 6.0f * static_cast<float>(view.width)) / 256.0f;
        v = 6.0f * static_cast<float>(view.firstRow) / 256.0f -
            0.5f * (108.0f - 6.0f * static_cast<float>(view.height)) / 256.0f;
    }
    return ZMatrix4::MakeScale(ZVector3(0.515625f, 0.421875f, 1.0f)) * ZMatrix4::Translation(ZVector3(u, v, 0.0f));
}

bool FullMapContentTexture::SetParameters(ZEffectParameter* binding, const ZHashedString passName,
                                          ZParameterSource* source) {
    static const ZHashedString kUv("uvMat");
    if (binding != nullptr && binding->name == kUv) {
        binding->SetMatrix(WindowMatrix(GetMinimapView()));
        return true;
    }
    return FullMapShader::SetParameters(binding, passName, source);
}

void FullMapContentTexture::Update(float, const uint8_t mask) {
    if ((mask & 1) != 0) position = ZVector3(62.0f, 36.0f, 0.0f);
}
