// The mixer works in blocks of frames; what it writes must be, sample for
// sample, what adding each buffer frame by frame gives. The reference below
// is that frame-by-frame sum, kept deliberately plain.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "foundation/ZRandom.h"
#include "platform/sound/fake/FakeSoundSystem.h"
#include "platform/sound/sound.h"

namespace ps = platform::sound;

namespace {

float Gain(const int32_t hundredthsOfDb) {
    return hundredthsOfDb <= ps::DSBVOLUME_MIN ? 0.0f
                                               : static_cast<float>(std::pow(10.0, hundredthsOfDb / 2000.0));
}

// One buffer as the reference sees it.
struct Reference {
    std::vector<uint8_t> bytes;
    int bits = 16;
    int channels = 1;
    uint32_t frequency = 44100;
    int32_t volume = 0;
    int32_t pan = 0;
    bool looping = false;
    bool playing = true;
    double position = 0.0;

    uint32_t Count() const { return static_cast<uint32_t>(bytes.size() / (bits / 8 * channels)); }

    void Read(const uint32_t frame, float& left, float& right) const {
        const size_t at = static_cast<size_t>(frame) * static_cast<size_t>(bits / 8 * channels);
        auto sample = [&](const size_t i) {
            if (bits == 8) {
                return (static_cast<float>(bytes[i]) - 128.0f) * (1.0f / 128.0f);
            }
            return static_cast<float>(static_cast<int16_t>(bytes[i] | (bytes[i + 1] << 8))) * (1.0f / 32768.0f);
        };
        left = sample(at);
        right = channels == 2 ? sample(at + static_cast<size_t>(bits / 8)) : left;
    }

    void Add(std::vector<float>& acc, const uint32_t frames, const uint32_t deviceRate) {
        if (!playing) {
            return;
        }
        const float gain = Gain(volume);
        const float gainL = pan > 0 ? gain * Gain(-pan) : gain;
        const float gainR = pan < 0 ? gain * Gain(pan) : gain;
        const double step = static_cast<double>(frequency) / deviceRate;
        const uint32_t count = Count();
        for (uint32_t i = 0; i < frames; ++i) {
            const auto index = static_cast<uint32_t>(position);
            const float frac = static_cast<float>(position - index);
            float l0 = 0.0f, r0 = 0.0f;
            Read(index, l0, r0);
            if (frac != 0.0f) {
                uint32_t next = index + 1 >= count ? 0 : index + 1;
                float l1 = 0.0f, r1 = 0.0f;
                if (next != 0 || looping) {
                    Read(next, l1, r1);
                }
                l0 += (l1 - l0) * frac;
                r0 += (r1 - r0) * frac;
            }
            acc[2 * i] += l0 * gainL;
            acc[2 * i + 1] += r0 * gainR;
            position += step;
            if (position >= count) {
                if (!looping) {
                    playing = false;
                    position = 0.0;
                    return;
                }
                position = std::fmod(position, static_cast<double>(count));
            }
        }
    }
};

struct Case {
    const char* name;
    int bits;
    int channels;
    uint32_t rate;       // the buffer's own
    uint32_t frames;     // in the buffer
    uint32_t startFrame;
    bool looping;
    uint32_t laterRate;  // set half-way through; 0 keeps the rate
};

}  // namespace

