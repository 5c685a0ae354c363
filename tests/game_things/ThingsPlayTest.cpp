// The game's things played as a player does, through the play harness in the
// Workshop (a room of the campaign with a character, a pickup and a door):
// a conversation whose choice changes a datum, the status screen opened and
// closed with the pad and the keyboard, a door entered at its prompt that
// leads to another map, a pickup that gives its ability, and the edge walk
// and splashes.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "entity/ZComponentLookup.h"
#include "entity/ZDataComponent.h"
#include "entity/ZDialogConsumerComponent.h"
#include "entity/ZDialogProviderComponent.h"
#include "entity/ZEntityGameHooks.h"
#include "entity/ZPhysicsComponent.h"
#include "entity/ZSpatialComponent.h"
#include "framework_game/RunScenarios.h"
#include "game/components/DoorComponent.h"
#include "game/player/Player.h"
#include "game/player/PlayerProgress.h"
#include "game/player/PlayerStatus.h"
#include "game/world/KorvanthGame.h"
#include "input/ZControlMgr.h"
#include "menu/ZMenuMgr.h"
#include "renderer/ZFont.h"
#include "support/PlayHarness.h"

using playtest::PlaySetup;
using playtest::RunPlay;

namespace {

bool Played(const playtest::PlayResult& r) {
    EXPECT_TRUE(r.error.empty()) << r.error;
    EXPECT_TRUE(r.started);
    EXPECT_EQ(r.framesWithoutOneStep, 0) << "one fixed step a frame";
    return r.error.empty() && r.started && !r.samples.empty();
}

// The Workshop, with the player standing on the tile column given.
PlaySetup Workshop(const int32_t tileX) {
    PlaySetup setup;
    setup.quickStart = PlaySetup::QuickStart();
    setup.quickStart->map = "Workshop";
    setup.quickStart->tileX = tileX;
    setup.quickStart->tileY = 24;
    return setup;
}

// What the player's dialog shows after a frame.
struct DialogFrame {
    bool open = false;
    bool ownScreen = false;  // the player says it to itself
    std::string text;
    int32_t selected = -1;
    int32_t topic = 0;  // the player's "ElderTopic"
    float lineSpacing = 0.0f;
    uint32_t menus = 0;
};

DialogFrame ReadDialog(Player& player) {
    DialogFrame f;
    const ZDialogConsumerComponent* const consumer = GetComponent<ZDialogConsumerComponent>(&player);
    const ZDialogProviderComponent* const provider = consumer != nullptr ? consumer->ResolveProvider() : nullptr;
    f.open = provider != nullptr;
    f.ownScreen = provider != nullptr && provider->GetOwner() == &player;
    f.text = consumer != nullptr ? consumer->text.GetText() : "";
    f.selected = consumer != nullptr ? consumer->selected : -1;
    ZDatumEntry topic;
    if (ZDataComponent* data = GetComponent<ZDataComponent>(&player);
        data != nullptr && data->GetDatum(ZHashedString("ElderTopic"), topic)) {
        f.topic = topic.value.intValue;
    }
    if (const ZFont* font = GetGameFont(ZHashedString("Dialog"))) f.lineSpacing = font->lineSpacing;
    if (const ZMenuMgr* menus = PeekMenuMgr()) f.menus = menus->GetOpenMenuCount();
    return f;
}

}  // namespace

