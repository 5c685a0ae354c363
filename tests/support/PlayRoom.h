#pragma once

// A room for play tests, drawn as text: one character per 8 x 8 tile, rows
// top to bottom. Its solid cells become one-sided collision lines on the
// faces that border open cells (runs of equal kind merged), as the game's
// rooms make them, so the player meets floors, walls and ceilings as in play.
//
//   .  open             #  solid (kind 1)        =  one-way platform (top face only, kind 3)
//   ^  deadly (kind 2)  /  slippery floor (kind 5)
//   ~  water            %  toxic water: their top surface enters the water
//                          (kind 4 or 6) going down and leaves it (kind 128)
//                          going up; neither stops the player
//   P  the player's start: standing on the floor of that cell, its centre x
//
// While a PlayRoom lives it answers the player's edge-kind question for its
// lines, and one-way lines let the player through while its drop-through
// timer runs.

#include <memory>
#include <string>
#include <vector>

#include "foundation/ZVector3.h"

class ZCollisionInterface;

namespace playtest {

struct PlayLine {
    ZVector3 a;
    ZVector3 b;
    int kind = 1;
    bool solid = true;
};

class PlayRoom {
public:
    // Rows of equal length; a bad picture (uneven rows, unknown characters)
    // leaves the room empty and says why in error().
    explicit PlayRoom(const std::vector<std::string>& rows);
    ~PlayRoom();
    PlayRoom(const PlayRoom&) = delete;
    PlayRoom& operator=(const PlayRoom&) = delete;

    const std::vector<PlayLine>& lines() const { return m_lines; }
    // The collision shape of lines()[i].
    ZCollisionInterface* shape(const size_t i) const { return m_shapes[i].get(); }
    const std::string& error() const { return m_error; }
    // Where 'P' stands: the cell's centre x, feet on the cell's bottom (for a
    // box of half-height 8). (0, 0) without one.
    ZVector3 start() const { return m_start; }
    // The top of a row of tiles, in pixels.
    static float RowTop(int row) { return row * 8.0f; }

private:
    std::vector<PlayLine> m_lines;
    std::vector<std::unique_ptr<ZCollisionInterface>> m_shapes;
    ZVector3 m_start;
    std::string m_error;
};

}  // namespace playtest
