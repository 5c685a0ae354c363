// The sound device's buffers and mixer, through the fake backend: the test
// moves time by hand and reads back exactly what was mixed.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/sound/fake/FakeSoundSystem.h"
#include "platform/sound/sound.h"

namespace ps = platform::sound;

namespace {

ps::WaveFormat Format(const uint16_t channels, const uint16_t bits, const uint32_t rate) {
    ps::WaveFormat f;
    f.channels = channels;
    f.bitsPerSample = bits;
    f.samplesPerSec = rate;
    f.blockAlign = static_cast<uint16_t>(channels * bits / 8);
    f.avgBytesPerSec = f.blockAlign * rate;
    return f;
}

class FakeSoundTest : public ::testing::Test {
protected:
    void SetUp() override {
        system.SetLatencyFrames(100);
        ASSERT_EQ(system.Open(), ps::DS_OK);
    }

    // A buffer of 16-bit mono samples at the rate, filled with the values.
    ps::SoundBuffer* Mono16(const std::vector<int16_t>& samples, const uint32_t rate = 44100,
                            const uint32_t flags = ps::DSBCAPS_GLOBALFOCUS) {
        const ps::WaveFormat f = Format(1, 16, rate);
        ps::BufferDesc desc;
        desc.flags = flags | ps::DSBCAPS_CTRLVOLUME | ps::DSBCAPS_CTRLPAN;
        desc.bufferBytes = static_cast<uint32_t>(samples.size() * 2);
        desc.format = &f;
        ps::SoundBuffer* buffer = nullptr;
        EXPECT_EQ(system.CreateSoundBuffer(desc, &buffer), ps::DS_OK);
        Write(buffer, samples.data(), desc.bufferBytes);
        return buffer;
    }

    static void Write(ps::SoundBuffer* buffer, const void* bytes, const uint32_t size) {
        void* p1 = nullptr;
        void* p2 = nullptr;
        uint32_t n1 = 0;
        uint32_t n2 = 0;
        ASSERT_EQ(buffer->Lock(0, 0, &p1, &n1, &p2, &n2, ps::DSBLOCK_ENTIREBUFFER), ps::DS_OK);
        ASSERT_EQ(n1, size);
        std::memcpy(p1, bytes, size);
        buffer->Unlock(p1, n1, p2, n2);
    }

    // Left (channel 0) or right (1) sample i of what was mixed.
    int16_t Out(const size_t frame, const int channel = 0) const { return system.GetMixed()[frame * 2 + channel]; }

