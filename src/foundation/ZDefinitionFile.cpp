#include "foundation/ZDefinitionFile.h"

#include <cstring>
#include <utility>

#include "foundation/ZLog.h"
#include "foundation/ZMarkupNode.h"
#include "foundation/ZStreamMgr.h"
#include "platform/os/files.h"
#include "platform/os/system.h"
#include "foundation/ZLittleEndian.h"

namespace {

// Texts end up in engine strings, whose lengths are signed 32-bit.
constexpr uint32_t kMaxTextLength = 0x7FFFFFF0u;

void AppendText(std::string& out, const char* text, const size_t length) {
    AppendLE32(out, static_cast<uint32_t>(length));
    out.append(text, length);
}

void AppendName(std::string& out, const ZHashedString name) {
    const char* text = name.GetText();
    AppendText(out, text != nullptr ? text : "", text != nullptr ? std::strlen(text) : 0);
}

bool ReadNode(ZDefinitionReader& reader, ZDefNode& node, const uint32_t depth) {
    if (depth >= kMaxDefinitionDepth) {
        return false;
    }
    std::string text;
    if (!reader.ReadText(text)) {
        return false;
    }
    node.name = ZHashedString(text.c_str());

    uint32_t attributeCount = 0;
    uint32_t childCount = 0;
    if (!reader.ReadU32(attributeCount) || !reader.ReadU32(childCount)) {
        return false;
    }
    // Each attribute takes at least 8 bytes and each child 12, so a count the
    // bytes cannot hold ends at the first short read below.
    for (uint32_t i = 0; i < attributeCount; ++i) {
        std::string value;
        if (!reader.ReadText(text) || !reader.ReadText(value)) {
            return false;
        }
        node.attributes.Insert(ZHashedString(text.c_str()),
                               ZString::FromBytes(value.data(), static_cast<int32_t>(value.size())));
    }
    for (uint32_t i = 0; i < childCount; ++i) {
        ZDefNode child;
        const bool whole = ReadNode(reader, child, depth + 1);
        // A child cut off before its name is nothing; one cut later keeps what it has.
        if (whole || !child.name.IsNone() || !child.IsEmpty()) {
            node.children.PushBack(std::move(child));
        }
        if (!whole) {
            return false;
        }
    }
    return true;
}

void BuildNode(ZDefNode& node, const ZMarkupNode& markup) {
    node.name = markup.name.IsEmpty() ? ZHashedString::None() : ZHashedString(markup.name.GetText());
    for (const ZMarkupAttribute* attribute : markup.attributes) {
        node.attributes.Insert(ZHashedString(attribute->name.GetText()), attribute->value);
    }
    for (const ZMarkupNode* child : markup.children) {
        ZDefNode built;
        BuildNode(built, *child);
        node.children.PushBack(std::move(built));
    }
}

}  // namespace

bool ZDefinitionReader::Take(const size_t n, const uint8_t** out) {
    if (m_failed || n > m_size - m_position) {
        m_failed = true;
        return false;
    }
    *out = m_data + m_position;
    m_position += n;
    return true;
}

bool ZDefinitionReader::ReadBytes(void* out, const size_t n) {
    const uint8_t* bytes = nullptr;
    if (!Take(n, &bytes)) {
        return false;
    }
    if (n > 0) {
        std::memcpy(out, bytes, n);
    }
    return true;
}

bool ZDefinitionReader::ReadU16(uint16_t& out) {
    const uint8_t* b = nullptr;
    if (!Take(2, &b)) {
        return false;
    }
    out = LoadLE16(b);
    return true;
}

bool ZDefinitionReader::ReadU32(uint32_t& out) {
    const uint8_t* b = nullptr;
    if (!Take(4, &b)) {
        return false;
    }
    out = LoadLE32(b);
    return true;
}

