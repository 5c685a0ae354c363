#include "game/player/PlayerStatus.h"

#include "entity/ZComponentLookup.h"
#include "entity/ZDataComponent.h"
#include "entity/ZDatum.h"
#include "entity/ZDialogConsumerComponent.h"
#include "entity/ZDialogProviderComponent.h"
#include "entity/ZEntityGameHooks.h"
#include "entity/ZSpatialComponent.h"
#include "foundation/ZDefinitionCache.h"
#include "foundation/ZHandleRegistry.h"
#include "framework/ZBaseGame.h"
#include "framework/ZRuntimeRand.h"
#include "game/display/DisplayChain.h"
#include "game/display/DisplayState.h"
#include "game/display/SceneOverlays.h"
#include "game/player/Player.h"
#include "game/player/PlayerHooks.h"
#include "game/progression/SpeedrunComponent.h"
#include "game/world/KorvEntity.h"
#include "game/world/KorvanthGame.h"
#include "renderer/ZFont.h"

namespace {

// The font dialogs are written in; its line spacing is the status screens'
// business while one shows.
ZFont* DialogFont() {
    static const ZHashedString kDialog("Dialog");
    if (const KorvanthGame* game = KorvanthGame::Get(); game != nullptr && game->GetTextFont() != nullptr) {
        return game->GetTextFont();
    }
    return GetGameFont(kDialog);
}

void SetDialogLineSpacing(const float spacing) {
    if (ZFont* font = DialogFont()) {
        font->lineSpacing = spacing;
    }
}

// Says the "DialogProvider" element of a status definition to the player.
void SayToSelf(Player& player, const ZDefNode& definition, const int32_t rows, const int32_t minimumRows,
               const int32_t width) {
    static const ZHashedString kDialogProvider("DialogProvider");
    ZDialogConsumerComponent* const consumer = GetComponent<ZDialogConsumerComponent>(&player);
    ZDialogProviderComponent* const provider = GetComponent<ZDialogProviderComponent>(&player);
    if (consumer == nullptr || provider == nullptr) {
        return;
    }
    SetDialogLineSpacing(1.0f);
    provider->ClearDialogs();
    provider->ReadDefinition(definition.FindChild(kDialogProvider));
    // The whole screen at once, in its own layout.
    provider->typingRate = 100000.0f;
    provider->rows = rows;
    provider->minimumRows = minimumRows;
    provider->boxWidth = width;
    provider->consumer = consumer->GetHandle();
    const uint32_t providerHandle = provider->GetHandle();
    const uint32_t consumerHandle = consumer->GetHandle();
    const bool started = provider->StartDialog();
    if (FindObjectByHandle(providerHandle) != provider || FindObjectByHandle(consumerHandle) != consumer) {
        return;
    }
    if (started) {
        consumer->OpenDialog(provider);
    } else {
        provider->consumer = 0;
        SetDialogLineSpacing(2.0f);
    }
}

}  // namespace

void PlaceEffect(const char* definition, const ZVector3& at) {
    const ZHashedString file(definition);
    // A missing definition would make an entity of nothing.
    if (GetDefinitionFile(file).children.IsEmpty()) {
        return;
    }
    KorvEntity* const entity = CreateKorvEntity(file, 0);
    if (entity == nullptr) {
        return;
    }
    if (ZSpatialComponent* spatial = GetComponent<ZSpatialComponent>(entity)) {
        spatial->current.position = at;
        spatial->ResetInterpolation();
    }
    if (ZBaseGame* game = ZBaseGame::PeekInstance()) {
        game->GetEntityList().PushBack(entity);
    } else {
        delete entity;
    }
}


void ShowFullMap(const bool visible) {
    const DisplayChain* const chain = PeekDisplayState() != nullptr ? PeekDisplayState()->GetChain() : nullptr;
    if (SceneOverlays* overlays = chain != nullptr ? chain->GetOverlays() : nullptr) {
        overlays->GetRenderable(SceneOverlays::kFullMapContent).visible = visible;
        overlays->GetRenderable(SceneOverlays::kFullMapIndicator).visible = visible;
    }
}

