// Room and door transitions, the room's music and its minimap, on the
// campaign's own maps (Caverns: rooms (0..2, 0) form one area, (0..2, 1)
// another).

#include <cmath>
#include <set>
#include <string>
#include <vector>

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
        ZVector3 start;  // the camera
        int32_t directionX;
        int32_t directionY;
        float secondLeg;
    } cases[] = {
        {"to the right, on the screen grid", ZVector3(-128.0f, 112.0f, -17.0f), 1, 0, 256.0f * 0.0048828125f},
        {"upwards, on the screen grid", ZVector3(128.0f, 336.0f, -17.0f), 0, -1, 224.0f * 0.0048828125f},
    };
    EnterRoom(0, 1);  // an area one room high: the camera settles at the room's middle in y
    for (const auto& c : cases) {
        player->spatial->current.position = ZVector3(128.0f, 112.0f, 0.0f);
        player->spatial->ResetInterpolation();
        camera->SetPosition(c.start);
        RoomTransition pan(1, 0.0f, 0.0f, false, c.directionX, c.directionY);
        EXPECT_NEAR(pan.GetFirstLeg(), 0.0f, 1e-5f) << c.what;
        EXPECT_NEAR(pan.GetSecondLeg(), c.secondLeg, 1e-4f) << c.what;
        EXPECT_NEAR(pan.duration, c.secondLeg, 1e-4f) << c.what;
        EXPECT_NEAR(pan.CameraAt(pan.duration * 0.5f).x, (c.start.x + pan.GetEnd().x) * 0.5f, 0.01f) << c.what;
    }
    // Both legs scale with the speed.
    game->m_transitionSpeed = 2.0f;
    camera->SetPosition(ZVector3(-128.0f, 140.0f, -17.0f));
    const RoomTransition slow(1, 0.0f, 0.0f, false, 1, 0);
    EXPECT_NEAR(slow.GetFirstLeg(), 28.0f * 2.0f * 0.0048828125f, 1e-4f);
    EXPECT_NEAR(slow.GetSecondLeg(), 256.0f * 2.0f * 0.0048828125f, 1e-4f);
    camera->SetPosition(cases[0].start);
    RoomTransition cut(0, 0.0f, 0.0f, false, 1, 0);
    EXPECT_EQ(cut.duration, 0.0f) << "kind 0 cuts";
    RoomTransition unknown(7, 0.0f, 0.0f, false, 1, 0);
    EXPECT_EQ(unknown.duration, 0.0f) << "an unknown kind cuts rather than never ending";
}

