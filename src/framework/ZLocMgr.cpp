#include "framework/ZLocMgr.h"

#include <string>

#include "foundation/ZAppInfo.h"
#include "foundation/ZLog.h"
#include "foundation/ZUserFolders.h"
#include "framework/ZLocListener.h"

namespace {

ZLocMgr* s_instance = nullptr;

ZHashedString EmptyName() {
    static const ZHashedString empty("");
    return empty;
}

// The section that stands in for a "no section" lookup, or none.
bool OtherNoSection(const ZHashedString section, ZHashedString& other) {
    if (section.IsNone()) {
        other = EmptyName();
        return true;
    }
    if (section == EmptyName()) {
        other = ZHashedString::None();
        return true;
    }
    return false;
}

// The section under which the copy holds the key, the none and empty
// sections standing for each other.
bool Locate(const ZINIFile& copy, const ZHashedString section, const ZHashedString key, ZHashedString& actual) {
    if (copy.HasKey(section, key)) {
        actual = section;
        return true;
    }
    ZHashedString other;
    if (OtherNoSection(section, other) && copy.HasKey(other, key)) {
        actual = other;
        return true;
    }
    return false;
}

bool IsPseudoLanguage(const char* language) { return ZString(language).EqualsNoCase("xxx"); }

}  // namespace

ZLocMgr* ZLocMgr::GetInstance() { return GetOrCreateManager(s_instance); }

void ZLocMgr::DestroyInstance() { DestroyManager(s_instance); }

// --- Registration ---

void ZLocMgr::AddStringFile(const char* fileName) {
    StringFile record;
    record.name = ZString(fileName);
    const int32_t length = record.name.GetLength();
    const ZString shortName = length > 4 ? record.name.Left(length - 4) : ZString();
    record.id = ZHashedString(shortName.GetText());
    record.startup = shortName == "Startup";
    m_files.PushBack(record);
}

void ZLocMgr::AddLanguage(const char* name, const char* prefix) {
    Language record;
    record.name = ZString(name);
    record.prefix = ZString(prefix);
    m_languages.Insert(ZHashedString(record.name.GetText()), record);
}

uint32_t ZLocMgr::AddLanguageList(const char* listFileName) {
    static const ZHashedString prefixes("Prefixes");
    ZINIFile list;
    if (!list.LoadINIFile(listFileName, false)) {
        return 0;
    }
    const auto* section = list.GetSections().Find(prefixes);
    if (section == nullptr) {
        // A damaged list would otherwise take every language but the default
        // away without a word.
        ZLog::Printf("Language list %s holds no [Prefixes] section; only the default language is offered",
                     listFileName);
        return 0;
    }
    uint32_t added = 0;
    for (const auto& entry : section->value) {
        AddLanguage(entry.key.GetTextOrEmpty(), entry.value.GetText());
        ++added;
    }
    return added;
}

void ZLocMgr::AddEngineStringFiles() {
    static const char* const kEngineFiles[] = {"Startup.txt", "General.txt", "Input.txt", "EngineControls.txt",
                                               "Menus.txt"};
    for (const char* name : kEngineFiles) {
        AddStringFile(name);
    }
}

// --- Loading and switching ---

void ZLocMgr::SetDefaultPath(const bool startupOnly) {
    ZLog::Printf("ZLocMgr::SetDefaultPath");
    for (const StringFile& record : m_files) {
        if (record.startup != startupOnly) {
            continue;
        }
        ZLog::Printf("    Default INI Load");
        DropOriginals(false, &record.id);
        ZINIFile& copy = m_defaultFiles[record.id];
        copy.LoadINIFile(record.name.GetText(), false);
        ZLog::Printf("    Default string insert");
    }
}