void StartEdgeWalk(Player& player) {
    const KorvanthGame* const game = KorvanthGame::Get();
    if (IsOverworldMode() || game == nullptr || player.spatial == nullptr) {
        return;
    }
    const float x = player.spatial->current.position.x;
    const float left = game->GetMapData().rectBounds[2];
    const float right = game->GetMapData().rectBounds[3];
    float direction = 0.0f;
    if (x <= left + 16.0f) {
        direction = 1.0f;
    } else if (x >= right - 16.0f) {
        direction = -1.0f;
    } else {
        return;
    }
    player.forcedInput = ZVector3(direction, 0.0f, 0.0f);
    player.forcedInputRemaining = player.forcedInputDuration;
}

void OpenStatusDialog(Player& player) {
    // A speedrun course has its own, smaller status screen.
    const SpeedrunComponent* const speedrun = GetComponent<SpeedrunComponent>(&player);
    if (speedrun != nullptr && speedrun->IsOnCourse()) {
        SayToSelf(player, player.speedrunStatusDefinition, 7, 7, 18);
    } else {
        // The heart pieces' count is made by the first one taken ("init" in
        // its script): until then the screen counts none.
        static const ZHashedString kHearts("bgcubes");
        ZDataComponent* const data = GetComponent<ZDataComponent>(&player);
        ZDatumEntry hearts;
        if (data != nullptr && (!data->GetDatum(kHearts, hearts) || hearts.type == kDatumNone)) {
            data->SetDatum(kHearts, ZDatumEntry::Int(0));
        }
        SayToSelf(player, player.statusDefinition, 10, 10, 15);
    }
}

bool IsFullMapAvailable() {
    // The overworld keeps a minimap but has no map screen: FullMap is a
    // side-view control.
    const DisplayState* const display = PeekDisplayState();
    return display != nullptr && display->minimapAvailable && !IsOverworldMode();
}

void OpenFullMapDialog(Player& player) {
    SayToSelf(player, player.fullMapDefinition, 10, 10, 26);
    if (IsFullMapAvailable() && GetComponent<ZDialogConsumerComponent>(&player) != nullptr &&
        GetComponent<ZDialogConsumerComponent>(&player)->provider != 0) {
        ShowFullMap(true);
    }
}

void OnPlayerDialogClosed(ZEntity* /*owner*/) {
    SetDialogLineSpacing(2.0f);
    ShowFullMap(false);
}

void SpawnSplash(ZEntity& source, const bool down) {
    static const ZHashedString kChannel("Player");
    KorvanthGame* const game = KorvanthGame::Get();
    if (game != nullptr && game->GetVoice() != nullptr) {
        game->GetVoice()->PlayTune(down ? "splashdown.zms" : "splash.zms", 80, kChannel);
    }
    const ZSpatialComponent* const spatial = GetComponent<ZSpatialComponent>(&source);
    if (spatial == nullptr) {
        return;
    }
    const ZVector3 at = spatial->current.position;
    PlaceEffect("Splash.zdd", ZVector3(at.x, at.y + (down ? 2.0f : 4.0f), at.z));
}

void UpdateBubbles(Player& player, const float dt) {
    const KorvanthGame* const game = KorvanthGame::Get();
    if (!player.underwaterPhysics || game == nullptr || player.spatial == nullptr) {
        return;
    }
    player.bubbleTimer -= dt;
    if (player.bubbleTimer > 0.0f) {
        return;
    }
    player.bubbleTimer = 0.5f + 2.0f * static_cast<float>(RuntimeRand()) / 32767.0f;
    const ZVector3 at = player.spatial->current.position;
    const float top = at.y - 2.0f;
    const MapData& map = game->GetMapData();
    const auto column = static_cast<int32_t>(at.x * 0.125f);
    const auto row = static_cast<int32_t>((top - 8.0f) * 0.125f);
    const uint8_t kind = game->GetTileCollision(map.currentRoomX, map.currentRoomY, column, row);
    const bool anyOpenTile = player.roomConditions[3] && (kind == 0 || kind == 3);
    if (kind == 4 || kind == 6 || anyOpenTile) {
        PlaceEffect("Bubble.zdd", ZVector3(at.x, top, at.z));
    }
}

void GiveAllItems(ZEntity& entity) {
    ZDataComponent* const data = GetComponent<ZDataComponent>(&entity);
    if (data == nullptr) {
        return;
    }
    const struct {
        const char* key;
        int32_t value;
    } kItems[] = {{"smcubes", 128}, {"smcubes_total", 128}, {"bgcubes", 6}, {"keys", 20}};
    for (const auto& item : kItems) {
        data->SetDatum(ZHashedString(item.key), ZDatumEntry::Int(item.value));
    }
}
