#pragma once

#include <cstdint>

#include "foundation/ZArray.h"
#include "foundation/ZHashedString.h"
#include "foundation/ZINIFile.h"
#include "foundation/ZMap.h"
#include "foundation/ZString.h"
#include "framework/ZLocFormat.h"

// Every text the player reads. Texts live in string files (INI text: sections
// of keys), addressed by three hashed names: the file (its name without the
// extension: "General.txt" is "General"), the section and the key.
//
// Each string file is loaded once for the default language, by its name alone
// through the stream sources, and once more for the chosen language as a
// localised copy: for a language of the language list, under that language's
// prefix through the stream sources; for any other language, from the user's
// Localization folder on disk (<user folder>\Localization\<language>\<file>).
// A lookup tries the localised copy, then the default one, and otherwise
// answers a visible bracketed text; nothing here fails.
//
// Keys written before any section header, and keys under an empty header
// "[]", are both found with the none name and with the empty name as the
// section, so callers that ask for "no section" either way find them.
//
// Pseudo-localisation ("xxx" as the language, or the TestLoc option) turns
// every visible byte of a found string into 'X', so hard-coded or untranslated
// text stands out on screen.
//
// Main thread only, no lock of its own.
class ZLocMgr {
public:
    // One string as LoadStringFiles takes it.
    struct StringRef {
        ZHashedString file;
        ZHashedString section;
        ZHashedString key;
    };

    // Made on first use; released by DestroyInstance at shutdown.
    static ZLocMgr* GetInstance();
    static void DestroyInstance();

    ZLocMgr() = default;
    ZLocMgr(const ZLocMgr&) = delete;
    ZLocMgr& operator=(const ZLocMgr&) = delete;
    ~ZLocMgr() = default;

    // --- Registration (start-up) ---
    // Appends a string file by name ("General.txt"); nothing is loaded yet.
    // A file whose name without its last 4 bytes is exactly "Startup" is a
    // start-up file.
    void AddStringFile(const char* fileName);
    // Adds or replaces a language of the list: its name and the path prefix
    // of its string files in the game's data ("Localization\German\").
    void AddLanguage(const char* name, const char* prefix);
    // Reads a language list file through the stream sources and adds one
    // language per entry of its "Prefixes" section (key = name, value =
    // prefix), in the section's key order. A missing file or section adds
    // nothing. Answers the number of languages added.
    uint32_t AddLanguageList(const char* listFileName);
    // Adds the engine's own string files, in their fixed order: "Startup.txt",
    // "General.txt", "Input.txt", "EngineControls.txt", "Menus.txt".
    void AddEngineStringFiles();

    // --- Loading and switching ---
    // Loads the default copies of the start-up files (true) or of every
    // other file (false).
    void SetDefaultPath(bool startupOnly);
    // Drops every localised copy and the coverage, then, for a non-empty
    // language, loads the localised copies (of the start-up files only, or of
    // every file). Tells the listeners (ZLocListener) afterwards.
    void SetLocalizedPath(const char* language, bool startupOnly);
    // The start-up language step: an empty language does nothing; "xxx" (any
    // case) turns pseudo-localisation on and loads no language; any other
    // language is loaded with SetLocalizedPath.
    void ApplyStartupLanguage(const char* language, bool startupOnly);
    // A change of the Language setting at run time: empty switches to the
    // default texts, "xxx" (any case) switches to the default texts with
    // pseudo-localisation, anything else loads that language with
    // pseudo-localisation off. Every file's copy is loaded; the listeners are
    // told once, after the switch is complete.
    void ChangeLanguage(const char* language);
    // The TestLoc switch. A change tells the listeners.
    void SetPseudoLocalization(bool on);

    // --- Lookups ---
    // The string; "[String file.section.key not found]" when the file is
    // loaded but lacks it, "[File file for string section.key not found]"
    // when the file was never loaded. Found strings are pseudo-localised
    // while that mode is on; the two bracketed texts never are.
    ZString GetString(ZHashedString file, ZHashedString section, ZHashedString key) const;
    // True (also stored in out) when the localised or default copy has it.
    bool HasString(ZHashedString file, ZHashedString section, ZHashedString key, bool& out) const;
    bool HasString(ZHashedString file, ZHashedString section, ZHashedString key) const {
        bool found = false;
        return HasString(file, section, key, found);
    }

