// WAV files: the header reader stops at the end of whatever it is given, and
// what it accepts can be filled from, looping or not, without reading past
// the end or spinning.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "audio/ZWavSound.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::FILE* f = std::tmpfile();
    if (f == nullptr) {
        return 0;
    }
    if (size > 0 && std::fwrite(data, 1, size, f) != size) {
        std::fclose(f);
        return 0;
    }
    std::rewind(f);
    ZWavSound sound;
    ZString problem;
    const bool ok = ZWavSound::ReadWavHeader(f, static_cast<int64_t>(size), &sound.header, &problem);
    const long position = std::ftell(f);
    if (position < 0 || static_cast<size_t>(position) > size) __builtin_trap();
    if (!ok) {
        if (problem.IsEmpty()) __builtin_trap();
        std::fclose(f);
        return 0;
    }
    const ZWavHeader& h = sound.header;
    if ((h.channels != 1 && h.channels != 2) || (h.bitsPerSample != 8 && h.bitsPerSample != 16)) __builtin_trap();
    sound.dataOffset = 0;
    sound.dataSize = static_cast<uint32_t>(size);
    sound.dataStart = static_cast<uint32_t>(position);
    sound.dataLength = sound.dataSize - sound.dataStart;
    sound.format.channels = h.channels;
    sound.format.bitsPerSample = h.bitsPerSample;
    sound.format.blockAlign = static_cast<uint16_t>(h.channels * h.bitsPerSample / 8);
    if (sound.GetTotalBytes() > sound.dataLength) __builtin_trap();
    // Two and a half times the data: a looping fill wraps, a one-shot ends.
    std::vector<uint8_t> out(sound.dataLength * 5 / 2 + 7);
    for (const bool stopAtEnd : {false, true}) {
        std::fseek(f, position, SEEK_SET);
        uint32_t written = 0;
        const bool ended = sound.FillFromWav(out.data(), static_cast<uint32_t>(out.size()), stopAtEnd, f, &written);
        if (written > out.size()) __builtin_trap();
        if (stopAtEnd && !ended) __builtin_trap();
    }
    std::fclose(f);
    return 0;
}
