// Tune files: the reader keeps what a whole file says and refuses what a
// broken one does not hold; the tune tool writes files the synthesizer reads
// back and prints them as sources that build the same bytes; the game's
// tunes load and play.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "audio/AudioFixture.h"
#include "audio/ZMultiSynthPlayer.h"
#include "audio/ZMultiSynthTune.h"
#include "audio/ZMultiSynthVoice.h"

namespace {

using atest::AudioTest;
using atest::WavBytes;

// A tune file's bytes, field by field.
std::string TuneBytes(const int32_t major, const int32_t minor, const std::vector<uint8_t>& flags,
                      const std::vector<std::vector<uint8_t>>& events, const int32_t loop = -1) {
    WavBytes b;
    b.U32(0xDEADBEEF).U32(static_cast<uint32_t>(major)).U32(static_cast<uint32_t>(minor));
    const bool v11 = ZMultiSynthTune::HasV11Fields(major, minor);
    for (int c = 0; c < 4; ++c) {
        b.U32(static_cast<uint32_t>(10 + c)).U32(static_cast<uint32_t>(c));
        if (v11) {
            b.bytes.push_back(static_cast<char>(flags[static_cast<size_t>(c)]));
        }
    }
    b.U32(static_cast<uint32_t>(events.size()));
    for (const std::vector<uint8_t>& e : events) {
        const float time = 0.25f;
        b.bytes.append(reinterpret_cast<const char*>(&time), 4);
        for (size_t i = 0; i < 8; ++i) {
            b.bytes.push_back(static_cast<char>(i < e.size() ? e[i] : 0));
        }
    }
    if (v11) {
        b.U32(static_cast<uint32_t>(loop));
    }
    return b.bytes;
}

bool ReadBytes(ZMultiSynthTune& tune, const std::string& bytes, ZString* problem = nullptr) {
    ZString ignored;
    return tune.Read(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), false,
                     problem != nullptr ? problem : &ignored);
}

TEST(TuneFile, VersionsMasksAndChannelBytes) {
    const std::vector<std::vector<uint8_t>> events = {
        {0x80, 0xC5, 0xE4}, {0x88, 0xAA, 0xFF}, {0x89}, {0xC3}, {0x85}, {0x00}, {0x83, 0, 0, 0, 0x80},
    };
    struct Case {
        int32_t major, minor;
        uint8_t expectedMask;
        int32_t expectedLoop;
    };
    const Case cases[] = {
        {1, 0, 0x01, -1},  // 1.0 keeps the caller's mask and has no loop index
        {1, 1, 0x0D, 3},   // flags 1, 0, 1, 1
        {2, 0, 0x0D, 3},
        {0, 9, 0x01, -1},
    };
    for (const Case& c : cases) {
        ZMultiSynthTune tune;
        tune.channelMask = 0x01;
        ASSERT_TRUE(ReadBytes(tune, TuneBytes(c.major, c.minor, {1, 0, 1, 1}, events, 3)))
            << c.major << c.minor;
        EXPECT_EQ(tune.channelMask, c.expectedMask);
        EXPECT_EQ(tune.loopIndex, c.expectedLoop);
        EXPECT_EQ(tune.channelVolume[2], 12);
        EXPECT_EQ(tune.duty[3], 3);
        // 0x88 -> 0xC3, 0x89 -> 0x83; every other byte, 0x85 and 0x00 too, stays.
        const uint8_t expected[] = {0x80, 0xC3, 0x83, 0xC3, 0x85, 0x00, 0x83};
        ASSERT_EQ(tune.events.Count(), 7u) << "every event is kept";
        EXPECT_EQ(tune.strayEvents, 0u) << "the events on no channel carry no note";
        for (uint32_t i = 0; i < 7; ++i) {
            EXPECT_EQ(tune.events[i].channel, expected[i]) << i;
            EXPECT_FLOAT_EQ(tune.events[i].time, 0.25f);
        }
        EXPECT_EQ(tune.events[0].note, 0xC5);
        EXPECT_EQ(tune.events[6].control, 0x80);
    }
    // Read raw (as the tool prints), every byte stays.
    ZMultiSynthTune raw;
    const std::string bytes = TuneBytes(1, 1, {1, 1, 1, 1}, events);
    ASSERT_TRUE(raw.Read(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), true, nullptr));
    ASSERT_EQ(raw.events.Count(), events.size());
    EXPECT_EQ(raw.events[1].channel, 0x88);
    EXPECT_EQ(raw.Write(), std::vector<uint8_t>(bytes.begin(), bytes.end())) << "written back byte for byte";
}