    ps::FakeSoundSystem system;
};

TEST_F(FakeSoundTest, LockHandsOutTwoRegionsWhenTheRangeWraps) {
    ps::SoundBuffer* buffer = Mono16(std::vector<int16_t>(50));  // 100 bytes
    struct Case {
        uint32_t offset;
        uint32_t bytes;
        uint32_t flags;
        ps::Result result;
        uint32_t first;
        uint32_t second;
    };
    const Case cases[] = {
        {0, 100, 0, ps::DS_OK, 100, 0},
        {20, 30, 0, ps::DS_OK, 30, 0},
        {80, 40, 0, ps::DS_OK, 20, 20},
        {99, 100, 0, ps::DS_OK, 1, 99},
        {50, 0, ps::DSBLOCK_ENTIREBUFFER, ps::DS_OK, 100, 0},
        {100, 10, 0, ps::DSERR_INVALIDPARAM, 0, 0},
        {0, 101, 0, ps::DSERR_INVALIDPARAM, 0, 0},
        {10, 0, 0, ps::DSERR_INVALIDPARAM, 0, 0},
    };
    for (const Case& c : cases) {
        void* p1 = nullptr;
        void* p2 = nullptr;
        uint32_t n1 = 7;
        uint32_t n2 = 7;
        EXPECT_EQ(buffer->Lock(c.offset, c.bytes, &p1, &n1, &p2, &n2, c.flags), c.result) << c.offset << "+" << c.bytes;
        EXPECT_EQ(n1, c.first) << c.offset << "+" << c.bytes;
        EXPECT_EQ(n2, c.second) << c.offset << "+" << c.bytes;
        EXPECT_EQ(p2 != nullptr, c.second > 0);
        if (c.second > 0) {
            EXPECT_EQ(static_cast<uint8_t*>(p2) + c.second, static_cast<uint8_t*>(p1) - c.offset + c.second)
                << "the second region starts the buffer";
        }
    }
    buffer->Release();
}

TEST_F(FakeSoundTest, CursorsFollowPlayStopAndTheEnd) {
    ps::SoundBuffer* buffer = Mono16(std::vector<int16_t>(1000, 100));
    uint32_t play = 0;
    uint32_t write = 0;
    uint32_t status = 0;

    buffer->Play(0);
    system.Advance(300);
    buffer->GetCurrentPosition(&play, &write);
    EXPECT_EQ(play, 600u);
    EXPECT_EQ(write, 800u) << "the write cursor runs the latency (100 frames) ahead";

    buffer->Stop();
    system.Advance(300);
    buffer->GetCurrentPosition(&play, &write);
    EXPECT_EQ(play, 600u) << "stop keeps the position";
    EXPECT_EQ(write, 600u);

    buffer->Play(0);  // resumes where it stopped: 700 frames are left
    system.Advance(800);
    buffer->GetStatus(&status);
    EXPECT_EQ(status & ps::DSBSTATUS_PLAYING, 0u) << "a one-shot stops at its end";
    buffer->GetCurrentPosition(&play, &write);
    EXPECT_EQ(play, 0u);
    EXPECT_EQ(write, 0u);
    EXPECT_EQ(Out(600 + 699), 100) << "the last frame is heard";
    EXPECT_EQ(Out(600 + 700), 0) << "and nothing after it";

    buffer->Play(ps::DSBPLAY_LOOPING);
    system.Advance(1250);
    buffer->GetStatus(&status);
    EXPECT_NE(status & ps::DSBSTATUS_LOOPING, 0u);
    buffer->GetCurrentPosition(&play, &write);
    EXPECT_EQ(play, 500u) << "a looping buffer wraps";
    EXPECT_EQ(write, 700u);
    buffer->Release();
}

TEST_F(FakeSoundTest, SamplesMixExactlyWithVolumePanAndFormat) {
    struct Case {
        const char* what;
        uint16_t channels;
        uint16_t bits;
        std::vector<uint8_t> frame;  // one frame's bytes, repeated
        int32_t volume;
        int32_t pan;
        int16_t left;
        int16_t right;
    };
    const Case cases[] = {
        {"16-bit mono at full volume", 1, 16, {0x10, 0x27}, 0, 0, 10000, 10000},
        {"16-bit stereo keeps its sides", 2, 16, {0x10, 0x27, 0xF0, 0xD8}, 0, 0, 10000, -10000},
        {"8-bit is unsigned", 1, 8, {0xC0}, 0, 0, 16384, 16384},
        {"8-bit silence", 2, 8, {0x80, 0x80}, 0, 0, 0, 0},
        {"-6 dB", 1, 16, {0x10, 0x27}, -600, 0, static_cast<int16_t>(std::lrint(10000 * std::pow(10.0, -0.3))),
         static_cast<int16_t>(std::lrint(10000 * std::pow(10.0, -0.3)))},
        {"pan right attenuates the left", 1, 16, {0x10, 0x27}, 0, 1200,
         static_cast<int16_t>(std::lrint(10000 * std::pow(10.0, -0.6))), 10000},
        {"pan left attenuates the right", 1, 16, {0x10, 0x27}, 0, -10000, 10000, 0},
        {"minimum volume is silence", 1, 16, {0x10, 0x27}, -10000, 0, 0, 0},
    };
    for (const Case& c : cases) {
        const ps::WaveFormat f = Format(c.channels, c.bits, 44100);
        ps::BufferDesc desc;
        desc.flags = ps::DSBCAPS_GLOBALFOCUS;
        desc.bufferBytes = f.blockAlign * 64;
        desc.format = &f;
        ps::SoundBuffer* buffer = nullptr;
        ASSERT_EQ(system.CreateSoundBuffer(desc, &buffer), ps::DS_OK) << c.what;
        std::vector<uint8_t> bytes;
        for (int i = 0; i < 64; ++i) {
            bytes.insert(bytes.end(), c.frame.begin(), c.frame.end());
        }
        Write(buffer, bytes.data(), desc.bufferBytes);
        buffer->SetVolume(c.volume);
        buffer->SetPan(c.pan);
        buffer->Play(0);
        system.ClearMixed();
        system.Advance(10);
        EXPECT_EQ(Out(5, 0), c.left) << c.what;
        EXPECT_EQ(Out(5, 1), c.right) << c.what;
        buffer->Release();
    }
}

TEST_F(FakeSoundTest, TheSumIsClippedOnceAtTheEnd) {
    // Two loud buffers and one that cancels them: clipping each addition would
    // lose the cancellation.
    ps::SoundBuffer* a = Mono16(std::vector<int16_t>(64, 30000));
    ps::SoundBuffer* b = Mono16(std::vector<int16_t>(64, 30000));
    ps::SoundBuffer* c = Mono16(std::vector<int16_t>(64, -30000));
    for (ps::SoundBuffer* buffer : {a, b, c}) {
        buffer->Play(0);
    }
    system.Advance(4);
    EXPECT_EQ(Out(0), 30000);
    c->Stop();
    system.Advance(4);
    EXPECT_EQ(Out(4), 32767) << "the sum is clipped";
    a->Release();
    b->Release();
    c->Release();
}

TEST_F(FakeSoundTest, DuplicatesShareSamplesAndKeepTheirOwnState) {
    ps::SoundBuffer* original = Mono16(std::vector<int16_t>(100, 1000));
    ps::SoundBuffer* copy = nullptr;
    ASSERT_EQ(system.DuplicateSoundBuffer(original, &copy), ps::DS_OK);
    Write(original, std::vector<int16_t>(100, 2000).data(), 200);  // seen by the copy
    copy->SetVolume(-10000);
    original->Play(0);
    system.Advance(10);
    EXPECT_EQ(Out(9), 2000) << "the copy's volume is its own";
    copy->SetVolume(0);
    copy->Play(0);
    system.Advance(10);
    EXPECT_EQ(Out(19), 4000);
    uint32_t p1 = 0;
    uint32_t p2 = 0;
    original->GetCurrentPosition(&p1, nullptr);
    copy->GetCurrentPosition(&p2, nullptr);
    EXPECT_EQ(p1, 40u);
    EXPECT_EQ(p2, 20u) << "each has its own cursor";
    original->Release();
    system.Advance(10);
    EXPECT_EQ(Out(29), 2000) << "the copy outlives the original";
    copy->Release();
    EXPECT_EQ(system.GetBufferCount(), 0u);
}

TEST_F(FakeSoundTest, BuffersAtOtherRatesAreResampled) {
    ps::SoundBuffer* buffer = Mono16({0, 1000, 2000, 3000, 4000, 5000, 6000, 7000}, 22050);
    buffer->Play(0);
    system.Advance(6);
    const int16_t expected[6] = {0, 500, 1000, 1500, 2000, 2500};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(Out(i), expected[i]) << i;
    }
    uint32_t play = 0;
    buffer->GetCurrentPosition(&play, nullptr);
    EXPECT_EQ(play, 6u) << "three frames of its own rate";
    buffer->SetFrequency(88200);
    system.Advance(2);
    EXPECT_EQ(Out(7), 5000) << "twice the rate skips every other frame";
    buffer->Release();
}

