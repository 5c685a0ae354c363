#pragma once

#include <cstddef>
#include <cstdint>

#include "foundation/ZArray.h"
#include "foundation/ZHashedString.h"
#include "foundation/ZString.h"

// Runs after every change the registry makes to a variable, and once at its
// registration. It reads the new value from the variable's owner.
using ZConfigCallback = void (*)();

// One configuration variable: a typed value living in a field of its owner,
// registered under a section and a name with a default, an optional slider
// range and an optional change callback. Plain data, held by value in its
// section's array; the registry never owns the storage.
struct ZConfigVar {
    enum Type : int32_t {
        kTypeNone = 0,  // a record made by a lookup that found nothing
        kTypeInt = 1,
        kTypeFloat = 2,
        kTypeBool = 3,
        kTypeName = 4,  // a hashed-name id
        kTypeVector4 = 5,
    };

    // The default, read by type: only the member of the variable's type is set.
    union Value {
        int32_t intValue;
        float floatValue;
        bool boolValue;
        uint32_t nameId;
        float vector4[4];
    };

    ZHashedString name;
    int32_t type = kTypeNone;
    bool hasRange = false;  // step, minimum and maximum are set (sliders)
    // int32_t, float, bool, ZHashedString or float[4] by type; null for kTypeNone.
    void* storage = nullptr;
    Value defaultValue{};
    float step = 0.0f;
    float minimum = 0.0f;
    float maximum = 0.0f;
    ZConfigCallback onChange = nullptr;

    // Sets every variable called name in section from text and runs their
    // callbacks; "def" or "default" (any case) resets them instead. A value
    // that does not read as the variable's type, or a number outside the
    // representable range or the attached slider range, is refused with a log
    // line: the variable keeps its value and its callback does not run. True
    // when a variable of that name exists (even if its value was refused). An
    // unknown section is added to the registry, empty.
    static bool SetFromString(const char* text, ZHashedString section, ZHashedString name);
    // True when the live value differs from the default (floats relatively by
    // 1e-5, four floats by a squared distance above 1e-5, names ignoring case).
    static bool IsModified(const ZConfigVar& var);
};

// A section's id with its variables in registration order. The base section's
// id is the none id.
struct ZConfigSection {
    ZHashedString id;
    ZArray<ZConfigVar> vars;
};

// The registry: every section in order of first use. Made on first use; main
// thread only. Records are never removed while the game runs.
ZArray<ZConfigSection>& GetConfigSections();
// Forgets every section (tests, and a program that drops its variables' owner).
void ClearConfigRegistry();

// Registration appends a record (a second one with the same name is a second
// variable), writes the default into the storage and runs the callback once.
void RegisterConfigVarInt(ZHashedString section, ZHashedString name, int32_t* storage, int32_t defaultValue,
                          ZConfigCallback onChange);
void RegisterConfigVarFloat(ZHashedString section, ZHashedString name, float* storage, float defaultValue,
                            ZConfigCallback onChange);
void RegisterConfigVarBool(ZHashedString section, ZHashedString name, bool* storage, bool defaultValue,
                           ZConfigCallback onChange);
void RegisterConfigVarString(ZHashedString section, ZHashedString name, ZHashedString* storage,
                             ZHashedString defaultValue, ZConfigCallback onChange);
// Four floats (storage points at four); no callback.
void RegisterConfigVarVector4(ZHashedString section, ZHashedString name, float* storage, float x, float y,
                              float z, float w);

// The section, appended empty when not present. The reference lasts until the
// next section is added.
ZConfigSection& FindOrAddConfigSection(ZHashedString section);
// The first variable of that name in the section; when there is none, a blank
// record (type none, nameless) is appended and returned. Used to attach a
// slider range. The reference lasts until the next registration.
ZConfigVar& FindOrAddConfigVar(ZHashedString section, ZHashedString name);

// Writes the default into every variable of that name and runs the callbacks;
// true when one exists.
bool ResetConfigVar(ZHashedString section, ZHashedString name);
// Resets every variable of the section in order.
void ResetConfigSection(ZHashedString section);

// Sets variables from Config.ini text (entries before the first section line
// belong to the base section), as SetFromString does for each entry; entries
// for unknown variables are logged and dropped.
void LoadConfigText(const char* text, size_t size);
// Loads the file. A missing file is written at once with the registered
// defaults, which are then applied as if read from it; a file that exists but
// cannot be read is logged and left alone. True when the file was read.
bool LoadConfigFile(const char* path);
// The text SaveConfigFile writes: the base section's variables first without a
// header, then each other section as "[name]" after an empty line, one
// "name: value" line per variable, CR LF line ends, numbers in the C locale.
// With defaults, each variable's registered default in place of its value.
ZString FormatConfigText(bool defaults = false);
// Replaces the file atomically with FormatConfigText; false (with a log line)
// when it cannot be written, the old file then untouched.
bool SaveConfigFile(const char* path);

// Console listings. One line for a variable: "Section." or four blanks, then
// "name: value", then "* (default: value)" when it is modified.
ZString DescribeConfigVar(ZHashedString section, const ZConfigVar& var, bool withSection);
// Appends a line per variable of the section, without the section prefix.
void ListConfigSection(ZHashedString section, ZArray<ZString>& out);
// Appends "    name" per section (the base section reads "NULL").
void ListConfigSections(ZArray<ZString>& out);
// Appends a line, with the section prefix, per modified variable.
void ListModifiedConfigVars(ZArray<ZString>& out);
