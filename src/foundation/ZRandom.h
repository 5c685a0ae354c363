#pragma once

#include <cstdint>

// Reproducible generator: the 32-bit Mersenne Twister (MT19937) with the
// reference seeding, so one seed gives one sequence on every machine. Each
// user owns and seeds its own instance; it has no lock.
class ZRandom {
public:
    // Unseeded: all zeros, which returns 0 forever. Seed before use.
    ZRandom() = default;
    virtual ~ZRandom();

    void Seed(uint32_t seed);

    // Each of these draws exactly one word, so only the number of draws, not
    // their kind, decides the later values.
    uint32_t Next();
    // 0 .. n - 1 as floor((x + 0.5) / 2^32 * n). n <= 0 draws and gives 0.
    int32_t NextInt(int32_t n);
    // 0 .. 1, both ends included: x / (2^32 - 1).
    float NextFloat();

private:
    static constexpr int kStateSize = 624;

    void Regenerate();

    uint32_t state[kStateSize] = {};
    // Next word to temper; 0 also means the state is due for regeneration.
    uint32_t index = 0;
};
