#include "game/display/GameMenuUnderlayShader.h"

#include "foundation/ZVector4.h"
#include "menu/ZMenuMgr.h"
#include "renderer/ZEffectParameter.h"

GameMenuUnderlayShader::GameMenuUnderlayShader() {
    Describe("__Default_Menu_Underlay Shader", "__ZORP_Default_Menu_Underlay.fxo", "MENU_UNDERLAY_TEXTURE",
             "korv_underlay.dds", "__Default_Mod", "mod_white.dds", "HUD");
}

bool GameMenuUnderlayShader::SetParameters(ZEffectParameter* binding, const ZHashedString passName,
                                           ZParameterSource* source) {
    static const ZHashedString kOpacityColor("OpacityColor");
    static const ZHashedString kTexSize("TexSize");
    static const ZHashedString kTexSplit("TexSplit");
    static const ZHashedString kCenterScale("CenterScale");
    if (binding == nullptr) return false;
    const ZHashedString name = binding->name;
    if (name == kOpacityColor) {
        const uint32_t c = GetMenuMgr()->GetOverlayColor();
        const double k = 0.003921568859368563;
        binding->SetVector(ZVector4(static_cast<float>((c >> 16 & 0xFF) * k), static_cast<float>((c >> 8 & 0xFF) * k),
                                    static_cast<float>((c & 0xFF) * k), static_cast<float>((c >> 24 & 0xFF) * k)));
    } else if (name == kTexSize) {
        binding->SetFloat(256.0f);
    } else if (name == kTexSplit) {
        binding->SetFloat(0.25f);
    } else if (name == kCenterScale) {
        binding->SetFloat(3.0f);
    } else {
        return SetScreenSpaceShaderParams(*this, binding, passName, source);
    }
    return true;
}
