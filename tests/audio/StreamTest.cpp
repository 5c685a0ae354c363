// Streamed sounds on the music thread's refill, driven pass by pass: WAV and
// Ogg Vorbis streams loop without a gap, pause and resume, stop and start
// over, play once and end; broken streams end the voice with a log line.

#include <vorbis/vorbisfile.h>

#include <cstdio>
#include <limits>
#include <vector>

#include "audio/ZBufferedVoice.h"
#include "audio/ZSoundData.h"
#include "audio/AudioFixture.h"
#include "foundation/ZPackageWriter.h"

namespace {

using atest::AudioTest;
using atest::MonoWav;
using atest::Samples16;
using atest::WavBytes;

const ZHashedString kNone = ZHashedString::None();

// Every sample of an Ogg file decoded by libvorbisfile on its own (channel 0).
std::vector<int16_t> Decode(const std::string& path, int* outChannels = nullptr) {
    std::vector<int16_t> samples;
    OggVorbis_File vf;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr || ov_open_callbacks(f, &vf, nullptr, 0, OV_CALLBACKS_DEFAULT) != 0) {
        ADD_FAILURE() << "cannot decode " << path;
        return samples;
    }
    const int channels = ov_info(&vf, -1)->channels;
    if (outChannels != nullptr) {
        *outChannels = channels;
    }
    std::vector<char> buffer(4096);
    int bitstream = 0;
    std::vector<int16_t> all;
    for (;;) {
        const long r = ov_read(&vf, buffer.data(), static_cast<int>(buffer.size()), 0, 2, 1, &bitstream);
        if (r <= 0) {
            break;
        }
        for (long i = 0; i + 1 < r; i += 2) {
            all.push_back(static_cast<int16_t>((buffer[i] & 0xFF) | (buffer[i + 1] << 8)));
        }
    }
    ov_clear(&vf);  // closes f
    for (size_t i = 0; i < all.size(); i += channels) {
        samples.push_back(all[i]);
    }
    return samples;
}

// A wave that says where it is: sample i holds i (mod 30000).
std::string Ramp(const size_t count) {
    std::string s;
    for (size_t i = 0; i < count; ++i) {
        const auto v = static_cast<int16_t>(i % 30000);
        s.push_back(static_cast<char>(v & 0xFF));
        s.push_back(static_cast<char>((v >> 8) & 0xFF));
    }
    return s;
}

TEST_F(AudioTest, AStreamedWavLoopsPausesResumesAndStartsOver) {
    Start();
    const size_t length = 30000;  // longer than the 22050-frame buffer
    dir.Write("ramp.wav", WavBytes::Riff().Fmt(1, 16, 44100).Data(Ramp(length)).bytes);
    ZVoice* voice = audio->CreateSound("ramp.wav", ZHashedString("ramp"), kNone, true);
    ASSERT_NE(voice, nullptr);
    voice->Play(true);
    audio->RunMusicThreadPass();
    Play(70000);
    for (size_t i = 0; i < 70000; ++i) {
        ASSERT_EQ(Out(i), static_cast<int16_t>(i % length)) << "frame " << i;
    }

    voice->Pause();
    audio->RunMusicThreadPass();
    Play(4410);
    EXPECT_EQ(Out(70000 + 4409), 0) << "paused";
    voice->Play(true);
    audio->RunMusicThreadPass();
    Play(4410);
    EXPECT_EQ(Out(70000 + 4410), static_cast<int16_t>(70000 % length)) << "resumes where it paused";

    voice->Stop();
    voice->Play(false);
    audio->RunMusicThreadPass();
    const size_t start = MixedFrames();
    Play(44100);
    for (size_t i = 0; i < length; ++i) {
        ASSERT_EQ(Out(start + i), static_cast<int16_t>(i)) << "starts over from the beginning, frame " << i;
    }
    for (size_t i = length; i < 44100; ++i) {
        ASSERT_EQ(Out(start + i), 0) << "plays once, frame " << i;
    }
    EXPECT_TRUE(static_cast<ZBufferedVoice*>(voice)->IsStopped());

    // After the end, with no Stop between: the played-out buffer is silent and
    // the stream does not start over; a Stop first makes it start over.
    voice->Play(false);
    audio->RunMusicThreadPass();
    const size_t silent = MixedFrames();
    Play(4410);
    for (size_t i = 0; i < 4410; ++i) {
        ASSERT_EQ(Out(silent + i), 0) << "no old samples again, frame " << i;
    }
    voice->Stop();
    voice->Play(false);
    audio->RunMusicThreadPass();
    const size_t again = MixedFrames();
    Play(4410);
    EXPECT_EQ(Out(again + 100), 100) << "a stopped stream starts over";
}

