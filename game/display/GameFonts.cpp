#include "game/display/GameFonts.h"

#include "menu/ZTexturedShader.h"
#include "renderer/ZFont.h"

namespace {

void DescribeDefaultFont(ZTexturedShader& shader) {
    shader.Describe("__Default_Font Shader", "__ZORP_Default_HUD.fxo", "FONT_ProbaPro_40_1024", "ProbaPro_40_1024.dds",
                    "__Default_Mod", "mod_white.dds", "HUD");
}

}  // namespace

ZTexturedShader* LoadGameFontShader() {
    auto* shader = new ZScreenSpaceTexturedShader();
    DescribeDefaultFont(*shader);
    shader->Load();
    return shader;
}

ZTexturedShader* LoadGameFontShaderAlt() {
    auto* shader = new ZTexturedShader();
    DescribeDefaultFont(*shader);
    shader->Load();
    return shader;
}

ZFont* LoadGameDefaultFont() {
    auto* font = new ZFont();
    font->Load("ProbaPro_40_1024.uv");
    return font;
}

ZFont* LoadGamePixelFont() {
    auto* font = new ZFont();
    font->Load("PressStart2P_6.uv");
    return font;
}
