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
    } else if (droppedEvents > 0) {
        ZLog::Printf("Tune \"%s\": %u events on a channel above 3 were left out", fileName, droppedEvents);
    }
    delete[] bytes;
}

bool ZMultiSynthTune::Read(const uint8_t* data, const size_t size, const bool raw, ZString* problem) {
    events.Clear();
    droppedEvents = 0;
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
        channelMask = static_cast<uint8_t>((flags[0] & 1) | (flags[1] & 1) << 1 | (flags[2] & 1) << 2 |
                                           (flags[3] & 1) << 3);
        std::memcpy(enabledBytes, flags, sizeof enabledBytes);
    }
    // keptBefore[i]: how many events were kept before file event i.
    std::vector<uint32_t> keptBefore;
    keptBefore.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        keptBefore.push_back(events.Count());
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
            // Only 0x80..0x83 and 0xC0..0xC3 name one of the four channels.
            if ((((e.channel + 0x80) & 0xFF) & ~0x40) > 3) {
                ++droppedEvents;
                continue;
            }
        }
        events.PushBack(e);
    }
    loopIndex = -1;
    if (v11 && !in.I32(&loopIndex)) {
        return fail("the file ends before its loop index");
    }
    if (droppedEvents > 0 && loopIndex >= 0 && static_cast<uint32_t>(loopIndex) < count) {
        // The file's index counts the events left out: point at the same
        // place among those kept.
        const uint32_t target = keptBefore[static_cast<uint32_t>(loopIndex)];
        loopIndex = target < events.Count() ? static_cast<int32_t>(target) : -1;
    }
    return true;
}

std::vector<uint8_t> ZMultiSynthTune::Write() const {
    std::vector<uint8_t> out;
    AppendLE32(out, word);
    AppendLE32(out, static_cast<uint32_t>(majorVersion));
    AppendLE32(out, static_cast<uint32_t>(minorVersion));
    const bool v11 = HasV11Fields(majorVersion, minorVersion);
    for (int c = 0; c < 4; ++c) {
        AppendLE32(out, static_cast<uint32_t>(channelVolume[c]));
        AppendLE32(out, static_cast<uint32_t>(duty[c]));
        if (v11) {
            const uint8_t bit = static_cast<uint8_t>((channelMask >> c) & 1);
            out.push_back((enabledBytes[c] & 1) == bit ? enabledBytes[c] : bit);
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
