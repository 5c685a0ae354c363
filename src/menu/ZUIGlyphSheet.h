#pragma once

class ZGlyphSheetTarget;

// Fills a glyph sheet with the "ui" set that menu texts show through
// "<img>ui:NAME<img>": the slider's caps ("s_l", "s_r"), middle ("s_m") and
// knob ("s_b"), and an empty and a ticked check box ("c_0", "c_1"), as
// fractions of the "uiglyphs" texture.
void CreateUIGlyphSheet(ZGlyphSheetTarget& sheet);
