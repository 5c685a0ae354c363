#include "framework/ZConfigVar.h"

#include <cerrno>
#include <cmath>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>

#include "foundation/ZINIFileParser.h"
#include "foundation/ZLog.h"
#include "foundation/ZMath.h"
#include "platform/os/files.h"
#include "foundation/ZString.h"

namespace {

// ---------------------------------------------------------------------------
// Reading values. Numbers are read in the C locale whatever the process's
// locale is, so Config.ini means the same on every machine.

enum class ReadResult { kOk, kNoValue, kOutOfRange };

const char* SkipSpace(const char* p) {
    while (IsSpaceChar(*p)) {
        ++p;
    }
    return p;
}

bool IsDigit(const char c) {
    return c >= '0' && c <= '9';
}

// Leading blanks, an optional sign, then decimal digits up to the first other
// byte, as the C runtime reads an integer; a value past 32 bits is out of range.
ReadResult ReadInt(const char* text, int32_t& out) {
    const char* p = SkipSpace(text);
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        ++p;
    }
    if (!IsDigit(*p)) {
        return ReadResult::kNoValue;
    }
    const int64_t limit = negative ? -int64_t(INT32_MIN) : int64_t(INT32_MAX);
    int64_t value = 0;
    bool tooBig = false;
    for (; IsDigit(*p); ++p) {
        if (!tooBig) {
            value = value * 10 + (*p - '0');
            tooBig = value > limit;
        }
    }
    if (tooBig) {
        return ReadResult::kOutOfRange;
    }
    out = static_cast<int32_t>(negative ? -value : value);
    return ReadResult::kOk;
}

// Leading blanks, then a number in decimal or exponent notation; the first
// byte that cannot continue it ends it. *next is where reading stopped. A
// number that a float cannot hold (or infinity, or NaN) is out of range.
ReadResult ReadFloat(const char* text, float& out, const char** next = nullptr) {
    const char* p = SkipSpace(text);
    const char* end = p + std::strlen(p);
    const char* start = p;
    // from_chars takes no plus sign; the runtime's reading does.
    if (*p == '+') {
        ++start;
        if (*start == '+' || *start == '-') {
            return ReadResult::kNoValue;
        }
    }
    double value = 0.0;
    const std::from_chars_result result = std::from_chars(start, end, value, std::chars_format::general);
    if (result.ec == std::errc::invalid_argument) {
        return ReadResult::kNoValue;
    }
    if (next != nullptr) {
        *next = result.ptr;
    }
    if (result.ec == std::errc::result_out_of_range || !std::isfinite(value) ||
        std::fabs(value) > double(std::numeric_limits<float>::max())) {
        return ReadResult::kOutOfRange;
    }
    out = static_cast<float>(value);
    return ReadResult::kOk;
}