TEST_F(AudioTest, AStreamShorterThanItsBufferPlaysOnceAndAgain) {
    Start();
    dir.Write("blip.wav", WavBytes::Riff().Fmt(1, 16, 44100).Data(Ramp(3000)).bytes);
    ZVoice* voice = audio->CreateSound("blip.wav", ZHashedString("blip"), kNone, true);
    ASSERT_NE(voice, nullptr);
    for (int round = 0; round < 3; ++round) {
        if (round != 2) {  // the last round plays again without a Stop
            voice->Stop();
        }
        voice->Play(false);
        audio->RunMusicThreadPass();
        const size_t start = MixedFrames();
        Play(44100);
        size_t heard = 0;
        for (size_t i = 0; i < 44100; ++i) {
            heard += Out(start + i) != 0 ? 1 : 0;
        }
        EXPECT_EQ(heard, 2999u) << "round " << round << ": once, not looped (sample 0 is 0)";
        EXPECT_EQ(Out(start + 2999), 2999);
    }
    voice->Stop();  // rewinds, and stays silent
    audio->RunMusicThreadPass();
    const size_t start = MixedFrames();
    Play(44100);
    for (size_t i = 0; i < 44100; ++i) {
        ASSERT_EQ(Out(start + i), 0) << "after a stop, frame " << i;
    }
}

TEST_F(AudioTest, LoopingEmptyDataNeverSpins) {
    Start();
    dir.Write("empty.wav", WavBytes::Riff().Fmt(1, 16, 44100).Data("").bytes);
    ZVoice* voice = audio->CreateSound("empty.wav", ZHashedString("empty"), kNone, true);
    ASSERT_NE(voice, nullptr);
    voice->Play(true);
    audio->RunMusicThreadPass();
    Play(44100);  // returns: every fill of nothing ends
    EXPECT_EQ(Out(44099), 0);
}

TEST_F(AudioTest, AnOggTuneLoopsWithoutAGapInsideAPackage) {
    // 441 Hz over exactly one second: the tune is periodic, so any gap or
    // skipped or repeated sample at the loop point shows against the decoder's
    // own output read twice.
    Tool("tone " + dir.File("tone.ogg") + " --seconds 1 --hz 441 --channels 2");
    const std::vector<int16_t> once = Decode(dir.File("tone.ogg"));
    ASSERT_EQ(once.size(), 44100u);
    std::string bytes;
    {
        std::FILE* f = std::fopen(dir.File("tone.ogg").c_str(), "rb");
        char chunk[4096];
        size_t n = 0;
        while ((n = std::fread(chunk, 1, sizeof(chunk), f)) > 0) bytes.append(chunk, n);
        std::fclose(f);
    }
    // Neighbours that would decode as garbage, or stretch the stream, if the
    // decoder saw the whole package.
    ZPackageWriter writer;
    ASSERT_TRUE(writer.AddData("a.ogg", bytes.data(), bytes.size()));
    ASSERT_TRUE(writer.AddData("music\\tone.ogg", bytes.data(), bytes.size()));
    ASSERT_TRUE(writer.AddData("z.ogg", bytes.data(), bytes.size()));
    ASSERT_TRUE(writer.Write(dir.File("Music.zpk").c_str()));
    ZStreamMgr::DestroyInstance();
    ZStreamMgr::GetInstance()->AddPackageSource(dir.File("Music.zpk").c_str());
    Start();

    ZVoice* voice = audio->CreateSound("music\\tone.ogg", ZHashedString("tune"), kNone, true);
    ASSERT_NE(voice, nullptr);
    EXPECT_EQ(voice->sound->bufferBytes, 88200u) << "half a second of 16-bit stereo";
    EXPECT_EQ(voice->sound->format.channels, 2u);
    EXPECT_TRUE(LogHas("Bitstream is 2 channel, 44100Hz"));
    EXPECT_TRUE(LogHas("Decoded length: 44100 samples")) << "the entry's length, not the package's";
    voice->Play(true);
    audio->RunMusicThreadPass();
    Play(44100 * 3 + 1000, 3000);
    for (size_t i = 0; i < 44100 * 3 + 1000; ++i) {
        ASSERT_EQ(Out(i), once[i % once.size()]) << "frame " << i;
        ASSERT_EQ(Out(i, 1), once[i % once.size()]) << "frame " << i;
    }
}

TEST_F(AudioTest, APlayOnceOggEndsAndIsRewoundForTheNextPlay) {
    Tool("tone " + dir.File("short.ogg") + " --seconds 0.2 --hz 441");
    const std::vector<int16_t> once = Decode(dir.File("short.ogg"));
    ASSERT_EQ(once.size(), 8820u);
    Start();
    auto* voice = static_cast<ZBufferedVoice*>(audio->CreateSound("short.ogg", ZHashedString("short"), kNone, true));
    ASSERT_NE(voice, nullptr);
    for (int round = 0; round < 2; ++round) {
        voice->Play(false);
        audio->RunMusicThreadPass();
        const size_t start = MixedFrames();
        Play(44100);
        for (size_t i = 0; i < once.size(); ++i) {
            ASSERT_EQ(Out(start + i), once[i]) << "round " << round << " frame " << i;
        }
        for (size_t i = once.size(); i < 44100; ++i) {
            ASSERT_EQ(Out(start + i), 0) << "round " << round << " frame " << i;
        }
        EXPECT_TRUE(voice->IsStopped());
        EXPECT_FALSE(voice->finishing) << "rewound by the thread, ready to play again";
    }
}

