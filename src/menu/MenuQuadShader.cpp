#include "menu/MenuQuadShader.h"

#include "foundation/ZVector4.h"
#include "menu/ZMenuMgr.h"
#include "renderer/ZEffectParameter.h"

MenuQuadShader::MenuQuadShader() {
    Describe("__Default_Menu_Quad Shader", "__ZORP_Default_Menu_Quad.fxo", "MENU_QUAD_TEXTURE", "menu_quad.dds",
             "__Default_Mod", "mod_white.dds", "HUD");
}

bool MenuQuadShader::SetParameters(ZEffectParameter* binding, const ZHashedString passName,
                                   ZParameterSource* source) {
    static const ZHashedString kOpacityColor("OpacityColor");
    if (binding == nullptr) {
        return false;
    }
    if (binding->name == kOpacityColor) {
        binding->SetVector(ArgbToVector(GetMenuMgr()->GetOverlayColor()));
        return true;
    }
    return SetScreenSpaceShaderParams(*this, binding, passName, source);
}