// An event whose channel byte names no channel is kept: its end or loop
// counts as on any channel, and the loop index is the file's own.
TEST(TuneFile, EventsOnNoChannelStillEndOrLoopTheTune) {
    struct Case {
        const char* name;
        std::vector<std::vector<uint8_t>> events;  // all at 0.25 s
        int32_t loop;
        bool ends;
    };
    const Case cases[] = {
        {"an end on channel byte 0x00 after a note", {{0x80, 0xC5, 0xE4}, {0x00, 0, 0, 0, 0x80}}, -1, true},
        {"a loop on channel byte 0x00", {{0x80, 0xC5, 0xE4}, {0x00, 0, 0, 0, 0x81}}, -1, false},
        {"a loop on channel byte 0x85 back to the file's index",
         {{0x07}, {0x80, 0xC5, 0xE4}, {0x85, 0, 0, 0, 0x81}},
         1,
         false},
    };
    ZMultiSynthVoice voice;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ZMultiSynthTune tune;
        ASSERT_TRUE(ReadBytes(tune, TuneBytes(1, 1, {1, 1, 1, 1}, c.events, c.loop)));
        ASSERT_EQ(tune.events.Count(), c.events.size());
        EXPECT_EQ(tune.loopIndex, c.loop);
        ZMultiSynthPlayer player;
        player.events = tune.events;
        player.loopIndex = tune.loopIndex;
        bool sounded = false;
        for (int i = 0; i < 44100 / 2 && !player.ended; ++i) {
            ZSynthFrame frame;
            voice.StepPlayer(player, frame, 0);
            sounded = sounded || frame.channel[0] != 0.0f;
        }
        EXPECT_TRUE(sounded) << "the note on channel 0 plays";
        EXPECT_EQ(player.ended, c.ends);
        if (!c.ends) {
            EXPECT_EQ(player.nextEvent, std::max(c.loop, 0)) << "at the loop target, not past the last event";
        }
    }
}

// Enabled bytes other than 0 and 1 make the mask as they stand (flag0 |
// flag1 << 1 | flag2 << 2 | flag3 << 3), and a raw read writes every byte
// back; an edited mask is written as one bit per channel.
TEST(TuneFile, EnabledBytesSurviveARawRead) {
    const std::string bytes = TuneBytes(1, 1, {2, 0, 0xFF, 0x81}, {{0x80, 0xC5, 0xE4}});
    ZMultiSynthTune tune;
    ASSERT_TRUE(ReadBytes(tune, bytes));
    EXPECT_EQ(tune.channelMask, 0xFE);
    ZMultiSynthTune plain;
    ASSERT_TRUE(ReadBytes(plain, TuneBytes(1, 1, {0, 1, 1, 0}, {})));
    EXPECT_EQ(plain.channelMask, 0x06);
    ZMultiSynthTune raw;
    ASSERT_TRUE(raw.Read(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), true, nullptr));
    EXPECT_EQ(raw.Write(), std::vector<uint8_t>(bytes.begin(), bytes.end()));
    raw.channelMask = 0x0B;  // channels 0, 1 and 3
    const std::vector<uint8_t> edited = raw.Write();
    const size_t firstFlag = 12 + 8;
    const uint8_t expected[] = {1, 1, 0, 1};
    for (size_t c = 0; c < 4; ++c) {
        EXPECT_EQ(edited[firstFlag + 9 * c], expected[c]) << c;
    }
    ZMultiSynthTune back;
    ASSERT_TRUE(back.Read(edited.data(), edited.size(), true, nullptr));
    EXPECT_EQ(back.channelMask, 0x0B);

    const char* const findings[] = {"zms_file-raw-roundtrip-small.zms", "zms_file-raw-roundtrip.zms"};
    for (const char* name : findings) {
        std::ifstream in(std::string(KORV_SOURCE_DIR "/fuzz/corpus/zms_file/") + name, std::ios::binary);
        ASSERT_TRUE(in) << name;
        const std::string file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        ZMultiSynthTune found;
        if (found.Read(reinterpret_cast<const uint8_t*>(file.data()), file.size(), true, nullptr)) {
            const std::vector<uint8_t> written = found.Write();
            ASSERT_LE(written.size(), file.size()) << name;
            EXPECT_EQ(std::memcmp(written.data(), file.data(), written.size()), 0) << name;
        }
    }
}