TEST_F(AudioTest, BrokenOggFilesAreRefusedOrEndTheVoice) {
    Tool("tone " + dir.File("good.ogg") + " --seconds 2 --hz 441");
    std::string bytes;
    {
        std::FILE* f = std::fopen(dir.File("good.ogg").c_str(), "rb");
        char chunk[4096];
        size_t n = 0;
        while ((n = std::fread(chunk, 1, sizeof(chunk), f)) > 0) bytes.append(chunk, n);
        std::fclose(f);
    }
    dir.Write("garbage.ogg", std::string(5000, 'x'));
    dir.Write("header.ogg", bytes.substr(0, 40));
    dir.Write("cut.ogg", bytes.substr(0, bytes.size() / 2));
    std::string scrambled = bytes;
    for (size_t i = bytes.size() / 3; i < bytes.size() / 3 + 400; ++i) scrambled[i] = static_cast<char>(i * 7);
    dir.Write("scrambled.ogg", scrambled);
    Start();

    EXPECT_EQ(audio->CreateSound("garbage.ogg", ZHashedString("g"), kNone, true), nullptr);
    EXPECT_EQ(audio->CreateSound("header.ogg", ZHashedString("h"), kNone, true), nullptr);
    EXPECT_TRUE(LogHas("Sound \"garbage.ogg\": not an Ogg Vorbis stream"));
    EXPECT_TRUE(LogHas("Sound \"header.ogg\": not an Ogg Vorbis stream"));

    // Cut or damaged in the middle: what decodes plays, then the voice ends,
    // even when asked to loop.
    for (const char* file : {"cut.ogg", "scrambled.ogg"}) {
        auto* voice = static_cast<ZBufferedVoice*>(audio->CreateSound(file, ZHashedString(file), kNone, true));
        if (voice == nullptr) {
            EXPECT_TRUE(LogHas(std::string("Sound \"") + file + "\"")) << file;
            continue;
        }
        voice->Play(false);
        audio->RunMusicThreadPass();
        Play(44100 * 3);
        EXPECT_TRUE(voice->IsStopped()) << file;
        audio->ReleaseSound(ZHashedString(file));
        audio->RunMusicThreadPass();
    }
}

}  // namespace

namespace {

// Config.ini holds any float: the two stream settings are clamped where the
// voices and the music thread read them, so no value reaches a cast it does
// not fit (the sanitized build traps on one).
TEST_F(AudioTest, StreamSettingsOutOfRangeAreClampedWhereRead) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    struct Case {
        float part;
        float delay;
        float expectedPart;
        float expectedDelay;
    };
    const Case cases[] = {
        {0.25f, 0.05f, 0.25f, 0.05f}, {nan, nan, 0.0f, 0.0f},      {-3.0f, -1.0f, 0.0f, 0.0f},
        {1e30f, 1e30f, 1.0f, 10.0f},  {inf, inf, 1.0f, 10.0f},     {-inf, -inf, 0.0f, 0.0f},
    };
    Start();
    dir.Write("ramp.wav", WavBytes::Riff().Fmt(1, 16, 44100).Data(Samples16(30000, 7)).bytes);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.part);
        audio->streamUpdatePercent = c.part;
        audio->streamWriteDelay = c.delay;
        EXPECT_EQ(audio->GetStreamUpdatePart(), c.expectedPart);
        EXPECT_EQ(audio->GetStreamWriteDelay(), c.expectedDelay);
        ZVoice* stream = audio->CreateSound("ramp.wav", ZHashedString("ramp"), kNone, true);
        ZVoice* synth = audio->CreateSound(nullptr, ZHashedString("MultiSynth"), kNone, true);
        ZVoice* speaker = audio->CreateSound(nullptr, ZHashedString("PCSpeaker"), kNone, true);
        ASSERT_NE(stream, nullptr);
        ASSERT_NE(synth, nullptr);
        ASSERT_NE(speaker, nullptr);
        stream->Play(true);
        synth->Play(true);
        speaker->Play(true);
        Play(8820);
        EXPECT_GE(ZAudioMgr::MusicThreadSleepMs(0.5, audio->GetStreamUpdatePart(), 0.0), 0);
        audio->StopAllSounds();
        audio->ReleaseAllSounds();
    }
}

}  // namespace
