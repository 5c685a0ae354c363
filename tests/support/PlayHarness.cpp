#include "support/PlayHarness.h"

#include <algorithm>
#include <filesystem>
#include <cctype>
#include <fstream>
#include <memory>
#include <sstream>

#include "entity/ZCameraComponent.h"
#include "entity/ZPhysicsComponent.h"
#include "entity/ZSpatialComponent.h"
#include "foundation/ZDefinitionCache.h"
#include "foundation/ZLog.h"
#include "foundation/ZStreamMgr.h"
#include "foundation/ZUpdatable.h"
#include "game/menus/GameFlow.h"
#include "game/menus/LoadingMenu.h"
#include "game/player/Player.h"
#include "game/player/PlayerHooks.h"
#include "menu/ZMenuMgr.h"
#include "renderer/ZCamera.h"
#include "game/player/PlayerProgress.h"
#include "framework/ZConfigVar.h"
#include "framework/ZLocMgr.h"
#include "game/display/KorvanthDisplay.h"
#include "game/world/KorvanthGame.h"
#include "input/ZControlMgr.h"
#include "platform/input/fake/FakeInputSystem.h"
#include "platform/input/input.h"
#include "platform/os/fake/fake.h"
#include "platform/sound/sound.h"
#include "platform/window/keycodes.h"
#include "platform/window/window.h"
#include "renderer/ZTextureMgr.h"
#include "support/PlayRoom.h"
#include "support/TempDir.h"

namespace playtest {

namespace {

using namespace platform;

struct ControlName {
    const char* name;
    uint8_t key;
    uint16_t pad;  // a button of the pad instead of a key
};
// The default bindings' keys: the arrows move (and up is also Jump and Enter,
// as on a pad), space jumps, E interacts; Return and Escape accept and cancel
// in menus and dialogs. The pad's buttons: Back is Status, A accepts, B
// cancels, the pad's up and down move a choice.
const ControlName kControls[] = {
    {"left", DIK_LEFT, 0},        {"right", DIK_RIGHT, 0},     {"up", DIK_UP, 0},          {"down", DIK_DOWN, 0},
    {"jump", DIK_SPACE, 0},       {"interact", DIK_E, 0},      {"status", DIK_TAB, 0},     {"map", DIK_M, 0},
    {"return", DIK_RETURN, 0},    {"escape", DIK_ESCAPE, 0},   {"pad-back", 0, 0x0020},    {"pad-a", 0, 0x1000},
    {"pad-b", 0, 0x2000},         {"pad-up", 0, 0x0001},       {"pad-down", 0, 0x0002},     {"console", DIK_GRAVE, 0},
    {"key-a", DIK_A, 0},          {"key-d", DIK_D, 0},
};

// The game as the harness runs it: its packages from the data build, one
// fixed step of 1/60 s per frame, no splash, and a hook after each frame.
class PlayGame : public KorvanthGame {
public:
    void addStreamSources() override {
        KorvanthGame::addStreamSources();
        for (const char* package : {"Engine.zpk", "Korvanth.zpk", "KorvanthHeavy.zpk", "KorvanthVersion.zpk"}) {
            ZStreamMgr::GetInstance()->AddPackageSource((dataDir + "/" + package).c_str());
        }
    }
    void UpdateTiming() override {
        clock->AdvanceSeconds(1.0 / 60.0);
        KorvanthGame::UpdateTiming();
    }
    ZCinematic* CreateIntroSplash() override { return nullptr; }
    void postinit() override {
        KorvanthGame::postinit();
        // The game opens no campaign at start: a room of text stands in the
        // campaign's entry map, as the game's own start made it current.
        if (openCampaign && !OpenCampaignFile("Korvanth.kdd")) ZLog::Printf("Play harness: no campaign to stand in");
    }
    void PostRender() override {
        KorvanthGame::PostRender();
        if (afterFrame) afterFrame();
    }
    void shutdown() override {
        shuttingDown = true;
        KorvanthGame::shutdown();
    }
    // The engine's shutdown flushes its map after the game's part and before
    // the store goes.
    void FlushEntityMap(const bool markOnly) override {
        KorvanthGame::FlushEntityMap(markOnly);
        if (shuttingDown && atShutdown) {
            atShutdown();
            atShutdown = nullptr;
        }
    }

