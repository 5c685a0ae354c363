#include "foundation/ZINIFile.h"

#include <string>

#include "foundation/ZINIFileParser.h"
#include "foundation/ZLog.h"
#include "foundation/ZStreamMgr.h"
#include "platform/os/files.h"
#include "platform/os/system.h"

namespace {

void AppendKeys(std::string& out, const ZINIFile::KeyMap& keys) {
    for (const auto& entry : keys) {
        out += entry.key.GetTextOrEmpty();
        out += ": ";
        out.append(entry.value.GetText(), static_cast<size_t>(entry.value.GetLength()));
        out += "\r\n";
    }
}

}  // namespace

void ZINIFile::AddEntry(const char* section, const char* key, const char* value, void* self) {
    // Null texts intern as the none name.
    const ZHashedString sectionId(section);
    const ZHashedString keyId(key);
    static_cast<ZINIFile*>(self)->m_sections[sectionId].Insert(keyId, ZString(value));
}

bool ZINIFile::LoadINIFile(const char* path, const bool fromDisk) {
    ZLog::Printf("ZINIFile::LoadINIFile");
    m_sections.Clear();
    if (path == nullptr || *path == 0) {
        return false;
    }

    if (fromDisk) {
        std::FILE* file = os::OpenFile(path, "rb");
        if (file == nullptr) {
            return false;
        }
        char* buffer = nullptr;
        const int32_t size = os::FileSize(file) > 0 ? ReadWholeFile(file, &buffer) : -1;
        std::fclose(file);
        if (size <= 0) {
            delete[] buffer;
            return false;
        }
        LoadINIText(buffer, static_cast<size_t>(size));
        delete[] buffer;
        return true;
    }

    ZStreamMgr* streams = ZStreamMgr::GetInstance();
    if (streams == nullptr || streams->FindSource(path, false) < 0) {
        return false;
    }
    ZLog::Printf("        Allocate buffer....");
    char* buffer = nullptr;
    int64_t size = -1;
    if (!streams->ReadFile(path, &buffer, &size) || size < 0) {
        delete[] buffer;
        ZLog::Printf("INI file %s could not be read", path);
        return false;
    }
    ZLog::Printf("        Parse INI file text....");
    LoadINIText(buffer, static_cast<size_t>(size));
    ZLog::Printf("        Delete buffer....");
    delete[] buffer;
    return true;
}

void ZINIFile::LoadINIText(const char* text, const size_t size) {
    m_sections.Clear();
    ZINIFileParser::ParseINIFileText(text, size, &ZINIFile::AddEntry, this);
}

ZString ZINIFile::ToText() const {
    std::string out;
    // Keys of the none section lead, so that they read back under it.
    const ZHashedString none = ZHashedString::None();
    if (const auto* base = m_sections.Find(none)) {
        AppendKeys(out, base->value);
    }
    for (const auto& section : m_sections) {
        if (section.key == none) {
            continue;
        }
        out += out.empty() ? "" : "\r\n";
        out += "[";
        out += section.key.GetTextOrEmpty();
        out += "]\r\n";
        AppendKeys(out, section.value);
    }
    return ZString::FromBytes(out.data(), static_cast<int32_t>(out.size()));
}

bool ZINIFile::SaveINIFile(const char* path) const {
    const ZString text = ToText();
    const int error = os::WriteFileAtomic(path != nullptr ? path : "", text.GetText(),
                                          static_cast<size_t>(text.GetLength()));
    if (error != 0) {
        ZLog::Printf("ZINIFile::SaveINIFile: %s could not be written: %s", path != nullptr ? path : "(null)",
                     os::ErrorText(error).c_str());
        return false;
    }
    return true;
}

bool ZINIFile::GetValue(const ZHashedString section, const ZHashedString key, ZString& out) const {
    const auto* keys = m_sections.Find(section);
    if (keys == nullptr) {
        return false;
    }
    const auto* entry = keys->value.Find(key);
    if (entry == nullptr) {
        return false;
    }
    out = entry->value;
    return true;
}

bool ZINIFile::HasKey(const ZHashedString section, const ZHashedString key) const {
    const auto* keys = m_sections.Find(section);
    return keys != nullptr && keys->value.Contains(key);
}

void ZINIFile::SetValue(const ZHashedString section, const ZHashedString key, const ZString& value) {
    m_sections[section].Insert(key, value);
}

bool ZINIFile::ReplaceInValue(const ZHashedString section, const ZHashedString key, const char* find,
                              const char* replacement) {
    auto* keys = m_sections.Find(section);
    if (keys == nullptr || find == nullptr || *find == 0) {
        return false;
    }
    auto* entry = keys->value.Find(key);
    if (entry == nullptr || entry->value.Find(find) < 0) {
        return false;
    }
    entry->value = entry->value.Replace(find, replacement != nullptr ? replacement : "");
    return true;
}
