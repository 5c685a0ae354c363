// Ogg Vorbis sounds and streamed music from untrusted bytes, as they lie in a
// package: the stream is one entry between two others, read through the range
// callbacks. Opening refuses what it cannot play with a reason; what opens
// decodes, looping or once, without reading outside its entry or spinning.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "audio/ZOggSound.h"
#include "audio/ZOggSource.h"

namespace {

constexpr size_t kNeighbour = 37;  // bytes of the entries before and after

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 1 << 18) return 0;
    std::FILE* f = std::tmpfile();
    if (f == nullptr) return 0;
    // The neighbours hold an Ogg page start, so a read that leaves the entry
    // would find something to decode.
    const uint8_t before[kNeighbour] = {'O', 'g', 'g', 'S'};
    const uint8_t after[kNeighbour] = {'O', 'g', 'g', 'S'};
    std::fwrite(before, 1, sizeof(before), f);
    if (size > 0) std::fwrite(data, 1, size, f);
    std::fwrite(after, 1, sizeof(after), f);
    std::fflush(f);

    for (const bool stopAtEnd : {true, false}) {
        ZOggSource source;
        source.file = f;
        source.offset = kNeighbour;
        source.size = static_cast<int64_t>(size);
        OggVorbis_File vf{};
        if (!ZOggSound::OpenOggStream(&vf, &source, "fuzz.ogg")) break;
        std::vector<uint8_t> out(8192 + 3);
        // A few buffers: a short stream loops or ends inside them.
        for (int pass = 0; pass < 4; ++pass) {
            uint32_t written = 0;
            const bool ended =
                ZOggSound::FillFromOgg(out.data(), static_cast<uint32_t>(out.size()), &vf, stopAtEnd, "fuzz.ogg", &written);
            if (written > out.size()) __builtin_trap();
            if (source.position < 0 || source.position > source.size) __builtin_trap();
            if (ended) break;
        }
        ov_clear(&vf);
    }
    std::fclose(f);
    return 0;
}
