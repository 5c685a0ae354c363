#include "menu/MenuUnderlayShader.h"

#include "foundation/ZVector4.h"
#include "menu/ZMenuMgr.h"
#include "renderer/ZEffectParameter.h"

MenuUnderlayShader::MenuUnderlayShader() : MenuUnderlayShader("menu_underlay.dds", 64.0f) {}

MenuUnderlayShader::MenuUnderlayShader(const char* const textureFile, const float texSize) : m_texSize(texSize) {
    Describe("__Default_Menu_Underlay Shader", "__ZORP_Default_Menu_Underlay.fxo", "MENU_UNDERLAY_TEXTURE",
             textureFile, "__Default_Mod", "mod_white.dds", "HUD");
}

bool MenuUnderlayShader::SetParameters(ZEffectParameter* binding, const ZHashedString passName,
                                       ZParameterSource* source) {
    static const ZHashedString kOpacityColor("OpacityColor");
    static const ZHashedString kTexSize("TexSize");
    static const ZHashedString kTexSplit("TexSplit");
    static const ZHashedString kCenterScale("CenterScale");
    if (binding == nullptr) {
        return false;
    }
    if (binding->name == kOpacityColor) {
        binding->SetVector(ArgbToVector(GetMenuMgr()->GetOverlayColor()));
    } else if (binding->name == kTexSize) {
        binding->SetFloat(m_texSize);
    } else if (binding->name == kTexSplit) {
        binding->SetFloat(0.25f);
    } else if (binding->name == kCenterScale) {
        binding->SetFloat(3.0f);
    } else {
        return SetScreenSpaceShaderParams(*this, binding, passName, source);
    }
    return true;
}
