#include "game/world/GameConsoleCommands.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <string>

#include "entity/ZCameraComponent.h"
#include "entity/ZComponentLookup.h"
#include "entity/ZEntity.h"
#include "entity/ZPhysicsComponent.h"
#include "entity/ZRenderableComponent.h"
#include "entity/ZSpatialComponent.h"
#include "foundation/ZLog.h"
#include "foundation/ZStateStore.h"
#include "foundation/ZUserFolders.h"
#include "framework/ZConsole.h"
#include "game/player/Player.h"
#include "game/player/PlayerContacts.h"
#include "game/player/PlayerProgress.h"
#include "game/player/PlayerStatus.h"
#include "game/progression/MinimapComponent.h"
#include "game/world/KorvanthGame.h"
#include "platform/os/files.h"
#include "renderer/ZCamera.h"
#include "renderer/ZRenderable.h"

namespace {

bool Is(const ZString& word, const char* name) { return EqualsNoCaseASCII(word.GetText(), name); }

// The player when it has its spatial component (the powerup commands need
// both), else null.
Player* PlacedPlayer(const KorvanthGame& game) {
    Player* const player = game.GetPlayer();
    return player != nullptr && player->spatial != nullptr ? player : nullptr;
}

// One jump back, as collecting a powerup gives.
void GiveBackJump(Player& player) {
    if (ZPhysicsComponent* physics = GetComponent<ZPhysicsComponent>(&player)) {
        physics->jumpsLeft = std::min(physics->jumpsLeft + 1, physics->maxJumps);
    }
}

// "crtref": shows or hides the CRT reference picture.
void ToggleCRTReference(KorvanthGame& game) {
    static const ZHashedString kName(KorvanthGame::kDebugBackgroundEntity);
    const auto* entry = game.GetBackdrops().Find(kName);
    ZEntity* const entity = entry != nullptr ? entry->value : nullptr;
    const ZRenderableComponent* const renderables =
        entity != nullptr ? GetComponent<ZRenderableComponent>(entity) : nullptr;
    ZRenderable* const mesh = renderables != nullptr ? renderables->GetRenderable(ZHashedString("")) : nullptr;
    if (mesh == nullptr) {
        game.GetConsole().Print("crtref: this scene has no CRT reference picture");
        return;
    }
    mesh->visible = !mesh->visible;
}

// 1 to 8 hexadecimal digits of a non-zero id (kind in the high 16 bits).
bool IsPowerupIdText(const ZString& word) {
    const char* text = word.GetText();
    const int32_t length = word.GetLength();
    if (length < 1 || length > 8) return false;
    for (int32_t i = 0; i < length; ++i) {
        if (!std::isxdigit(static_cast<unsigned char>(text[i]))) return false;
    }
    return HexToInt(text) != 0;
}

void Power(KorvanthGame& game, const ZConsoleWordList& words) {
    Player* const player = game.GetPlayer();
    const ZString& choice = words[1];
    if (Is(choice, "all")) {
        if (player != nullptr) {
            SetAllPowerups(*player, true);
            GiveAllItems(*player);
        }
    } else if (Is(choice, "swag")) {
        if (player != nullptr) GiveAllItems(*player);
    } else if (Is(choice, "none")) {
        if (player != nullptr) SetAllPowerups(*player, false);
    } else if (!IsPowerupIdText(choice)) {
        // Anything else would set the datum of whatever number its bytes make.
        game.GetConsole().Printf("power: \"%s\" is not a powerup id (up to 8 hexadecimal digits, e.g. 20002)",
                                 choice.GetText());
    } else if (Player* placed = PlacedPlayer(game)) {
        SetPowerup(*placed, HexToInt(choice.GetText()), true);
    }
}

void Gimme(KorvanthGame& game) {
    Player* const player = PlacedPlayer(game);
    if (player == nullptr) return;
    SetPowerup(*player, kPowerupDoubleJump, true);
    SetPowerup(*player, kPowerupClimbingGloves, true);
    RefreshPlayerAbilities(*player);
    GiveBackJump(*player);
    // The room again, so its tiles show what the new powerups open.
    if (game.GetCurrentMapName().GetLength() != 0) {
        game.LoadRoom();
        game.LoadEntityInstances(false);
    }
}

void SetAbility(KorvanthGame& game, const uint32_t powerup, const ZString& word, const bool giveJump) {
    Player* const player = PlacedPlayer(game);
    if (player == nullptr) return;
    SetPowerup(*player, powerup, ParseBool(word.GetText()));
    RefreshPlayerAbilities(*player);
    if (giveJump) GiveBackJump(*player);
}

// The camera the player's picture is seen through.
ZCamera* FirstCamera(const KorvanthGame& game) {
    const Player* const player = game.GetPlayer();
    if (player != nullptr && player->camera != nullptr && player->camera->camera != nullptr) {
        return player->camera->camera;
    }
    return game.GetWorldCamera();
}

void Glitch(KorvanthGame& game, const ZConsoleWordList& words) {
    ZCamera* const camera = FirstCamera(game);
    if (camera == nullptr) {
        game.GetConsole().Print("glitch: there is no camera yet");
        return;
    }
    ZVector3 position = camera->GetPosition();
    game.GetConsole().Printf("Camera position is: %f %f %f", static_cast<double>(position.x),
                             static_cast<double>(position.y), static_cast<double>(position.z));
    // Word 1 is y and word 2 is x; a word that is no number reads as 0.
    for (uint32_t i = 1; i < words.Count() && i <= 2; ++i) {
        const float value = words[i].ToFloat();
        if (!std::isfinite(value)) {
            game.GetConsole().Printf("glitch: \"%s\" is not a position; the camera stays", words[i].GetText());
            return;
        }
        (i == 1 ? position.y : position.x) = value;
        camera->SetPosition(position);
    }
}

// Shows every room of the current map on the player's minimap (without
// counting them as discovered).
void Reveal(const KorvanthGame& game) {
    if (MinimapComponent* minimap = ResolveComponent<MinimapComponent>(game.GetPlayer())) minimap->FillAllRooms();
}

// --- Registered handlers ---

void NukeSaveCommand(const ZConsoleWordList& /*words*/, uintptr_t /*argument*/) {
    GetStateStore()->Clear();
    KorvanthGame* const game = KorvanthGame::Get();
    if (game == nullptr) return;
    // The whole path, never cut to a fixed buffer: a long documents folder
    // must not make this delete some other file.
    const std::string path = game->GetAutosavePath().GetText();
    if (FileExists(path.c_str()) && os::DeleteFile(path) != 0) {
        game->GetConsole().Printf("nukesave: %s could not be deleted", path.c_str());
    }
    if (Player* player = game->GetPlayer()) ResetPlayer(*player);
}

void MultiSynthCommand(const ZConsoleWordList& /*words*/, uintptr_t /*argument*/) {
    KorvanthGame* const game = KorvanthGame::Get();
    if (game == nullptr) return;
    const GameVoice* const voice = game->GetVoice();
    game->GetConsole().Printf("The multisynth is playing %d tunes:", voice != nullptr ? voice->CountPlayingTunes() : 0);
}

void KillPlayerCommand(const ZConsoleWordList& /*words*/, uintptr_t /*argument*/) {
    const KorvanthGame* const game = KorvanthGame::Get();
    if (game != nullptr && game->GetPlayer() != nullptr) Die(*game->GetPlayer());
}

// The speedrun ghost words are accepted and do nothing.
void SpeedrunGhostCommand(const ZConsoleWordList& /*words*/, uintptr_t /*argument*/) {}

void EmptyHook(const ZConsoleWordList& /*words*/, uintptr_t /*argument*/) {}

struct Registered {
    const char* name;
    ZConsoleHandler handler;
    bool developerOnly;
};

const Registered kRegistered[] = {
    {"nukesave", NukeSaveCommand, false},
    {"multisynth", MultiSynthCommand, false},
    {"stuck", KillPlayerCommand, false},
    {"unstuck", KillPlayerCommand, false},
    {"spawn", KillPlayerCommand, false},
    {"respawn", KillPlayerCommand, false},
    {"die", KillPlayerCommand, false},
    {"kill", KillPlayerCommand, false},
    {"suicide", KillPlayerCommand, false},
    {"saveghost", SpeedrunGhostCommand, true},
    {"loadghost", SpeedrunGhostCommand, true},
    {"testlbui", EmptyHook, true},
    {"speedrunclear", SpeedrunGhostCommand, true},
    {"clearspeedrun", SpeedrunGhostCommand, true},
};

}  // namespace