TEST(ThingsPlay, AConversationsChoiceChangesADatum) {
    gametest::RunInChild([] {
        // Beside the elder, facing him.
        PlaySetup setup = Workshop(7);
        std::vector<DialogFrame> frames;
        setup.afterFrame = [&frames](Player& p, int32_t) { frames.push_back(ReadDialog(p)); };
        const auto r = RunPlay(setup,
                               "20 -\n"
                               "1 interact\n"  // frame 20: he starts talking
                               "70 -\n"        // the greeting types out
                               "1 up\n"        // frame 91: from "Nothing" to "This door?"
                               "1 -\n"
                               "1 return\n"    // frame 93: asked
                               "70 -\n"
                               "1 return\n"    // frame 164: the answer read, he is done
                               "10 -\n");
        ASSERT_TRUE(Played(r));
        ASSERT_EQ(frames.size(), 175u);
        EXPECT_FALSE(frames[19].open);
        ASSERT_TRUE(frames[20].open) << "the interact press opens his dialog";
        EXPECT_FALSE(frames[20].ownScreen);
        EXPECT_EQ(frames[90].text, "You found the workshop. What would you know?");
        EXPECT_EQ(frames[90].selected, 2) << "the default choice";
        EXPECT_EQ(frames[91].selected, 1) << "up moves the choice, it does not jump";
        EXPECT_EQ(frames[92].topic, 0);
        EXPECT_EQ(frames[93].topic, 2) << "the chosen answer's action set the datum";
        EXPECT_EQ(frames[93].text, "It leads back to where you started.");
        EXPECT_TRUE(frames[163].open);
        EXPECT_FALSE(frames[164].open) << "the last page read closes the dialog";
        EXPECT_EQ(frames.back().topic, 2);
        // The player stood still while they talked.
        for (size_t i = 20; i < 165; ++i) {
            EXPECT_NEAR(r.samples[i].position.x, r.samples[19].position.x, 1e-4f) << "frame " << i;
            EXPECT_NEAR(r.samples[i].position.y, r.samples[19].position.y, 1e-4f) << "frame " << i;
        }
    });
}

TEST(ThingsPlay, TheStatusScreenOpensAndClosesWithThePadAndTheKeyboard) {
    struct Case {
        const char* name;
        const char* open;
        const char* close;
    };
    const Case cases[] = {{"keyboard", "status", "escape"}, {"pad", "pad-back", "pad-b"}};
    for (const Case& c : cases) {
        // A pad starts the game afresh: each run in a process of its own.
        gametest::RunInChild([&c] {
            PlaySetup setup = Workshop(16);
            std::vector<DialogFrame> frames;
            setup.afterFrame = [&frames](Player& p, int32_t) { frames.push_back(ReadDialog(p)); };
            const auto r = RunPlay(setup, std::string("10 -\n1 ") + c.open + "\n20 -\n1 " + c.close + "\n10 -\n");
            ASSERT_TRUE(Played(r)) << c.name;
            ASSERT_EQ(frames.size(), 42u) << c.name;
            EXPECT_FALSE(frames[9].open) << c.name;
            ASSERT_TRUE(frames[10].open) << c.name;
            EXPECT_TRUE(frames[10].ownScreen) << c.name;
            EXPECT_EQ(frames[10].text.rfind("STATUS\n\nDeaths 0\nTime ", 0), 0u) << c.name << ": " << frames[10].text;
            EXPECT_FLOAT_EQ(frames[30].lineSpacing, 1.0f) << c.name;
            EXPECT_TRUE(frames[30].open) << c.name;
            EXPECT_FALSE(frames[31].open) << c.name << ": cancel closes it";
            EXPECT_FLOAT_EQ(frames[31].lineSpacing, 2.0f) << c.name;
            EXPECT_EQ(frames.back().menus, 0u) << c.name << ": the cancel press does not also pause";
        });
    }
}

TEST(ThingsPlay, ADoorShowsItsPromptAndLeadsToAnotherMap) {
    gametest::RunInChild([] {
        // At the door.
        PlaySetup setup = Workshop(25);
        struct Frame {
            uint32_t target = 0;
            bool prompted = false;
            std::string prompt;
            std::string binding;  // the name of the input bound to Enter
            std::string map;
        };
        std::vector<Frame> frames;
        setup.afterFrame = [&frames](Player& p, int32_t) {
            Frame f;
            if (DoorComponent* door = GetComponent<DoorComponent>(&p)) {
                float x = 0.0f;
                float y = 0.0f;
                f.target = door->GetTarget();
                f.prompted = door->GetPromptPosition(x, y);
                f.prompt = door->prompt.text.GetText();
            }
            bool pad = false;
            f.binding = GetControlMgr()->GetBindingDisplayText(pad, ZHashedString("Gameplay"), ZHashedString("Enter")).GetText();
            f.map = KorvanthGame::Get()->GetCurrentMapName().GetText();
            frames.push_back(f);
        };
        const auto r = RunPlay(setup, "20 -\n1 up\n10 -\n");
        ASSERT_TRUE(Played(r));
        ASSERT_EQ(frames.size(), 31u);
        EXPECT_NE(frames[19].target, 0u) << "the player stands at the door";
        EXPECT_TRUE(frames[19].prompted);
        EXPECT_FALSE(frames[19].prompt.empty()) << "the prompt names the Enter input";
        EXPECT_EQ(frames[19].prompt, frames[19].binding) << "the key's name as it is, without brackets";
        EXPECT_EQ(frames[19].map, "Workshop");
        EXPECT_EQ(frames[20].map, "Caverns") << "entering the door took the player to the caverns";
        // It arrives where the caverns' start stands.
        EXPECT_NEAR(r.samples[20].position.x, 40.0f, 1e-3f);
        EXPECT_FALSE(r.samples[20].dead);
    });
}

