#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "foundation/ZArray.h"
#include "input/ZInputBinding.h"

class ZControlMgr;

// The control bindings file, little-endian:
//   "xbnd", u32 version 3, "zorp", i32 group count, then per group
//   { u32 name length (with its zero), name, i32 control count, then per control
//     { u32 name length, name, i32 binding count, 12 bytes per binding:
//       u32 kind, u32 device or axis id, u32 code or f32 direction } }.
// Older files begin ".bnd" and go straight to the group count; a version
// other than 3 has no engine magic either.
//
// Reading checks every length and count against the bytes present, so a
// damaged file is refused whole and never half applied.
class ZBindingsFile {
public:
    static constexpr uint32_t kMagic = 0x646E6278;        // "xbnd"
    static constexpr uint32_t kLegacyMagic = 0x646E622E;  // ".bnd"
    static constexpr uint32_t kEngineMagic = 0x70726F7A;  // "zorp"
    static constexpr uint32_t kVersion = 3;
    // Names longer than a hashed name can hold mark a damaged file.
    static constexpr uint32_t kMaxNameLength = 256;

    struct Control {
        std::string name;
        ZArray<ZInputBinding> bindings;  // lastUsed 0
    };
    struct Group {
        std::string name;
        ZArray<Control> controls;
    };

    enum class Status {
        Ok,
        ForeignEngine,  // version 3 with another engine's magic: ignored
        Damaged,        // truncated or inconsistent
    };

    // Reads a whole file image into groups. On anything but Ok, groups is
    // empty and error says what was wrong.
    static Status Parse(const uint8_t* data, size_t size, ZArray<Group>& groups, std::string& error);
    // The file image of every group and control of the manager, in order.
    static std::vector<uint8_t> Write(const ZControlMgr& manager);
};
