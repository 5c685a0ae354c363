#include "foundation/ZStateStore.h"

#include <cstdio>
#include <cstring>
#include <utility>

#include "foundation/ZDefinitionFile.h"
#include "foundation/ZLog.h"
#include "foundation/ZUserFolders.h"
#include "platform/os/files.h"
#include "platform/os/system.h"
#include "foundation/ZLittleEndian.h"

namespace {

constexpr char kMagic[4] = {'.', 'z', 's', 'd'};
constexpr uint16_t kMajor = 1;
constexpr uint16_t kMinor = 1;

// A version 1.0 text: its length, then bytes that are skipped unread.
bool SkipText(ZDefinitionReader& reader) {
    uint32_t length = 0;
    return reader.ReadU32(length) && reader.Skip(length);
}

}  // namespace

bool ZStateStore::Load(const char* path) {
    Clear();
    if (!FileExists(path)) {
        return false;
    }
    std::FILE* file = os::OpenFile(path, "rb");
    if (file == nullptr) {
        return false;
    }
    char* buffer = nullptr;
    const int32_t size = ReadWholeFile(file, &buffer);
    std::fclose(file);
    if (size < 0) {
        ZLog::Printf("ZStateStore::Load: %s could not be read", path);
        return false;
    }
    const bool whole = LoadBytes(buffer, static_cast<size_t>(size), path);
    delete[] buffer;
    return whole;
}

bool ZStateStore::LoadBytes(const void* data, const size_t size, const char* what) {
    Clear();
    if (what == nullptr) {
        what = "saved-state bytes";
    }
    ZDefinitionReader reader(data, size);
    char magic[4] = {};
    uint16_t major = 0;
    uint16_t minor = 0;
    uint32_t count = 0;
    if (!reader.ReadBytes(magic, sizeof(magic)) || !reader.ReadU16(major) || !reader.ReadU16(minor) ||
        !reader.ReadU32(count)) {
        ZLog::Printf("ZStateStore::Load: %s is too short (%zu bytes) to hold saved state", what, size);
        return false;
    }
    if (std::memcmp(magic, kMagic, sizeof(kMagic)) != 0) {
        ZLog::Printf("ZStateStore::Load: %s does not start with \".zsd\"; reading it all the same", what);
    }

    for (uint32_t i = 0; i < count; ++i) {
        uint32_t key = 0;
        if (!reader.ReadU32(key)) {
            break;
        }
        if (major == 1 && minor == 0) {
            // Old entries are pair lists the game no longer reads.
            uint32_t pairs = 0;
            if (!reader.ReadU32(pairs)) {
                break;
            }
            for (uint32_t p = 0; p < pairs && SkipText(reader) && SkipText(reader); ++p) {
            }
        } else if (VersionAtLeast1_1(major, minor)) {
            ZDefNode node;
            if (!ReadDefinitionNode(reader, node)) {
                // A part-read entry would be state that was never saved.
                if (!reader.Failed()) {
                    ZLog::Printf(
                        "ZStateStore::Load: %s entry %08x nests deeper than %u levels; the rest is dropped",
                        what, key, kMaxDefinitionDepth);
                    return false;
                }
                break;
            }
            m_entries[key] = std::move(node);
        }
        if (reader.Failed()) {
            break;
        }
    }
    if (reader.Failed()) {
        ZLog::Printf("ZStateStore::Load: %s is truncated or damaged near byte %zu; kept %u whole entries",
                     what, reader.Position(), m_entries.Count());
        return false;
    }
    return true;
}

std::string ZStateStore::SaveBytes() const {
    uint32_t written = 0;
    for (const auto& entry : m_entries) {
        written += entry.value.IsEmpty() ? 0 : 1;
    }
    std::string out(kMagic, sizeof(kMagic));
    AppendLE16(out, kMajor);
    AppendLE16(out, kMinor);
    AppendLE32(out, written);
    for (const auto& entry : m_entries) {
        if (!entry.value.IsEmpty()) {
            AppendLE32(out, entry.key);
            SerializeDefinitionNode(out, entry.value);
        }
    }
    return out;
}

bool ZStateStore::Save(const char* path) const {
    const std::string bytes = SaveBytes();
    const int error = os::WriteFileAtomic(path != nullptr ? path : "", bytes.data(), bytes.size());
    if (error != 0) {
        ZLog::Printf("ZStateStore::Save: %s could not be written: %s", path != nullptr ? path : "(null)",
                     os::ErrorText(error).c_str());
        return false;
    }
    return true;
}

ZDefNode ZStateStore::Get(const uint32_t key) const {
    const auto* entry = m_entries.Find(key);
    return entry != nullptr ? entry->value : ZDefNode();
}

namespace {
ZStateStore* g_stateStore = nullptr;
}  // namespace

ZStateStore* GetStateStore() {
    if (g_stateStore == nullptr) {
        g_stateStore = new ZStateStore();
    }
    return g_stateStore;
}

void DestroyStateStore() {
    delete g_stateStore;
    g_stateStore = nullptr;
}

std::string GetAutosavePath(const char* const gameFolder, const bool create) {
    const ZString folder = GetUserFolderPath(gameFolder, "Saves\\", create);
    return std::string(folder.GetText()) + "autosave.zsd";
}
