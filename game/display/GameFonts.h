#pragma once

class ZFont;
class ZTexturedShader;

// The game's two bitmap fonts and the materials of its default font.

// The default font's material mapping screen pixels, or the interface frame
// ("Alt", the menus'); new and loaded, the caller owns it.
ZTexturedShader* LoadGameFontShader();
ZTexturedShader* LoadGameFontShaderAlt();
// New fonts loaded from "ProbaPro_40_1024.uv" and "PressStart2P_6.uv"; a
// missing table is reported by the font and leaves it empty.
ZFont* LoadGameDefaultFont();
ZFont* LoadGamePixelFont();
