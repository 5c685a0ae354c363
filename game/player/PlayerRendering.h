#pragma once

class Player;

// One frame of the player's sheet as fractions of the texture: its corner
// (u, v) and its size.
struct PlayerFrame {
    float u = 0.0f;
    float v = 0.0f;
    float width = 0.0f;
    float height = 0.0f;
};

// The frame that shows the player's state now. Platformer sheet: 16 x 24
// frames, 8 columns, the lower half mirrored for facing left. Overworld
// sheet: 4 columns by direction, 2 rows by step.
PlayerFrame SelectPlayerFrame(const Player& player, bool overworld);