// The waypoints of the pan: the offsets that bring camera (C) and target (T)
// to the middle of a screen are both measured on the player's screen, so the
// camera ends on the target across the pan, and the depth holder ends where
// the camera began.
TEST_F(TransitionTest, APanRunsAlongItsWaypointsForCameraAndTargetOnAnyScreen) {
    game->m_transitionSpeed = 1.0f;
    using V = ZVector3;
    const struct {
        const char* what;
        int32_t roomY;  // Caverns (0, 0): an area three screens wide; (0, 1): one screen
        V player;
        V camera;
        int32_t directionX;
        int32_t directionY;
        V c[4];
        V t[4];
        float firstLegPx;
        float secondLegPx;
    } cases[] = {
        {"down, the camera a screen left of the player", 0, V(262, 112, 0), V(240, 112, -17), 0, 1,
         {V(240, 112, 0), V(384, 112, 0), V(384, 336, 0), V(250, 336, 0)},
         {V(250, 112, 0), V(384, 112, 0), V(384, -112, 0), V(240, -112, 0)}, 144.0f, 224.0f},
        {"down, camera and target on one line", 0, V(300, 112, 0), V(288, 112, -17), 0, 1,
         {V(288, 112, 0), V(288, 112, 0), V(288, 336, 0), V(288, 336, 0)},
         {V(288, 112, 0), V(288, 112, 0), V(288, -112, 0), V(288, -112, 0)}, 0.0f, 224.0f},
        {"up, camera and target on the player's screen, off its grid", 0, V(300, 112, 0), V(270, 112, -17), 0,
         -1,
         {V(270, 112, 0), V(384, 112, 0), V(384, -112, 0), V(288, -112, 0)},
         {V(288, 112, 0), V(384, 112, 0), V(384, 336, 0), V(270, 336, 0)}, 114.0f, 224.0f},
        {"right, the camera below the screen's middle", 1, V(128, 112, 0), V(-128, 140, -17), 1, 0,
         {V(-128, 140, 0), V(-128, 112, 0), V(128, 112, 0), V(128, 112, 0)},
         {V(128, 112, 0), V(128, 112, 0), V(-128, 112, 0), V(-128, 140, 0)}, 28.0f, 256.0f},
        {"left, the player a screen below the camera", 1, V(128, 230, 0), V(128, 100, -17), -1, 0,
         {V(128, 100, 0), V(128, 336, 0), V(-128, 336, 0), V(-128, 112, 0)},
         {V(128, 112, 0), V(128, 336, 0), V(384, 336, 0), V(384, 100, 0)}, 236.0f, 256.0f},
    };
    for (const auto& c : cases) {
        EnterRoom(0, c.roomY);
        player->spatial->current.position = c.player;
        player->spatial->ResetInterpolation();
        camera->SetPosition(c.camera);
        const RoomTransition pan(1, 0.0f, 0.0f, false, c.directionX, c.directionY);
        for (int32_t i = 0; i < 4; ++i) {
            EXPECT_EQ(pan.GetCameraWaypoint(i).x, c.c[i].x) << c.what << ": C" << i + 1;
            EXPECT_EQ(pan.GetCameraWaypoint(i).y, c.c[i].y) << c.what << ": C" << i + 1;
            EXPECT_EQ(pan.GetTargetWaypoint(i).x, c.t[i].x) << c.what << ": T" << i + 1;
            EXPECT_EQ(pan.GetTargetWaypoint(i).y, c.t[i].y) << c.what << ": T" << i + 1;
        }
        EXPECT_NEAR(pan.GetFirstLeg(), c.firstLegPx * 0.0048828125f, 1e-5f) << c.what;
        EXPECT_NEAR(pan.GetSecondLeg(), c.secondLegPx * 0.0048828125f, 1e-5f) << c.what;
        // The first leg goes from C1 to C2, the second from C2 to C4.
        const ZVector3 midFirst = pan.CameraAt(pan.GetFirstLeg() * 0.5f);
        EXPECT_NEAR(midFirst.x, (c.c[0].x + c.c[1].x) * 0.5f, 0.01f) << c.what;
        const ZVector3 midSecond = pan.CameraAt(pan.GetFirstLeg() + pan.GetSecondLeg() * 0.5f);
        EXPECT_NEAR(midSecond.x, (c.c[1].x + c.c[3].x) * 0.5f, 0.01f) << c.what;
        EXPECT_NEAR(midSecond.y, (c.c[1].y + c.c[3].y) * 0.5f, 0.01f) << c.what;
        EXPECT_EQ(pan.CameraAt(pan.duration).x, c.c[3].x) << c.what;
        EXPECT_EQ(pan.DepthHolderAt(pan.duration).y, c.t[3].y) << c.what;
    }
    // Played, the pan moves the camera and the game's depth holder with it.
    EnterRoom(0, 0);
    player->spatial->current.position = ZVector3(262.0f, 112.0f, 0.0f);
    player->spatial->ResetInterpolation();
    camera->SetPosition(ZVector3(240.0f, 112.0f, -17.0f));
    auto* const pan = new RoomTransition(1, 0.0f, 0.0f, false, 0, 1);
    EXPECT_NEAR(pan->GetFirstLeg(), 0.703125f, 1e-5f) << "144 pixels across";
    GetCinematicMgr()->Play(pan, ZHashedString("Room Transition"), 0);
    for (int i = 0; i < 200 && GetCinematicMgr()->GetPlayingCount() > 0; ++i) {
        GetCinematicMgr()->FixedUpdate(0.0f, 1.0f / 60.0f);
    }
    EXPECT_EQ(game->GetDepthHolder().x, 240.0f);
    EXPECT_EQ(game->GetDepthHolder().y, -112.0f);
    EXPECT_EQ(camera->position.x, 250.0f);
    EXPECT_EQ(camera->position.y, 336.0f);
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
            camera->SetPosition(ZVector3(-128.0f, 112.0f, -17.0f));
            GetCinematicMgr()->Play(new RoomTransition(1, 0.0f, 0.0f, false, 1, 0),
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

// What a move leaves the pan: the camera moved by the room shift only across
// the pan (along it, it pans over from the old room's pixels), snapped to the
// player only by a cut, the old room's last frame kept only when the room
// changes, and the camera on its target in the new room's pixels at the end.
// A cut's pan ends as it starts; the depth holder's end (a screen along, and
// the camera's offset from the grid across) shows where its camera began.
TEST_F(TransitionTest, AMoveShiftsTheCameraAcrossThePanAndSnapsItOnlyForACut) {
    game->m_transitionSpeed = 1.0f;
    using V = ZVector3;
    const struct {
        const char* what;
        int32_t roomX, roomY;
        V previous;  // where the player left from
        V position;  // where it arrives
        uint32_t kind;
        int32_t targetX, targetY;
        int32_t screenX, screenY;
        V start;  // the camera as the pan starts (C1), for a pan that plays
        bool kept;
        V end;
        V depthHolder;  // at the end (T4)
    } cases[] = {
        // Down the pit of the caverns' second screen into the flooded area:
        // the camera snapped on the player, then moved a screen left.
        {"a cut down from the second screen of an area", 0, 0, V(300, 200, 0), V(44, 0, 0), 0, 1, 1, 0, 0, V(), false,
         V(128, 112, 0), V(-128, -112, 0)},
        // From the dry room into the flooded area to its right: nothing added.
        {"a pan right into the next area", 0, 1, V(250, 100, 0), V(0, 100, 0), 1, 1, 1, 1, 0, V(128, 112, 0), true,
         V(128, 112, 0), V(-128, 112, 0)},
        // A teleport inside the room: neither snapped nor a frame kept; it
        // pans onto the player.
        {"a pan inside the room", 0, 0, V(100, 150, 0), V(600, 150, 0), 1, 0, 0, 0, 0, V(128, 112, 0), false,
         V(588, 112, 0), V(128, 112, 0)},
    };
    for (const auto& c : cases) {
        EnterRoom(c.roomX, c.roomY);
        camera->SetPosition(ZVector3(128.0f, 112.0f, -17.0f));
        game->SetRoomCamera(128.0f, 112.0f);
        player->spatial->previous.position = c.previous;
        RoomEdge edge;
        edge.kind = c.kind;
        TransitionToRoom(*player, c.position, ZVector3(), edge, false, c.targetX, c.targetY, c.screenX, c.screenY);
        EXPECT_EQ(game->GetMapData().currentRoomX, c.targetX) << c.what;
        EXPECT_EQ(game->GetMapData().currentRoomY, c.targetY) << c.what;
        if (c.kind == 1) {
            ASSERT_TRUE(GetCinematicMgr()->IsPlaying(ZHashedString("Room Transition"))) << c.what;
            const ZCinematicRecord* const record = GetCinematicMgr()->GetRecords()[0];
            const auto* const pan = dynamic_cast<const RoomTransition*>(record->cinematic);
            ASSERT_NE(pan, nullptr) << c.what;
            EXPECT_EQ(pan->GetStart().x, c.start.x) << c.what;
            EXPECT_EQ(pan->GetStart().y, c.start.y) << c.what;
            EXPECT_EQ(game->IsRoomFrameKept(), c.kept) << c.what;
            // The picture does not jump: the view starts where the old room's
            // last frame was seen from.
            const ZVector3 view = camera->position + game->GetPanShift();
            const ZVector3 old = game->GetPreviousRoomCamera() + game->GetPreviousRoomShift();
            EXPECT_EQ(view.x, old.x) << c.what;
            EXPECT_EQ(view.y, old.y) << c.what;
            // The old room's meshes are not drawn: its last frame is.
            if (const WorldEntity* const world = game->GetWorldEntity()) {
                const ZRenderable* const previous = world->FindMesh(world->GetPreviousBackName());
                EXPECT_TRUE(previous == nullptr || !previous->visible) << c.what;
            }
        }
        for (int i = 0; i < 400 && GetCinematicMgr()->GetPlayingCount() > 0; ++i) {
            GetCinematicMgr()->FixedUpdate(0.0f, 1.0f / 60.0f);
        }
        ASSERT_EQ(GetCinematicMgr()->GetPlayingCount(), 0u) << c.what;
        EXPECT_EQ(camera->position.x, c.end.x) << c.what;
        EXPECT_EQ(camera->position.y, c.end.y) << c.what;
        bool unused = false;
        const ZVector3 target = ComputeCameraTarget(*player, false, unused);
        EXPECT_EQ(camera->position.x, target.x) << c.what << ": on the target";
        EXPECT_EQ(camera->position.y, target.y) << c.what << ": on the target";
        EXPECT_EQ(game->GetDepthHolder().x, c.depthHolder.x) << c.what;
        EXPECT_EQ(game->GetDepthHolder().y, c.depthHolder.y) << c.what;
        EXPECT_EQ(game->GetPanShift(), ZVector3()) << c.what;
        EXPECT_FALSE(game->IsRoomFrameKept()) << c.what;
    }
}

// An edge into another map pans one screen, as an edge inside a map does,
// with the room left beside the one entered. Another map's rooms do not line
// up with this one's (the Spire's bottom row, room y 2, meets the overworld's
// only row, y 0): across the pan the old room stays on the player's screen
// row or column, whatever the rooms' numbers. The table holds every edge of
// the campaign that names a map; the sweep over all maps finds no other.
TEST_F(TransitionTest, EveryEdgeIntoAnotherMapPansOneScreenBesideTheRoomLeft) {
    game->m_transitionSpeed = 1.0f;
    const char* const kSides[] = {"top", "bottom", "left", "right"};
    const struct {
        const char* map;
        int32_t roomX, roomY;
        int32_t side;
        const char* into;
        int32_t intoX, intoY;
    } cases[] = {
        {"Caverns", 0, 0, kEdgeLeft, "Overworld", 0, 0},
        {"Sunken", 0, 0, kEdgeLeft, "Overworld", 1, 0},
        {"Spire", 0, 2, kEdgeLeft, "Overworld", 1, 0},
    };
    const auto named = [&kSides](const std::string& map, const int32_t x, const int32_t y, const int32_t side) {
        return map + " (" + std::to_string(x) + ", " + std::to_string(y) + ") " + kSides[side];
    };
    std::set<std::string> found;
    std::vector<std::string> maps;
    for (const ZDefNode& entry : game->GetMapList()) maps.emplace_back(entry.GetAttribute(ZHashedString("Name")).GetText());
    ASSERT_GE(maps.size(), 5u);
    for (const std::string& map : maps) {
        game->LoadCampaign(map.c_str());
        ASSERT_EQ(game->GetCurrentMapName(), map.c_str());
        for (const auto& [x, column] : game->GetMapData().GetRooms()) {
            for (const auto& [y, room] : column) {
                for (int32_t side = 0; side < 4; ++side) {
                    if (room.edges[side].hasNameA != 0) found.insert(named(map, x, y, side));
                }
            }
        }
    }
    std::set<std::string> listed;
    for (const auto& c : cases) listed.insert(named(c.map, c.roomX, c.roomY, c.side));
    EXPECT_EQ(found, listed) << "the campaign's edges into another map";

    for (const auto& c : cases) {
        const std::string what = named(c.map, c.roomX, c.roomY, c.side);
        game->LoadCampaign(c.map);
        EnterRoom(c.roomX, c.roomY);
        // A step over the edge from the room's own screen.
        const ZVector3 step[] = {ZVector3(0, -8, 0), ZVector3(0, 8, 0), ZVector3(-8, 0, 0), ZVector3(8, 0, 0)};
        const ZVector3 inside[] = {ZVector3(128, 4, 0), ZVector3(128, 220, 0), ZVector3(4, 112, 0),
                                   ZVector3(252, 112, 0)};
        player->spatial->current.position = inside[c.side];
        player->spatial->ResetInterpolation();
        SnapCameraToPlayer(*player);
        game->SetRoomCamera(camera->position.x, camera->position.y);
        Move(inside[c.side], inside[c.side] + step[c.side]);
        ASSERT_TRUE(CheckRoomExit(*player)) << what;
        EXPECT_EQ(game->GetCurrentMapName(), c.into) << what;
        EXPECT_EQ(game->GetMapData().currentRoomX, c.intoX) << what;
        EXPECT_EQ(game->GetMapData().currentRoomY, c.intoY) << what;
        ASSERT_TRUE(GetCinematicMgr()->IsPlaying(ZHashedString("Room Transition"))) << what;
        const auto* const pan =
            dynamic_cast<const RoomTransition*>(GetCinematicMgr()->GetRecords()[0]->cinematic);
        ASSERT_NE(pan, nullptr) << what;
        const bool horizontal = c.side == kEdgeLeft || c.side == kEdgeRight;
        EXPECT_NEAR(pan->duration, (horizontal ? 256.0f : 224.0f) * 0.0048828125f, 1e-4f) << what;
        // The room left lies beside the one entered, not rows or columns away.
        const ZVector3 oldRoom = game->GetPreviousRoomShift();
        EXPECT_EQ(horizontal ? oldRoom.y : oldRoom.x, 0.0f) << what;
        EXPECT_EQ(std::fabs(horizontal ? oldRoom.x : oldRoom.y), horizontal ? 256.0f : 224.0f) << what;
        // The view starts where the old room's last frame was seen from.
        const ZVector3 view = camera->position + game->GetPanShift();
        const ZVector3 old = game->GetPreviousRoomCamera() + oldRoom;
        EXPECT_EQ(view.x, old.x) << what;
        EXPECT_EQ(view.y, old.y) << what;
        for (int i = 0; i < 400 && GetCinematicMgr()->GetPlayingCount() > 0; ++i) {
            GetCinematicMgr()->FixedUpdate(0.0f, 1.0f / 60.0f);
        }
        ASSERT_EQ(GetCinematicMgr()->GetPlayingCount(), 0u) << what;
        bool unused = false;
        const ZVector3 target = ComputeCameraTarget(*player, false, unused);
        EXPECT_EQ(camera->position.x, target.x) << what << ": on the target";
        EXPECT_EQ(camera->position.y, target.y) << what << ": on the target";
    }
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