TEST(MixerBlocks, BlocksMixWhatFrameByFrameMixes) {
    const Case cases[] = {
        {"same rate, 16-bit mono, looping", 16, 1, 44100, 1000, 0, true, 0},
        {"same rate, 8-bit stereo, plays out", 8, 2, 44100, 700, 123, false, 0},
        {"half rate, 8-bit stereo, looping", 8, 2, 22050, 333, 5, true, 0},
        {"quarter rate, 16-bit stereo, plays out", 16, 2, 11025, 257, 0, false, 0},
        {"double rate, 16-bit mono, looping", 16, 1, 88200, 301, 17, true, 0},
        {"uneven rate, 8-bit mono, looping", 8, 1, 32000, 411, 0, true, 0},
        {"uneven rate above, 16-bit stereo, looping", 16, 2, 48000, 99, 3, true, 0},
        {"uneven rate, plays out", 16, 1, 30011, 1500, 900, false, 0},
        {"far above the device, looping", 8, 2, 200000, 45, 0, true, 0},
        {"far below the device, looping", 16, 1, 100, 3, 0, true, 0},
        {"one frame, looping", 16, 2, 22050, 1, 0, true, 0},
        {"two frames, half rate, plays out", 8, 1, 22050, 2, 0, false, 0},
        {"uneven rate then half rate", 16, 2, 32000, 500, 0, true, 22050},
        {"half rate then same rate", 8, 1, 22050, 800, 1, true, 44100},
    };
    // Pieces of the sizes a device asks for, and odd ones that split blocks.
    const uint32_t pieces[] = {1, 7, 256, 300, 1024, 5, 513, 2048, 64};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ps::FakeSoundSystem system;
        ASSERT_EQ(system.Open(), ps::DS_OK);
        ZRandom random;
        random.Seed(c.frames * 31u + c.rate);

        // Three voices of the case's format with their own volumes and pans,
        // so the sums are checked as well as each voice.
        std::vector<Reference> references(3);
        std::vector<ps::SoundBuffer*> buffers;
        for (size_t v = 0; v < references.size(); ++v) {
            Reference& r = references[v];
            r.bits = c.bits;
            r.channels = c.channels;
            r.frequency = c.rate;
            r.looping = c.looping;
            r.bytes.resize(static_cast<size_t>(c.frames) * static_cast<size_t>(c.bits / 8 * c.channels));
            for (uint8_t& b : r.bytes) {
                b = static_cast<uint8_t>(random.Next());
            }
            r.volume = -static_cast<int32_t>(v * 700);
            r.pan = static_cast<int32_t>(v) * 1500 - 1500;
            r.position = static_cast<double>(c.startFrame % c.frames);

            ps::WaveFormat f;
            f.channels = static_cast<uint16_t>(c.channels);
            f.bitsPerSample = static_cast<uint16_t>(c.bits);
            f.samplesPerSec = c.rate;
            f.blockAlign = static_cast<uint16_t>(c.channels * c.bits / 8);
            f.avgBytesPerSec = f.blockAlign * c.rate;
            ps::BufferDesc desc;
            desc.flags = ps::DSBCAPS_GLOBALFOCUS | ps::DSBCAPS_CTRLVOLUME | ps::DSBCAPS_CTRLPAN |
                         ps::DSBCAPS_CTRLFREQUENCY;
            desc.bufferBytes = static_cast<uint32_t>(r.bytes.size());
            desc.format = &f;
            ps::SoundBuffer* buffer = nullptr;
            ASSERT_EQ(system.CreateSoundBuffer(desc, &buffer), ps::DS_OK);
            void* p1 = nullptr;
            void* p2 = nullptr;
            uint32_t n1 = 0;
            uint32_t n2 = 0;
            ASSERT_EQ(buffer->Lock(0, 0, &p1, &n1, &p2, &n2, ps::DSBLOCK_ENTIREBUFFER), ps::DS_OK);
            std::memcpy(p1, r.bytes.data(), n1);
            buffer->Unlock(p1, n1, p2, n2);
            buffer->SetVolume(r.volume);
            buffer->SetPan(r.pan);
            buffer->SetCurrentPosition(static_cast<uint32_t>(r.position) * f.blockAlign);
            buffer->Play(c.looping ? ps::DSBPLAY_LOOPING : 0);
            buffers.push_back(buffer);
        }

        std::vector<int16_t> expected;
        for (size_t p = 0; p < std::size(pieces); ++p) {
            if (p == std::size(pieces) / 2 && c.laterRate != 0) {
                for (size_t v = 0; v < buffers.size(); ++v) {
                    ASSERT_EQ(buffers[v]->SetFrequency(c.laterRate), ps::DS_OK);
                    references[v].frequency = c.laterRate;
                }
            }
            const uint32_t frames = pieces[p];
            system.Advance(frames);
            std::vector<float> acc(static_cast<size_t>(frames) * 2, 0.0f);
            for (Reference& r : references) {
                r.Add(acc, frames, system.GetDeviceRate());
            }
            for (const float a : acc) {
                const float scaled = a * 1.0f * 32768.0f;
                expected.push_back(static_cast<int16_t>(std::lrint(std::clamp(scaled, -32768.0f, 32767.0f))));
            }
        }
        const std::vector<int16_t>& mixed = system.GetMixed();
        ASSERT_EQ(mixed.size(), expected.size());
        size_t differences = 0;
        size_t first = 0;
        for (size_t i = 0; i < mixed.size(); ++i) {
            if (mixed[i] != expected[i] && differences++ == 0) {
                first = i;
            }
        }
        EXPECT_EQ(differences, 0u) << "first at sample " << first << ": " << mixed[first] << " for "
                                   << expected[first];
        for (ps::SoundBuffer* buffer : buffers) {
            buffer->Release();
        }
    }
}
