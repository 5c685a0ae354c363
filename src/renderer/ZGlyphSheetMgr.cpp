#include "renderer/ZGlyphSheetMgr.h"

#include "foundation/ZArray.h"

namespace {

ZGlyphSheetMgr* gGlyphSheetMgr = nullptr;

}  // namespace

void ZGlyphSheetMgr::Add(const ZHashedString family, const ZHashedString sheetName, ZSpriteBatch* sheet) {
    m_families[family].Insert(sheetName, sheet);
}

void ZGlyphSheetMgr::Remove(const ZSpriteBatch* sheet) {
    for (auto& family : m_families) {
        // Collect first: removing while walking would lose the walk's place.
        ZArray<ZHashedString> names;
        for (const auto& entry : family.value) {
            if (entry.value == sheet) {
                names.PushBack(entry.key);
            }
        }
        for (const ZHashedString& name : names) {
            family.value.Remove(name);
        }
    }
}

ZSpriteBatch* ZGlyphSheetMgr::Find(const ZHashedString family, const ZHashedString sheetName) const {
    const auto* sheets = m_families.Find(family);
    if (sheets == nullptr) {
        return nullptr;
    }
    const auto* node = sheets->value.Find(sheetName);
    return node != nullptr ? node->value : nullptr;
}

ZSpriteBatch* ZGlyphSheetMgr::FindByName(const ZHashedString sheetName) const {
    for (const auto& family : m_families) {
        const auto* entry = family.value.Find(sheetName);
        if (entry != nullptr && entry->value != nullptr) {
            return entry->value;
        }
    }
    return nullptr;
}

ZSpriteBatch* ZGlyphSheetMgr::FindAny(const ZHashedString family) const {
    const auto* sheets = m_families.Find(family);
    if (sheets == nullptr) {
        return nullptr;
    }
    for (const auto& entry : sheets->value) {
        if (entry.value != nullptr) {
            return entry.value;
        }
    }
    return nullptr;
}

ZGlyphSheetMgr* GetGlyphSheetMgr() {
    if (gGlyphSheetMgr == nullptr) {
        gGlyphSheetMgr = new ZGlyphSheetMgr();
    }
    return gGlyphSheetMgr;
}

ZGlyphSheetMgr* PeekGlyphSheetMgr() {
    return gGlyphSheetMgr;
}

void DestroyGlyphSheetMgr() {
    delete gGlyphSheetMgr;
    gGlyphSheetMgr = nullptr;
}