// "%f,%f,%f,%f" as a scan reads it: the comma must follow a number directly,
// blanks may follow the comma. Components not reached stay 0.
ReadResult ReadVector4(const char* text, float out[4]) {
    float values[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    const char* p = text;
    for (int i = 0; i < 4; ++i) {
        if (i > 0) {
            if (*p != ',') {
                break;
            }
            ++p;
        }
        const char* next = p;
        const ReadResult result = ReadFloat(p, values[i], &next);
        if (result == ReadResult::kOutOfRange) {
            return result;
        }
        if (result == ReadResult::kNoValue) {
            if (i == 0) {
                return result;
            }
            break;
        }
        p = next;
    }
    for (int i = 0; i < 4; ++i) {
        out[i] = values[i];
    }
    return ReadResult::kOk;
}

// A boolean word (either case, blanks around it allowed) or an integer.
ReadResult ReadBool(const char* text, bool& out) {
    static const char* const kWords[] = {"true", "t", "yes", "y", "on", "false", "f", "no", "n", "off"};
    const ZString trimmed = ZString(text).Trim();
    bool isWord = false;
    for (const char* word : kWords) {
        isWord = isWord || trimmed.EqualsNoCase(word);
    }
    int32_t unused = 0;
    if (!isWord && ReadInt(text, unused) == ReadResult::kNoValue) {
        return ReadResult::kNoValue;
    }
    out = ParseBool(trimmed.GetText());
    return ReadResult::kOk;
}

void LogRefused(const ZHashedString section, const ZConfigVar& var, const char* text, const char* reason) {
    ZLog::Printf("Config variable %s.%s: ignoring \"%s\" (%s)", section.GetTextOrEmpty(),
                 var.name.GetTextOrEmpty(), text,
                 reason);
}

// Writes the value text gives into the variable's storage. False when the text
// was refused (the storage then keeps its value).
bool StoreFromText(const ZHashedString section, const ZConfigVar& var, const char* text) {
    if (var.storage == nullptr) {
        return var.type == ZConfigVar::kTypeNone;
    }
    ReadResult result = ReadResult::kOk;
    switch (var.type) {
        case ZConfigVar::kTypeInt: {
            int32_t value = 0;
            // A slider's range bounds the slider only: a value from the file
            // or the console outside it is stored as read.
            result = ReadInt(text, value);
            if (result == ReadResult::kOk) {
                *static_cast<int32_t*>(var.storage) = value;
            }
            break;
        }
        case ZConfigVar::kTypeFloat: {
            float value = 0.0f;
            result = ReadFloat(text, value);
            if (result == ReadResult::kOk) {
                *static_cast<float*>(var.storage) = value;
            }
            break;
        }
        case ZConfigVar::kTypeBool: {
            bool value = false;
            result = ReadBool(text, value);
            if (result == ReadResult::kOk) {
                *static_cast<bool*>(var.storage) = value;
            }
            break;
        }
        case ZConfigVar::kTypeName:
            *static_cast<ZHashedString*>(var.storage) = ZHashedString(text);
            break;
        case ZConfigVar::kTypeVector4: {
            float values[4];
            result = ReadVector4(text, values);
            if (result == ReadResult::kOk) {
                std::memcpy(var.storage, values, sizeof(values));
            }
            break;
        }
        default:
            break;
    }
    if (result == ReadResult::kNoValue) {
        LogRefused(section, var, text,
                   var.type == ZConfigVar::kTypeBool ? "not true or false" : "not a number");
        return false;
    }
    if (result == ReadResult::kOutOfRange) {
        LogRefused(section, var, text, "not a number a float or an integer can hold");
        return false;
    }
    return true;
}

void StoreDefault(const ZConfigVar& var) {
    if (var.storage == nullptr) {
        return;
    }
    switch (var.type) {
        case ZConfigVar::kTypeInt:
            *static_cast<int32_t*>(var.storage) = var.defaultValue.intValue;
            break;
        case ZConfigVar::kTypeFloat:
            *static_cast<float*>(var.storage) = var.defaultValue.floatValue;
            break;
        case ZConfigVar::kTypeBool:
            *static_cast<bool*>(var.storage) = var.defaultValue.boolValue;
            break;
        case ZConfigVar::kTypeName:
            *static_cast<ZHashedString*>(var.storage) = ZHashedString::FromId(var.defaultValue.nameId);
            break;
        case ZConfigVar::kTypeVector4:
            std::memcpy(var.storage, var.defaultValue.vector4, sizeof(var.defaultValue.vector4));
            break;
        default:
            break;
    }
}

// Index of the section, or -1.
int32_t FindSectionIndex(const ZHashedString section) {
    const ZArray<ZConfigSection>& sections = GetConfigSections();
    for (uint32_t i = 0; i < sections.Count(); ++i) {
        if (sections[i].id == section) {
            return static_cast<int32_t>(i);
        }
    }
    return -1;
}

uint32_t FindOrAddSectionIndex(const ZHashedString section) {
    const int32_t found = FindSectionIndex(section);
    if (found >= 0) {
        return static_cast<uint32_t>(found);
    }
    ZArray<ZConfigSection>& sections = GetConfigSections();
    ZConfigSection fresh;
    fresh.id = section;
    sections.PushBack(std::move(fresh));
    return sections.Count() - 1;
}

// Runs apply on every variable of that name in the section and the callback of
// each one it accepts. Callbacks may register variables and so move the
// records, which is why every step looks the record up again by index.
template <typename Apply>
bool ForEachNamed(const ZHashedString section, const ZHashedString name, Apply apply) {
    const uint32_t s = FindOrAddSectionIndex(section);
    bool matched = false;
    for (uint32_t i = 0;; ++i) {
        ZArray<ZConfigSection>& sections = GetConfigSections();
        if (s >= sections.Count() || i >= sections[s].vars.Count()) {
            break;
        }
        const ZConfigVar& var = sections[s].vars[i];
        if (var.name != name) {
            continue;
        }
        matched = true;
        const ZConfigCallback onChange = var.onChange;
        if (apply(var) && onChange != nullptr) {
            onChange();
        }
    }
    return matched;
}

ZConfigVar& Register(const ZHashedString section, const ZHashedString name, const int32_t type, void* storage,
                     const ZConfigCallback onChange) {
    ZConfigVar var;
    var.name = name;
    var.type = type;
    var.storage = storage;
    var.onChange = onChange;
    ZConfigSection& target = FindOrAddConfigSection(section);
    target.vars.PushBack(var);
    return target.vars[target.vars.Count() - 1];
}

void Registered(const ZConfigVar& var) {
    const ZConfigCallback onChange = var.onChange;
    StoreDefault(var);
    if (onChange != nullptr) {
        onChange();
    }
}

// ---------------------------------------------------------------------------
// Writing values, in the C locale.

void AppendInt(std::string& out, const int32_t value) {
    char buffer[16];
    const std::to_chars_result result = std::to_chars(buffer, buffer + sizeof(buffer), value);
    out.append(buffer, result.ptr);
}

// As "%f" prints: six decimals.
void AppendFloat(std::string& out, const float value) {
    char buffer[64];
    const std::to_chars_result result = std::to_chars(
        buffer, buffer + sizeof(buffer), static_cast<double>(value), std::chars_format::fixed, 6);
    out.append(buffer, result.ptr);
}

void AppendVector4(std::string& out, const float* v, const char* separator) {
    for (int i = 0; i < 4; ++i) {
        if (i > 0) {
            out += separator;
        }
        AppendFloat(out, v[i]);
    }
}

// The value as Config.ini and the console show it; false for a record
// without a value.
bool AppendValue(std::string& out, const ZConfigVar& var, const char* vectorSeparator) {
    if (var.storage == nullptr) {
        return false;
    }
    switch (var.type) {
        case ZConfigVar::kTypeInt:
            AppendInt(out, *static_cast<const int32_t*>(var.storage));
            return true;
        case ZConfigVar::kTypeFloat:
            AppendFloat(out, *static_cast<const float*>(var.storage));
            return true;
        case ZConfigVar::kTypeBool:
            out += *static_cast<const bool*>(var.storage) ? "true" : "false";
            return true;
        case ZConfigVar::kTypeName:
            out += static_cast<const ZHashedString*>(var.storage)->GetTextOrEmpty();
            return true;
        case ZConfigVar::kTypeVector4:
            AppendVector4(out, static_cast<const float*>(var.storage), vectorSeparator);
            return true;
        default:
            return false;
    }
}

void AppendDefault(std::string& out, const ZConfigVar& var, const char* vectorSeparator = ",") {
    switch (var.type) {
        case ZConfigVar::kTypeInt:
            AppendInt(out, var.defaultValue.intValue);
            break;
        case ZConfigVar::kTypeFloat:
            AppendFloat(out, var.defaultValue.floatValue);
            break;
        case ZConfigVar::kTypeBool:
            out += var.defaultValue.boolValue ? "true" : "false";
            break;
        case ZConfigVar::kTypeName:
            out += ZHashedString::FromId(var.defaultValue.nameId).GetTextOrEmpty();
            break;
        case ZConfigVar::kTypeVector4:
            AppendVector4(out, var.defaultValue.vector4, vectorSeparator);
            break;
        default:
            break;
    }
}

void AppendSectionLines(std::string& out, const ZConfigSection& section, const bool defaults) {
    for (const ZConfigVar& var : section.vars) {
        std::string line = var.name.GetTextOrEmpty();
        line += ": ";
        // A variable without storage is a placeholder: it is never written.
        if (!AppendValue(line, var, ", ")) {
            continue;
        }
        if (defaults) {
            line = var.name.GetTextOrEmpty();
            line += ": ";
            AppendDefault(line, var, ", ");
        }
        out += line;
        out += "\r\n";
    }
}

ZString ToZString(const std::string& text) {
    return ZString::FromBytes(text.data(), static_cast<int32_t>(text.size()));
}

// A damaged file can hold millions of entries; the first few dropped ones
// are named, the rest only counted.
constexpr uint32_t kNamedDroppedEntries = 20;

void AddEntry(const char* section, const char* key, const char* value, void* user) {
    const ZHashedString sectionId = section != nullptr ? ZHashedString(section) : ZHashedString::None();
    const ZHashedString nameId(key);
    if (!ZConfigVar::SetFromString(value, sectionId, nameId)) {
        uint32_t* dropped = static_cast<uint32_t*>(user);
        if (dropped == nullptr || *dropped < kNamedDroppedEntries) {
            ZLog::Printf("Config: no variable %s.%s; entry dropped", sectionId.GetTextOrEmpty(), key);
        }
        if (dropped != nullptr) {
            ++*dropped;
        }
    }
}

}  // namespace

