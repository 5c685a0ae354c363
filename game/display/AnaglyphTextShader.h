#pragma once

#include "menu/ZTexturedShader.h"

// The HUD's text and glyph materials that draw in anaglyph 3D: the game's
// pixel font and the button and status glyph sheets. They draw in the fixed
// 256 x 224 frame (not in screen pixels), shifted and filtered for the eye
// that the clear passes set up; every other parameter is an interface
// element's.
class AnaglyphTextShader : public ZTexturedShader {
public:
    enum class Kind { kFont, kXboxGlyphs, kGenGlyphs, kStatusGlyphs };

    // Fills the description of the kind (load it with Load).
    explicit AnaglyphTextShader(Kind kind);
    bool SetParameters(ZEffectParameter* binding, ZHashedString passName, ZParameterSource* source) override;

    Kind GetKind() const { return m_kind; }

private:
    Kind m_kind;
};

// Each: a new material of the kind, loaded; the caller owns it.
AnaglyphTextShader* LoadAnaglyphFontShader();
AnaglyphTextShader* LoadAnaglyphXboxGlyphShader();
AnaglyphTextShader* LoadAnaglyphGenGlyphShader();
AnaglyphTextShader* LoadAnaglyphStatusGlyphShader();