void ZLocMgr::SwitchLocalized(const char* language, const bool startupOnly) {
    ZLog::Printf("ZLocMgr::SetLocalizedPath");
    m_localizedFiles.Clear();
    m_coverage.Clear();
    DropOriginals(true, nullptr);
    m_language = ZString(language);
    m_localized = !m_language.IsEmpty();
    if (!m_localized) {
        return;
    }
    for (const StringFile& record : m_files) {
        if (startupOnly && !record.startup) {
            continue;
        }
        ZINIFile& copy = m_localizedFiles[record.id];
        LoadLocalizedCopy(record.name, m_language, copy);
        if (const auto* defaults = m_defaultFiles.Find(record.id)) {
            m_coverage.Insert(record.id, CountCoverage(defaults->value, copy));
        }
    }
}

void ZLocMgr::SetLocalizedPath(const char* language, const bool startupOnly) {
    SwitchLocalized(language, startupOnly);
    ZLocListener::NotifyAll();
}

void ZLocMgr::ApplyStartupLanguage(const char* language, const bool startupOnly) {
    if (language == nullptr || *language == 0) {
        return;
    }
    if (IsPseudoLanguage(language)) {
        SetPseudoLocalization(true);
        return;
    }
    SetLocalizedPath(language, startupOnly);
}

void ZLocMgr::ChangeLanguage(const char* language) {
    const bool empty = language == nullptr || *language == 0;
    const bool pseudo = !empty && IsPseudoLanguage(language);
    SwitchLocalized(empty || pseudo ? "" : language, false);
    m_pseudo = pseudo;
    ZLocListener::NotifyAll();
}

void ZLocMgr::SetPseudoLocalization(const bool on) {
    if (m_pseudo == on) {
        return;
    }
    m_pseudo = on;
    ZLocListener::NotifyAll();
}

void ZLocMgr::LoadLocalizedCopy(const ZString& fileName, const ZString& language, ZINIFile& out) const {
    if (const auto* listed = m_languages.Find(ZHashedString(language.GetText()))) {
        const ZString path = listed->value.prefix + fileName;
        out.LoadINIFile(path.GetText(), false);
        return;
    }
    const ZAppInfo* info = ZAppInfo::GetInstance();
    if (info == nullptr) {
        out.Clear();
        return;
    }
    const ZString folder = GetUserFolderPath(info->GetGameFolderName(), info->GetLocalizationFolder(), false);
    const ZString path = folder + language + "\\" + fileName;
    out.LoadINIFile(path.GetText(), true);
}

ZLocMgr::Coverage ZLocMgr::CountCoverage(const ZINIFile& defaults, const ZINIFile& localized) const {
    Coverage counts;
    for (const auto& section : defaults.GetSections()) {
        for (const auto& entry : section.value) {
            ++counts.total;
            if (HasIn(localized, section.key, entry.key)) {
                ++counts.translated;
            }
        }
    }
    return counts;
}

// --- Lookups ---

bool ZLocMgr::FindIn(const ZINIFile& file, const ZHashedString section, const ZHashedString key, ZString& out) {
    ZHashedString actual;
    return Locate(file, section, key, actual) && file.GetValue(actual, key, out);
}

bool ZLocMgr::HasIn(const ZINIFile& file, const ZHashedString section, const ZHashedString key) {
    ZHashedString actual;
    return Locate(file, section, key, actual);
}

bool ZLocMgr::FindLocalized(const ZHashedString file, const ZHashedString section, const ZHashedString key,
                            ZString& out) const {
    const auto* copy = m_localizedFiles.Find(file);
    return copy != nullptr && FindIn(copy->value, section, key, out);
}

bool ZLocMgr::FindDefault(const ZHashedString file, const ZHashedString section, const ZHashedString key,
                          ZString& out) const {
    const auto* copy = m_defaultFiles.Find(file);
    return copy != nullptr && FindIn(copy->value, section, key, out);
}

ZString ZLocMgr::NotFoundText(const ZHashedString file, const ZHashedString section, const ZHashedString key) const {
    std::string text;
    if (m_defaultFiles.Contains(file) || m_localizedFiles.Contains(file)) {
        text = std::string("[String ") + file.GetTextOrEmpty() + "." + section.GetTextOrEmpty() + "." +
               key.GetTextOrEmpty() + " not found]";
    } else {
        text = std::string("[File ") + file.GetTextOrEmpty() + " for string " + section.GetTextOrEmpty() + "." +
               key.GetTextOrEmpty() +
               " not found]";
    }
    ZString result(text.c_str());
    result.DetectEncoding();
    return result;
}

