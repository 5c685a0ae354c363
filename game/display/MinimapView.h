#pragma once

#include <cstdint>

// What the minimap and full-map quads need to know of the player and the
// map: the room grid of the minimap image, the current room and the
// player's position in it. Filled by whoever knows the player (the display
// state's minimapView source); without one there is no player.
struct MinimapView {
    // The player exists with both its minimap and its position.
    bool hasPlayer = false;
    // The map image's origin room (column, row).
    int32_t imageOriginColumn = 0;
    int32_t imageOriginRow = 0;
    // The picture cell (column, row) where the map's room grid begins, and
    // the grid's size in rooms.
    int32_t firstColumn = 0;
    int32_t firstRow = 0;
    int32_t width = 0;
    int32_t height = 0;
    // Two counts of the current map; the indicator blinks amber while A < B.
    int32_t countA = 0;
    int32_t countB = 0;
    // The current room and its bounds in world pixels.
    int32_t roomColumn = 0;
    int32_t roomRow = 0;
    float left = 0.0f;
    float right = 0.0f;
    float top = 0.0f;
    float bottom = 0.0f;
    // The player's position in world pixels.
    float x = 0.0f;
    float y = 0.0f;
};

// The current view: the display state's source when there is one, else a
// view without a player.
MinimapView GetMinimapView();
