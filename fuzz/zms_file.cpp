// Tune files: the reader stops at the end of whatever it is given, leaves a
// refused tune empty, keeps every event, writes a whole raw read
// back byte for byte; and whatever it accepts plays without reaching outside
// the synthesizer's channels or its tables.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "audio/ZMultiSynthTune.h"
#include "audio/ZMultiSynthVoice.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ZMultiSynthTune raw;
    ZString problem;
    if (raw.Read(data, size, true, &problem)) {
        const std::vector<uint8_t> written = raw.Write();
        if (written.size() > size || std::memcmp(written.data(), data, written.size()) != 0) __builtin_trap();
    } else if (raw.events.Count() != 0 || problem.IsEmpty()) {
        __builtin_trap();
    }

    ZMultiSynthTune tune;
    if (!tune.Read(data, size, false, &problem)) {
        return 0;
    }
    // Every event is kept, with only 0x88 and 0x89 remapped.
    if (tune.events.Count() != raw.events.Count()) __builtin_trap();
    for (uint32_t i = 0; i < tune.events.Count(); ++i) {
        if (tune.events[i].channel != ZMultiSynthTune::RemapChannel(raw.events[i].channel)) __builtin_trap();
    }
    static ZMultiSynthVoice* voice = new ZMultiSynthVoice();
    voice->StopAllTunes();
    voice->PlayTune(tune, ZHashedString("fuzz"), 0, tune.channelMask & 1);
    ZArray<ZMultiSynthPlayer> players;
    voice->GetPlayingTunes(players);
    for (int i = 0; i < 4096; ++i) {
        ZSynthFrame frame;
        for (ZMultiSynthPlayer& player : players) {
            voice->StepPlayer(player, frame, 0);
        }
        for (const float v : frame.channel) {
            // Channel volumes come from the file unchecked, so only NaN is wrong here.
            if (std::isnan(v)) __builtin_trap();
        }
    }
    return 0;
}
