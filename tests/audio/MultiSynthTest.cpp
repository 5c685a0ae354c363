// The MultiSynth on samples: pulse, triangle and noise channels at 44100 Hz
// (period, duty, level, the noise register), tunes layered by priority, the
// loop point and the end of a tune, the reverb on and off, and the whole
// voice streaming through the fake device.

#include <cmath>
#include <cstdint>
#include <set>
#include <vector>

#include "audio/AudioFixture.h"
#include "audio/ZMultiSynthVoice.h"
#include "audio/ZSoundData.h"

namespace {

using atest::AudioTest;

ZSynthEvent NoteOn(const float time, const uint8_t channel, const uint8_t note, const uint8_t velocity,
                   const bool alt = false) {
    ZSynthEvent e;
    e.time = time;
    e.channel = static_cast<uint8_t>(0x80 | (alt ? 0x40 : 0) | channel);
    e.note = static_cast<uint8_t>(0x80 | note);
    e.velocity = static_cast<uint8_t>(0x80 | velocity);
    return e;
}

ZSynthEvent Control(const float time, const uint8_t control) {
    ZSynthEvent e;
    e.time = time;
    e.channel = 0x80;
    e.control = control;
    return e;
}

ZMultiSynthPlayer PlayerOf(const std::vector<ZSynthEvent>& events) {
    ZMultiSynthPlayer player;
    for (const ZSynthEvent& e : events) {
        player.events.PushBack(e);
    }
    return player;
}

// One channel of a player stepped on its own, sample by sample.
std::vector<float> Steps(ZMultiSynthVoice& voice, ZMultiSynthPlayer& player, const int channel,
                         const size_t count) {
    std::vector<float> out;
    for (size_t i = 0; i < count; ++i) {
        ZSynthFrame frame;
        voice.StepPlayer(player, frame, 0);
        out.push_back(frame.channel[channel]);
    }
    return out;
}

// Upward crossings through zero in a second of samples: the frequency in Hz.
int RisingEdges(const std::vector<float>& s) {
    int edges = 0;
    for (size_t i = 1; i < s.size(); ++i) {
        edges += s[i - 1] < 0.0f && s[i] > 0.0f ? 1 : 0;
    }
    return edges;
}

class MultiSynthTest : public AudioTest {
protected:
    void SetUp() override {
        AudioTest::SetUp();
        audio->musicVolume = 0.5f;
        audio->soundVolume = 0.25f;
    }
};

TEST_F(MultiSynthTest, PulseChannelsHaveTheirPitchDutyAndLevel) {
    struct Case {
        uint8_t channel;
        uint8_t note;
        int32_t duty;
        int32_t volume;
        uint8_t velocity;
        int hertz;        // rising edges in one second
        double lowShare;  // part of each period at the low level
    };
    const Case cases[] = {
        {0, 69, 0, 15, 127, 440, 0.125}, {1, 57, 1, 15, 127, 220, 0.25}, {0, 81, 2, 10, 64, 880, 0.5},
        {1, 45, 3, 5, 100, 110, 0.75},   {0, 69, 9, 15, 127, 440, 0.5},  // an unknown duty is a square
    };
    ZMultiSynthVoice voice;
    for (const Case& c : cases) {
        ZMultiSynthPlayer player = PlayerOf({NoteOn(0.0f, c.channel, c.note, c.velocity)});
        player.duty[c.channel] = c.duty;
        player.channelVolume[c.channel] = c.volume;
        const std::vector<float> s = Steps(voice, player, c.channel, 44100);
        EXPECT_NEAR(RisingEdges(s), c.hertz, 1) << int(c.note);
        const float level = c.velocity / 127.0f * static_cast<float>(c.volume) / 15.0f * 0.15f * 0.8f;
        size_t low = 0;
        for (const float v : s) {
            ASSERT_TRUE(v == level || v == -level) << v;
            low += v < 0.0f ? 1 : 0;
        }
        EXPECT_NEAR(static_cast<double>(low) / s.size(), c.lowShare, 0.01) << "duty " << c.duty;
    }
}

TEST_F(MultiSynthTest, TheTriangleSteps16LevelsAndIgnoresItsVolume) {
    ZMultiSynthVoice voice;
    ZMultiSynthPlayer player = PlayerOf({NoteOn(0.0f, 2, 45, 127)});  // 110 Hz: about 400 samples a period
    player.channelVolume[2] = 3;
    const std::vector<float> s = Steps(voice, player, 2, 44100);
    std::set<float> levels(s.begin(), s.end());
    ASSERT_EQ(levels.size(), 16u);
    EXPECT_FLOAT_EQ(*levels.begin(), -0.46875f * 0.8f);
    EXPECT_FLOAT_EQ(*levels.rbegin(), 0.46875f * 0.8f);
    EXPECT_NEAR(RisingEdges(s), 110, 1);
    // Up and down again: no jump larger than one step.
    for (size_t i = 1; i < s.size(); ++i) {
        ASSERT_LE(std::fabs(s[i] - s[i - 1]), 0.0625f * 0.8f + 1e-6f) << i;
    }
}

TEST_F(MultiSynthTest, NoiseClocksAMaximalShiftRegisterAtTheDrumsRate) {
    ZMultiSynthVoice voice;
    // Seeded with 1, the register runs through every non-zero 15-bit value once.
    uint16_t reg = 1;
    std::set<uint16_t> seen;
    for (int i = 0; i < 32767; ++i) {
        reg = static_cast<uint16_t>((reg >> 1) | (((reg ^ (reg >> 1)) & 1) << 14));
        seen.insert(reg);
    }
    EXPECT_EQ(reg, 1);
    EXPECT_EQ(seen.size(), 32767u);

    struct Case {
        uint8_t note;
        bool alt;
        double clocks;  // register clocks in one second
        float gain;     // level before the 0.2 x 0.8 of the waveform
    };
    const Case cases[] = {
        {35, false, 1760, 0.5f},  {36, false, 1760, 0.5f},
        {38, false, 10560, 0.8f}, {40, false, 10560, 0.8f},
        {42, false, 28160, 1.0f}, {81, false, 28160, 1.0f},
        {34, false, 0, 0.0f},     {82, false, 0, 0.0f},
        {69, true, 440, 1.0f},  // the alternate flag clocks the noise at the note's pitch
    };
    for (const Case& c : cases) {
        voice.noiseRegister = 1;
        ZMultiSynthPlayer player = PlayerOf({NoteOn(0.0f, 3, c.note, 127, c.alt)});
        player.channelVolume[3] = 15;
        int clocks = 0;
        uint16_t before = voice.noiseRegister;
        std::set<float> values;
        for (int i = 0; i < 44100; ++i) {
            ZSynthFrame frame;
            voice.StepPlayer(player, frame, 0);
            clocks += voice.noiseRegister != before ? 1 : 0;
            before = voice.noiseRegister;
            values.insert(frame.channel[3]);
        }
        EXPECT_NEAR(clocks, c.clocks, 2) << int(c.note);
        const float level = c.gain * 0.2f * 0.8f;
        if (c.gain == 0.0f) {
            EXPECT_EQ(values, std::set<float>({0.0f})) << int(c.note) << " is outside the drums: silent";
        } else {
            EXPECT_EQ(values, std::set<float>({-level, level})) << int(c.note);
        }
    }
    // Volume scales the noise, and the register's bit 14 is the sign.
    voice.noiseRegister = 1;
    ZMultiSynthPlayer player = PlayerOf({NoteOn(0.0f, 3, 42, 127)});
    player.channelVolume[3] = 5;
    ZSynthFrame frame;
    voice.StepPlayer(player, frame, 0);
    EXPECT_EQ(voice.noiseRegister, 1) << "28160 Hz clocks a little less often than every sample";
    frame = ZSynthFrame{};
    voice.StepPlayer(player, frame, 0);
    EXPECT_EQ(voice.noiseRegister, 0x4000) << "the first clock shifts bit 0 XOR bit 1 in at bit 14";
    EXPECT_FLOAT_EQ(frame.channel[3], 5.0f / 15.0f * 0.2f * 0.8f);
}

TEST_F(MultiSynthTest, EventsBendSilenceAndUseTheVolumeClass) {
    ZMultiSynthVoice voice;
    ZSynthEvent bend = NoteOn(0.0f, 0, 69, 127);
    bend.bend = 0x80 | (64 + 32 * 1);  // +1 semitone
    ZMultiSynthPlayer player = PlayerOf({bend, NoteOn(1.0f, 0, 69, 0)});
    std::vector<float> s = Steps(voice, player, 0, 44100);
    EXPECT_NEAR(RisingEdges(s), 466, 1) << "A bent up a semitone is B flat";
    EXPECT_FLOAT_EQ(player.bend[0], 1.0f);
    s = Steps(voice, player, 0, 200);
    EXPECT_EQ(std::set<float>(s.begin() + 100, s.end()), std::set<float>({0.0f})) << "velocity 0 silences";

    for (const uint32_t cls : {0u, 1u, 2u}) {
        ZMultiSynthPlayer p = PlayerOf({NoteOn(0.0f, 0, 69, 127)});
        p.volumeClass = cls;
        voice.ReadSettings();
        const float expected = 0.15f * 0.8f * (cls == 0 ? 1.0f : cls == 1 ? 0.5f : 0.25f);
        const std::vector<float> one = Steps(voice, p, 0, 1);
        EXPECT_FLOAT_EQ(std::fabs(one[0]), expected) << "class " << cls;
    }

    // A channel byte naming no channel (built by hand; files drop them) touches nothing.
    ZSynthEvent stray = NoteOn(0.0f, 0x3C, 69, 127);
    stray.bend = 0xFF;
    ZMultiSynthPlayer p = PlayerOf({stray});
    const std::vector<float> quiet = Steps(voice, p, 0, 10);
    EXPECT_EQ(std::set<float>(quiet.begin(), quiet.end()), std::set<float>({0.0f}));
}

TEST_F(MultiSynthTest, LoopPointAndEnd) {
    ZMultiSynthVoice voice;
    struct Case {
        int32_t loopIndex;
        float timeAfterLoop;
        int32_t nextAfterLoop;
    };
    // Events: a note at 0, a note at 0.01, a loop at 0.02.
    const Case cases[] = {
        {1, 0.01f, 1},  // back to the second note
        {-1, 0.0f, 0},  // no loop index: from the start
        {7, 0.0f, 0},   // an index outside the list: from the start
        {-5, 0.0f, 0},
    };
    for (const Case& c : cases) {
        ZMultiSynthPlayer player =
            PlayerOf({NoteOn(0.0f, 0, 60, 127), NoteOn(0.01f, 0, 72, 127), Control(0.02f, 0x81)});
        player.loopIndex = c.loopIndex;
        bool looped = false;
        for (int i = 0; i < 2000 && !looped; ++i) {
            ZSynthFrame frame;
            const float before = player.time;
            voice.StepPlayer(player, frame, 0);
            looped = player.time < before;
        }
        ASSERT_TRUE(looped) << c.loopIndex;
        EXPECT_FLOAT_EQ(player.time, c.timeAfterLoop + ZMultiSynthVoice::kSampleTime) << c.loopIndex;
        EXPECT_EQ(player.nextEvent, c.nextAfterLoop) << c.loopIndex;
        EXPECT_FALSE(player.ended) << "a looping tune never ends by itself";
    }
    // The looped part sounds as it did the first time.
    ZMultiSynthPlayer player =
        PlayerOf({NoteOn(0.0f, 0, 60, 127), NoteOn(0.01f, 0, 72, 127), Control(0.02f, 0x81)});
    player.loopIndex = 1;
    const std::vector<float> s = Steps(voice, player, 0, 44100 / 50 * 3);
    EXPECT_NEAR(RisingEdges(std::vector<float>(s.begin() + 882, s.begin() + 1764)), 10, 1) << "C5 for 20 ms";

    ZMultiSynthPlayer ending = PlayerOf({NoteOn(0.0f, 0, 60, 127), Control(0.001f, 0x80)});
    Steps(voice, ending, 0, 100);
    EXPECT_TRUE(ending.ended);
}

TEST_F(MultiSynthTest, PlayTuneNamesAndPriorities) {
    ZMultiSynthVoice voice;
    ASSERT_EQ(voice.GetPlayers().Count(), 1u) << "the default player";
    EXPECT_TRUE(voice.IsTunePlaying(ZHashedString("none")));
    ZMultiSynthTune tune;
    tune.events.PushBack(NoteOn(0.0f, 0, 69, 127));
    const ZHashedString music("BGMusicTune");
    for (const int32_t priority : {120, 1, 80}) {
        tune.priority = priority;
        voice.PlayTune(tune, ZHashedString("none"), 2, false);  // "none" always adds
    }
    tune.priority = 1;
    voice.PlayTune(tune, music, 1, false);
    tune.priority = 50;
    voice.PlayTune(tune, music, 1, false);  // already playing: nothing
    const ZArray<ZMultiSynthPlayer>& players = voice.GetPlayers();
    ASSERT_EQ(players.Count(), 5u);
    for (uint32_t i = 1; i < players.Count(); ++i) {
        EXPECT_LE(players[i - 1].priority, players[i].priority);
    }
    ZArray<ZMultiSynthPlayer> copies;
    voice.GetPlayingTunes(copies);
    EXPECT_EQ(copies.Count(), 5u);
    voice.StopTune(music);
    EXPECT_FALSE(voice.IsTunePlaying(music));
    voice.StopAllTunes();
    ASSERT_EQ(voice.GetPlayers().Count(), 1u);
    EXPECT_EQ(voice.GetPlayers()[0].name, ZHashedString("none"));
}

// Two tunes on channel 0 rendered into the same frames.
TEST_F(MultiSynthTest, HigherTunesAddToExcludeOrReplaceLowerOnes) {
    Start();
    ZVoice* v = audio->CreateSound(nullptr, ZHashedString("MultiSynth"), ZHashedString::None(), true);
    ASSERT_NE(v, nullptr);
    auto* voice = static_cast<ZMultiSynthVoice*>(v);
    struct Case {
        bool exclusiveTune;
        bool exclusiveChannels;
        float expected;  // channel 0 once both play
    };
    const float low = 0.15f * 0.8f * (64.0f / 127.0f);
    const float high = 0.15f * 0.8f;
    const Case cases[] = {
        {false, false, low + high},  // both add up
        {true, false, high},         // the exclusive tune mutes the lower one's channel
        {false, true, high},         // exclusive channels: the higher one replaces it
    };
    for (const Case& c : cases) {
        audio->multiSynthExclusiveChannels = c.exclusiveChannels;
        voice->StopAllTunes();
        ZMultiSynthTune music;
        music.priority = 1;
        music.events.PushBack(NoteOn(0.0f, 0, 69, 64));
        music.duty[0] = 0;  // low for the first eighth
        ZMultiSynthTune effect;
        effect.priority = 100;
        effect.events.PushBack(NoteOn(0.0f, 0, 81, 127));
        effect.duty[0] = 0;
        voice->PlayTune(music, ZHashedString("BGMusicTune"), 0, false);
        voice->PlayTune(effect, ZHashedString("none"), 0, c.exclusiveTune);
        voice->FillFromStart(nullptr, 0);
        std::vector<ZSynthFrame> frames(64);
        // The players step into one shared set of frames, lowest first.
        voice->ReadSettings();
        ZArray<ZMultiSynthPlayer> players;
        voice->GetPlayingTunes(players);
        const uint8_t mute = c.exclusiveTune || c.exclusiveChannels ? players[2].channelMask : 0;
        for (ZSynthFrame& frame : frames) {
            voice->StepPlayer(players[1], frame, mute);
            voice->StepPlayer(players[2], frame, 0);
        }
        // Sample 20: both pulses are past their low eighth (12.5 and 6.3 samples).
        EXPECT_FLOAT_EQ(frames[20].channel[0], c.expected) << c.exclusiveTune << c.exclusiveChannels;
        if (c.exclusiveChannels) {
            EXPECT_EQ(frames[20].owner[0], 100);
            // A lower tune does not write over a frame a higher one owns.
            voice->StepPlayer(players[1], frames[20], 0);
            EXPECT_FLOAT_EQ(frames[20].channel[0], high);
        }
    }
    audio->multiSynthExclusiveChannels = false;
}

// Tunes render one after another from the lowest priority up, and all of them
// clock the one noise register. So a higher tune that only clocks the register
// (a pitched noise at velocity 0) leaves what the lower drum plays in the same
// span as it would be alone; rendered the other way round it would shift it.
TEST_F(MultiSynthTest, TunesRenderFromTheLowestUpThroughTheSharedNoiseRegister) {
    Start();
    std::vector<std::vector<int16_t>> heard;
    for (const bool withHigher : {false, true}) {
        ZVoice* v = audio->CreateSound(nullptr, ZHashedString("MultiSynth"), ZHashedString::None(), true);
        ASSERT_NE(v, nullptr);
        auto* voice = static_cast<ZMultiSynthVoice*>(v);
        voice->Play(true);
        Play(4410);
        ZMultiSynthTune drum;
        drum.priority = 1;
        drum.events.PushBack(NoteOn(0.0f, 3, 42, 127));
        voice->PlayTune(drum, ZHashedString("drum"), 0, false);
        if (withHigher) {
            ZMultiSynthTune clocking;
            clocking.priority = 100;
            clocking.events.PushBack(NoteOn(0.0f, 3, 120, 0, true));
            voice->PlayTune(clocking, ZHashedString("clock"), 0, false);
        }
        device->ClearMixed();
        Play(4410);
        const int16_t silence = ZMultiSynthVoice::ToSample(0.0f);
        size_t first = 0;
        while (first < MixedFrames() && (Out(first) == silence || Out(first) == 0)) {
            ++first;
        }
        ASSERT_LT(first + 400, MixedFrames());
        std::vector<int16_t> samples;
        for (size_t i = first; i < first + 400; ++i) {
            samples.push_back(Out(i));
        }
        heard.push_back(samples);
        audio->StopAllSounds();
        audio->ReleaseAllSounds();
        device->ClearMixed();
    }
    EXPECT_EQ(heard[0], heard[1]);
}

TEST_F(MultiSynthTest, ReverbWords) {
    ZMultiSynthVoice voice;
    struct Case {
        uint32_t longest, shortest, feedback, gain, damping;
        std::vector<uint32_t> lengths;
    };
    const auto word = [](const Case& c) {
        return c.longest << 20 | c.shortest << 12 | c.feedback << 8 | c.gain << 4 | c.damping;
    };
    const Case cases[] = {
        {200, 40, 15, 3, 5, {8820, 5450, 3368, 2081}},  // the game's default: 200, 123.6, 76.4, 47.2 ms
        {100, 100, 15, 3, 5, {4410}},
        {100, 101, 15, 3, 5, {}},  // the shortest above the longest
        {100, 10, 15, 0, 5, {}},   // no gain
        {0, 0, 15, 3, 5, {}},
    };
    for (const Case& c : cases) {
        voice.ApplyReverb(word(c));
        ASSERT_EQ(voice.GetReverbLineCount(), c.lengths.size()) << c.longest << "/" << c.shortest;
        for (uint32_t i = 0; i < c.lengths.size(); ++i) {
            EXPECT_NEAR(voice.GetReverbLine(i)->GetLength(), c.lengths[i], 1) << i;
        }
    }
    // A shortest delay of 0 ends where a line would hold less than a sample.
    for (const uint32_t longest : {1u, 2u, 1023u}) {
        voice.ApplyReverb(longest << 20 | 0 << 12 | 15 << 8 | 3 << 4 | 5);
        ASSERT_GE(voice.GetReverbLineCount(), 1u) << longest;
        EXPECT_LE(voice.GetReverbLineCount(), ZMultiSynthVoice::kMaxReverbLines);
        for (uint32_t i = 0; i < voice.GetReverbLineCount(); ++i) {
            EXPECT_GE(voice.GetReverbLine(i)->GetLength(), 1u);
        }
    }
    const uint32_t before = voice.GetReverbLineCount();
    voice.ApplyReverb(0x40000000u | 200u << 20);
    EXPECT_EQ(voice.GetReverbLineCount(), before) << "a word with its top bits set is ignored";
}

TEST_F(MultiSynthTest, SamplesFromMixedValues) {
    struct Case {
        float x;
        int16_t sample;
    };
    const Case cases[] = {{1.0f, 32767}, {-1.0f, -32768}, {0.0f, -1},
                          {3.0f, 32767}, {-3.0f, -32768}, {0.5f, 16383}};
    for (const Case& c : cases) {
        EXPECT_EQ(ZMultiSynthVoice::ToSample(c.x), c.sample) << c.x;
    }
}

// The voice as the game uses it: a pulse note heard through the fake device,
// and a short blip that rings on with the reverb and stops without it.
TEST_F(MultiSynthTest, TheVoiceStreamsTunesWithAndWithoutReverb) {
    Start();
    ZVoice* v = audio->CreateSound(nullptr, ZHashedString("MultiSynth"), ZHashedString::None(), true);
    ASSERT_NE(v, nullptr);
    auto* voice = static_cast<ZMultiSynthVoice*>(v);
    voice->Play(true);
    Play(4410);
    ZMultiSynthTune tune;
    tune.priority = 100;
    tune.events.PushBack(NoteOn(0.0f, 0, 69, 127));
    tune.events.PushBack(NoteOn(0.5f, 0, 69, 0));
    tune.events.PushBack(Control(0.5f, 0x80));
    voice->PlayTune(tune, ZHashedString("none"), 0, false);
    device->ClearMixed();
    Play(44100);
    const int16_t up = ZMultiSynthVoice::ToSample(0.12f);
    const int16_t down = ZMultiSynthVoice::ToSample(-0.12f);
    const int16_t silence = ZMultiSynthVoice::ToSample(0.0f);
    size_t first = 0;
    // Before the synthesizer renders, the buffer holds zeros; its own silence is -1.
    while (first < MixedFrames() && (Out(first) == silence || Out(first) == 0)) {
        ++first;
    }
    ASSERT_LT(first, 4410u) << "the tune starts within a refill";
    std::vector<float> wave;
    // Float time steps put the note's end within a sample or two of 0.5 s.
    for (size_t i = first; i < first + 22040; ++i) {
        ASSERT_TRUE(Out(i) == up || Out(i) == down) << "frame " << i << ": " << Out(i);
        wave.push_back(Out(i) == up ? 1.0f : -1.0f);
    }
    EXPECT_NEAR(RisingEdges(wave), 220, 1) << "440 Hz for half a second";
    for (size_t i = first + 22060; i < MixedFrames(); ++i) {
        ASSERT_EQ(Out(i), silence) << "frame " << i << ": the tune has ended";
    }
    Play(4410);
    EXPECT_EQ(voice->GetPlayers().Count(), 1u) << "the ended tune is gone; the default player stays";

    // A 10 ms blip with and without reverb.
    for (const bool reverb : {false, true}) {
        voice->SetReverb(reverb ? (200u << 20 | 40u << 12 | 15u << 8 | 8u << 4 | 5u) : 0u);
        Play(4410);
        ZMultiSynthTune blip;
        blip.priority = 100;
        blip.events.PushBack(NoteOn(0.0f, 0, 69, 127));
        blip.events.PushBack(NoteOn(0.01f, 0, 69, 0));
        voice->PlayTune(blip, ZHashedString("blip"), 0, false);
        device->ClearMixed();
        Play(44100);
        size_t start = 0;
        while (start < MixedFrames() && (Out(start) == silence || Out(start) == 0)) {
            ++start;
        }
        ASSERT_LT(start, 4410u);
        // After the blip and past the longest delay, 200 ms.
        int loud = 0;
        for (size_t i = start + 441 + 2; i < start + 441 + 8820 + 2000; ++i) {
            loud += Out(i) != silence ? 1 : 0;
        }
        if (reverb) {
            EXPECT_GT(loud, 1000) << "the blip echoes";
        } else {
            EXPECT_EQ(loud, 0) << "without reverb the blip stops dead";
        }
        voice->StopTune(ZHashedString("blip"));
    }
}

}  // namespace
