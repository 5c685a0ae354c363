#pragma once

#include "menu/ZCinematic.h"

// The base of the game's own sequences (the door and room transitions, the
// menu closer): they run on game time, so they pause with the game and
// advance with its fixed steps, outside every entity's update. A sequence
// counts as timed when its duration is not (about) zero.
class GameCinematic : public ZCinematic {
public:
    GameCinematic();

    bool IsTimed() const;
    // The sequence ran to its end (its time is up), rather than being
    // stopped early: only then does its End finish the move.
    bool RanToEnd() const;

protected:
    // A frame of the player's speedrun ghost, whatever the time since the
    // last (a transition's jump is never smoothed over); nothing without one.
    static void ForcePlayerGhostFrame();
};
