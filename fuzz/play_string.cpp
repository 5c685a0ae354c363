// PC-speaker play strings: any text parses into notes within range, and the
// list renders into a short buffer without reading outside it or spinning.

#include <cstddef>
#include <cstdint>
#include <string>

#include "audio/ZPCSpeakerVoice.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const ZArray<ZPCSpeakerNote> notes = ZPCSpeakerVoice::ParsePlayString(text.c_str());
    for (const ZPCSpeakerNote& n : notes) {
        if (n.note < -1 || n.note > 107 || !(n.duration > 0.0f) || n.sounding < 0.0f || n.sounding > 1.0f) {
            __builtin_trap();
        }
    }
    static ZPCSpeakerVoice* voice = new ZPCSpeakerVoice();
    voice->StopAllNotes();
    voice->PrepareScratch(4410);
    voice->PlayNotes(notes, size % 2 == 0, 5);
    for (ZPCSpeakerPlayer& player : voice->GetPlayers()) {
        voice->RenderPlayer(player, 0, 4408, 4408);
    }
    return 0;
}
