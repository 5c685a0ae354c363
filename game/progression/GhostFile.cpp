#include "game/progression/GhostFile.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include "foundation/ZAppInfo.h"
#include "foundation/ZLog.h"
#include "foundation/ZString.h"
#include "foundation/ZUserFolders.h"
#include "platform/os/files.h"

namespace {

constexpr char kMagic[4] = {'.', 'k', 'g', 'd'};
constexpr const char* kGhostsFolder = "Ghosts\\";

void PutU16(std::vector<uint8_t>& out, const uint16_t v) {
    out.push_back(static_cast<uint8_t>(v & 0xFF));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void PutU32(std::vector<uint8_t>& out, const uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<uint8_t>((v >> shift) & 0xFF));
    }
}

uint16_t GetU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

uint32_t GetU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

// floor(v + 0.5) held to what an i16 can store; NaN gives 0.
int16_t RoundToI16(const float v) {
    if (!(v == v)) {
        return 0;
    }
    const double r = std::floor(static_cast<double>(v) + 0.5);
    if (r <= std::numeric_limits<int16_t>::min()) {
        return std::numeric_limits<int16_t>::min();
    }
    if (r >= std::numeric_limits<int16_t>::max()) {
        return std::numeric_limits<int16_t>::max();
    }
    return static_cast<int16_t>(r);
}

// floor(seconds * 1000) held to what a u32 can store; negative and NaN give 0.
uint32_t SecondsToMs(const float seconds) {
    const double ms = std::floor(static_cast<double>(seconds) * 1000.0);
    if (!(ms > 0.0)) {
        return 0;
    }
    if (ms >= static_cast<double>(std::numeric_limits<uint32_t>::max())) {
        return std::numeric_limits<uint32_t>::max();
    }
    return static_cast<uint32_t>(ms);
}

void LogBad(const char* what, const char* why) {
    if (what != nullptr) {
        ZLog::Printf("Ghost file %s ignored: %s", what, why);
    }
}

}  // namespace

bool GhostVersionHasRunTime(const uint16_t major, const uint16_t minor) {
    return major > 1 || (major == 1 && minor >= 1);
}

std::vector<uint8_t> EncodeGhostFile(const float elapsedSeconds, const uint32_t deaths,
                                     const std::vector<GhostFrame>& frames) {
    std::vector<uint8_t> out;
    out.reserve(20 + kGhostFrameBytes * frames.size());
    // Byte by byte: GCC 12 at -O3 takes a range insert here for an overflow
    // of the 4 bytes it has just reserved (it is not one).
    for (const char c : kMagic) {
        out.push_back(static_cast<uint8_t>(c));
    }
    PutU16(out, kGhostMajorVersion);
    PutU16(out, kGhostMinorVersion);
    PutU32(out, SecondsToMs(elapsedSeconds));
    PutU32(out, deaths);
    const std::size_t count = std::min<std::size_t>(frames.size(), std::numeric_limits<int32_t>::max());
    PutU32(out, static_cast<uint32_t>(count));
    for (std::size_t i = 0; i < count; ++i) {
        const GhostFrame& f = frames[i];
        uint32_t timeBits = 0;
        std::memcpy(&timeBits, &f.time, 4);
        PutU32(out, timeBits);
        out.push_back(static_cast<uint8_t>(static_cast<uint32_t>(f.roomX) & 0xFF));
        out.push_back(static_cast<uint8_t>(static_cast<uint32_t>(f.roomY) & 0xFF));
        PutU16(out, static_cast<uint16_t>(RoundToI16(f.x)));
        PutU16(out, static_cast<uint16_t>(RoundToI16(f.y)));
        out.push_back(static_cast<uint8_t>(static_cast<uint32_t>(f.facing) & 0xFF));
        out.push_back(0);
    }
    return out;
}

