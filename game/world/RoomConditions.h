#pragma once

#include "foundation/ZString.h"

// What the area holding the current room says about it, after LoadRoom: the
// map's defaults overridden by every area containing the room, later areas
// winning. The player takes these as it enters the room.
struct RoomConditions {
    ZString music;
    ZString sprite;
    ZString speedrunName;
    ZString minimapName;
    bool safe = false;
    bool underwater = false;
    bool toxic = false;  // only ever true under water
    bool speedrun = false;
    bool speedrunActive = false;
};
