#pragma once

#include "foundation/ZHashedString.h"
#include "foundation/ZMap.h"

class ZSpriteBatch;

// Every glyph sheet that text may show pictures from, by family ("xbox",
// "gen", "ui") and sheet name ("xbox_hud", ...). Text names a family (or a
// sheet itself) and a glyph; each font maps the family to the sheet it draws
// with. The manager
// does not own the sheets; a sheet leaves it when it is destroyed.
// Main thread only.
class ZGlyphSheetMgr {
public:
    ZGlyphSheetMgr() = default;
    ZGlyphSheetMgr(const ZGlyphSheetMgr&) = delete;
    ZGlyphSheetMgr& operator=(const ZGlyphSheetMgr&) = delete;

    // Enters the sheet (replacing one of the same family and name).
    void Add(ZHashedString family, ZHashedString sheetName, ZSpriteBatch* sheet);
    // Removes the sheet from every entry that holds it.
    void Remove(const ZSpriteBatch* sheet);
    void Clear() { m_families.Clear(); }

    // The sheet of the family and name, or null.
    ZSpriteBatch* Find(ZHashedString family, ZHashedString sheetName) const;
    // The first sheet of the family (in name order), or null.
    ZSpriteBatch* FindAny(ZHashedString family) const;
    // The sheet of that name in any family (families in name order), or null.
    ZSpriteBatch* FindByName(ZHashedString sheetName) const;

    const ZMap<ZHashedString, ZMap<ZHashedString, ZSpriteBatch*>>& GetFamilies() const { return m_families; }

private:
    ZMap<ZHashedString, ZMap<ZHashedString, ZSpriteBatch*>> m_families;
};

// The manager, made on first use.
ZGlyphSheetMgr* GetGlyphSheetMgr();
// The manager when it exists, else null.
ZGlyphSheetMgr* PeekGlyphSheetMgr();
// Frees it (shutdown); the next GetGlyphSheetMgr makes an empty one.
void DestroyGlyphSheetMgr();
