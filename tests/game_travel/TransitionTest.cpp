// Room and door transitions, the room's music and its minimap, on the
// campaign's own maps (Caverns: rooms (0..2, 0) form one area, (0..2, 1)
// another).

#include <cmath>
#include <string>

#include "entity/ZCameraComponent.h"
#include "entity/ZNameComponent.h"
#include "entity/ZSpatialComponent.h"
#include "game/components/TeleportComponent.h"
#include "game/player/PlayerCamera.h"
#include "game/player/PlayerMusic.h"
#include "game/player/PlayerProgress.h"
#include "game/player/PlayerRoomExit.h"
#include "game/progression/SpeedrunComponent.h"
#include "game/world/DoorTransition.h"
#include "game/world/RoomTransition.h"
#include "game/world/TileLayerMesh.h"
#include "game/world/WorldEntity.h"
#include "renderer/ZEffectParameter.h"
#include "menu/ZCinematicMgr.h"
#include "renderer/ZCamera.h"
#include "tests/game_travel/TravelFixture.h"

namespace traveltest {
namespace {

// Counts the map loads (each one drops the world layers' meshes first).
class CountingDisplay : public NullGameDisplay {
public:
    explicit CountingDisplay(int* loads) : m_loads(loads) {}
    void ReleaseWorldLayers(KorvanthGame&) override { ++*m_loads; }

private:
    int* m_loads;
};

class TransitionTest : public TravelTest {
protected:
    void SetUp() override {
        TravelTest::SetUp();
        game->SetDisplay(std::make_unique<CountingDisplay>(&mapLoads));
        camera = std::make_unique<ZCamera>(90.0f, 1.0f, 0.1f, 100.0f);
        camera->SetPosition(ZVector3(128.0f, 112.0f, -17.0f));
        player->camera->camera = camera.get();
        player->inPlay = true;
        ASSERT_TRUE(game->OpenCampaignFile("Korvanth.kdd"));
        ASSERT_EQ(game->GetCurrentMapName(), "Caverns");
        mapLoads = 0;
    }
    void TearDown() override {
        DestroyCinematicMgr();
        player->camera->camera = nullptr;
        TravelTest::TearDown();
    }
    void EnterRoom(const int32_t x, const int32_t y) {
        game->GetMapData().currentRoomX = x;
        game->GetMapData().currentRoomY = y;
        game->LoadRoom();
        game->LoadEntityInstances(false);
    }
    void Move(const ZVector3& from, const ZVector3& to) {
        player->spatial->previous.position = from;
        player->spatial->current.position = to;
    }

