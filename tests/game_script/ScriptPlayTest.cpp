// Script verbs in the running game, run from the player as an event would
// run them, acting on the parts of the game they hand over to.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "entity/ZCommandRunner.h"
#include "framework/ZPlatformServices.h"
#include "framework_game/RunScenarios.h"
#include "game/player/Player.h"
#include "game/player/PlayerProgress.h"
#include "game/world/GameStatistics.h"
#include "game/world/KorvanthGame.h"
#include "game/world/SynthGameVoice.h"
#include "audio/ZMultiSynthVoice.h"
#include "game_rooms/RoomTestSupport.h"
#include "support/PlayHarness.h"

namespace {

const std::vector<std::string> kRoom = {"################################", "#.P............................#",
                                        "################################"};

class RecordingServices : public ZPlatformServices {
public:
    explicit RecordingServices(std::vector<std::string>* out) : m_out(out) {}
    void UnlockAchievement(ZHashedString id) override { m_out->emplace_back(id.GetText()); }

private:
    std::vector<std::string>* m_out;
};

// "checkach" evaluates the achievements with its word as the trigger: outside
// the game's own campaign the code's achievement waits for "AnyCampaign".
TEST(ScriptPlay, CheckachEvaluatesTheAchievementsWithItsTrigger) {
    gametest::RunInChild([] {
        std::vector<std::string> plain, triggered;
        std::string code;
        playtest::PlaySetup setup;
        setup.room = kRoom;
        setup.prepare = [&](Player& player) {
            const char* id = GetAchievementId(kAchSecretQuest2).GetText();
            ASSERT_NE(id, nullptr);
            code = id;
            SetEnteredCode(player, true);
            KorvanthGame::Get()->SetCampaign(roomtest::Markup("<Campaign ID='Mod'/>"));
            SetPlatformServices(std::make_unique<RecordingServices>(&plain));
            RunCommandText("checkach", player.GetHandle(), 0);
            SetPlatformServices(std::make_unique<RecordingServices>(&triggered));
            RunCommandText("checkach anycampaign", player.GetHandle(), 0);
        };
        const auto r = playtest::RunPlay(setup, "1 -\n");
        ASSERT_TRUE(r.started) << r.error;
        EXPECT_EQ(std::count(plain.begin(), plain.end(), code), 0);
        EXPECT_EQ(std::count(triggered.begin(), triggered.end(), code), 1);
    });
}

// "playsound" plays the campaign's tune on the game's synthesizer: a unique
// one does not start twice, a stomp plays in the music class and silences
// lower tunes, a plain one starts every time.
TEST(ScriptPlay, PlaysoundStartsCampaignTunesOnTheSynthesizer) {
    gametest::RunInChild([] {
        struct Tune {
            std::string name;
            int32_t priority;
            uint32_t volumeClass;
            bool exclusive;
            size_t events;
        };
        std::vector<Tune> tunes;
        bool haveSynth = false;
        playtest::PlaySetup setup;
        setup.room = kRoom;
        setup.prepare = [&](Player& player) {
            auto* voice = dynamic_cast<SynthGameVoice*>(KorvanthGame::Get()->GetVoice());
            haveSynth = voice != nullptr && voice->GetSynth() != nullptr;
            if (!haveSynth) return;
            ZMultiSynthVoice* synth = voice->GetSynth();
            synth->StopAllTunes();
            for (const char* text : {"playsound lever 80 unique", "playsound lever 80 UNIQUE", "playsound bell",
                                     "playsound bell", "playsound pop 90 stomp", "playsound NoSuchTune 5 unique"}) {
                RunCommandText(text, player.GetHandle(), 0);
            }
            ZArray<ZMultiSynthPlayer> players;
            synth->GetPlayingTunes(players);
            for (const ZMultiSynthPlayer& p : players) {
                // Names read back in the spelling first interned: compared in lower case.
                tunes.push_back({ZString(p.name.GetTextOrEmpty()).ToLower().GetText(), p.priority, p.volumeClass, p.exclusive, p.events.Count()});
            }
        };
        const auto r = playtest::RunPlay(setup, "1 -\n");
        ASSERT_TRUE(r.started) << r.error;
        ASSERT_TRUE(haveSynth);
        const auto count = [&](const std::string& name) {
            return std::count_if(tunes.begin(), tunes.end(), [&](const Tune& t) { return t.name == name; });
        };
        EXPECT_EQ(count("lever"), 1) << "a unique tune starts once";
        EXPECT_EQ(count("none"), 1 + 2 + 1) << "the silent default, the two bells and the stomp";
        int32_t stomps = 0;
        for (const Tune& t : tunes) {
            if (t.name == "lever") {
                EXPECT_EQ(t.priority, 80);
                EXPECT_EQ(t.volumeClass, 2u);
                EXPECT_FALSE(t.exclusive);
                EXPECT_GT(t.events, 0u) << "QXV_lever.zms was found";
            }
            if (t.exclusive) {
                ++stomps;
                EXPECT_EQ(t.priority, 90);
                EXPECT_EQ(t.volumeClass, 1u);
            }
        }
        EXPECT_EQ(stomps, 1);
        EXPECT_EQ(count("nosuchtune"), 0) << "a missing tune plays nothing";
        EXPECT_TRUE(std::any_of(r.log.begin(), r.log.end(), [](const std::string& line) {
            return line.find("there is no tune QXV_NoSuchTune.zms") != std::string::npos;
        }));
    });
}

}  // namespace
