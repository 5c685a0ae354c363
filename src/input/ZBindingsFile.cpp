#include "input/ZBindingsFile.h"

#include <cstring>

#include "input/ZControlMgr.h"
#include "foundation/ZLittleEndian.h"

namespace {

// Bounded little-endian reads over the file image.
class Reader {
public:
    Reader(const uint8_t* data, const size_t size) : m_data(data), m_size(size) {}

    size_t Remaining() const { return m_size - m_at; }

    bool U32(uint32_t& out) {
        if (Remaining() < 4) {
            return false;
        }
        out = LoadLE32(m_data + m_at);
        m_at += 4;
        return true;
    }

    // A count of records that each take at least minRecordSize bytes.
    bool Count(const size_t minRecordSize, uint32_t& out, std::string& error, const char* what) {
        uint32_t raw = 0;
        if (!U32(raw)) {
            error = std::string("the file ends before the ") + what;
            return false;
        }
        if (static_cast<int32_t>(raw) < 0 || raw > Remaining() / minRecordSize) {
            error = std::string("the ") + what + " (" + std::to_string(static_cast<int32_t>(raw)) +
                    ") does not fit the file";
            return false;
        }
        out = raw;
        return true;
    }

    // A name stored with its length and terminating zero.
    bool Name(std::string& out, std::string& error) {
        uint32_t length = 0;
        if (!U32(length)) {
            error = "the file ends before a name";
            return false;
        }
        if (length == 0 || length > ZBindingsFile::kMaxNameLength || length > Remaining()) {
            error = "a name length (" + std::to_string(length) + ") is out of range";
            return false;
        }
        const char* text = reinterpret_cast<const char*>(m_data + m_at);
        if (text[length - 1] != '\0') {
            error = "a name is not terminated";
            return false;
        }
        out.assign(text, strnlen(text, length));
        m_at += length;
        return true;
    }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_at = 0;
};

// Smallest records: a name of one byte (just the zero) and a count.
constexpr size_t kMinGroupSize = 4 + 1 + 4;
constexpr size_t kMinControlSize = 4 + 1 + 4;
constexpr size_t kBindingSize = 12;

void PutName(std::vector<uint8_t>& out, const ZHashedString name) {
    const char* text = name.GetText();
    if (text == nullptr) {
        text = "";
    }
    const size_t length = std::strlen(text) + 1;
    AppendLE32(out, static_cast<uint32_t>(length));
    out.insert(out.end(), text, text + length);
}

uint32_t FloatBits(const float f) {
    uint32_t bits = 0;
    std::memcpy(&bits, &f, sizeof(bits));
    return bits;
}

float BitsFloat(const uint32_t bits) {
    float f = 0.0f;
    std::memcpy(&f, &bits, sizeof(f));
    return f;
}

}  // namespace

ZBindingsFile::Status ZBindingsFile::Parse(const uint8_t* data, const size_t size, ZArray<Group>& groups,
                                           std::string& error) {
    groups.Clear();
    error.clear();
    Reader in(data, size);
    uint32_t first = 0;
    if (!in.U32(first)) {
        error = "the file is too short for a header";
        return Status::Damaged;
    }
    // The first word is not checked against "xbnd": only the legacy form
    // changes what follows.
    if (first != kLegacyMagic) {
        uint32_t version = 0;
        if (!in.U32(version)) {
            error = "the file ends before the version";
            return Status::Damaged;
        }
        if (version == kVersion) {
            uint32_t engine = 0;
            if (!in.U32(engine)) {
                error = "the file ends before the engine magic";
                return Status::Damaged;
            }
            if (engine != kEngineMagic) {
                error = "the file belongs to another engine";
                return Status::ForeignEngine;
            }
        }
    }

    ZArray<Group> parsed;
    uint32_t groupCount = 0;
    if (!in.Count(kMinGroupSize, groupCount, error, "group count")) {
        return Status::Damaged;
    }
    for (uint32_t g = 0; g < groupCount; ++g) {
        Group group;
        uint32_t controlCount = 0;
        if (!in.Name(group.name, error) || !in.Count(kMinControlSize, controlCount, error, "control count")) {
            return Status::Damaged;
        }
        for (uint32_t c = 0; c < controlCount; ++c) {
            Control control;
            uint32_t bindingCount = 0;
            if (!in.Name(control.name, error) || !in.Count(kBindingSize, bindingCount, error, "binding count")) {
                return Status::Damaged;
            }
            for (uint32_t b = 0; b < bindingCount; ++b) {
                uint32_t kind = 0;
                uint32_t id = 0;
                uint32_t third = 0;
                in.U32(kind);  // the count check above guarantees the 12 bytes
                in.U32(id);
                in.U32(third);
                ZInputBinding binding;
                if (kind == ZInputBinding::kAxis) {
                    // Only the sign matters; a NaN or odd value becomes -1, 0 or +1.
                    binding = ZInputBinding::Axis(id, BitsFloat(third));
                } else {
                    binding.kind = kind;
                    binding.device = id;
                    binding.code = static_cast<int32_t>(third);
                }
                control.bindings.PushBack(binding);
            }
            group.controls.PushBack(std::move(control));
        }
        parsed.PushBack(std::move(group));
    }
    groups = std::move(parsed);
    return Status::Ok;
}

std::vector<uint8_t> ZBindingsFile::Write(const ZControlMgr& manager) {
    std::vector<uint8_t> out;
    AppendLE32(out, kMagic);
    AppendLE32(out, kVersion);
    AppendLE32(out, kEngineMagic);
    AppendLE32(out, manager.CountGroups());
    for (uint32_t g = 0; g < manager.CountGroups(); ++g) {
        const ZControlGroup* group = manager.GetGroupAt(g);
        PutName(out, group->name);
        AppendLE32(out, group->controls.Count());
        for (const ZControl* control : group->controls) {
            PutName(out, control->name);
            AppendLE32(out, control->bindings.Count());
            for (const ZInputBinding& binding : control->bindings) {
                AppendLE32(out, binding.kind);
                AppendLE32(out, binding.device);
                AppendLE32(out, binding.kind == ZInputBinding::kAxis ? FloatBits(binding.direction)
                                                                 : static_cast<uint32_t>(binding.code));
            }
        }
    }
    return out;
}