    os::fake::FakeClock* clock = nullptr;
    std::string dataDir;
    bool openCampaign = false;
    bool shuttingDown = false;
    std::function<void()> afterFrame;
    std::function<void()> atShutdown;
};

// Reads the player after every fixed step (it runs after the player's own
// second pass).
class Sampler : public ZUpdatable {
public:
    Sampler() : ZUpdatable(2) { SetUpdatePriority(1000); }
    void Update(float, uint8_t) override {}
    void PostUpdate(float, const uint8_t mask) override {
        Player* const player = GetPlayer();
        if ((mask & 2) == 0 || !recording || player == nullptr || player->spatial == nullptr) {
            return;
        }
        PlaySample s;
        s.frame = frame;
        s.position = player->spatial->current.position;
        s.velocity = player->spatial->current.velocity;
        if (player->physics != nullptr) {
            s.grounded = player->physics->grounded;
            s.onWall = player->physics->onWall;
            s.jumpsLeft = player->physics->jumpsLeft;
        }
        s.dead = player->IsDead();
        s.inWater = player->roomConditions[1];
        s.underwaterPhysics = player->underwaterPhysics;
        s.deaths = GetDeathsCount(*player);
        s.stepState = player->stepState;
        if (const KorvanthGame* const game = KorvanthGame::Get()) {
            s.roomX = game->GetMapData().currentRoomX;
            s.roomY = game->GetMapData().currentRoomY;
        }
        if (player->camera != nullptr && player->camera->camera != nullptr) s.camera = player->camera->camera->position;
        s.transition = IsTransitionPlaying();
        samples->push_back(s);
        ++stepsThisFrame;
    }
    bool recording = false;
    int32_t frame = 0;
    int32_t stepsThisFrame = 0;
    std::vector<PlaySample>* samples = nullptr;
};

void WriteText(const std::filesystem::path& path, const std::string& text) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

// What the title's New Game and Continue do: the saved game is thrown away
// (New Game) or read back (Continue), the world's layers are set up, and the
// loading screen starts the campaign.
void OpenCampaignStart(KorvanthGame& game, const bool continueGame) {
    ZArray<ZString> campaigns;
    ZStreamMgr::GetInstance()->FindFiles(campaigns, "*.kdd");
    ZString file = campaigns.IsEmpty() ? ZString() : campaigns[0];
    if (continueGame) {
        gameflow::ReloadSavedState(game, false);
        SavedProgress progress;
        if (gameflow::ReadProgress(progress) && !progress.campaign.IsEmpty()) file = progress.campaign;
    } else {
        gameflow::DiscardSavedGame();
    }
    GetMenuMgr()->CloseAll(ZMenuMgr::kForward);
    game.GetDisplay().SetUpWorldLayerMeshes(game);
    auto* const loading = new LoadingMenu();
    loading->SetTarget(file, continueGame, !continueGame);
    GetMenuMgr()->OpenMenu(loading);
}

void HoldKeys(platform::input::FakeInputSystem& input, const PlayFrames& frame, const bool pad) {
    for (const ControlName& c : kControls) {
        if (c.pad == 0) input.SetKey(c.key, false);
    }
    for (const uint8_t key : frame.keys) {
        input.SetKey(key, true);
    }
    if (pad) {
        platform::input::Gamepad state;
        state.wButtons = frame.padButtons;
        state.sThumbLX = frame.padStickX;
        input.SetPad(0, state);
    }
}

}  // namespace

bool ParsePlayScript(const std::string& text, std::vector<PlayFrames>& out, std::string& error) {
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
        ++number;
        const size_t hash = line.find('#');
        if (hash != std::string::npos) line.resize(hash);
        std::istringstream words(line);
        std::string word;
        if (!(words >> word)) continue;
        PlayFrames entry;
        char* end = nullptr;
        const long frames = std::strtol(word.c_str(), &end, 10);
        if (end == word.c_str() || *end != '\0' || frames < 1 || frames > 100000) {
            error = "line " + std::to_string(number) + ": \"" + word + "\" is not a frame count (1 to 100000)";
            return false;
        }
        entry.frames = static_cast<int32_t>(frames);
        while (words >> word) {
            if (word == "-") continue;
            // The pad's left stick pushed fully right.
            if (word == "pad-right") {
                entry.padStickX = 32767;
                continue;
            }
            bool known = false;
            for (const ControlName& c : kControls) {
                if (word == c.name) {
                    if (c.pad != 0) {
                        entry.padButtons = static_cast<uint16_t>(entry.padButtons | c.pad);
                    } else {
                        entry.keys.push_back(c.key);
                    }
                    known = true;
                }
            }
            if (!known) {
                error = "line " + std::to_string(number) + ": unknown control \"" + word + "\"";
                return false;
            }
        }
        out.push_back(entry);
    }
    return true;
}