ZString ZLocMgr::GetString(const ZHashedString file, const ZHashedString section, const ZHashedString key) const {
    ZString value;
    if (!FindLocalized(file, section, key, value) && !FindDefault(file, section, key, value)) {
        return NotFoundText(file, section, key);
    }
    if (m_pseudo) {
        value = PseudoLocalize(value);
    }
    value.DetectEncoding();
    return value;
}

bool ZLocMgr::HasString(const ZHashedString file, const ZHashedString section, const ZHashedString key,
                        bool& out) const {
    out = false;
    if (const auto* copy = m_localizedFiles.Find(file)) {
        out = HasIn(copy->value, section, key);
    }
    if (!out) {
        if (const auto* copy = m_defaultFiles.Find(file)) {
            out = HasIn(copy->value, section, key);
        }
    }
    return out;
}

ZString ZLocMgr::FormatStringArgs(const ZHashedString file, const ZHashedString section, const ZHashedString key,
                                  const ZLocFormat::Arg* args, const uint32_t count) const {
    ZString pattern;
    ZString result;
    const bool localized = FindLocalized(file, section, key, pattern);
    if (localized) {
        if (ZLocFormat::Format(pattern, args, count, m_pseudo, result)) {
            return result;
        }
        ZLog::Printf("ZLocMgr: string %s.%s.%s of language %s does not fit its arguments; using the default text",
                     file.GetTextOrEmpty(), section.GetTextOrEmpty(), key.GetTextOrEmpty(), m_language.GetText());
    }
    if (FindDefault(file, section, key, pattern)) {
        if (ZLocFormat::Format(pattern, args, count, m_pseudo, result)) {
            return result;
        }
    } else if (!localized) {
        return NotFoundText(file, section, key);
    }
    ZLog::Printf("ZLocMgr: string %s.%s.%s does not fit its arguments", file.GetTextOrEmpty(),
                 section.GetTextOrEmpty(), key.GetTextOrEmpty());
    const std::string text =
        std::string("[String ") + file.GetTextOrEmpty() + "." + section.GetTextOrEmpty() + "." +
        key.GetTextOrEmpty() + " has a bad format]";
    result = ZString(text.c_str());
    result.DetectEncoding();
    return result;
}

// --- Changes to stored strings ---

bool ZLocMgr::ReplaceIn(ZINIFile& copy, const ZHashedString section, const ZHashedString key, const char* oldText,
                        const char* newText, ZString& before) {
    ZHashedString actual;
    if (!Locate(copy, section, key, actual) || !copy.GetValue(actual, key, before)) {
        return false;
    }
    return copy.ReplaceInValue(actual, key, oldText, newText);
}

bool ZLocMgr::ReplaceInString(const ZHashedString file, const ZHashedString section, const ZHashedString key,
                              const char* oldText, const char* newText) {
    static const ZHashedString exemptFile("QXV_Strings");
    static const ZHashedString exemptSection("NPC (Jeweller)");
    static const ZHashedString exemptKey("String0011");
    if (file == exemptFile && section == exemptSection && key == exemptKey) {
        return false;
    }

    // Keeps the first text each string had, so DiscardStringChanges can put
    // it back however many replacements followed.
    auto remember = [&](const bool localized, ZINIFile& copy) {
        ZString before;
        ZHashedString actual;
        if (!Locate(copy, section, key, actual) || !ReplaceIn(copy, section, key, oldText, newText, before)) {
            return false;
        }
        for (const Original& original : m_originals) {
            if (original.localized == localized && original.file == file && original.section == actual &&
                original.key == key) {
                return true;
            }
        }
        m_originals.PushBack(Original{localized, file, actual, key, before});
        return true;
    };

    bool result = false;
    if (auto* copy = m_defaultFiles.Find(file)) {
        result = remember(false, copy->value);
    }
    if (auto* copy = m_localizedFiles.Find(file)) {
        remember(true, copy->value);
    }
    return result;
}

