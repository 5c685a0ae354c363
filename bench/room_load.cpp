// Loading the campaign's largest room (the area with the most rooms): its
// collision edges and lines, both tile layers' meshes and its placed
// entities; then the same load followed by one drawn frame of the world
// layers on OpenGL (llvmpipe without a GPU). The baseline is reading the
// map's data file alone; "vs_map_read" is each figure over it.
//
// Then fixed steps of that room as the game makes them: every entity that
// takes the fixed step (the room's placed NPCs, pickups, blocks and the like,
// what they spawn, and the player walking the area's floor from one end to
// the other and back), with the collision world's broad phase and, as the
// baseline of the same run, walking every shape ("brute_force");
// "ms_per_step" should stay under 0.5. The largest room is the campaign's
// area of the most rooms, over all its maps.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "entity/ZCollisionComponent.h"
#include "entity/ZCollisionWorld.h"
#include "entity/ZComponentFactoryChain.h"
#include "entity/ZComponentLookup.h"
#include "entity/ZEngineComponentFactory.h"
#include "entity/ZCameraComponent.h"
#include "entity/ZSpatialComponent.h"
#include "foundation/ZStreamMgr.h"
#include "foundation/ZUpdateRegistry.h"
#include "game/player/Player.h"
#include "game/world/KorvEntity.h"
#include "game/world/KorvanthGame.h"
#include "game/world/MapFileReader.h"
#include "game/world/WorldEntity.h"
#include "platform/window/window.h"
#include "renderer/ZCamera.h"
#include "renderer/ZRenderGroup.h"
#include "renderer/ZRenderPassDesc.h"
#include "renderer/ZRenderer.h"

namespace {

constexpr int32_t kWidth = 256;
constexpr int32_t kHeight = 224;

// A window, the renderer, a pass drawing the world groups, and the game with
// the campaign's entry map; made once, never torn down.
struct Scene {
    Scene() {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        ZStreamMgr::GetInstance()->AddPackageSource(KORV_DATA_BUILD_DIR "/Korvanth.zpk");
        windows = platform::window::CreateWindowSystem(platform::window::Backend::Sdl);
        platform::window::WindowCreateInfo info;
        info.title = "room load bench";
        info.width = kWidth;
        info.height = kHeight;
        info.proc = [](const platform::window::Message&, void*) -> int64_t { return 0; };
        if (!windows->CreateMainWindow(info)) return;
        int32_t w = kWidth, h = kHeight;
        ZArray<ZHashedString> missing;
        InitRenderer(windows.get(), w, h, ZRenderVideoSettings(), missing);
        ZRenderer* r = GetRenderer();
        if (!r->hasDevice) return;
        ZRenderPassDesc* pass = r->CreateRenderPass(ZHashedString("World Pass"));
        pass->clearColor = true;
        for (const char* name : {"World Background Group", "World Foreground Group"}) {
            pass->AddGroup(r->CreateRenderGroup(ZHashedString(name)));
        }
        // The engine's component kinds, as the game's start-up registers them
        // (without them the placed entities would have no place, shape or body).
        RegisterComponentFactory(CreateComponentByName);
        // The game object holds the world; it is never run.
        game = KorvanthGame::GetGameInstance();
        if (game == nullptr || !game->OpenCampaignFile("Korvanth.kdd")) return;
        FindLargestRoom();
        ready = true;
    }

    void FindLargestRoom() {
        int32_t best = 0;
        for (const ZDefNode& entry : game->GetMapList()) {
            const ZString name = entry.GetAttribute(ZHashedString("Name"));
            game->LoadCampaign(name);
            for (const MapArea& area : game->GetMapData().areas) {
                const int32_t rooms = (area.right - area.left) * (area.bottom - area.top);
                if (rooms > best) {
                    best = rooms;
                    mapName = name;
                    roomX = area.left;
                    roomY = area.top;
                }
            }
        }
        areaRooms = best > 0 ? best : 1;
        game->LoadCampaign(mapName);
    }

    // The player, made once as the game makes it, with a camera to move.
    Player* GetPlayer() {
        if (player == nullptr) {
            player = new Player();
            playerCamera = std::make_unique<ZCamera>(90.0f, 1.0f, 0.1f, 100.0f);
            player->camera->camera = playerCamera.get();
            player->inPlay = true;
        }
        return player;
    }

    void LoadRoom() {
        game->GetMapData().currentRoomX = roomX;
        game->GetMapData().currentRoomY = roomY;
        game->LoadRoom();
        game->LoadEntityInstances(false);
        game->DeleteRetiredEntities();
    }

