// WAV files: the header reader over good, odd and broken files, samples that
// run to the end of a package entry, and the sound a broken file refuses.

#include <cstdio>

#include "audio/ZSoundData.h"
#include "audio/ZWavSound.h"
#include "audio/AudioFixture.h"
#include "foundation/ZPackageWriter.h"

namespace {

using atest::AudioTest;
using atest::MonoWav;
using atest::Samples16;
using atest::WavBytes;

struct HeaderResult {
    bool ok = false;
    ZWavHeader header;
    ZString problem;
    long position = -1;
};

HeaderResult ReadHeader(const std::string& bytes) {
    HeaderResult result;
    std::FILE* f = std::tmpfile();
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::rewind(f);
    result.ok = ZWavSound::ReadWavHeader(f, static_cast<int64_t>(bytes.size()), &result.header, &result.problem);
    result.position = std::ftell(f);
    std::fclose(f);
    return result;
}

TEST(WavHeader, ReadsGoodOddAndBrokenFiles) {
    const std::string samples = Samples16(4, 1000);
    struct Case {
        const char* what;
        std::string bytes;
        bool ok;
        uint16_t channels;
        uint16_t bits;
        uint32_t dataSize;
        long dataStart;
        const char* problem;
    };
    const Case cases[] = {
        {"plain 16-bit mono", WavBytes::Riff().Fmt(1, 16, 44100).Data(samples).bytes, true, 1, 16, 8, 44, ""},
        {"8-bit stereo", WavBytes::Riff().Fmt(2, 8, 22050).Data("abcd").bytes, true, 2, 8, 4, 44, ""},
        {"a LIST chunk before fmt and one before data",
         WavBytes::Riff().Id("LIST").U32(6).Raw("xxxxxx").Fmt(1, 16, 44100).Id("junk").U32(3).Raw("yyy").Raw(std::string(1, '\0'))
             .Data(samples).bytes,
         true, 1, 16, 8, 44 + 14 + 12, ""},
        {"an fmt chunk of 18 bytes", WavBytes::Riff().Fmt(1, 16, 44100, 18).Data(samples).bytes, true, 1, 16, 8, 46,
         ""},
        {"data that claims more than is there", WavBytes::Riff().Fmt(1, 16, 44100).Id("data").U32(1000000).bytes,
         true, 1, 16, 1000000, 44, ""},
        {"empty", "", false, 0, 0, 0, -1, "shorter than a RIFF header"},
        {"only RIFF", "RIFF", false, 0, 0, 0, -1, "shorter than a RIFF header"},
        {"no fmt chunk", WavBytes::Riff().Data(samples).bytes, false, 0, 0, 0, -1, "no \"fmt \" chunk"},
        {"a chunk size past the end", WavBytes::Riff().Id("LIST").U32(0xFFFFFFF0u).Fmt(1, 16, 44100).bytes, false,
         0, 0, 0, -1, "no \"fmt \" chunk"},
        {"fmt cut short", WavBytes::Riff().Id("fmt ").U32(16).U16(1).U16(1).bytes, false, 0, 0, 0, -1,
         "cut short"},
        {"fmt shorter than 16", WavBytes::Riff().Id("fmt ").U32(8).U16(1).U16(1).U32(44100).Data(samples).bytes,
         false, 0, 0, 0, -1, "cut short"},
        {"no data chunk", WavBytes::Riff().Fmt(1, 16, 44100).bytes, false, 0, 0, 0, -1, "no \"data\" chunk"},
        {"a data id without a size", WavBytes::Riff().Fmt(1, 16, 44100).Id("data").bytes, false, 0, 0, 0, -1,
         "no \"data\" chunk"},
        {"compressed", WavBytes::Riff().Id("fmt ").U32(16).U16(2).U16(1).U32(44100).U32(0).U16(2).U16(16)
                           .Data(samples).bytes,
         false, 0, 0, 0, -1, "unsupported format"},
        {"24-bit", WavBytes::Riff().Fmt(1, 24, 44100).Data(samples).bytes, false, 0, 0, 0, -1, "unsupported format"},
        {"six channels", WavBytes::Riff().Fmt(6, 16, 44100).Data(samples).bytes, false, 0, 0, 0, -1,
         "unsupported format"},
        {"rate 0", WavBytes::Riff().Fmt(1, 16, 0).Data(samples).bytes, false, 0, 0, 0, -1, "unsupported format"},
    };
    for (const Case& c : cases) {
        const HeaderResult r = ReadHeader(c.bytes);
        EXPECT_EQ(r.ok, c.ok) << c.what << ": " << r.problem.GetText();
        if (c.ok) {
            EXPECT_EQ(r.header.channels, c.channels) << c.what;
            EXPECT_EQ(r.header.bitsPerSample, c.bits) << c.what;
            EXPECT_EQ(r.header.dataSize, c.dataSize) << c.what;
            EXPECT_EQ(r.position, c.dataStart) << c.what << ": the file stands at the first sample";
        } else {
            EXPECT_NE(std::string(r.problem.GetText()).find(c.problem), std::string::npos)
                << c.what << ": " << r.problem.GetText();
        }
    }
}

TEST_F(AudioTest, ABrokenWavIsRefusedWithALogLine) {
    Start();
    struct Case {
        const char* file;
        std::string bytes;
    };
    const Case cases[] = {
        {"empty.wav", ""},
        {"text.wav", "this is not a sound file at all"},
        {"cut.wav", MonoWav(100, 5).substr(0, 30)},
        {"nodata.wav", WavBytes::Riff().Fmt(1, 16, 44100).bytes},
    };
    for (const Case& c : cases) {
        dir.Write(c.file, c.bytes);
        EXPECT_EQ(audio->CreateSound(c.file, ZHashedString(c.file), ZHashedString::None(), false), nullptr) << c.file;
        EXPECT_TRUE(LogHas(std::string("Sound \"") + c.file + "\": not a usable WAV file")) << c.file;
    }
    EXPECT_EQ(audio->GetSoundCount(), 0u);
}

TEST_F(AudioTest, ShortDataPlaysWhatIsThere) {
    Start();
    // The data chunk claims 1000 samples; 10 are there.
    dir.Write("short.wav", WavBytes::Riff().Fmt(1, 16, 44100).Id("data").U32(2000).Raw(Samples16(10, 700)).bytes);
    ZVoice* voice = audio->CreateSound("short.wav", ZHashedString("short"), ZHashedString::None(), false);
    ASSERT_NE(voice, nullptr);
    EXPECT_EQ(voice->sound->bufferBytes, 20u);
    voice->Play(false);
    device->Advance(20);
    EXPECT_EQ(Out(9), 700);
    EXPECT_EQ(Out(10), 0);
    EXPECT_TRUE(LogHas("the data chunk claims 2000 bytes, 20 are there"));
}

TEST_F(AudioTest, AWavInAPackageReadsToTheEndOfItsEntry) {
    // The streamed WAV's samples run to the end of the entry, never into the
    // next one.
    const std::string wav = MonoWav(30000, 1234);
    ZPackageWriter writer;
    ASSERT_TRUE(writer.AddData("a_before.bin", Samples16(5000, 7777).data(), 10000));
    ASSERT_TRUE(writer.AddData("loop.wav", wav.data(), wav.size()));
    ASSERT_TRUE(writer.AddData("z_after.bin", Samples16(5000, -7777).data(), 10000));
    ASSERT_TRUE(writer.Write(dir.File("Sounds.zpk").c_str()));
    ZStreamMgr::DestroyInstance();
    ZStreamMgr::GetInstance()->AddPackageSource(dir.File("Sounds.zpk").c_str());
    Start();
    ZVoice* voice = audio->CreateSound("loop.wav", ZHashedString("loop"), ZHashedString::None(), true);
    ASSERT_NE(voice, nullptr);
    EXPECT_EQ(voice->sound->bufferBytes, 44100u) << "a streamed buffer holds half a second";
    EXPECT_NE(voice->sound->dataOffset, 0u);
    voice->Play(true);
    audio->RunMusicThreadPass();
    Play(44100 * 2);
    for (size_t i = 0; i < MixedFrames(); ++i) {
        ASSERT_EQ(Out(i), 1234) << "frame " << i << " of a looping stream";
    }
}

}  // namespace