TEST(ThingsPlay, APickupGivesItsAbility) {
    gametest::RunInChild([] {
        PlaySetup setup = Workshop(12);
        std::vector<bool> held;
        setup.afterFrame = [&held](Player& p, int32_t) {
            held.push_back(HasPowerup(p, kPowerupDoubleJump, false));
        };
        // Walk through the boots, then jump twice.
        const auto r = RunPlay(setup, "20 -\n40 right\n1 jump\n12 -\n1 jump\n30 -\n");
        ASSERT_TRUE(Played(r));
        EXPECT_FALSE(held[19]);
        EXPECT_TRUE(held.back()) << "walking through the boots gave them";
        float lowest = r.samples[60].position.y;
        float highest = lowest;
        for (size_t i = 60; i < r.samples.size(); ++i) highest = std::min(highest, r.samples[i].position.y);
        EXPECT_LT(highest, lowest - 40.0f) << "the second jump carries the player higher than one could";
    });
}

TEST(ThingsPlay, APlayerAtAnEdgeWalksInAndWaterSplashes) {
    gametest::RunInChild([] {
        PlaySetup setup;
        setup.room = std::vector<std::string>(13, "#..............................#");
        setup.room.front() = "################################";
        setup.room.push_back("#...............P..............#");
        setup.room.push_back("################################");
        struct Case {
            float x;
            float direction;  // 0: no walk
        };
        std::vector<std::string> failures;
        uint32_t before = 0;
        setup.prepare = [&failures, &before](Player& p) {
            const Case cases[] = {{16.0f, 1.0f}, {17.0f, 0.0f}, {128.0f, 0.0f}, {239.0f, 0.0f}, {240.0f, -1.0f}};
            const ZVector3 home = p.spatial->current.position;
            for (const Case& c : cases) {
                p.forcedInput = ZVector3();
                p.forcedInputRemaining = -1.0f;
                p.spatial->current.position.x = c.x;
                StartEdgeWalk(p);
                const bool walks = p.forcedInputRemaining > 0.0f;
                if (walks != (c.direction != 0.0f) || p.forcedInput.x != c.direction) {
                    failures.push_back("x " + std::to_string(c.x));
                }
            }
            p.forcedInputRemaining = -1.0f;
            p.spatial->current.position = home;
            // Splashes land below the one who splashed: 2 pixels going in, 4 coming out.
            ZArray<ZEntity*>& list = ZBaseGame::PeekInstance()->GetEntityList();
            before = list.Count();
            SpawnSplash(p, true);
            SpawnSplash(p, false);
            if (list.Count() != before + 2) {
                failures.push_back("two splashes");
                return;
            }
            const ZSpatialComponent* const in = GetComponent<ZSpatialComponent>(list[before]);
            const ZSpatialComponent* const out = GetComponent<ZSpatialComponent>(list[before + 1]);
            if (in == nullptr || out == nullptr) {
                failures.push_back("splashes have a place");
                return;
            }
            if (in->current.position.y != home.y + 2.0f || out->current.position.y != home.y + 4.0f ||
                in->current.position.x != home.x) {
                failures.push_back("splash place");
            }
        };
        uint32_t left = 0;
        setup.afterFrame = [&left](Player&, int32_t) { left = ZBaseGame::PeekInstance()->GetEntityList().Count(); };
        const auto r = RunPlay(setup, "40 -\n");
        ASSERT_TRUE(Played(r));
        EXPECT_TRUE(failures.empty()) << failures.front();
        EXPECT_EQ(left, before) << "the splashes are gone after a moment";
    });
}