// ---------------------------------------------------------------------------

ZArray<ZConfigSection>& GetConfigSections() {
    static ZArray<ZConfigSection> sections;
    return sections;
}

void ClearConfigRegistry() {
    GetConfigSections().Clear();
}

void RegisterConfigVarInt(const ZHashedString section, const ZHashedString name, int32_t* storage,
                          const int32_t defaultValue, const ZConfigCallback onChange) {
    ZConfigVar& var = Register(section, name, ZConfigVar::kTypeInt, storage, onChange);
    var.defaultValue.intValue = defaultValue;
    Registered(var);
}

void RegisterConfigVarFloat(const ZHashedString section, const ZHashedString name, float* storage,
                            const float defaultValue, const ZConfigCallback onChange) {
    ZConfigVar& var = Register(section, name, ZConfigVar::kTypeFloat, storage, onChange);
    var.defaultValue.floatValue = defaultValue;
    Registered(var);
}

void RegisterConfigVarBool(const ZHashedString section, const ZHashedString name, bool* storage,
                           const bool defaultValue, const ZConfigCallback onChange) {
    ZConfigVar& var = Register(section, name, ZConfigVar::kTypeBool, storage, onChange);
    var.defaultValue.boolValue = defaultValue;
    Registered(var);
}

void RegisterConfigVarString(const ZHashedString section, const ZHashedString name, ZHashedString* storage,
                             const ZHashedString defaultValue, const ZConfigCallback onChange) {
    ZConfigVar& var = Register(section, name, ZConfigVar::kTypeName, storage, onChange);
    var.defaultValue.nameId = defaultValue.GetId();
    Registered(var);
}