    int mapLoads = 0;
    std::unique_ptr<ZCamera> camera;
};

TEST_F(TransitionTest, AScrollOfOneScreenTakesItsWidthOrHeightTimesTheSpeed) {
    game->m_transitionSpeed = 1.0f;
    const struct {
        const char* what;
        ZVector3 start;  // the camera, seen from the new room
        int32_t screensX;
        int32_t screensY;
        float secondLeg;
    } cases[] = {
        {"to the right, on the screen grid", ZVector3(-128.0f, 112.0f, -17.0f), 1, 0, 256.0f * 0.0048828125f},
        {"upwards, on the screen grid", ZVector3(128.0f, 336.0f, -17.0f), 0, -1, 224.0f * 0.0048828125f},
    };
    EnterRoom(0, 1);  // an area one room high: the camera settles at the room's middle in y
    for (const auto& c : cases) {
        player->spatial->current.position = ZVector3(128.0f, 112.0f, 0.0f);
        player->spatial->ResetInterpolation();
        RoomTransition pan(1, c.start, c.screensX, c.screensY);
        EXPECT_NEAR(pan.GetFirstLeg(), 0.0f, 1e-5f) << c.what;
        EXPECT_NEAR(pan.GetSecondLeg(), c.secondLeg, 1e-4f) << c.what;
        EXPECT_NEAR(pan.duration, c.secondLeg, 1e-4f) << c.what;
        EXPECT_NEAR(pan.CameraAt(pan.duration * 0.5f).x, (c.start.x + pan.GetEnd().x) * 0.5f, 0.01f) << c.what;
    }
    RoomTransition cut(0, cases[0].start, 1, 0);
    EXPECT_EQ(cut.duration, 0.0f) << "kind 0 cuts";
    RoomTransition unknown(7, cases[0].start, 1, 0);
    EXPECT_EQ(unknown.duration, 0.0f) << "an unknown kind cuts rather than never ending";
}

TEST_F(TransitionTest, ACameraOffTheGridFirstLinesUpAcrossTheTravel) {
    game->m_transitionSpeed = 2.0f;
    EnterRoom(0, 1);
    player->spatial->current.position = ZVector3(128.0f, 112.0f, 0.0f);
    player->spatial->ResetInterpolation();
    RoomTransition pan(1, ZVector3(-128.0f, 140.0f, -17.0f), 1, 0);
    EXPECT_NEAR(pan.GetFirstLeg(), 28.0f * 2.0f * 0.0048828125f, 1e-4f);
    EXPECT_NEAR(pan.GetSecondLeg(), 256.0f * 2.0f * 0.0048828125f, 1e-4f);
    EXPECT_EQ(pan.CameraAt(pan.GetFirstLeg()).y, 112.0f);
    EXPECT_EQ(pan.CameraAt(pan.GetFirstLeg()).x, -128.0f);
}

TEST_F(TransitionTest, APanOffTheGridTakesTheCameraOntoItAndTheDepthHolderTheMirroredWay) {
    // Caverns (0..2, 0) is one area three screens wide: the camera target of
    // a player at x 300 is 288 (the camera at 128 comes within 12 pixels of
    // it), in the second screen, 96 pixels left of its middle.
    game->m_transitionSpeed = 1.0f;
    EnterRoom(0, 0);
    player->spatial->current.position = ZVector3(300.0f, 112.0f, 0.0f);
    player->spatial->ResetInterpolation();
    const struct {
        const char* what;
        float startX;    // the camera, come down from the room above
        float acrossPx;  // the first leg's pixels
    } cases[] = {
        {"the camera in the target's screen", 270.0f, 114.0f},
        {"the camera a screen to its left", 250.0f, 134.0f},
    };
    for (const auto& c : cases) {
        const ZVector3 start(c.startX, -112.0f, -17.0f);
        RoomTransition pan(1, start, 0, 1);
        EXPECT_NEAR(pan.GetFirstLeg(), c.acrossPx * 0.0048828125f, 1e-4f) << c.what;
        EXPECT_NEAR(pan.GetSecondLeg(), 224.0f * 0.0048828125f, 1e-4f) << c.what;
        const ZVector3 grid = pan.CameraAt(pan.GetFirstLeg());
        EXPECT_EQ(grid.x, 384.0f) << c.what << ": the middle of the target's screen";
        EXPECT_EQ(grid.y, -112.0f) << c.what;
        const ZVector3 end = pan.CameraAt(pan.duration);
        EXPECT_EQ(end.x, 288.0f) << c.what << ": on the target";
        EXPECT_EQ(end.y, 112.0f) << c.what;
        // The depth holder: from the target onto its grid, a screen back, off by the camera's offset.
        EXPECT_EQ(pan.DepthHolderAt(0.0f).x, 288.0f) << c.what;
        EXPECT_EQ(pan.DepthHolderAt(pan.GetFirstLeg()).x, 384.0f) << c.what;
        const ZVector3 far = pan.DepthHolderAt(pan.duration);
        EXPECT_EQ(far.x, 384.0f - (128.0f - std::fmod(c.startX, 256.0f))) << c.what;
        EXPECT_EQ(far.y, -112.0f) << c.what;
    }
    // Played, the pan moves the game's depth holder with it.
    auto* const pan = new RoomTransition(1, ZVector3(270.0f, -112.0f, -17.0f), 0, 1);
    const ZVector3 last = pan->DepthHolderAt(pan->duration);
    GetCinematicMgr()->Play(pan, ZHashedString("Room Transition"), 0);
    for (int i = 0; i < 200 && GetCinematicMgr()->GetPlayingCount() > 0; ++i) {
        GetCinematicMgr()->FixedUpdate(0.0f, 1.0f / 60.0f);
    }
    EXPECT_EQ(game->GetDepthHolder().x, last.x);
    EXPECT_EQ(game->GetDepthHolder().y, last.y);
    EXPECT_EQ(camera->position.x, 288.0f);
}

TEST_F(TransitionTest, TheDoorWipeClosesAndOpensAround) {
    const struct {
        float t;
        float wipe;
    } cases[] = {{0.0f, -2.0f}, {0.1f, -1.2f}, {0.25f, 0.0f}, {0.3f, 0.0f}, {0.5f, 1.2f}, {0.6f, 2.0f}};
    for (const auto& c : cases) EXPECT_NEAR(DoorTransition::WipeAmount(c.t), c.wipe, 1e-5f) << c.t;
}

TEST_F(TransitionTest, ADoorSwitchesRoomsOnceEvenOverALongStepAndKeepsTheMapOfTheSameName) {
    EnterRoom(0, 0);
    mapLoads = 0;
    auto* door = new DoorTransition(ZHashedString("Caverns"), 2, 0, ZHashedString::None(), false);
    GetCinematicMgr()->Play(door, ZHashedString("Door Transition"), 0);
    GetCinematicMgr()->FixedUpdate(0.0f, 0.2f);
    EXPECT_FALSE(door->HasSwitched());
    EXPECT_EQ(game->GetMapData().currentRoomX, 0);
    GetCinematicMgr()->FixedUpdate(0.0f, 0.3f);  // 0.2 to 0.5 in one step
    EXPECT_TRUE(door->HasSwitched());
    EXPECT_EQ(game->GetMapData().currentRoomX, 2);
    const ZVector3 arrived = player->spatial->current.position;
    EXPECT_EQ(arrived.x, 128.0f) << "no entry marker: the middle of the room";
    game->GetMapData().currentRoomX = 7;  // a second switch would put it back to 2
    GetCinematicMgr()->FixedUpdate(0.0f, 0.2f);
    EXPECT_FALSE(GetCinematicMgr()->IsPlaying(ZHashedString("Door Transition")));
    EXPECT_EQ(game->GetMapData().currentRoomX, 7) << "the room switched exactly once";
    EXPECT_EQ(mapLoads, 0) << "the same map is not loaded again";
    ZStateStore read;
    EXPECT_TRUE(read.Load(game->GetAutosavePath().GetText())) << "the arrival was saved";
}

TEST_F(TransitionTest, ADoorToAnotherMapArrivesAtTheNamedEntityAndMakesItTheCheckpoint) {
    EnterRoom(1, 0);
    GetCinematicMgr()->Play(new DoorTransition(ZHashedString("Caverns"), 0, 0, ZHashedString("Start"), true),
                            ZHashedString("Door Transition"), 0);
    for (int i = 0; i < 40; ++i) GetCinematicMgr()->FixedUpdate(0.0f, 1.0f / 60.0f);
    EXPECT_FALSE(GetCinematicMgr()->IsPlaying(ZHashedString("Door Transition")));
    EXPECT_EQ(game->GetMapData().currentRoomX, 0);
    ZVector2 checkpoint;
    GetCheckpointPosition(*player, checkpoint, false);
    EXPECT_EQ(checkpoint.x, 40.0f) << "the Start entity of Caverns (0, 0)";
    EXPECT_EQ(checkpoint.y, 176.0f);
    EXPECT_NEAR(player->spatial->current.position.x, 40.0f, 0.01f);
}

TEST_F(TransitionTest, ArrivingAtASideViewRoomsEdgeWalksThePlayerIn) {
    // Caverns (0, 1) is an area of its own: its bounds are 0 and 256.
    const struct {
        const char* route;
        float x;
        float walk;  // the forced input's x; 0: no walk
    } cases[] = {
        {"arrive", 8.0f, 1.0f},    {"arrive", 16.0f, 1.0f},  {"arrive", 17.0f, 0.0f}, {"arrive", 128.0f, 0.0f},
        {"arrive", 240.0f, -1.0f}, {"arrive", 239.0f, 0.0f}, {"door", 8.0f, 1.0f},    {"door", 248.0f, -1.0f},
        {"door", 128.0f, 0.0f},
    };
    ZEntity marker;
    ::AddComponent<ZSpatialComponent>(&marker);
    ::AddComponent<ZNameComponent>(&marker)->name = ZHashedString("Ledge");
    game->GetEntityList().PushBack(&marker);
    for (const auto& c : cases) {
        EnterRoom(0, 1);
        player->forcedInput = ZVector3();
        player->forcedInputRemaining = 0.0f;
        if (std::string(c.route) == "arrive") {
            game->ArrivePlayer(*player, ZVector3(c.x, 100.0f, 0.0f));
        } else {
            GetComponent<ZSpatialComponent>(&marker)->current.position = ZVector3(c.x, 100.0f, 0.0f);
            GetCinematicMgr()->Play(new DoorTransition(ZHashedString("Caverns"), 0, 1, ZHashedString("Ledge"), false),
                                    ZHashedString("Door Transition"), 0);
            GetCinematicMgr()->FixedUpdate(0.0f, 0.35f);
            EXPECT_NEAR(player->spatial->current.position.x, c.x, 0.01f) << c.route << " " << c.x;
        }
        EXPECT_EQ(player->forcedInput.x, c.walk) << c.route << " " << c.x;
        EXPECT_EQ(player->forcedInputRemaining, c.walk != 0.0f ? player->forcedInputDuration : 0.0f)
            << c.route << " " << c.x;
        DestroyCinematicMgr();
    }
    // The overworld's figure is never walked.
    game->LoadCampaign("Overworld Map");
    EnterRoom(0, 0);
    player->forcedInputRemaining = 0.0f;
    game->ArrivePlayer(*player, ZVector3(8.0f, 100.0f, 0.0f));
    EXPECT_EQ(player->forcedInputRemaining, 0.0f) << "no edge walk in the overworld";
    game->GetEntityList().Clear();
}

// A teleport without a wipe that saves does so at every arrival of its name
// (the checkpoint keys take each in turn: the last one's place) and then at
// the player (the resume keys). The last arrival in Caverns (0, 1) stands
// 8 pixels above the floor, so the player ends on the floor, not where the
// checkpoint is.
TEST_F(TransitionTest, ATeleportWithoutAWipeSavesAtEachArrivalThenAtThePlayer) {
    const struct {
        const char* what;
        bool saveWord;      // "teleport Player Pad save"
        bool recordSaves;   // the destination's own save flag
        bool checkpointed;  // the checkpoint keys move to the last arrival
    } cases[] = {
        {"save asked for", true, false, true},
        {"the destination saves", false, true, true},
        {"no save", false, false, false},
    };
    ZEntity first;
    ZEntity last;
    for (ZEntity* arrival : {&first, &last}) {
        ::AddComponent<ZSpatialComponent>(arrival);
        ::AddComponent<ZNameComponent>(arrival)->name = ZHashedString("Landing");
        game->GetEntityList().PushBack(arrival);
    }
    GetComponent<ZSpatialComponent>(&first)->current.position = ZVector3(60.0f, 100.0f, 0.0f);
    GetComponent<ZSpatialComponent>(&last)->current.position = ZVector3(128.0f, 192.0f, 0.0f);
    TeleportComponent& teleport = *GetComponent<TeleportComponent>(player);
    for (const auto& c : cases) {
        EnterRoom(2, 0);
        SetCheckpointPosition(*player, 8.0f, 8.0f, false);
        SetCheckpointRoom(*player, 2, 0, false);
        TeleportComponent::Destination& pad = teleport.FindOrAddDestination(ZHashedString("Pad"));
        pad = TeleportComponent::Destination();
        pad.map = ZHashedString("Caverns");
        pad.roomX = 0;
        pad.roomY = 1;
        pad.arrival = ZHashedString("Landing");
        pad.save = c.recordSaves;
        TeleportPlayer(teleport, *player, ZHashedString("Pad"), c.saveWord);

        const ZVector3 end = player->spatial->current.position;
        EXPECT_EQ(end.x, 128.0f) << c.what << ": the player stands at the last arrival";
        EXPECT_GT(end.y, 192.0f) << c.what << ": on the floor below it";
        ZVector2 checkpoint;
        GetCheckpointPosition(*player, checkpoint, false);
        int32_t room[2] = {-1, -1};
        GetCheckpointRoom(*player, room, false);
        if (c.checkpointed) {
            EXPECT_EQ(checkpoint.x, 128.0f) << c.what;
            EXPECT_EQ(checkpoint.y, 192.0f) << c.what << ": the arrival's place, not the player's";
            EXPECT_EQ(room[0], 0) << c.what;
            EXPECT_EQ(room[1], 1) << c.what;
        } else {
            EXPECT_EQ(checkpoint.x, 8.0f) << c.what;
            EXPECT_EQ(checkpoint.y, 8.0f) << c.what;
            EXPECT_EQ(room[0], 2) << c.what;
        }
        ZVector2 resume;
        GetCheckpointPosition(*player, resume, true);
        EXPECT_EQ(resume.x, end.x) << c.what << ": the player's own save";
        EXPECT_EQ(resume.y, end.y) << c.what;
    }
    game->GetEntityList().Clear();
}

TEST_F(TransitionTest, ASpeedrunGhostKeepsAFrameWhereEachTransitionJumps) {
    SpeedrunComponent* const speedrun = GetComponent<SpeedrunComponent>(player);
    ASSERT_NE(speedrun, nullptr);
    const struct {
        const char* what;
        size_t frames;  // forced frames the sequence records
    } cases[] = {{"door", 2}, {"room pan", 2}};  // door: the arrival at the switch, the wipe's end
    for (const auto& c : cases) {
        EnterRoom(0, 1);
        speedrun->SetCourseState(true, true, ZHashedString("Trial"));
        player->spatial->current.position = ZVector3(128.0f, 112.0f, 0.0f);
        player->spatial->ResetInterpolation();
        const size_t before = speedrun->GetRecording().size();
        if (std::string(c.what) == "door") {
            GetCinematicMgr()->Play(new DoorTransition(ZHashedString("Caverns"), 0, 1, ZHashedString::None(), false),
                                    ZHashedString("Door Transition"), 0);
        } else {
            game->m_transitionSpeed = 1.0f;
            GetCinematicMgr()->Play(new RoomTransition(1, ZVector3(-128.0f, 112.0f, -17.0f), 1, 0),
                                    ZHashedString("Room Transition"), 0);
        }
        for (int i = 0; i < 200 && GetCinematicMgr()->GetPlayingCount() > 0; ++i) {
            GetCinematicMgr()->FixedUpdate(0.0f, 1.0f / 60.0f);
        }
        ASSERT_EQ(GetCinematicMgr()->GetPlayingCount(), 0u) << c.what;
        EXPECT_EQ(speedrun->GetRecording().size(), before + c.frames) << c.what;
        speedrun->SetCourseState(false, false, ZHashedString());
    }
}

TEST_F(TransitionTest, FallingOutOfAnAreaCutsIntoTheRoomBelowAtOnce) {
    EnterRoom(0, 0);
    // Down the pit of Caverns (0, 0) into the dry room below, an area of its own.
    Move(ZVector3(120.0f, 220.0f, 0.0f), ZVector3(120.0f, 230.0f, 0.0f));
    player->spatial->current.velocity = ZVector3(0.0f, 200.0f, 0.0f);
    ASSERT_TRUE(CheckRoomExit(*player));
    EXPECT_EQ(game->GetMapData().currentRoomX, 0);
    EXPECT_EQ(game->GetMapData().currentRoomY, 1);
    EXPECT_NEAR(player->spatial->current.position.y, 0.0f, 0.01f) << "at the top of the room below";
    EXPECT_NEAR(player->spatial->current.position.x, 120.0f, 0.01f);
    EXPECT_FALSE(GetCinematicMgr()->IsPlaying(ZHashedString("Room Transition"))) << "an edge of kind 0 cuts";
    EXPECT_FALSE(game->GetRoomConditions().underwater) << "the dry room's own area, not the flooded one beside it";
}

TEST_F(TransitionTest, AScrollKeepsTheOldRoomDrawnAndEndsWithTheCameraOnThePlayer) {
    EnterRoom(0, 1);
    RoomEdge edge;
    edge.kind = 1;
    player->spatial->previous.position = ZVector3(250.0f, 100.0f, 0.0f);
    camera->SetPosition(ZVector3(128.0f, 112.0f, -17.0f));
    game->m_transitionSpeed = 1.0f;
    // Along a row of the flooded area into the room to its right, as a kind 1 edge.
    WorldEntity* const world = game->GetWorldEntity();
    ASSERT_NE(world, nullptr);
    TileLayerMesh* const oldBack = world->GetCurrentMesh(false);
    ASSERT_NE(oldBack, nullptr);
    const uint32_t oldQuads = oldBack->GetQuadCount();
    ASSERT_GT(oldQuads, 0u);
    TransitionToRoom(*player, ZVector3(0.0f, 100.0f, 0.0f), ZVector3(50.0f, 0.0f, 0.0f), edge, false, 1, 1, 1, 0);
    EXPECT_EQ(game->GetMapData().currentRoomX, 1);
    ASSERT_TRUE(GetCinematicMgr()->IsPlaying(ZHashedString("Room Transition")));
    EXPECT_EQ(camera->position.x, 128.0f - 256.0f) << "the picture does not jump";
    // Half way: the old room's meshes still draw, as they were built, through
    // a camera one room width further right (the old room lies to the left).
    for (int i = 0; i < 10; ++i) GetCinematicMgr()->FixedUpdate(0.0f, 1.0f / 60.0f);
    ASSERT_TRUE(GetCinematicMgr()->IsPlaying(ZHashedString("Room Transition")));
    ZRenderable* const previous = world->FindMesh(world->GetPreviousBackName());
    EXPECT_EQ(previous, oldBack);
    EXPECT_TRUE(oldBack->visible);
    EXPECT_EQ(oldBack->GetQuadCount(), oldQuads);
    ZRenderable* const current = world->FindMesh(world->GetCurrentBackName());
    ASSERT_NE(current, nullptr);
    EXPECT_TRUE(current->visible);
    EXPECT_GT(camera->position.x, 128.0f - 256.0f) << "on the way";
    EXPECT_LT(camera->position.x, 128.0f);
    const ZVector3 centre = game->GetRoomViewCentre();
    struct Wvp : ZEffectParameter {
        Wvp() : ZEffectParameter(nullptr, "wvpMat", kMatrix, 1) {}
        void SetMatrix(const ZMatrix4& value) override { matrix = value; }
        ZMatrix4 matrix;
    };
    Wvp oldView, newView;
    ASSERT_TRUE(world->SetParameters(&oldView, ZHashedString::None(), oldBack));
    ASSERT_TRUE(world->SetParameters(&newView, ZHashedString::None(), current));
    EXPECT_EQ(oldView.matrix, RoomViewProjection(centre.x + 256.0f, centre.y));
    EXPECT_EQ(newView.matrix, RoomViewProjection(centre.x, centre.y));

    for (int i = 0; i < 90; ++i) GetCinematicMgr()->FixedUpdate(0.0f, 1.0f / 60.0f);
    EXPECT_FALSE(GetCinematicMgr()->IsPlaying(ZHashedString("Room Transition")));
    bool unused = false;
    EXPECT_EQ(camera->position.x, ComputeCameraTarget(*player, false, unused).x);
    EXPECT_FALSE(oldBack->visible) << "the old room goes once the pan ends";
    EXPECT_TRUE(current->visible);
}

TEST_F(TransitionTest, ANewTuneWaitsItsPauseAndTheSameTuneKeepsPlaying) {
    voice.calls.clear();
    SetRoomMusic(*player, "caverns");
    UpdateRoomMusic(*player, 0.2f);
    SetRoomMusic(*player, "flooded");  // a second change within the pause
    UpdateRoomMusic(*player, 0.2f);
    UpdateRoomMusic(*player, 0.2f);
    SetRoomMusic(*player, "flooded");
    UpdateRoomMusic(*player, 1.0f);
    const std::vector<std::string> expected = {"stop BGMusicTune", "stop BGMusicTune",
                                               "play QXV_flooded 1 BGMusicTune"};
    EXPECT_EQ(voice.calls, expected);
    SetRoomMusic(*player, "");
    UpdateRoomMusic(*player, 1.0f);
    EXPECT_EQ(voice.calls.back(), "stop BGMusicTune") << "an empty tune is silence";
}

TEST_F(TransitionTest, ARoomsMinimapIsTheEntryOfItsNameWithItsPlacement) {
    ZDefNode root(ZHashedString("Minimaps"));
    const auto entry = [&root](const char* name, bool full) {
        ZDefNode m(ZHashedString("Minimap"));
        m.SetAttribute(ZHashedString("Name"), ZString(name));
        m.SetAttribute(ZHashedString("Base"), ZString("base.bmp"));
        m.SetAttribute(ZHashedString("Overlay"), ZString("over.bmp"));
        m.SetAttribute(ZHashedString("OX"), ZString("3"));
        m.SetAttribute(ZHashedString("OY"), ZString("-2"));
        if (full) {
            for (const char* key : {"W", "H", "PX", "PY"}) m.SetAttribute(ZHashedString(key), ZString("7"));
        }
        root.AddChild(m);
    };
    entry("Caverns", true);
    entry("Sky", false);
    ZArray<RoomMinimap> found;
    FindRoomMinimaps(root, "caverns", found);
    ASSERT_EQ(found.Count(), 1u) << "names match ignoring case";
    EXPECT_EQ(found[0].ox, 3);
    EXPECT_EQ(found[0].oy, -2);
    EXPECT_EQ(found[0].w, 7);
    found.Clear();
    FindRoomMinimaps(root, "Sky", found);
    ASSERT_EQ(found.Count(), 1u);
    EXPECT_EQ(found[0].w, -1) << "without all of W, H, PX and PY each is -1";
    EXPECT_EQ(found[0].py, -1);
    found.Clear();
    FindRoomMinimaps(root, "Nowhere", found);
    EXPECT_TRUE(found.IsEmpty());
    SelectRoomMinimap(*player, "Nowhere");
    EXPECT_EQ(player->currentMinimap, "NULL");
}

}  // namespace
}  // namespace traveltest
