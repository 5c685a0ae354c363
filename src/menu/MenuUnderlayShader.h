#pragma once

#include "menu/ZTexturedShader.h"

// The shader of the panels behind menus: the textured shader
// "__Default_Menu_Underlay Shader" ("__ZORP_Default_Menu_Underlay.fxo",
// technique "HUD", "menu_underlay.dds" as "MENU_UNDERLAY_TEXTURE",
// "mod_white.dds" as "__Default_Mod"), faded with the menu manager's overlay
// colour and placed in the interface frame. Construction fills the
// description; Load (by the caller) loads it.
class MenuUnderlayShader : public ZTexturedShader {
public:
    MenuUnderlayShader();

    bool SetParameters(ZEffectParameter* binding, ZHashedString passName, ZParameterSource* source) override;

protected:
    // The same panel from another texture, texSize texels across.
    MenuUnderlayShader(const char* textureFile, float texSize);

private:
    float m_texSize = 64.0f;
};
