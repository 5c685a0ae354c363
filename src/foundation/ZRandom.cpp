#include "foundation/ZRandom.h"

#include <cmath>

ZRandom::~ZRandom() {
    for (uint32_t& word : state) {
        word = 0;
    }
    index = 0;
}

void ZRandom::Seed(const uint32_t seed) {
    state[0] = seed;
    for (uint32_t i = 1; i < kStateSize; ++i) {
        state[i] = (state[i - 1] ^ (state[i - 1] >> 30)) * 1812433253u + i;
    }
    index = 0;
}

void ZRandom::Regenerate() {
    // In place and in order: later entries read ones already regenerated.
    for (int i = 0; i < kStateSize; ++i) {
        const uint32_t y = (state[i] & 0x80000000u) | (state[(i + 1) % kStateSize] & 0x7FFFFFFFu);
        uint32_t next = state[(i + 397) % kStateSize] ^ (y >> 1);
        if (y & 1u) {
            next ^= 0x9908B0DFu;
        }
        state[i] = next;
    }
}

uint32_t ZRandom::Next() {
    if (index == 0) {
        Regenerate();
    }
    uint32_t y = state[index];
    index = (index + 1) % kStateSize;
    y ^= y >> 11;
    y ^= (y << 7) & 0x9D2C5680u;
    y ^= (y << 15) & 0xEFC60000u;
    y ^= y >> 18;
    return y;
}

int32_t ZRandom::NextInt(const int32_t n) {
    const uint32_t x = Next();
    if (n <= 0) {
        return 0;
    }
    const double twoToMinus32 = 2.3283064365386963e-10;
    int32_t r = static_cast<int32_t>(std::floor((x + 0.5) * twoToMinus32 * n));
    if (r == n) {
        r = n - 1;
    }
    return r;
}

float ZRandom::NextFloat() {
    const double inverseMax = 1.0 / 4294967295.0;
    return static_cast<float>(Next() * inverseMax);
}