void RegisterConfigVarVector4(const ZHashedString section, const ZHashedString name, float* storage,
                              const float x, const float y, const float z, const float w) {
    ZConfigVar& var = Register(section, name, ZConfigVar::kTypeVector4, storage, nullptr);
    var.defaultValue.vector4[0] = x;
    var.defaultValue.vector4[1] = y;
    var.defaultValue.vector4[2] = z;
    var.defaultValue.vector4[3] = w;
    Registered(var);
}

ZConfigSection& FindOrAddConfigSection(const ZHashedString section) {
    return GetConfigSections()[FindOrAddSectionIndex(section)];
}

ZConfigVar& FindOrAddConfigVar(const ZHashedString section, const ZHashedString name) {
    ZConfigSection& target = FindOrAddConfigSection(section);
    for (ZConfigVar& var : target.vars) {
        if (var.name == name) {
            return var;
        }
    }
    target.vars.PushBack(ZConfigVar());
    return target.vars[target.vars.Count() - 1];
}

bool ZConfigVar::SetFromString(const char* text, const ZHashedString section, const ZHashedString name) {
    if (text == nullptr) {
        text = "";
    }
    if (ZString(text).EqualsNoCase("def") || ZString(text).EqualsNoCase("default")) {
        return ResetConfigVar(section, name);
    }
    return ForEachNamed(section, name,
                        [&](const ZConfigVar& var) { return StoreFromText(section, var, text); });
}