bool ExecuteGameConsoleCommand(KorvanthGame& game, const ZConsoleWordList& words) {
    if (words.IsEmpty()) return false;
    const ZString& verb = words[0];
    const uint32_t n = words.Count();
    if (Is(verb, "crtref")) {
        ToggleCRTReference(game);
    } else if (Is(verb, "currentroom") || Is(verb, "room") || Is(verb, "which")) {
        const MapData& map = game.GetMapData();
        game.GetConsole().Printf("The active room is located at ( %d, %d ).", map.currentRoomX, map.currentRoomY);
    } else if (Is(verb, "power")) {
        if (n >= 2) Power(game, words);
    } else if (Is(verb, "gimme")) {
        Gimme(game);
    } else if (Is(verb, "doublejump") && n == 2) {
        SetAbility(game, kPowerupDoubleJump, words[1], true);
    } else if (Is(verb, "walljump") && n == 2) {
        SetAbility(game, kPowerupClimbingGloves, words[1], false);
    } else if (Is(verb, "glitch")) {
        Glitch(game, words);
    } else if (Is(verb, "reveal")) {
        Reveal(game);
    } else {
        return false;
    }
    return true;
}

void RegisterGameConsoleCommands(KorvanthGame& game) {
    for (const Registered& row : kRegistered) game.RegisterConsoleCommand(row.name, row.handler, "", row.developerOnly);
}
