// Tune sources for the tune compiler from untrusted text: a mistake is
// refused with its line, and a tune it compiles is a file the game's reader
// takes as it was written.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "audio/ZMultiSynthTune.h"
#include "zmstune/TuneCompiler.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 1 << 14) return 0;
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<uint8_t> bytes;
    std::string messages;
    if (!CompileTuneSource(text, "fuzz.zmt", &bytes, &messages)) {
        if (messages.rfind("fuzz.zmt:", 0) != 0) __builtin_trap();
        return 0;
    }
    ZMultiSynthTune tune;
    ZString problem;
    if (!tune.Read(bytes.data(), bytes.size(), true, &problem)) __builtin_trap();
    return 0;
}