bool ZDefinitionReader::ReadText(std::string& out) {
    uint32_t length = 0;
    const uint8_t* bytes = nullptr;
    if (!ReadU32(length)) {
        return false;
    }
    if (length > kMaxTextLength) {
        m_failed = true;
        return false;
    }
    if (!Take(length, &bytes)) {
        return false;
    }
    out.assign(reinterpret_cast<const char*>(bytes), length);
    return true;
}

bool ZDefinitionReader::Skip(const size_t n) {
    const uint8_t* ignored = nullptr;
    return Take(n, &ignored);
}

bool ReadDefinitionNode(ZDefinitionReader& reader, ZDefNode& node) {
    return ReadNode(reader, node, 0);
}

void SerializeDefinitionNode(std::string& out, const ZDefNode& node) {
    AppendName(out, node.name);
    AppendLE32(out, node.attributes.Count());
    AppendLE32(out, node.children.Count());
    for (const auto& attribute : node.attributes) {
        AppendName(out, attribute.key);
        AppendText(out, attribute.value.GetText(), static_cast<size_t>(attribute.value.GetLength()));
    }
    for (const ZDefNode& child : node.children) {
        SerializeDefinitionNode(out, child);
    }
}

bool WriteDefinitionNode(std::FILE* file, const ZDefNode& node) {
    std::string bytes;
    SerializeDefinitionNode(bytes, node);
    return file != nullptr && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
}

bool WriteHashedName(std::FILE* file, const ZHashedString name) {
    std::string bytes;
    AppendName(bytes, name);
    return file != nullptr && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
}

bool ReadDefinitionBytes(ZDefNode& root, const void* data, const size_t size, const char* what) {
    root.Reset();
    if (what == nullptr) {
        what = "definition bytes";
    }
    ZDefinitionReader reader(data, size);
    if (!reader.Skip(kDefinitionHeaderSize)) {
        ZLog::Printf("Definition file %s is too short (%zu bytes) to hold a tree", what, size);
        return false;
    }
    if (!ReadDefinitionNode(reader, root)) {
        if (reader.Failed()) {
            ZLog::Printf(
                "Definition file %s is truncated or damaged near byte %zu; kept what was read before it",
                what, reader.Position());
        } else {
            ZLog::Printf(
                "Definition file %s nests nodes deeper than %u levels; kept what was read above them", what,
                kMaxDefinitionDepth);
        }
        return false;
    }
    return true;
}

bool LoadDefinitionFile(ZDefNode& root, const char* fileName) {
    root.Reset();
    if (fileName == nullptr || *fileName == 0) {
        return false;
    }
    ZStreamMgr* streams = ZStreamMgr::GetInstance();
    if (streams == nullptr || streams->FindSource(fileName, false) < 0) {
        return false;
    }
    char* buffer = nullptr;
    int64_t size = -1;
    if (!streams->ReadFile(fileName, &buffer, &size) || size < 0) {
        delete[] buffer;
        ZLog::Printf("Definition file %s could not be read", fileName);
        return false;
    }
    const bool whole = ReadDefinitionBytes(root, buffer, static_cast<size_t>(size), fileName);
    delete[] buffer;
    return whole;
}

bool SaveDefinitionFile(const ZDefNode& root, const char* path) {
    std::string bytes(kDefinitionFileMagic, sizeof(kDefinitionFileMagic));
    AppendLE16(bytes, kDefinitionFileMajor);
    AppendLE16(bytes, kDefinitionFileMinor);
    SerializeDefinitionNode(bytes, root);
    const int error = os::WriteFileAtomic(path != nullptr ? path : "", bytes.data(), bytes.size());
    if (error != 0) {
        ZLog::Printf("Definition file %s could not be written: %s", path != nullptr ? path : "(null)",
                     os::ErrorText(error).c_str());
        return false;
    }
    return true;
}

void BuildDefinitionNodes(ZArray<ZDefNode>& out, ZArray<ZMarkupNode*>& markup) {
    for (const ZMarkupNode* node : markup) {
        ZDefNode built;
        BuildNode(built, *node);
        out.PushBack(std::move(built));
    }
    FreeMarkupNodes(markup);
}
