#pragma once

#include "foundation/ZVector3.h"

class Player;

// The overworld's grid step: the velocity comes in as the direction input
// (x east, y south) and goes out as zero, because the step moves the player
// itself, one 16-pixel cell in 0.25 s, cell centres at 16k + 8.
void OverworldStep(Player& player, float dt, ZVector3& velocity);
// The centre of the cell that holds t: floor((t - 8) / 16 + 0.5) x 16 + 8.
float SnapToCellCentre(float t);
