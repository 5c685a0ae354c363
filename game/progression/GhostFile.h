#pragma once

// Ghost files (".kgd"): a recorded speedrun as a list of timed player
// positions, kept in the "Ghosts\" folder of the user's game folder. One file
// per course (the last committed run, whose header is also the course's best
// time), "Temp Ghost" for the run in progress and "Leaderboard Ghost" for the
// run chosen on the leaderboard to race against.
//
// Layout, little-endian: ".kgd", u16 major, u16 minor, from version 1.1 a u32
// run time in milliseconds and a u32 death count, then an i32 frame count and
// 12-byte frames (f32 time, i8 room column, i8 room row, i16 x, i16 y,
// u8 facing, one pad byte).
//
// Files come from the user's folder and may be anything: the reader checks the
// magic, never trusts the frame count beyond the bytes the file holds, and a
// file whose header is bad reads exactly as a missing one.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "foundation/ZHashedString.h"

// One recorded moment of a speedrun.
struct GhostFrame {
    float time = 0.0f;  // course time, seconds
    int32_t roomX = 0;  // room column on the map grid
    int32_t roomY = 0;  // room row on the map grid
    float x = 0.0f;     // position inside the room, pixels
    float y = 0.0f;
    int32_t facing = 0;  // the player's facing value

    bool operator==(const GhostFrame&) const = default;
};

// A room is this many pixels; a frame's position relative to another room is
// (roomX - column) * width + x, (roomY - row) * height + y.
inline constexpr int kGhostRoomWidth = 256;
inline constexpr int kGhostRoomHeight = 224;

inline constexpr std::size_t kGhostFrameBytes = 12;
inline constexpr uint16_t kGhostMajorVersion = 1;
inline constexpr uint16_t kGhostMinorVersion = 1;

// What a ghost file holds, as read.
struct GhostFileData {
    bool valid = false;  // false: no file, or a header that is not a ghost's
    uint16_t major = 0;
    uint16_t minor = 0;
    bool hasRunTime = false;  // version 1.1 or later: run time and deaths present
    uint32_t runTimeMs = 0;
    uint32_t deaths = 0;
    std::vector<GhostFrame> frames;
};

// One leaderboard row.
struct LeaderboardEntry {
    std::string name;
    int32_t rank = -1;  // -1: no row to show
    uint32_t score = 0;  // milliseconds
    std::vector<int32_t> details;  // the death count
    int32_t extra = 0;
};

// True for version 1.1 and later, where the header carries run time and deaths.
bool GhostVersionHasRunTime(uint16_t major, uint16_t minor);

// The bytes of a version 1.1 file for a run of elapsed seconds.
std::vector<uint8_t> EncodeGhostFile(float elapsedSeconds, uint32_t deaths, const std::vector<GhostFrame>& frames);
// Reads a whole file's bytes; never fails: bad bytes give valid = false or
// fewer frames. what names the file in log lines (null: no log lines).
GhostFileData DecodeGhostFile(const uint8_t* data, std::size_t size, const char* what = nullptr);

// "<name with each blank as '_'>.kgd": "Temp Ghost" gives "Temp_Ghost.kgd".
// "/" and "\" become "_" as well, so every name stays a file of the folder.
std::string GetGhostFileName(const ZHashedString& name);
// The user folder's "Ghosts\" sub-folder (made when missing) plus the file name.
std::string GetGhostFilePath(const ZHashedString& name);

// Writes a version 1.1 file, replacing the old one only once the new one is
// whole on disk: on any failure the old file stays as it was. False on failure
// (with a log line).
bool WriteGhostFile(const std::string& path, float elapsedSeconds, uint32_t deaths,
                    const std::vector<GhostFrame>& frames);
// Writes bytes as they are (a copied ghost file) the same way: whole or not at
// all. False on failure (with a log line).
bool WriteGhostFileData(const std::string& path, const std::vector<uint8_t>& bytes);
// Reads a ghost file; a missing, unreadable or foreign file gives valid = false
// and no frames.
GhostFileData ReadGhostFile(const std::string& path);
// The whole file's bytes; empty when it does not open.
std::vector<uint8_t> LoadGhostFileData(const std::string& path);

// The run time in seconds of a version 1.1 file; -1 for an older, missing or
// bad file (no best time).
float ReadGhostBestTime(const std::string& path);
// The personal-best row of a course file, named name. A version 1.1 file gives
// its run time and [deaths]; an older one the last frame's time (truncated to
// milliseconds) and [0]; both rank 0. No file, a bad file, or an older file
// without frames (it holds no time) give rank -1.
LeaderboardEntry LoadPersonalBestEntry(const std::string& path, const std::string& name);