void StartFromTitle(const bool continueGame) {
    if (KorvanthGame* const game = KorvanthGame::Get()) OpenCampaignStart(*game, continueGame);
}

PlayResult RunPlay(const PlaySetup& setup, const std::string& script) {
    PlayResult result;
    std::vector<PlayFrames> entries;
    if (!ParsePlayScript(script, entries, result.error)) {
        return result;
    }
    std::vector<PlayFrames> frames;
    bool usesPad = false;
    for (const PlayFrames& e : entries) {
        usesPad = usesPad || e.padButtons != 0 || e.padStickX != 0;
        for (int32_t i = 0; i < e.frames; ++i) frames.push_back(e);
    }

    korvtest::TempDir ownDocuments;
    const std::filesystem::path documents = setup.documents.empty() ? ownDocuments.Path() : std::filesystem::path(setup.documents);
    setenv("XDG_DOCUMENTS_DIR", documents.c_str(), 1);
    const std::string gameFolder = std::string("My Games/") + KorvanthGame::kTitle + "/";
    WriteText(documents / (gameFolder + "Config/Config.ini"),
                    "DoLogging: true\r\nFixedEngineFPS: 60\r\nFixedGameFPS: 60\r\n" + setup.config +
                        "\r\n[Video]\r\nFullscreen: false\r\nWidthWindowed: 640\r\nHeightWindowed: 480\r\n");
    os::fake::FakeClock clock;
    using platform::window::Backend;
    platform::window::SetWindowSystem(
        platform::window::CreateWindowSystem(setup.gl ? Backend::Sdl : Backend::Fake));
    auto devices = std::make_unique<platform::input::FakeInputSystem>();
    platform::input::FakeInputSystem* const input = devices.get();
    // A script that presses pad buttons plays on a pad plugged in before start-up.
    if (usesPad) {
        platform::input::FakeInputSystem::JoystickDesc pad;
        pad.name = "Fake Pad";
        pad.isXInput = true;
        input->SetPreferredJoystick(input->AttachJoystick(pad));
        input->SetPad(0, platform::input::Gamepad());
    }
    platform::input::SetInputSystem(std::move(devices));
    platform::sound::SetSoundSystem(platform::sound::CreateSoundSystem(platform::sound::Backend::Fake));

    auto* const game = new PlayGame();
    game->clock = &clock;
    game->dataDir = setup.dataDir;
    game->openCampaign = setup.start == PlayStart::kRoom && !setup.quickStart;
    game->atShutdown = setup.atShutdown;
    if (setup.gl && setup.display) {
        game->SetDisplay(std::make_unique<KorvanthDisplay>());
    }
    Sampler sampler;
    sampler.samples = &result.samples;
    std::unique_ptr<PlayRoom> room;
    int32_t waited = 0;
    int32_t next = -1;  // the script frame that runs next; -1 before the start
    bool menuOpened = false;
    game->afterFrame = [&] {
        Player* const player = GetPlayer();
        bool startedNow = false;
        if (next < 0) {
            // Start once whole steps run (start-up throttling is over).
            if (++waited > 600) {
                result.error = "the player never reached the room";
                game->RequestQuit();
                return;
            }
            if (player == nullptr || !(game->GetStepLength() > 0.0f)) return;
            if (setup.start != PlayStart::kRoom) {
                // The title's New Game or Continue, then play once the menus are gone.
                if (!menuOpened) {
                    OpenCampaignStart(*game, setup.start == PlayStart::kContinue);
                    menuOpened = true;
                    return;
                }
                if (!gameflow::IsGameInProgress() || GetMenuMgr()->GetOpenMenuCount() > 0 || IsTransitionPlaying()) {
                    return;
                }
                if (setup.prepare) setup.prepare(*player);
                result.started = true;
                startedNow = true;
                next = 0;
            }
        }
        if (next < 0 && setup.quickStart) {
            const PlaySetup::QuickStart& q = *setup.quickStart;
            if (!game->QuickStart(ZString(q.campaign.c_str()), ZString(q.map.c_str()), q.roomX, q.roomY, q.tileX,
                                  q.tileY, !setup.seed.empty(), ZString(setup.seed.c_str()))) {
                result.error = "QuickStart of " + q.campaign + " failed";
                game->RequestQuit();
                return;
            }
            for (const uint32_t id : setup.powerups) SetPowerup(*player, id, true);
            player->inPlay = true;
            if (setup.prepare) setup.prepare(*player);
            result.started = true;
            next = 0;
        } else if (next < 0) {
            room = std::make_unique<PlayRoom>(setup.room);
            if (!room->error().empty()) {
                result.error = "room: " + room->error();
                game->RequestQuit();
                return;
            }
            // The room stands alone in its area at the map's current room.
            if (KorvanthGame* korvanth = KorvanthGame::Get()) {
                MapData& map = korvanth->GetMapData();
                const float bounds[4] = {0.0f, 224.0f, 0.0f, 256.0f};
                std::copy(bounds, bounds + 4, map.rectBounds);
            }
            for (const uint32_t id : setup.powerups) SetPowerup(*player, id, true);
            const ZVector3 start = room->start();
            SetCheckpointPosition(*player, start.x, start.y, false);
            SetCheckpointPosition(*player, start.x, start.y, true);
            player->spatial->current.position = start;
            player->SettleMotion();
            player->inPlay = true;
            if (setup.prepare) setup.prepare(*player);
            result.started = true;
            next = 0;
        } else if (!startedNow) {
            if (sampler.stepsThisFrame != 1) ++result.framesWithoutOneStep;
            if (setup.afterFrame && player != nullptr) setup.afterFrame(*player, next);
            ++next;
        }
        if (next >= static_cast<int32_t>(frames.size())) {
            sampler.recording = false;
            HoldKeys(*input, PlayFrames{}, usesPad);
            game->RequestQuit();
            return;
        }
        HoldKeys(*input, frames[static_cast<size_t>(next)], usesPad);
        sampler.frame = next;
        sampler.stepsThisFrame = 0;
        sampler.recording = true;
    };
    ZBaseGame::Run(game, 0, 0, "", 1);
    room.reset();

    std::ifstream log(documents / (gameFolder + "Logs/Log.txt"));
    for (std::string line; std::getline(log, line);) result.log.push_back(line);
    ZBaseGame::DestroyInstance();
    // The next run in this process starts from nothing, as a new program would.
    ClearConfigRegistry();
    DeleteControlMgr();
    ZLocMgr::DestroyInstance();
    ZTextureMgr::DestroyInstance();
    ZDefinitionCache::DestroyInstance();
    ZStreamMgr::DestroyInstance();
    platform::input::SetInputSystem(nullptr);
    platform::window::SetWindowSystem(nullptr);
    unsetenv("XDG_DOCUMENTS_DIR");
    return result;
}

}  // namespace playtest
