#pragma once

#include <cstdint>

#include "foundation/ZArray.h"
#include "foundation/ZDefNode.h"
#include "foundation/ZHashedString.h"
#include "foundation/ZString.h"

class Player;

// What each room names for the player besides its tiles: the tune that plays
// in it and the minimap it belongs to.

// Another tune than the one playing: the playing one stops now and the new
// one starts after a short pause (0.35 s). The same tune (byte for byte)
// keeps playing untouched.
void SetRoomMusic(Player& player, const ZString& tune);
// Counts the pause down; when it runs out the tune "<campaign prefix><tune>"
// plays on the "BGMusicTune" channel (an empty name is silence).
void UpdateRoomMusic(Player& player, float dt);

// One "Minimap" entry of "Minimaps.zdd" as a room selects it.
struct RoomMinimap {
    ZString name;
    ZString base;
    ZString overlay;
    int32_t ox = 0;
    int32_t oy = 0;
    // -1 each unless the entry gives all four.
    int32_t w = -1;
    int32_t h = -1;
    int32_t px = -1;
    int32_t py = -1;
    ZHashedString collection = ZHashedString::None();
};

// Who shows the selected minimap (the minimap component, once it exists):
// told the entry when a room selects one. Null until installed.
using RoomMinimapHook = void (*)(Player& player, const RoomMinimap& minimap);
RoomMinimapHook& GetRoomMinimapHook();

// Points the player at the minimap whose entry in "Minimaps.zdd" carries the
// name (ignoring case; an entry needs "OX", "OY", "Base" and "Overlay"): the
// minimap's quads are hidden, the player's current minimap becomes "NULL",
// and each matching entry is handed on and shows the quads as the minimap
// setting says. No file or no match leaves the minimap hidden at "NULL".
void SelectRoomMinimap(Player& player, const ZString& minimapName);
// Reads the matching entries of a "Minimaps.zdd" root, in file order.
void FindRoomMinimaps(const ZDefNode& root, const ZString& minimapName, ZArray<RoomMinimap>& out);
