#pragma once

#include <memory>

class ZBaseGame;
class ZFont;
class ZSpriteBatch;
class ZTexturedShader;

// The game's fonts and inline glyph sheets beside the engine's: the pad
// button glyphs in the HUD's pixel style ("xbox" / "xbox_pixel", "gen" /
// "gen_pixel", in "Glyph Group"), the two menu fonts (the engine's menu
// group) and the HUD's pixel font ("Font Group"), whose pictures come from
// the pixel sheets and the item sheet ("stat" / "stat_glyphs").
class GameFontSet {
public:
    GameFontSet() = default;
    // Releases whatever is still held.
    ~GameFontSet();
    GameFontSet(const GameFontSet&) = delete;
    GameFontSet& operator=(const GameFontSet&) = delete;

    // Makes everything, in order: the two pad sheets, the menu font, its
    // twin, the HUD font. Loading again replaces them. A missing group skips
    // the append; a missing file is the loaders' to report.
    void Load(ZBaseGame& game);
    // Each object's material, then the object; safe when nothing is held.
    void Release();

    ZSpriteBatch* GetXboxPixelSheet() const { return m_xboxPixelSheet; }
    ZSpriteBatch* GetGenPixelSheet() const { return m_genPixelSheet; }
    ZFont* GetMenuFont() const { return m_menuFont; }
    ZFont* GetMenuFontAlt() const { return m_menuFontAlt; }
    ZFont* GetHUDFont() const { return m_hudFont; }

private:
    ZSpriteBatch* m_xboxPixelSheet = nullptr;
    ZSpriteBatch* m_genPixelSheet = nullptr;
    ZFont* m_menuFont = nullptr;
    ZFont* m_menuFontAlt = nullptr;
    ZFont* m_hudFont = nullptr;
};