bool ResetConfigVar(const ZHashedString section, const ZHashedString name) {
    return ForEachNamed(section, name, [](const ZConfigVar& var) {
        StoreDefault(var);
        if (var.type == ZConfigVar::kTypeName && var.storage != nullptr) {
            ZHashedString& value = *static_cast<ZHashedString*>(var.storage);
            value = value.MakeCaseInsensitive();
        }
        return true;
    });
}

void ResetConfigSection(const ZHashedString section) {
    const uint32_t s = FindOrAddSectionIndex(section);
    for (uint32_t i = 0;; ++i) {
        const ZArray<ZConfigSection>& sections = GetConfigSections();
        if (s >= sections.Count() || i >= sections[s].vars.Count()) {
            break;
        }
        ResetConfigVar(section, sections[s].vars[i].name);
    }
}

bool ZConfigVar::IsModified(const ZConfigVar& var) {
    if (var.storage == nullptr) {
        return false;
    }
    switch (var.type) {
        case kTypeInt:
            return *static_cast<const int32_t*>(var.storage) != var.defaultValue.intValue;
        case kTypeFloat:
            return !FloatNearlyEqual(*static_cast<const float*>(var.storage), var.defaultValue.floatValue,
                                     1e-5f);
        case kTypeBool:
            return *static_cast<const bool*>(var.storage) != var.defaultValue.boolValue;
        case kTypeName:
            return *static_cast<const ZHashedString*>(var.storage) !=
                   ZHashedString::FromId(var.defaultValue.nameId).MakeCaseInsensitive();
        case kTypeVector4: {
            const float* value = static_cast<const float*>(var.storage);
            float sum = 0.0f;
            for (int i = 0; i < 4; ++i) {
                const float d = value[i] - var.defaultValue.vector4[i];
                sum += d * d;
            }
            return sum > 1e-5f;
        }
        default:
            return false;
    }
}

void LoadConfigText(const char* text, const size_t size) {
    uint32_t dropped = 0;
    ZINIFileParser::ParseINIFileText(text, size, AddEntry, &dropped);
    if (dropped > kNamedDroppedEntries) {
        ZLog::Printf("Config: %u more entries without a variable dropped", dropped - kNamedDroppedEntries);
    }
}

