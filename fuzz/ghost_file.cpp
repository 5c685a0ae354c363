// Ghost files from untrusted bytes: the reader stays inside the bytes it is
// given, never keeps more frames than the bytes hold, and what it keeps writes
// out and reads back the same. The file readers (best time, personal-best row)
// see the same bytes through a real file.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "driver/FuzzTempFolder.h"
#include "game/progression/GhostFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 1 << 16) {
        return 0;
    }
    const GhostFileData ghost = DecodeGhostFile(data, size);
    if (!ghost.valid && (!ghost.frames.empty() || ghost.hasRunTime)) {
        __builtin_trap();
    }
    if (ghost.frames.size() * kGhostFrameBytes > size) {
        __builtin_trap();
    }
    if (ghost.valid) {
        const float seconds = ghost.runTimeMs / 1000.0f;
        const std::vector<uint8_t> once = EncodeGhostFile(seconds, ghost.deaths, ghost.frames);
        const GhostFileData back = DecodeGhostFile(once.data(), once.size());
        if (!back.valid || !back.hasRunTime || back.frames.size() != ghost.frames.size()) {
            __builtin_trap();
        }
        // Frames and deaths come back byte for byte.
        const std::vector<uint8_t> twice = EncodeGhostFile(seconds, back.deaths, back.frames);
        if (twice != once) {
            __builtin_trap();
        }
    }

    const std::string path = fuzz::TempFolder("ghost_file") + "/input.kgd";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return 0;
    }
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    const float best = ReadGhostBestTime(path);
    const LeaderboardEntry row = LoadPersonalBestEntry(path, "Personal best");
    if ((best >= 0.0f) != (ghost.valid && ghost.hasRunTime)) {
        __builtin_trap();
    }
    if (row.rank != -1 && row.rank != 0) {
        __builtin_trap();
    }
    return 0;
}