GhostFileData DecodeGhostFile(const uint8_t* const data, const std::size_t size, const char* const what) {
    GhostFileData ghost;
    if (data == nullptr || size < 8) {
        LogBad(what, "shorter than a ghost header");
        return ghost;
    }
    if (std::memcmp(data, kMagic, 4) != 0) {
        LogBad(what, "not a ghost file (wrong magic)");
        return ghost;
    }
    const uint16_t major = GetU16(data + 4);
    const uint16_t minor = GetU16(data + 6);
    std::size_t at = 8;
    if (GhostVersionHasRunTime(major, minor)) {
        if (size < at + 8) {
            LogBad(what, "header cut short before the run time");
            return ghost;
        }
        ghost.hasRunTime = true;
        ghost.runTimeMs = GetU32(data + at);
        ghost.deaths = GetU32(data + at + 4);
        at += 8;
    }
    ghost.major = major;
    ghost.minor = minor;
    ghost.valid = true;
    // A file that ends before the frame count holds no frames.
    if (size < at + 4) {
        return ghost;
    }
    const int32_t stated = static_cast<int32_t>(GetU32(data + at));
    at += 4;
    const std::size_t available = (size - at) / kGhostFrameBytes;
    std::size_t count = stated > 0 ? static_cast<std::size_t>(stated) : 0;
    if (count > available) {
        if (what != nullptr) {
            ZLog::Printf("Ghost file %s states %d frames but holds %zu; the rest is ignored", what, stated, available);
        }
        count = available;
    }
    ghost.frames.resize(count);
    for (std::size_t i = 0; i < count; ++i, at += kGhostFrameBytes) {
        const uint8_t* p = data + at;
        GhostFrame& f = ghost.frames[i];
        const uint32_t timeBits = GetU32(p);
        std::memcpy(&f.time, &timeBits, 4);
        f.roomX = static_cast<int8_t>(p[4]);
        f.roomY = static_cast<int8_t>(p[5]);
        f.x = static_cast<float>(static_cast<int16_t>(GetU16(p + 6)));
        f.y = static_cast<float>(static_cast<int16_t>(GetU16(p + 8)));
        f.facing = p[10];
    }
    return ghost;
}

std::string GetGhostFileName(const ZHashedString& name) {
    // Course names come from data (a mod, a script's word): a separator in
    // one would name a file outside the ghosts' folder, so each becomes "_"
    // too. With no separator left, ".." is only part of a file name.
    std::string file = ZString(name.GetTextOrEmpty()).Replace(" ", "_").GetText();
    for (char& c : file) {
        if (c == '/' || c == '\\') c = '_';
    }
    return file + ".kgd";
}

std::string GetGhostFilePath(const ZHashedString& name) {
    const ZAppInfo* info = ZAppInfo::GetInstance();
    const char* gameFolder = info != nullptr ? info->GetGameFolderName() : "";
    return std::string(GetUserFolderPath(gameFolder, kGhostsFolder, true).GetText()) + GetGhostFileName(name);
}

bool WriteGhostFile(const std::string& path, const float elapsedSeconds, const uint32_t deaths,
                    const std::vector<GhostFrame>& frames) {
    return WriteGhostFileData(path, EncodeGhostFile(elapsedSeconds, deaths, frames));
}

bool WriteGhostFileData(const std::string& path, const std::vector<uint8_t>& bytes) {
    const int error = os::WriteFileAtomic(path, bytes.data(), bytes.size());
    if (error != 0) {
        ZLog::Printf("Ghost file %s not written (%s); the old file is kept", path.c_str(), std::strerror(error));
        return false;
    }
    return true;
}

std::vector<uint8_t> LoadGhostFileData(const std::string& path) {
    std::vector<uint8_t> bytes;
    if (path.empty()) {
        return bytes;
    }
    std::FILE* file = os::OpenFile(path, "rb");
    if (file == nullptr) {
        return bytes;
    }
    const int64_t size = os::FileSize(file);
    if (size > 0) {
        bytes.resize(static_cast<std::size_t>(size));
        const std::size_t got = std::fread(bytes.data(), 1, bytes.size(), file);
        bytes.resize(got);
    }
    std::fclose(file);
    return bytes;
}

GhostFileData ReadGhostFile(const std::string& path) {
    if (path.empty() || !os::Exists(path) || os::IsFolder(path)) {
        return {};
    }
    const std::vector<uint8_t> bytes = LoadGhostFileData(path);
    return DecodeGhostFile(bytes.data(), bytes.size(), path.c_str());
}

float ReadGhostBestTime(const std::string& path) {
    const GhostFileData ghost = ReadGhostFile(path);
    if (!ghost.valid || !ghost.hasRunTime) {
        return -1.0f;
    }
    return static_cast<float>(ghost.runTimeMs / 1000.0);
}

LeaderboardEntry LoadPersonalBestEntry(const std::string& path, const std::string& name) {
    LeaderboardEntry entry;
    entry.name = name;
    const GhostFileData ghost = ReadGhostFile(path);
    if (!ghost.valid) {
        return entry;
    }
    if (ghost.hasRunTime) {
        entry.score = ghost.runTimeMs;
        entry.details = {static_cast<int32_t>(std::min<uint32_t>(ghost.deaths, std::numeric_limits<int32_t>::max()))};
        entry.rank = 0;
        return entry;
    }
    // An older file keeps its time only in its frames: none, no time to show.
    if (ghost.frames.empty()) {
        return entry;
    }
    entry.score = SecondsToMs(ghost.frames.back().time);
    entry.details = {0};
    entry.rank = 0;
    return entry;
}
