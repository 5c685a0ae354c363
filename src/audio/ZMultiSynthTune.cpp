#include "audio/ZMultiSynthTune.h"

#include <cstring>

#include "foundation/ZLog.h"
#include "foundation/ZStreamMgr.h"
#include "foundation/ZLittleEndian.h"

namespace {

// Little-endian reads that never pass the end.
struct Reader {
    const uint8_t* data;
    size_t size;
    size_t at = 0;

    bool Bytes(void* out, const size_t n) {
        if (size - at < n) {
            return false;
        }
        std::memcpy(out, data + at, n);
        at += n;
        return true;
    }
    bool U32(uint32_t* out) {
        uint8_t b[4];
        if (!Bytes(b, 4)) {
            return false;
        }
        *out = LoadLE32(b);
        return true;
    }
    bool I32(int32_t* out) {
        uint32_t v = 0;
        if (!U32(&v)) {
            return false;
        }
        *out = static_cast<int32_t>(v);
        return true;
    }
};

}  // namespace

uint32_t ZMultiSynthTune::ChannelOf(const uint8_t channel) {
    return ((channel + 0x80u) & 0xFFu) & ~0x40u;
}

uint8_t ZMultiSynthTune::MaskOf(const uint8_t flags[4]) {
    return static_cast<uint8_t>(flags[0] | flags[1] << 1 | flags[2] << 2 | flags[3] << 3);
}

uint8_t ZMultiSynthTune::RemapChannel(const uint8_t channel) {
    if (channel == 0x88) {
        return 0xC3;
    }
    if (channel == 0x89) {
        return 0x83;
    }
    return channel;
}

ZMultiSynthTune::ZMultiSynthTune(const char* fileName, const int32_t tunePriority,
                                 const uint8_t defaultChannelMask) {
    priority = tunePriority;
    channelMask = defaultChannelMask;
    char* bytes = nullptr;
    int64_t size = -1;
    if (fileName == nullptr || !ZStreamMgr::GetInstance()->ReadFile(fileName, &bytes, &size) || size < 0) {
        ZLog::Printf("Tune \"%s\": the file cannot be read; the tune is silent",
                     fileName != nullptr ? fileName : "");
        delete[] bytes;
        return;
    }
    ZString problem;
    if (!Read(reinterpret_cast<const uint8_t*>(bytes), static_cast<size_t>(size), false, &problem)) {
        ZLog::Printf("Tune \"%s\": %s; the tune is silent", fileName, problem.GetText());
    } else if (strayEvents > 0) {
        ZLog::Printf("Tune \"%s\": %u events set a note or bend on no channel 0 to 3; those parts are silent",
                     fileName, strayEvents);
    }
    delete[] bytes;
}

bool ZMultiSynthTune::Read(const uint8_t* data, const size_t size, const bool raw, ZString* problem) {
    events.Clear();
    strayEvents = 0;
    Reader in{data, data != nullptr ? size : 0};
    const auto fail = [&](const char* why) {
        events.Clear();
        if (problem != nullptr) {
            *problem = why;
        }
        return false;
    };
    if (!in.U32(&word) || !in.I32(&majorVersion) || !in.I32(&minorVersion)) {
        return fail("the file ends inside its version");
    }
    const bool v11 = HasV11Fields(majorVersion, minorVersion);
    int32_t volumes[4];
    int32_t duties[4];
    uint8_t flags[4] = {0, 0, 0, 0};
    for (int c = 0; c < 4; ++c) {
        if (!in.I32(&volumes[c]) || !in.I32(&duties[c]) || (v11 && !in.Bytes(&flags[c], 1))) {
            return fail("the file ends inside its channel headers");
        }
    }
    uint32_t count = 0;
    if (!in.U32(&count)) {
        return fail("the file ends before its event count");
    }
    // The count is trusted only as far as the bytes go.
    if (count > (size - in.at) / kEventBytes) {
        return fail("the event count is larger than the file");
    }
    for (int c = 0; c < 4; ++c) {
        channelVolume[c] = volumes[c];
        duty[c] = duties[c];
    }
    if (v11) {
        channelMask = MaskOf(flags);
        std::memcpy(enabledBytes, flags, sizeof enabledBytes);
    }
    for (uint32_t i = 0; i < count; ++i) {
        uint8_t b[kEventBytes] = {};
        if (!in.Bytes(b, kEventBytes)) {
            return fail("the file ends inside its events");
        }
        ZSynthEvent e;
        std::memcpy(&e.time, b, 4);
        e.channel = b[4];
        e.note = b[5];
        e.velocity = b[6];
        e.bend = b[7];
        e.control = b[8];
        std::memcpy(e.pad, b + 9, 3);
        if (!raw) {
            e.channel = RemapChannel(e.channel);
        }
        // Every event is kept: one that names no channel may still end or
        // loop the tune. Only its note and bend go nowhere.
        const bool sounds = ((e.note & 0x80) != 0 && (e.velocity & 0x80) != 0) || (e.bend & 0x80) != 0;
        if (sounds && ChannelOf(RemapChannel(e.channel)) > 3) {
            ++strayEvents;
        }
        events.PushBack(e);
    }
    loopIndex = -1;
    if (v11 && !in.I32(&loopIndex)) {
        return fail("the file ends before its loop index");
    }
    return true;
}

std::vector<uint8_t> ZMultiSynthTune::Write() const {
    std::vector<uint8_t> out;
    AppendLE32(out, word);
    AppendLE32(out, static_cast<uint32_t>(majorVersion));
    AppendLE32(out, static_cast<uint32_t>(minorVersion));
    const bool v11 = HasV11Fields(majorVersion, minorVersion);
    const bool keepBytes = MaskOf(enabledBytes) == channelMask;
    for (int c = 0; c < 4; ++c) {
        AppendLE32(out, static_cast<uint32_t>(channelVolume[c]));
        AppendLE32(out, static_cast<uint32_t>(duty[c]));
        if (v11) {
            out.push_back(keepBytes ? enabledBytes[c] : static_cast<uint8_t>((channelMask >> c) & 1));
        }
    }
    AppendLE32(out, events.Count());
    for (const ZSynthEvent& e : events) {
        uint8_t b[kEventBytes] = {};
        std::memcpy(b, &e.time, 4);
        b[4] = e.channel;
        b[5] = e.note;
        b[6] = e.velocity;
        b[7] = e.bend;
        b[8] = e.control;
        std::memcpy(b + 9, e.pad, 3);
        out.insert(out.end(), b, b + kEventBytes);
    }
    if (v11) {
        AppendLE32(out, static_cast<uint32_t>(loopIndex));
    }
    return out;
}