TEST(TuneFile, BrokenFilesLeaveTheTuneEmpty) {
    const std::string whole = TuneBytes(1, 1, {1, 1, 1, 1}, {{0x80, 0xC5, 0xE4}, {0x81, 0xC5, 0xE4}});
    // Every cut of a whole file is refused, with a reason.
    for (size_t n = 0; n < whole.size(); ++n) {
        ZMultiSynthTune tune;
        ZString problem;
        EXPECT_FALSE(ReadBytes(tune, whole.substr(0, n), &problem)) << n;
        EXPECT_EQ(tune.events.Count(), 0u) << n;
        EXPECT_FALSE(problem.IsEmpty()) << n;
    }
    // An event count far beyond the bytes is refused before anything is made.
    std::string huge = TuneBytes(1, 0, {}, {});
    huge.replace(12 + 32, 4, std::string("\xFF\xFF\xFF\xFF", 4));
    ZMultiSynthTune tune;
    ZString problem;
    EXPECT_FALSE(ReadBytes(tune, huge, &problem));
    EXPECT_NE(std::string(problem.GetText()).find("event count"), std::string::npos) << problem.GetText();
    EXPECT_FALSE(tune.Read(nullptr, 100, false, &problem));
}

TEST_F(AudioTest, TunesThatCannotBeUsedAreSilentAndLogged) {
    dir.Write("short.zms", "ZMS\x01");
    dir.Write("stray.zms", TuneBytes(1, 1, {1, 1, 1, 1}, {{0x80, 0xC5, 0xE4}, {0x90, 0xC5, 0xE4}}));
    struct Case {
        const char* file;
        uint32_t events;
        const char* logged;
    };
    const Case cases[] = {
        {"missing.zms", 0, "Tune \"missing.zms\": the file cannot be read; the tune is silent"},
        {"short.zms", 0, "Tune \"short.zms\": the file ends inside its version; the tune is silent"},
        {"stray.zms", 2,
         "Tune \"stray.zms\": 1 events set a note or bend on no channel 0 to 3; those parts are silent"},
    };
    for (const Case& c : cases) {
        const ZMultiSynthTune tune(c.file, 7, 0x03);
        EXPECT_EQ(tune.events.Count(), c.events) << c.file;
        EXPECT_EQ(tune.priority, 7);
        EXPECT_TRUE(LogHas(c.logged)) << c.logged;
    }
}

