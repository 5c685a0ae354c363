#pragma once

#include <cstddef>

#include "foundation/ZHashedString.h"
#include "foundation/ZMap.h"
#include "foundation/ZString.h"

// INI text kept as sections of key/value texts, both levels keyed by hashed
// names (ordered as signed ids). Entries before any section line belong to
// the none section. Loading makes sections and keys case-insensitive.
//
// Written back as text: the none section's keys first, without a header, then
// every other section in id order as "[name]" with its keys in id order as
// "key: value", an empty line before each header that follows other lines.
// Comments and the order of the original text are not kept.
class ZINIFile {
public:
    using KeyMap = ZMap<ZHashedString, ZString>;
    using SectionMap = ZMap<ZHashedString, KeyMap>;

    ZINIFile() = default;
    virtual ~ZINIFile() = default;

    // Empties the map and reads the file: through the stream sources (a file
    // no source holds is skipped quietly), or, with fromDisk set, from a plain
    // path. A missing or empty file leaves the map empty. True when read.
    bool LoadINIFile(const char* path, bool fromDisk = false);
    // Empties the map and parses INI text held in memory.
    void LoadINIText(const char* text, size_t size);
    // Writes the map as text, replacing the file atomically. False (with a log
    // line) when it cannot be written; the old file is then untouched.
    bool SaveINIFile(const char* path) const;
    // The text SaveINIFile writes.
    ZString ToText() const;

    // Copies the value into out; false when the section or key is missing.
    bool GetValue(ZHashedString section, ZHashedString key, ZString& out) const;
    bool HasKey(ZHashedString section, ZHashedString key) const;
    // Sets or replaces a value, making the section when missing.
    void SetValue(ZHashedString section, ZHashedString key, const ZString& value);
    // Replaces every occurrence of find in the value with replacement; false
    // when the section, the key or the text is missing.
    bool ReplaceInValue(ZHashedString section, ZHashedString key, const char* find, const char* replacement);
    // Drops every section.
    void Clear() { m_sections.Clear(); }

    // All sections in id order, for callers that walk every key.
    const SectionMap& GetSections() const { return m_sections; }
    SectionMap::NodeIterator<const SectionMap::Node> SectionsBegin() const { return m_sections.begin(); }
    SectionMap::NodeIterator<const SectionMap::Node> SectionsEnd() const { return m_sections.end(); }

private:
    static void AddEntry(const char* section, const char* key, const char* value, void* self);

    SectionMap m_sections;
};