    bool ready = false;
    std::unique_ptr<platform::window::WindowSystem> windows;
    KorvanthGame* game = nullptr;
    Player* player = nullptr;
    std::unique_ptr<ZCamera> playerCamera;
    ZString mapName;
    int32_t roomX = 0;
    int32_t roomY = 0;
    int32_t areaRooms = 1;
};

Scene& GetScene() {
    static Scene* scene = new Scene();
    return *scene;
}

double MapReadSeconds() {
    MapData map;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 50; ++i) {
        ReadMapData("Caverns.map", map);
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / 50.0;
}

template <typename Body>
void Measure(benchmark::State& state, Body body) {
    Scene& scene = GetScene();
    if (!scene.ready) {
        state.SkipWithError("no OpenGL device or no campaign");
        return;
    }
    const double baseline = MapReadSeconds();
    const auto start = std::chrono::steady_clock::now();
    int64_t runs = 0;
    for (auto _ : state) {
        body(scene);
        ++runs;
    }
    const double each = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() /
                        static_cast<double>(runs > 0 ? runs : 1);
    state.counters["vs_map_read"] = baseline > 0.0 ? each / baseline : 0.0;
    state.counters["rooms"] = scene.areaRooms;
    state.counters["lines"] = static_cast<double>(scene.game->GetRoomEdges().size());
    WorldEntity* world = scene.game->GetWorldEntity();
    state.counters["quads"] = world != nullptr && world->GetCurrentMesh(false) != nullptr
                                  ? world->GetCurrentMesh(false)->GetQuadCount() + world->GetCurrentMesh(true)->GetQuadCount()
                                  : 0.0;
}

void BM_ReadMapFile(benchmark::State& state) {
    if (!GetScene().ready) {
        state.SkipWithError("no campaign");
        return;
    }
    MapData map;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ReadMapData("Caverns.map", map));
    }
}
BENCHMARK(BM_ReadMapFile)->Unit(benchmark::kMicrosecond);

void BM_LoadLargestRoom(benchmark::State& state) {
    Measure(state, [](Scene& scene) { scene.LoadRoom(); });
}
BENCHMARK(BM_LoadLargestRoom)->Unit(benchmark::kMicrosecond);

void BM_LoadLargestRoomAndDrawAFrame(benchmark::State& state) {
    Measure(state, [](Scene& scene) {
        scene.LoadRoom();
        ZRenderer* r = GetRenderer();
        if (r->BeginScene()) {
            r->RenderFrame(ZHashedString::None());
            r->EndScene();
        }
        r->present();
    });
}
BENCHMARK(BM_LoadLargestRoomAndDrawAFrame)->Unit(benchmark::kMicrosecond);

void StepRoom(benchmark::State& state, const bool broadPhase) {
    Scene& scene = GetScene();
    if (!scene.ready) {
        state.SkipWithError("no OpenGL device or no campaign");
        return;
    }
    constexpr float kStep = 1.0f / 60.0f;
    constexpr uint8_t kFixedStep = 2;
    Player* const player = scene.GetPlayer();
    scene.LoadRoom();
    ZCollisionWorld* const world = ZCollisionWorld::GetInstance();
    world->useBroadPhase = broadPhase;
    const MapData& map = scene.game->GetMapData();
    // The area's floor (the rooms' row 26) from its left wall to its right.
    const float left = map.rectBounds[2] + 24.0f;
    const float right = map.rectBounds[3] - 24.0f;
    const float floorY = 208.0f - 8.0f;
    float x = left;
    float direction = 1.0f;
    player->spatial->current.position = ZVector3(x, floorY, 0.0f);
    player->SettleMotion();
    // What takes part, counted before and after the run: bullets come and go.
    size_t mostEntities = 0;
    int32_t mostBodies = 0;
    const auto count = [&scene, player, &mostEntities, &mostBodies] {
        // The room's placed entities, what the game spawned (bullets, dust) and the player.
        std::vector<ZEntity*> entities(scene.game->GetRoomEntities().begin(), scene.game->GetRoomEntities().end());
        for (ZEntity* entity : scene.game->GetEntityList()) entities.push_back(entity);
        entities.push_back(player);
        int32_t bodies = 0;
        for (ZEntity* entity : entities) {
            if (GetComponent<ZCollisionComponent>(entity) != nullptr) ++bodies;
        }
        mostEntities = std::max(mostEntities, entities.size());
        mostBodies = std::max(mostBodies, bodies);
    };
    count();
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        x += direction * Player::kWalkSpeed * kStep;
        if (x > right || x < left) direction = -direction;
        player->spatial->current.position.x = x;
        player->spatial->current.velocity.x = direction * Player::kWalkSpeed;
        GetUpdateRegistry()->Run(kStep, kFixedStep);
        scene.game->ProcessDeferredDeletions();
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    count();
    world->useBroadPhase = true;
    state.counters["ms_per_step"] = 1000.0 * seconds / static_cast<double>(state.iterations() > 0 ? state.iterations() : 1);
    state.counters["rooms"] = scene.areaRooms;
    state.counters["placed"] = static_cast<double>(scene.game->GetRoomEntities().size());
    state.counters["entities"] = static_cast<double>(mostEntities);
    state.counters["bodies"] = mostBodies;
    state.counters["lines"] = static_cast<double>(scene.game->GetRoomEdges().size());
}

void BM_FixedStepOfLargestRoom(benchmark::State& state) { StepRoom(state, true); }
BENCHMARK(BM_FixedStepOfLargestRoom)->Unit(benchmark::kMicrosecond);

void BM_FixedStepOfLargestRoom_brute_force(benchmark::State& state) { StepRoom(state, false); }
BENCHMARK(BM_FixedStepOfLargestRoom_brute_force)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
