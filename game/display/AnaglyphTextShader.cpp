#include "game/display/AnaglyphTextShader.h"

#include "foundation/ZVector4.h"
#include "game/display/DisplayState.h"
#include "renderer/ZEffectParameter.h"

namespace {

struct Description {
    const char* shaderName;
    const char* effectFile;
    const char* textureName;
    const char* textureFile;
};

Description DescriptionOf(const AnaglyphTextShader::Kind kind) {
    switch (kind) {
        case AnaglyphTextShader::Kind::kFont:
            return {"Anaglyph Font Shader", "anag_font.fxo", "Game Font Texture", "PressStart2P_6.dds"};
        case AnaglyphTextShader::Kind::kXboxGlyphs:
            return {"Anaglyph Glyph Shader", "anag_glyph.fxo", "XBOX_BUTTONS_GLYPHS_PIXEL", "xbox_pixel.dds"};
        case AnaglyphTextShader::Kind::kGenGlyphs:
            return {"Anaglyph Glyph Shader", "anag_glyph.fxo", "GEN_BUTTONS_GLYPHS_PIXEL", "gen_pixel.dds"};
        case AnaglyphTextShader::Kind::kStatusGlyphs:
            break;
    }
    return {"Anaglyph Glyph Shader", "anag_glyph.fxo", "STATUS_GLYPHS", "status_glyphs.dds"};
}

AnaglyphTextShader* LoadKind(const AnaglyphTextShader::Kind kind) {
    auto* shader = new AnaglyphTextShader(kind);
    shader->Load();
    return shader;
}

}  // namespace

AnaglyphTextShader::AnaglyphTextShader(const Kind kind) : m_kind(kind) {
    const Description d = DescriptionOf(kind);
    ZTexturedShader::Describe(d.shaderName, d.effectFile, d.textureName, d.textureFile, "__Default_Mod", "mod_white.dds",
                              "HUD");
}

bool AnaglyphTextShader::SetParameters(ZEffectParameter* binding, const ZHashedString passName,
                                       ZParameterSource* source) {
    static const ZHashedString kDistance("AnaglyphDistance");
    static const ZHashedString kDistanceOffset("AnaglyphDistanceOffset");
    static const ZHashedString kColor("AnaglyphColor");
    static const ZHashedString kDesat("AnaglyphDesat");
    static const ZHashedString kGamma("AnaglyphGamma");
    static const ZHashedString kSilhFix("AnaglyphSilhFix");
    static const ZHashedString kInvHalfWidth("invHalfScreenWidth");
    static const ZHashedString kInvHalfHeight("invHalfScreenHeight");
    static const ZHashedString kXOffset("xOffset");
    static const ZHashedString kYOffset("yOffset");
    if (binding == nullptr) return false;
    const DisplayState* display = PeekDisplayState();
    const DisplayState neutral;
    const DisplayState& d = display != nullptr ? *display : neutral;
    const ZHashedString name = binding->name;
    if (name == kDistance) {
        binding->SetFloat(-d.GetAnaglyphDistance());
    } else if (name == kDistanceOffset) {
        binding->SetFloat(d.GetAnaglyphDistanceOffset());
    } else if (name == kColor) {
        binding->SetVector(d.GetAnaglyphColor());
    } else if (name == kDesat) {
        binding->SetFloat(d.GetAnaglyphDesaturation());
    } else if (name == kGamma) {
        binding->SetVector(d.GetAnaglyphGamma());
    } else if (name == kSilhFix) {
        binding->SetFloat(0.0f);
    } else if (name == kInvHalfWidth) {
        // Half of the 256 x 224 frame, whatever the window's size.
        binding->SetFloat(0.0078125f);
    } else if (name == kInvHalfHeight) {
        binding->SetFloat(0.008928571827709675f);
    } else if (name == kXOffset || name == kYOffset) {
        binding->SetFloat(0.0f);
    } else {
        return SetMenuElementShaderParams(*this, binding, passName, source);
    }
    return true;
}

AnaglyphTextShader* LoadAnaglyphFontShader() { return LoadKind(AnaglyphTextShader::Kind::kFont); }
AnaglyphTextShader* LoadAnaglyphXboxGlyphShader() { return LoadKind(AnaglyphTextShader::Kind::kXboxGlyphs); }
AnaglyphTextShader* LoadAnaglyphGenGlyphShader() { return LoadKind(AnaglyphTextShader::Kind::kGenGlyphs); }
AnaglyphTextShader* LoadAnaglyphStatusGlyphShader() { return LoadKind(AnaglyphTextShader::Kind::kStatusGlyphs); }
