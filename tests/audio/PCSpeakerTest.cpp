// The PC-speaker voice: play strings parsed into notes, and the square wave
// they render on samples, with priorities, loops and broken lists.

#include <cmath>
#include <cstdint>
#include <vector>

#include "audio/AudioFixture.h"
#include "audio/ZPCSpeakerVoice.h"

namespace {

using atest::AudioTest;

constexpr int16_t kHigh = 8191;  // +0.25
constexpr int16_t kLow = -8193;  // -0.25

TEST(PlayString, NotesLengthsAndOctaves) {
    struct Note {
        int32_t note;
        float duration;
        float sounding;
    };
    struct Case {
        const char* text;
        std::vector<Note> notes;
    };
    const Case cases[] = {
        {"C", {{48, 0.5f, 1.0f}}},
        {"L C", {{48, 0.5f, 1.0f}}},  // no command: skipped
        {"A", {{57, 0.5f, 1.0f}}},
        {"A5", {{69, 0.5f, 1.0f}}},
        {">A", {{69, 0.5f, 1.0f}}},
        {"A5 C", {{69, 0.5f, 1.0f}, {60, 0.5f, 1.0f}}},  // the octave is kept
        {"C#.", {{49, 0.75f, 1.0f}}},
        {"Bb", {{58, 0.5f, 1.0f}}},
        {"8C 2R", {{48, 0.25f, 1.0f}, {-1, 1.0f, 1.0f}}},
        {"T60 C", {{48, 1.0f, 1.0f}}},
        {"P50 C D", {{48, 0.5f, 0.5f}, {50, 0.5f, 0.5f}}},
        {"P250 C", {{48, 0.5f, 1.0f}}},
        {"O0 << C", {{0, 0.5f, 1.0f}}},  // below octave 0
        {"O9 >> B", {{107, 0.5f, 1.0f}}},
        {"O C T P", {{48, 0.5f, 1.0f}}},                    // letters without a number change nothing
        {"0C T0 D", {{48, 0.5f, 1.0f}, {50, 0.5f, 1.0f}}},  // a length or tempo of 0 is ignored
        {"99999999999999999999C", {{48, 240.0f / 120.0f / 1000000.0f, 1.0f}}},
        {" \t\r\n\v\fR", {{-1, 0.5f, 1.0f}}},
        {"", {}},
        {"xyz!", {}},
    };
    for (const Case& c : cases) {
        const ZArray<ZPCSpeakerNote> notes = ZPCSpeakerVoice::ParsePlayString(c.text);
        ASSERT_EQ(notes.Count(), c.notes.size()) << c.text;
        for (uint32_t i = 0; i < notes.Count(); ++i) {
            EXPECT_EQ(notes[i].note, c.notes[i].note) << c.text << " #" << i;
            EXPECT_FLOAT_EQ(notes[i].duration, c.notes[i].duration) << c.text << " #" << i;
            EXPECT_FLOAT_EQ(notes[i].sounding, c.notes[i].sounding) << c.text << " #" << i;
        }
    }
}

class PCSpeakerTest : public AudioTest {
protected:
    // A voice with a scratch of a whole buffer, rendered by hand.
    void SetUp() override {
        AudioTest::SetUp();
        voice.PrepareScratch(kBytes);
    }
    // Renders the whole scratch for every player, as one refill would.
    void RenderAll(const uint32_t writeStart = 0) {
        for (ZPCSpeakerPlayer& p : voice.GetPlayers()) {
            voice.RenderPlayer(p, writeStart, kBytes - 2, kBytes - 2 + writeStart);
        }
    }
    static constexpr uint32_t kBytes = 88200;  // a second
    ZPCSpeakerVoice voice;
};

TEST_F(PCSpeakerTest, TheSquareWaveOnSamples) {
    voice.StopAllNotes();
    voice.PlayNotes(ZPCSpeakerVoice::ParsePlayString("T60 P50 A R A5"), false, 10);
    RenderAll();
    const std::vector<int16_t>& s = voice.GetScratch();
    // A (440 Hz) for half of its second, silent for the other half.
    int edges = 0;
    for (size_t i = 0; i < 44099; ++i) {
        // Float time steps end the sounding part within a few samples of 0.5 s.
        const bool sounding = i < 22040;
        if (sounding) {
            ASSERT_TRUE(s[i] == kHigh || s[i] == kLow) << i << ": " << s[i];
            edges += i > 0 && s[i - 1] == kLow && s[i] == kHigh ? 1 : 0;
        } else if (i > 22052) {
            ASSERT_EQ(s[i], 0) << i;
        }
    }
    EXPECT_NEAR(edges, 220, 1);
    const ZPCSpeakerPlayer& player = voice.GetPlayers()[1];
    EXPECT_EQ(player.noteIndex, 0);
    EXPECT_NEAR(player.timeInNote, 44099.0f / 44100.0f, 1e-3f);
}

TEST_F(PCSpeakerTest, TheHighestPriorityIsHeardWhereListsOverlap) {
    voice.StopAllNotes();
    voice.PlayNotes(ZPCSpeakerVoice::ParsePlayString("T240 O3 A"), false, 5);  // 220 Hz, 0.25 s
    voice.PlayNotes(ZPCSpeakerVoice::ParsePlayString("T120 O5 A"), false, 9);  // 880 Hz, 0.5 s
    voice.PlayNotes(ZPCSpeakerVoice::ParsePlayString("T60 O4 A"), true, 1);    // 440 Hz, looping
    ASSERT_EQ(voice.GetPlayers()[3].priority, 9);
    RenderAll();
    const std::vector<int16_t>& s = voice.GetScratch();
    const auto edgesIn = [&](const size_t from, const size_t to) {
        int edges = 0;
        for (size_t i = from + 1; i < to; ++i) {
            edges += s[i - 1] == kLow && s[i] == kHigh ? 1 : 0;
        }
        return edges;
    };
    EXPECT_NEAR(edgesIn(0, 22000), 440, 1) << "880 Hz covers the others for half a second";
    EXPECT_NEAR(edgesIn(22100, 44000), 218, 1) << "then the 440 Hz loop (the 220 Hz list ended at 0.25 s)";
}

TEST_F(PCSpeakerTest, ALowerListWaitsBehindWhatAHigherOneRenderedAhead) {
    voice.StopAllNotes();
    voice.PlayNotes(ZPCSpeakerVoice::ParsePlayString("T60 O5 A"), false, 9);
    ZArray<ZPCSpeakerPlayer>& players = voice.GetPlayers();
    // The high list renders 0.1 s ahead from byte 0.
    voice.RenderPlayer(players[1], 0, 8820, 80000);
    voice.PlayNotes(ZPCSpeakerVoice::ParsePlayString("T60 O3 A"), false, 5);
    ASSERT_EQ(voice.GetPlayers()[1].priority, 5);
    EXPECT_EQ(voice.GetPlayers()[1].holdUntil, 8820);
    const std::vector<int16_t> before = voice.GetScratch();
    voice.RenderPlayer(players[1], 0, 17640, 80000);
    const std::vector<int16_t>& s = voice.GetScratch();
    for (size_t i = 0; i < 4410; ++i) {
        ASSERT_EQ(s[i], before[i]) << "the higher list's samples stand: " << i;
    }
    EXPECT_NE(std::vector<int16_t>(s.begin() + 4410, s.begin() + 8820),
              std::vector<int16_t>(before.begin() + 4410, before.begin() + 8820))
        << "past the hold point the lower list writes";
    EXPECT_EQ(voice.GetPlayers()[1].holdUntil, -1);

    // A hold point between the play cursor and the write start lies behind
    // the new list: it would hold for a lap, so it is dropped.
    voice.PlayNotes(ZPCSpeakerVoice::ParsePlayString("T60 O4 A"), false, 7);
    ZPCSpeakerPlayer& late = players[2];
    ASSERT_EQ(late.priority, 7);
    ASSERT_GE(late.holdUntil, 0);
    voice.RenderPlayer(late, 10000, 8820, 5000);
    EXPECT_EQ(late.holdUntil, -1);
    EXPECT_EQ(voice.GetScratch()[5000], kLow) << "it writes from its first sample";
}

TEST_F(PCSpeakerTest, BrokenListsEndAndNothingReadsOutside) {
    // An empty list is refused; notes of no length end the player; notes
    // out of range are rests.
    voice.StopAllNotes();
    voice.PlayNotes(ZArray<ZPCSpeakerNote>(), true, 3);
    EXPECT_EQ(voice.GetPlayers().Count(), 1u);
    EXPECT_TRUE(LogHas("has nothing to play"));
    ZArray<ZPCSpeakerNote> zero;
    zero.PushBack(ZPCSpeakerNote{57, 0.0f, 1.0f});
    zero.PushBack(ZPCSpeakerNote{60, -1.0f, 1.0f});
    voice.PlayNotes(zero, true, 4);
    ZArray<ZPCSpeakerNote> odd;
    odd.PushBack(ZPCSpeakerNote{500, 0.1f, 1.0f});
    odd.PushBack(ZPCSpeakerNote{-7, 0.1f, 1.0f});
    voice.PlayNotes(odd, true, 6);
    // Notes far shorter than a sample, looping: rendered in one lap a sample.
    voice.PlayNotes(ZPCSpeakerVoice::ParsePlayString("T999999999 999999999C D"), true, 2);
    RenderAll();
    EXPECT_FALSE(voice.GetPlayers()[1].ended);
    EXPECT_TRUE(voice.GetPlayers()[2].ended) << "a list of notes without length ends";
    EXPECT_FALSE(voice.GetPlayers()[3].ended) << "a looping list never ends";
    for (const int16_t v : voice.GetScratch()) {
        ASSERT_EQ(v, 0);
    }
}

// The voice as the game uses it: a list through the fake device, removed
// at the refill after its last note.
TEST_F(AudioTest, PCSpeakerVoiceStreamsAndDropsEndedLists) {
    Start();
    ZVoice* v = audio->CreateSound(nullptr, ZHashedString("PCSpeaker"), ZHashedString::None(), true);
    ASSERT_NE(v, nullptr);
    auto* speaker = static_cast<ZPCSpeakerVoice*>(v);
    speaker->Play(true);
    Play(4410);
    speaker->PlayNotes(ZPCSpeakerVoice::ParsePlayString("T240 A"), false, 10);  // 0.25 s of 440 Hz
    device->ClearMixed();
    Play(22050);
    size_t first = 0;
    while (first < MixedFrames() && Out(first) == 0) {
        ++first;
    }
    ASSERT_LT(first, 4410u);
    int edges = 0;
    for (size_t i = first; i < first + 11000; ++i) {
        ASSERT_TRUE(Out(i) == kHigh || Out(i) == kLow) << i;
        edges += i > first && Out(i - 1) == kLow && Out(i) == kHigh ? 1 : 0;
    }
    EXPECT_NEAR(edges, 110, 1);
    for (size_t i = first + 11030; i < MixedFrames(); ++i) {
        ASSERT_EQ(Out(i), 0) << i;
    }
    EXPECT_EQ(speaker->GetPlayers().Count(), 1u) << "the ended list is gone; the default rest stays";
}

}  // namespace