    // A printf-style string formatted with arguments whose types the string's
    // conversions must match (ZLocFormat). A localised string that does not
    // match gives way to the default copy; when neither matches, the result
    // is "[String file.section.key has a bad format]". A missing string gives
    // the not-found text as GetString does. Pseudo-localisation masks the
    // string's own text, never the arguments.
    template <typename... T>
    ZString FormatString(ZHashedString file, ZHashedString section, ZHashedString key, const T&... values) const {
        const ZLocFormat::Arg list[] = {ZLocFormat::MakeArg(values)..., ZLocFormat::Arg{}};
        return FormatStringArgs(file, section, key, list, sizeof...(T));
    }
    ZString FormatStringArgs(ZHashedString file, ZHashedString section, ZHashedString key,
                             const ZLocFormat::Arg* args, uint32_t count) const;

    // Replaces text inside one stored string, in the default copy (whose
    // answer is the result) and in the localised copy. The string
    // QXV_Strings / "NPC (Jeweller)" / String0011 is never changed (false).
    bool ReplaceInString(ZHashedString file, ZHashedString section, ZHashedString key, const char* oldText,
                         const char* newText);
    // Undoes every ReplaceInString still in effect, in both copies.
    void DiscardStringChanges();

    // --- Lists and statistics ---
    // Empties out and fills it with the added file names, in order; the count.
    uint32_t ListStringFiles(ZArray<ZString>& out) const;
    // The languages the player can choose: the list's languages in key order,
    // then every sub-folder of the user's Localization folder (nested ones as
    // "Parent\Child") that is neither a listed language nor "English".
    void ListLanguages(ZArray<ZString>& out) const;
    // The given strings in the given language, one per reference and in
    // order: the language's value, else the default copy's, else empty.
    // Loads that language's files for this call only; the current language,
    // its copies and its coverage stay as they are.
    ZArray<ZString> LoadStringFiles(const ZString& language, const ZArray<StringRef>& refs) const;
    // Share of the default keys that the current language translates (0 when
    // there are none), with both counts.
    float GetCoverage(int32_t& total, int32_t& translated) const;
    // Strings and words (parts between spaces and line feeds) over the
    // default copies.
    void CountStringsAndWords(int32_t& strings, int32_t& words) const;

    // The byte rule of pseudo-localisation applied to a whole string.
    static ZString PseudoLocalize(const ZString& text);

    bool IsPseudoLocalized() const { return m_pseudo; }
    bool IsLocalized() const { return m_localized; }
    const ZString& GetCurrentLanguage() const { return m_language; }

private:
    struct StringFile {
        ZString name;
        ZHashedString id;
        bool startup = false;
    };
    struct Language {
        ZString name;
        ZString prefix;
    };
    struct Coverage {
        int32_t total = 0;
        int32_t translated = 0;
    };
    // The text a string had before ReplaceInString first changed it.
    struct Original {
        bool localized = false;
        ZHashedString file;
        ZHashedString section;
        ZHashedString key;
        ZString value;
    };
    using FileMap = ZMap<ZHashedString, ZINIFile>;

    // Raw (never masked) lookups in one copy; the none and empty sections
    // stand for each other.
    static bool FindIn(const ZINIFile& file, ZHashedString section, ZHashedString key, ZString& out);
    static bool HasIn(const ZINIFile& file, ZHashedString section, ZHashedString key);
    bool FindLocalized(ZHashedString file, ZHashedString section, ZHashedString key, ZString& out) const;
    bool FindDefault(ZHashedString file, ZHashedString section, ZHashedString key, ZString& out) const;
    // The bracketed text for a string that neither copy holds.
    ZString NotFoundText(ZHashedString file, ZHashedString section, ZHashedString key) const;

    // Loads the localised copy of fileName for language into out.
    void LoadLocalizedCopy(const ZString& fileName, const ZString& language, ZINIFile& out) const;
    Coverage CountCoverage(const ZINIFile& defaults, const ZINIFile& localized) const;
    // SetLocalizedPath without telling the listeners.
    void SwitchLocalized(const char* language, bool startupOnly);
    void DropOriginals(bool localized, const ZHashedString* file);
    static bool ReplaceIn(ZINIFile& copy, ZHashedString section, ZHashedString key, const char* oldText,
                          const char* newText, ZString& before);

    bool m_pseudo = false;
    bool m_localized = false;
    ZString m_language;
    ZArray<StringFile> m_files;
    FileMap m_defaultFiles;
    FileMap m_localizedFiles;
    ZMap<ZHashedString, Coverage> m_coverage;
    ZMap<ZHashedString, Language> m_languages;
    ZArray<Original> m_originals;
};