TEST_F(FakeSoundTest, UnfocusedWindowSilencesOnlyLocalBuffers) {
    ps::SoundBuffer* local = Mono16(std::vector<int16_t>(100, 1000), 44100, 0);
    ps::SoundBuffer* global = Mono16(std::vector<int16_t>(100, 20), 44100, ps::DSBCAPS_GLOBALFOCUS);
    local->Play(0);
    global->Play(0);
    system.SetAppFocused(false);
    system.Advance(10);
    EXPECT_EQ(Out(5), 20);
    system.SetAppFocused(true);
    system.Advance(10);
    EXPECT_EQ(Out(15), 1020);
    uint32_t play = 0;
    local->GetCurrentPosition(&play, nullptr);
    EXPECT_EQ(play, 40u) << "a muted buffer keeps time";
    local->Release();
    global->Release();
}

TEST_F(FakeSoundTest, BadDescriptionsAreRefused) {
    const ps::WaveFormat good = Format(1, 16, 44100);
    ps::WaveFormat threeChannels = Format(3, 16, 44100);
    ps::WaveFormat bits24 = Format(1, 24, 44100);
    ps::WaveFormat badAlign = good;
    badAlign.blockAlign = 3;
    struct Case {
        const char* what;
        const ps::WaveFormat* format;
        uint32_t bytes;
        uint32_t flags;
        ps::Result result;
    };
    const Case cases[] = {
        {"no format", nullptr, 100, 0, ps::DSERR_INVALIDPARAM},
        {"no bytes", &good, 0, 0, ps::DSERR_INVALIDPARAM},
        {"less than a frame", &good, 1, 0, ps::DSERR_INVALIDPARAM},
        {"three channels", &threeChannels, 100, 0, ps::DSERR_BADFORMAT},
        {"24 bits", &bits24, 100, 0, ps::DSERR_BADFORMAT},
        {"wrong block align", &badAlign, 100, 0, ps::DSERR_BADFORMAT},
        {"a primary buffer with a size", &good, 100, ps::DSBCAPS_PRIMARYBUFFER, ps::DSERR_INVALIDPARAM},
        {"a primary buffer", nullptr, 0, ps::DSBCAPS_PRIMARYBUFFER, ps::DS_OK},
    };
    for (const Case& c : cases) {
        ps::BufferDesc desc;
        desc.flags = c.flags;
        desc.bufferBytes = c.bytes;
        desc.format = c.format;
        ps::SoundBuffer* buffer = nullptr;
        EXPECT_EQ(system.CreateSoundBuffer(desc, &buffer), c.result) << c.what;
        EXPECT_EQ(buffer != nullptr, c.result == ps::DS_OK) << c.what;
        if (buffer != nullptr) {
            buffer->Release();
        }
    }
}

