// Control bindings files from untrusted bytes: the reader must stay inside
// the bytes it is given, refuse what does not fit, and what it accepts must
// write out and read back the same.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "input/ZBindingsFile.h"

namespace {

void PutU32(std::vector<uint8_t>& out, const uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
}

void PutName(std::vector<uint8_t>& out, const std::string& name) {
    PutU32(out, static_cast<uint32_t>(name.size() + 1));
    out.insert(out.end(), name.begin(), name.end());
    out.push_back(0);
}

std::vector<uint8_t> Encode(const ZArray<ZBindingsFile::Group>& groups) {
    std::vector<uint8_t> out;
    PutU32(out, ZBindingsFile::kMagic);
    PutU32(out, ZBindingsFile::kVersion);
    PutU32(out, ZBindingsFile::kEngineMagic);
    PutU32(out, groups.Count());
    for (const ZBindingsFile::Group& group : groups) {
        PutName(out, group.name);
        PutU32(out, group.controls.Count());
        for (const ZBindingsFile::Control& control : group.controls) {
            PutName(out, control.name);
            PutU32(out, control.bindings.Count());
            for (const ZInputBinding& b : control.bindings) {
                PutU32(out, b.kind);
                PutU32(out, b.device);
                uint32_t third = static_cast<uint32_t>(b.code);
                if (b.kind == ZInputBinding::kAxis) {
                    std::memcpy(&third, &b.direction, sizeof(third));
                }
                PutU32(out, third);
            }
        }
    }
    return out;
}

bool Same(const ZArray<ZBindingsFile::Group>& a, const ZArray<ZBindingsFile::Group>& b) {
    if (a.Count() != b.Count()) {
        return false;
    }
    for (uint32_t g = 0; g < a.Count(); ++g) {
        if (a[g].name != b[g].name || a[g].controls.Count() != b[g].controls.Count()) {
            return false;
        }
        for (uint32_t c = 0; c < a[g].controls.Count(); ++c) {
            const ZBindingsFile::Control& x = a[g].controls[c];
            const ZBindingsFile::Control& y = b[g].controls[c];
            if (x.name != y.name || x.bindings.Count() != y.bindings.Count()) {
                return false;
            }
            for (uint32_t i = 0; i < x.bindings.Count(); ++i) {
                if (!x.bindings[i].SameInput(y.bindings[i]) || x.bindings[i].lastUsed != 0.0f) {
                    return false;
                }
            }
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 1 << 16) {
        return 0;
    }
    ZArray<ZBindingsFile::Group> groups;
    std::string error;
    if (ZBindingsFile::Parse(data, size, groups, error) != ZBindingsFile::Status::Ok) {
        if (groups.Count() != 0 || error.empty()) {
            __builtin_trap();  // a refused file keeps nothing and says why
        }
        return 0;
    }
    const std::vector<uint8_t> again = Encode(groups);
    ZArray<ZBindingsFile::Group> back;
    if (ZBindingsFile::Parse(again.data(), again.size(), back, error) != ZBindingsFile::Status::Ok ||
        !Same(groups, back)) {
        __builtin_trap();
    }
    return 0;
}