bool LoadConfigFile(const char* path) {
    // Paths in messages read as the system writes them.
    const std::string shown = os::TranslatePath(path != nullptr ? path : "");
    int error = 0;
    std::FILE* file = os::OpenFile(path, "rb", &error);
    if (file == nullptr) {
        // A file in the place of a folder on the path also means there is none.
        if (error == os::kFileNotFound || error == ENOTDIR) {
            // A first run: the file starts out holding every registered default,
            // not what start-up switched for the load (logging is off while it
            // runs), and this run goes on as every later run will, from the
            // file's values.
            ZLog::Printf("Config file %s not found; writing the defaults", shown.c_str());
            const ZString defaults = FormatConfigText(true);
            const int writeError =
                os::WriteFileAtomic(path, defaults.GetText(), static_cast<size_t>(defaults.GetLength()));
            if (writeError != 0) {
                ZLog::Printf("Config file %s cannot be written (%s)", shown.c_str(), std::strerror(writeError));
            }
            LoadConfigText(defaults.GetText(), static_cast<size_t>(defaults.GetLength()));
        } else {
            ZLog::Printf("Config file %s cannot be opened (%s); keeping the defaults", shown.c_str(),
                         std::strerror(error));
        }
        return false;
    }
    char* text = nullptr;
    const int32_t size = ReadWholeFile(file, &text);
    std::fclose(file);
    if (size < 0) {
        ZLog::Printf("Config file %s cannot be read; keeping the defaults", shown.c_str());
        return false;
    }
    LoadConfigText(text, static_cast<size_t>(size));
    delete[] text;
    return true;
}

ZString FormatConfigText(const bool defaults) {
    const ZArray<ZConfigSection>& sections = GetConfigSections();
    std::string out;
    // The base section goes first wherever it sits in the registry: its lines
    // have no header, so anywhere else they would read back into the section
    // above them.
    const int32_t base = FindSectionIndex(ZHashedString::None());
    if (base >= 0) {
        AppendSectionLines(out, sections[static_cast<uint32_t>(base)], defaults);
    }
    bool first = base < 0;
    for (const ZConfigSection& section : sections) {
        if (section.id.IsNone()) {
            continue;
        }
        out += first ? "" : "\r\n";
        out += "[";
        out += section.id.GetTextOrEmpty();
        out += "]\r\n";
        first = false;
        AppendSectionLines(out, section, defaults);
    }
    return ToZString(out);
}

bool SaveConfigFile(const char* path) {
    const ZString text = FormatConfigText();
    const int error = os::WriteFileAtomic(path, text.GetText(), static_cast<size_t>(text.GetLength()));
    if (error != 0) {
        ZLog::Printf("Config file %s cannot be written (%s)", os::TranslatePath(path).c_str(), std::strerror(error));
        return false;
    }
    return true;
}

ZString DescribeConfigVar(const ZHashedString section, const ZConfigVar& var, const bool withSection) {
    std::string line;
    if (withSection) {
        line += section.GetTextOrEmpty();
        line += ".";
    } else {
        line += "    ";
    }
    line += var.name.GetTextOrEmpty();
    if (var.type == ZConfigVar::kTypeNone) {
        return ToZString(line);
    }
    line += ": ";
    AppendValue(line, var, ",");
    if (ZConfigVar::IsModified(var)) {
        line += "* (default: ";
        AppendDefault(line, var);
        line += ")";
    }
    return ToZString(line);
}

void ListConfigSection(const ZHashedString section, ZArray<ZString>& out) {
    const int32_t s = FindSectionIndex(section);
    if (s < 0) {
        return;
    }
    for (const ZConfigVar& var : GetConfigSections()[static_cast<uint32_t>(s)].vars) {
        if (var.type != ZConfigVar::kTypeNone) {
            out.PushBack(DescribeConfigVar(section, var, false));
        }
    }
}

void ListConfigSections(ZArray<ZString>& out) {
    for (const ZConfigSection& section : GetConfigSections()) {
        out.PushBack(ZString("    ") + section.id.GetTextOrEmpty());
    }
}

void ListModifiedConfigVars(ZArray<ZString>& out) {
    for (const ZConfigSection& section : GetConfigSections()) {
        for (const ZConfigVar& var : section.vars) {
            if (ZConfigVar::IsModified(var)) {
                out.PushBack(DescribeConfigVar(section.id, var, true));
            }
        }
    }
}
