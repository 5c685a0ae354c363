#pragma once

#include <cstdint>

// The engine's stand-in for the C runtime's rand/srand, with the same 15-bit
// range (0..32767) on every platform, so sequences seeded alike match. One
// process-wide state; main thread only.
void SeedRuntimeRand(uint32_t seed);
int32_t RuntimeRand();
