// Script verbs in the running game, run from the player as an event would
// run them, acting on the parts of the game they hand over to.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "entity/ZCommandRunner.h"
#include "entity/ZComponentLookup.h"
#include "entity/ZNameComponent.h"
#include "entity/ZSpatialComponent.h"
#include "entity/ZEntityState.h"
#include "framework/ZPlatformServices.h"
#include "framework_game/RunScenarios.h"
#include "game/player/Player.h"
#include "game/player/PlayerProgress.h"
#include "game/progression/MinimapComponent.h"
#include "game/progression/SpeedrunComponent.h"
#include "game/world/KorvEntity.h"
#include "game/world/GameStatistics.h"
#include "game/world/KorvanthGame.h"
#include "game/world/SynthGameVoice.h"
#include "audio/ZMultiSynthVoice.h"
#include "game_rooms/RoomTestSupport.h"
#include "support/PlayHarness.h"

namespace {

const std::vector<std::string> kRoom = {"################################", "#.P............................#",
                                        "################################"};

// An entity of a definition written here, kept in the game's own list (it
// stays when the room loads again).
KorvEntity* Listed(const char* markup, const float x, const float y) {
    auto* entity = new KorvEntity();
    entity->CreateComponentsFromNode(roomtest::Markup(markup));
    ZSpatialComponent* spatial = AddComponent<ZSpatialComponent>(entity);
    spatial->current.position = ZVector3(x, y, 0.0f);
    spatial->ResetInterpolation();
    KorvanthGame::Get()->GetEntityList().PushBack(entity);
    return entity;
}

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

// A teleport without wipe moves the player at once to the last entity of
// the arrival name, keeping its motion; the checkpoint goes with it, and a
// course run's ghost notes the place before and after the jump.
TEST(ScriptPlay, TeleportMovesThePlayerAtOnceKeepingItsMotion) {
    gametest::RunInChild([] {
        // A room of the "Gallery" course: the player on the floor left of the
        // spikes. A quick start leaves the clock for the course's own start,
        // so it is started here, as that start would.
        playtest::PlaySetup setup;
        setup.quickStart = playtest::PlaySetup::QuickStartAt("Speedrun Maps", 15, 3, 4, 24);
        KorvEntity* pad = nullptr;
        setup.prepare = [&](Player& player) {
            GetComponent<SpeedrunComponent>(&player)->SetCourseState(true, true, ZHashedString("Gallery"));
            pad = Listed("<E><Teleport Name='Up' MapX='15' MapY='3' Entity='Spot' Save='true'/></E>", 100.0f, 112.0f);
            // Two spots of the name, both in the air.
            Listed("<E><Name Name='Spot'/></E>", 60.0f, 40.0f);
            Listed("<E><Name Name='Spot'/></E>", 200.0f, 48.0f);
        };
        ZVector3 before, velocityBefore, after, velocityAfter;
        std::vector<GhostFrame> recording;
        size_t framesBefore = 0;
        ZVector2 checkpoint;
        setup.afterFrame = [&](Player& player, const int32_t frame) {
            if (frame != 19) return;
            before = player.spatial->current.position;
            velocityBefore = player.spatial->current.velocity;
            framesBefore = GetComponent<SpeedrunComponent>(&player)->GetRecording().size();
            RunCommandText("teleport Player Up", pad->GetHandle(), 0);
            after = player.spatial->current.position;
            velocityAfter = player.spatial->current.velocity;
            recording = GetComponent<SpeedrunComponent>(&player)->GetRecording();
            GetCheckpointPosition(player, checkpoint, false);
        };
        // Walking right (not yet to the spikes), then standing.
        const auto r = playtest::RunPlay(setup, "20 right\n10 -\n");
        ASSERT_TRUE(r.started) << r.error;
        ASSERT_GT(velocityBefore.x, 10.0f) << "walking when it left";
        ASSERT_GT(recording.back().time, 0.0f) << "the clock ran";
        EXPECT_EQ(after, ZVector3(200.0f, 48.0f, 0.0f)) << "at the last spot of the name";
        EXPECT_EQ(velocityAfter.x, velocityBefore.x) << "the walk goes on";
        EXPECT_EQ(checkpoint.x, 200.0f);
        EXPECT_EQ(checkpoint.y, 48.0f);
        // One frame before the jump; then the arrival marks its place (the
        // settling onto the floor does) and the teleport once more after it.
        ASSERT_EQ(recording.size(), framesBefore + 3) << "one frame before the jump, two at the arrival";
        const GhostFrame& beforeJump = recording[framesBefore];
        EXPECT_NEAR(beforeJump.x, before.x, 0.01f) << "the ghost jumps, it does not glide across";
        EXPECT_NEAR(beforeJump.y, before.y, 0.01f);
        for (size_t i = framesBefore + 1; i < recording.size(); ++i) {
            EXPECT_EQ(recording[i].x, 200.0f) << "frame " << i;
            EXPECT_EQ(recording[i].y, 48.0f) << "frame " << i;
            EXPECT_EQ(recording[i].time, beforeJump.time) << "frame " << i;
        }
    });
}

// "mapfixprep" keeps where its runner stands on the named object's minimap;
// "touchmap" then discovers the room under that place, as a helper that
// stands for a room does.
TEST(ScriptPlay, TouchmapDiscoversTheRoomAtThePreparedPlace) {
    gametest::RunInChild([] {
        playtest::PlaySetup setup;
        setup.quickStart = playtest::PlaySetup::QuickStartAt("Sunken", 1, 0, 4, 24);
        bool before = true;
        bool after = false;
        ZHashedString minimapName;
        setup.afterFrame = [&](Player& player, const int32_t frame) {
            if (frame != 4) return;
            MinimapComponent* const minimap = GetComponent<MinimapComponent>(&player);
            ASSERT_NE(minimap, nullptr);
            minimapName = minimap->GetCurrentMinimap();
            const auto discovered = [&] {
                const auto& maps = minimap->GetDiscovered();
                const auto map = maps.find(minimapName);
                if (map == maps.end()) return false;
                const auto column = map->second.find(1);
                return column != map->second.end() && column->second.count(0) != 0;
            };
            // Nothing discovered, on the same minimap.
            minimap->ClearDiscovered();
            minimap->SetCurrentMap(minimapName);
            KorvEntity* const helper = Listed("<E/>", 120.0f, 100.0f);
            RunCommandText("mapfixprep Player", helper->GetHandle(), 0);
            before = discovered();
            RunCommandText("touchmap Player", helper->GetHandle(), 0);
            after = discovered();
        };
        const auto r = playtest::RunPlay(setup, "10 -\n");
        ASSERT_TRUE(r.started) << r.error;
        EXPECT_FALSE(minimapName.IsNone()) << "the halls have a minimap";
        EXPECT_FALSE(before) << "emptied, and preparing discovers nothing";
        EXPECT_TRUE(after) << "the room (1, 0) is discovered again";
    });
}

}  // namespace
