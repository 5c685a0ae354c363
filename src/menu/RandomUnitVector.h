#pragma once

#include <cstdint>

#include "foundation/ZVector3.h"

// A direction picked evenly over the unit sphere from two draws of the
// engine's 15-bit generator: theta = 2 pi r1, phi = acos(2 r2 - 1), with r1
// and r2 each a draw / 32767.
ZVector3 RandomUnitVector();
// The same for two given draws (0..32767 each).
ZVector3 UnitVectorFromDraws(int32_t draw1, int32_t draw2);