TEST_F(FakeSoundTest, ThePrimaryBufferSetsTheMasterVolume) {
    ps::BufferDesc desc;
    desc.flags = ps::DSBCAPS_PRIMARYBUFFER | ps::DSBCAPS_CTRLVOLUME;
    ps::SoundBuffer* primary = nullptr;
    ASSERT_EQ(system.CreateSoundBuffer(desc, &primary), ps::DS_OK);
    ps::SoundBuffer* buffer = Mono16(std::vector<int16_t>(100, 10000));
    primary->SetVolume(-600);
    buffer->Play(0);
    system.Advance(2);
    EXPECT_EQ(Out(1), static_cast<int16_t>(std::lrint(10000 * std::pow(10.0, -0.3))));
    void* p = nullptr;
    uint32_t n = 0;
    EXPECT_EQ(primary->Lock(0, 4, &p, &n, nullptr, nullptr, 0), ps::DSERR_INVALIDCALL);
    primary->Release();
    buffer->Release();
}

TEST(FakeSoundSystem, FailedOpenRefusesEveryBufferAndBuffersOutliveTheSystem) {
    auto failing = std::make_unique<ps::FakeSoundSystem>();
    failing->openResult = ps::DSERR_NODRIVER;
    EXPECT_EQ(failing->Open(), ps::DSERR_NODRIVER);
    const ps::WaveFormat f = Format(1, 16, 44100);
    ps::BufferDesc desc;
    desc.bufferBytes = 100;
    desc.format = &f;
    ps::SoundBuffer* buffer = nullptr;
    EXPECT_EQ(failing->CreateSoundBuffer(desc, &buffer), ps::DSERR_UNINITIALIZED);
    EXPECT_EQ(buffer, nullptr);

    auto working = std::make_unique<ps::FakeSoundSystem>();
    ASSERT_EQ(working->Open(), ps::DS_OK);
    ASSERT_EQ(working->CreateSoundBuffer(desc, &buffer), ps::DS_OK);
    working.reset();
    EXPECT_EQ(buffer->Play(0), ps::DS_OK) << "still answers, heard by no one";
    buffer->Release();
}

TEST(SoundResults, NamesAndDescriptions) {
    EXPECT_STREQ(ps::ResultName(ps::DSERR_NODRIVER), "DSERR_NODRIVER");
    EXPECT_STREQ(ps::ResultName(ps::DSERR_ALLOCATED), "DSERR_ALLOCATED");
    EXPECT_STREQ(ps::ResultName(0x12345), "Unknown");
    EXPECT_STRNE(ps::ResultDescription(ps::DSERR_NODRIVER), "n/a");
}

}  // namespace