void ZLocMgr::DiscardStringChanges() {
    for (const Original& original : m_originals) {
        FileMap& files = original.localized ? m_localizedFiles : m_defaultFiles;
        if (auto* copy = files.Find(original.file)) {
            copy->value.SetValue(original.section, original.key, original.value);
        }
    }
    m_originals.Clear();
}

void ZLocMgr::DropOriginals(const bool localized, const ZHashedString* file) {
    for (uint32_t i = m_originals.Count(); i > 0; --i) {
        const Original& original = m_originals[i - 1];
        if (original.localized == localized && (file == nullptr || original.file == *file)) {
            m_originals.RemoveAt(i - 1);
        }
    }
}

// --- Lists and statistics ---

uint32_t ZLocMgr::ListStringFiles(ZArray<ZString>& out) const {
    out.Clear();
    for (const StringFile& record : m_files) {
        out.PushBack(record.name);
    }
    return out.Count();
}

void ZLocMgr::ListLanguages(ZArray<ZString>& out) const {
    out.Clear();
    for (const auto& entry : m_languages) {
        out.PushBack(entry.value.name);
    }
    const ZAppInfo* info = ZAppInfo::GetInstance();
    if (info == nullptr) {
        return;
    }
    const ZString folder = GetUserFolderPath(info->GetGameFolderName(), info->GetLocalizationFolder(), false);
    ZArray<ZString> folders;
    ListSubFolders(folder.GetText(), "*", folders, true, nullptr);
    for (const ZString& name : folders) {
        // The exported English files live in a folder too; English is the
        // default language and is offered by the caller already.
        if (name.EqualsNoCase("English") || m_languages.Contains(ZHashedString(name.GetText()))) {
            continue;
        }
        out.PushBack(name);
    }
}

ZArray<ZString> ZLocMgr::LoadStringFiles(const ZString& language, const ZArray<StringRef>& refs) const {
    ZArray<ZString> out;
    FileMap copies;
    for (const StringRef& ref : refs) {
        const auto* loaded = copies.Find(ref.file);
        if (loaded == nullptr) {
            ZINIFile& copy = copies[ref.file];
            const char* fileText = ref.file.GetTextOrEmpty();
            if (*fileText != 0 && !language.IsEmpty()) {
                LoadLocalizedCopy(ZString(fileText) + ".txt", language, copy);
            }
            loaded = copies.Find(ref.file);
        }
        ZString value;
        if (!FindIn(loaded->value, ref.section, ref.key, value)) {
            FindDefault(ref.file, ref.section, ref.key, value);
        }
        value.DetectEncoding();
        out.PushBack(value);
    }
    return out;
}

float ZLocMgr::GetCoverage(int32_t& total, int32_t& translated) const {
    total = 0;
    translated = 0;
    for (const auto& entry : m_coverage) {
        total += entry.value.total;
        translated += entry.value.translated;
    }
    return total == 0 ? 0.0f : static_cast<float>(translated) / static_cast<float>(total);
}

void ZLocMgr::CountStringsAndWords(int32_t& strings, int32_t& words) const {
    strings = 0;
    words = 0;
    ZArray<ZString> lines;
    ZArray<ZString> parts;
    for (const auto& file : m_defaultFiles) {
        for (const auto& section : file.value.GetSections()) {
            for (const auto& entry : section.value) {
                ++strings;
                entry.value.Split("\n", lines);
                for (const ZString& line : lines) {
                    line.Split(" ", parts);
                    for (const ZString& part : parts) {
                        words += part.IsEmpty() ? 0 : 1;
                    }
                }
            }
        }
    }
}

ZString ZLocMgr::PseudoLocalize(const ZString& text) {
    std::string bytes(text.GetText(), static_cast<size_t>(text.GetLength()));
    for (char& c : bytes) {
        c = PseudoLocalizedByte(c);
    }
    ZString result = ZString::FromBytes(bytes.data(), static_cast<int32_t>(bytes.size()));
    result.DetectEncoding();
    return result;
}