class TuneToolTest : public AudioTest {
protected:
    int Zmstune(const std::string& arguments) const {
        return std::system(
            (std::string(KORV_TOOLS_DIR) + "/zmstune " + arguments + " 2>" + dir.File("errors.txt")).c_str());
    }
    std::string Errors() const {
        std::ifstream in(dir.File("errors.txt"));
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    std::string FileBytes(const std::string& name) const {
        std::ifstream in(dir.File(name), std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
};

TEST_F(TuneToolTest, TheToolWritesATuneTheSynthesizerPlays) {
    dir.Write("song.zmt",
              "# a test song\n"
              "tempo 120\n"
              "channel 0 volume 15 duty 2\n"
              "channel 1 off\n"
              "channel 2 volume 9\n"
              "define two a4/8 a4/8\n"
              "0: p50 @two*2 c#5/4. # a comment after notes\n"
              "2: l2 a2 p100 a2\n"
              "loop\n"
              "0: r/4 ^32 a4/4\n"
              "3: v127 hat/4 alt a5/4\n");
    ASSERT_EQ(Zmstune("build " + dir.File("song.zmt") + " " + dir.File("song.zms")), 0) << Errors();
    ZMultiSynthTune tune("song.zms", 100, 0x01);
    EXPECT_EQ(tune.priority, 100);
    EXPECT_EQ(tune.channelMask, 0x0D);
    EXPECT_EQ(tune.channelVolume[2], 9);
    ASSERT_GE(tune.loopIndex, 0);
    EXPECT_EQ(tune.strayEvents, 0u);
    EXPECT_FLOAT_EQ(tune.events[static_cast<uint32_t>(tune.loopIndex)].time, 2.0f)
        << "the loop point after 2 s";
    EXPECT_EQ(tune.events[static_cast<uint32_t>(tune.loopIndex)].note, 0) << "the loop jumps to its mark";
    const ZSynthEvent& last = tune.events[tune.events.Count() - 1];
    EXPECT_EQ(last.control, 0x81) << "a looping tune ends on a loop event";
    EXPECT_FLOAT_EQ(last.time, 3.0f);
    // Every note starts and is released: starts at 0, .25, .5, .75 on channel 0, and c#5 (73).
    std::vector<float> starts;
    bool bent = false;
    bool altNoise = false;
    for (const ZSynthEvent& e : tune.events) {
        if (e.channel == 0x80 && (e.note & 0x80) && e.velocity > 0x80) {
            starts.push_back(e.time);
            bent = bent || e.bend == (0x80 | 96);
        }
        altNoise = altNoise || (e.channel == 0xC3 && e.note == (0x80 | 81));
    }
    EXPECT_EQ(starts, std::vector<float>({0.0f, 0.25f, 0.5f, 0.75f, 1.0f, 2.5f}));
    EXPECT_TRUE(bent);
    EXPECT_TRUE(altNoise);

    // Played on the synthesizer: A4 at 440 Hz for half of each eighth.
    ZMultiSynthVoice voice;
    voice.PlayTune(tune, ZHashedString("song"), 0, false);
    ZArray<ZMultiSynthPlayer> players;
    voice.GetPlayingTunes(players);
    ZMultiSynthPlayer& player = players[1];
    int edges = 0;
    int sounding = 0;
    float previous = 0.0f;
    for (int i = 0; i < 11025; ++i) {
        ZSynthFrame frame;
        voice.StepPlayer(player, frame, 0);
        edges += previous < 0.0f && frame.channel[0] > 0.0f ? 1 : 0;
        sounding += frame.channel[0] != 0.0f ? 1 : 0;
        previous = frame.channel[0] != 0.0f ? frame.channel[0] : previous;
    }
    EXPECT_NEAR(sounding, 5512, 4) << "p50: half of the quarter second sounds";
    EXPECT_NEAR(edges, 55, 2);

    // Printed and built again: the same bytes.
    ASSERT_EQ(std::system((std::string(KORV_TOOLS_DIR) + "/zmstune print " + dir.File("song.zms") + " > " +
                           dir.File("printed.zmt"))
                              .c_str()),
              0);
    ASSERT_EQ(Zmstune("build " + dir.File("printed.zmt") + " " + dir.File("again.zms")), 0) << Errors();
    EXPECT_EQ(FileBytes("again.zms"), FileBytes("song.zms"));
    EXPECT_NE(FileBytes("printed.zmt").find("event 0.25 0x80 0xC5 0xE4"), std::string::npos);
}

TEST_F(TuneToolTest, BrokenSourcesNameTheirLineAndWriteNothing) {
    struct Case {
        const char* source;
        const char* error;
    };
    const Case cases[] = {
        {"0: c4 h4\n", "song.zmt:1: \"h4\" is no note"},
        {"tempo 0\n", "song.zmt:1:"},
        {"\nchannel 7 volume 3\n", "song.zmt:2:"},
        {"channel 0 loud\n", "song.zmt:1: channel takes"},
        {"0: @nothing\n", "no phrase named \"nothing\""},
        {"define a @a\n0: @a\n", "too deeply"},
        {"0: c4/0\n", "song.zmt:1:"},
        {"0: v300 c4\n", "song.zmt:1:"},
        {"event 0 0x80\n", "event takes"},
        {"event 0 0x80 1 2 3 4\n0: c4\n", "do not mix"},
        {"0: c4\nloop\n", "nothing would repeat"},
        {"version 1.0\n0: c4\nloop\n0: d4\n", "only loop from its start"},
        {"tune party\n", "unknown line"},
    };
    for (const Case& c : cases) {
        dir.Write("song.zmt", c.source);
        std::remove(dir.File("song.zms").c_str());
        EXPECT_EQ(Zmstune("build " + dir.File("song.zmt") + " " + dir.File("song.zms")), 1 << 8) << c.source;
        EXPECT_NE(Errors().find(c.error), std::string::npos) << c.source << " gave: " << Errors();
        EXPECT_FALSE(std::ifstream(dir.File("song.zms")).good()) << c.source;
    }
    dir.Write("broken.zms", "ZMS\x01");
    EXPECT_EQ(Zmstune("print " + dir.File("broken.zms")), 1 << 8);
    EXPECT_NE(Errors().find("ends inside its version"), std::string::npos) << Errors();
}

TEST_F(AudioTest, TheGameTunesLoadAndPlay) {
    const std::string package = std::string(KORV_DATA_BUILD_DIR) + "/KorvanthHeavy.zpk";
    ZStreamMgr::DestroyInstance();
    ZStreamMgr::GetInstance()->AddPackageSource(package.c_str());
    struct Case {
        const char* file;
        bool loops;
        float minimumSeconds;
    };
    const Case cases[] = {
        {"title.zms", true, 10.0f},      {"explore.zms", true, 10.0f}, {"dungeon.zms", true, 10.0f},
        {"jingle.zms", false, 0.5f},     {"jump.zms", false, 0.05f},   {"death.zms", false, 0.5f},
        {"footsteps.zms", false, 0.01f}, {"splash.zms", false, 0.1f},
    };
    ZMultiSynthVoice voice;
    for (const Case& c : cases) {
        const ZMultiSynthTune tune(c.file, 100, 0x01);
        ASSERT_GT(tune.events.Count(), 1u) << c.file;
        EXPECT_EQ(tune.strayEvents, 0u) << c.file;
        const ZSynthEvent& last = tune.events[tune.events.Count() - 1];
        EXPECT_EQ(last.control, c.loops ? 0x81 : 0x80) << c.file;
        EXPECT_GE(last.time, c.minimumSeconds) << c.file;
        for (uint32_t i = 1; i < tune.events.Count(); ++i) {
            ASSERT_LE(tune.events[i - 1].time, tune.events[i].time) << c.file << " event " << i;
        }
        // Something is heard, and nothing clips.
        voice.StopAllTunes();
        voice.PlayTune(tune, ZHashedString(c.file), 0, false);
        ZArray<ZMultiSynthPlayer> players;
        voice.GetPlayingTunes(players);
        float loudest = 0.0f;
        for (int i = 0; i < 44100 * 2 && !players[1].ended; ++i) {
            ZSynthFrame frame;
            voice.StepPlayer(players[1], frame, 0);
            loudest = std::max(loudest, std::fabs(frame.channel[0] + frame.channel[1] + frame.channel[2] +
                                                  frame.channel[3]));
        }
        EXPECT_GT(loudest, 0.02f) << c.file;
        EXPECT_LT(loudest, 1.0f) << c.file;
    }
}

}  // namespace
