// A WAV loaded whole (not streamed) from inside a package, stored after other
// entries: its buffer holds exactly its samples, measured from where its entry
// starts, whatever its place in the package.

#include "audio/AudioFixture.h"
#include "audio/ZSoundData.h"
#include "foundation/ZPackageWriter.h"

namespace {

using atest::AudioTest;
using atest::MonoWav;
using atest::Samples16;
using atest::WavBytes;

TEST_F(AudioTest, AWholeWavAfterOtherEntriesOfAPackageKeepsAllItsSamples) {
    struct Case {
        const char* file;
        std::string wav;
        uint32_t bufferBytes;  // what the sound must hold
        int16_t value;
    };
    const Case cases[] = {
        {"m_plain.wav", MonoWav(3000, 2345), 6000, 2345},
        // The data chunk promises more than the entry holds: the buffer ends with
        // the entry, never in the entry after it.
        {"n_claims_more.wav",
         WavBytes::Riff().Fmt(1, 16, 44100).Id("data").U32(100000).Raw(Samples16(2000, -1500)).bytes, 4000, -1500},
    };
    ZPackageWriter writer;
    // Entries lie in name order: each WAV comes after at least one other entry.
    ASSERT_TRUE(writer.AddData("a_before.bin", Samples16(7000, 7777).data(), 14000));
    for (const Case& c : cases) ASSERT_TRUE(writer.AddData(c.file, c.wav.data(), c.wav.size()));
    ASSERT_TRUE(writer.AddData("z_after.bin", Samples16(7000, -7777).data(), 14000));
    ASSERT_TRUE(writer.Write(dir.File("Sounds.zpk").c_str()));
    ZStreamMgr::GetInstance()->AddPackageSource(dir.File("Sounds.zpk").c_str());
    Start();

    for (const Case& c : cases) {
        ZVoice* voice = audio->CreateSound(c.file, ZHashedString(c.file), ZHashedString::None(), false);
        ASSERT_NE(voice, nullptr) << c.file;
        EXPECT_EQ(voice->sound->bufferBytes, c.bufferBytes) << c.file;
        const size_t base = MixedFrames();
        const uint32_t frames = c.bufferBytes / 2;
        voice->Play(false);
        device->Advance(frames + 100);
        for (uint32_t i = 0; i < frames; i += 97) ASSERT_EQ(Out(base + i), c.value) << c.file << ", frame " << i;
        EXPECT_EQ(Out(base + frames - 1), c.value) << c.file << ": the last sample is there";
        EXPECT_EQ(Out(base + frames), 0) << c.file << ": nothing after the sound";
        audio->ReleaseSound(ZHashedString(c.file));
    }
}

}  // namespace
