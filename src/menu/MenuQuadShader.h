#pragma once

#include "menu/ZTexturedShader.h"

// The shader every menu item's highlight quad draws with: the textured shader
// "__Default_Menu_Quad Shader" ("__ZORP_Default_Menu_Quad.fxo", technique
// "HUD", "menu_quad.dds" as "MENU_QUAD_TEXTURE", "mod_white.dds" as
// "__Default_Mod"). "OpacityColor" is the menu manager's overlay colour; the
// rest are the interface-frame parameters, which carry the menus' slide.
// Construction fills the description; Load (by the caller) loads it.
class MenuQuadShader : public ZTexturedShader {
public:
    MenuQuadShader();

    bool SetParameters(ZEffectParameter* binding, ZHashedString passName, ZParameterSource* source) override;
};
