#include "framework/ZRuntimeRand.h"

namespace {

uint32_t g_state = 1;

}  // namespace

void SeedRuntimeRand(const uint32_t seed) { g_state = seed; }

int32_t RuntimeRand() {
    g_state = g_state * 214013u + 2531011u;
    return static_cast<int32_t>((g_state >> 16) & 0x7FFF);
}
