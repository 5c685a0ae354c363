#include "game/display/SceneSwitching.h"

#include "entity/ZDataComponent.h"
#include "game/components/GroupStore.h"
#include "game/progression/RandomizerComponent.h"

#include "entity/ZComponentLookup.h"
#include "entity/ZEntity.h"
#include "entity/ZRenderableComponent.h"
#include "foundation/ZVector4.h"
#include "game/display/BackdropShader.h"
#include "game/display/DisplayAppliers.h"
#include "game/display/DisplayChain.h"
#include "game/display/DisplayState.h"
#include "game/display/KorvanthDisplay.h"
#include "game/display/SceneOverlays.h"
#include "game/display/StaticShader.h"
#include "game/player/Player.h"
#include "game/world/KorvanthGame.h"
#include "game/world/WorldEntity.h"
#include "game/world/SynthGameVoice.h"
#include "audio/ZMultiSynthVoice.h"
#include "menu/ZCinematicMgr.h"
#include "renderer/ZCamera.h"
#include "renderer/ZFont.h"
#include "renderer/ZRenderGroup.h"
#include "renderer/ZRenderer.h"

namespace {

void SetGroupEnabled(const char* name, const bool enabled) {
    if (const ZRenderer* renderer = PeekRenderer()) {
        if (ZRenderGroup* group = renderer->FindRenderGroup(ZHashedString(name))) group->enabled = enabled;
    }
}

SceneOverlays* Overlays() {
    const DisplayState* display = PeekDisplayState();
    return display != nullptr && display->GetChain() != nullptr ? display->GetChain()->GetOverlays() : nullptr;
}

void StopCinematics() {
    if (ZCinematicMgr* cinematics = PeekCinematicMgr()) cinematics->StopAll();
}

// The CRT screen or the flat one, as the setting says.
void ShowCurrentScreen() {
    const DisplayState* display = PeekDisplayState();
    const bool crt = display != nullptr ? display->Settings().crtSim : DisplaySettings().crtSim;
    SetGroupEnabled("Screen Group", crt);
    SetGroupEnabled("No CRT Group", !crt);
}

}  // namespace

void SetUpScreenGroups(ZBaseGame& game) {
    ShowCurrentScreen();
    const ZMap<ZHashedString, ZEntity*>& backdrops = game.GetBackdrops();
    const auto* entry = backdrops.Find(ZHashedString("Depth Backdrop"));
    if (entry == nullptr || entry->value == nullptr) return;
    const ZRenderableComponent* renderables = GetComponent<ZRenderableComponent>(entry->value);
    if (renderables == nullptr) return;
    for (const auto& node : renderables->renderables) {
        ZRenderable* renderable = node.value;
        if (renderable == nullptr || renderable->shader == nullptr) continue;
        if (auto* backdrop = dynamic_cast<BackdropShader*>(renderable->shader)) {
            backdrop->color = ZVector4(0.0625f, 0.0625f, 0.0625f, 1.0f);
        }
        return;
    }
}

void SetPlayerFigureVisible(const Player& player, const bool visible) {
    if (player.renderable == nullptr) return;
    for (const auto& node : player.renderable->renderables) {
        if (node.value != nullptr) {
            node.value->visible = visible;
            return;
        }
    }
}

void SetUpWorldLayerMeshes(ZBaseGame& game, const bool visible) {
    if (auto* korvanth = dynamic_cast<KorvanthGame*>(&game)) {
        // The tile layers through their own switch (the previous room's pair stays hidden).
        if (WorldEntity* world = korvanth->GetWorldEntity()) world->SetLayersVisible(visible);
        if (DynWorldEntity* animated = korvanth->GetDynWorldEntity()) animated->SetLayersVisible(visible);
        // The player's figure waits for its room: until the player has been
        // put down in one it stands wherever the last game (or nothing) left
        // it, in the middle of the menus and the loading screen.
        if (const Player* player = korvanth->GetPlayer()) SetPlayerFigureVisible(*player, visible && player->inPlay);
        if (auto* display = dynamic_cast<KorvanthDisplay*>(&korvanth->GetDisplay())) {
            if (ZFont* hud = display->GetFonts().GetHUDFont()) hud->visible = visible;
        }
    }
    game.SetListedEntitiesEnabled(visible);
}

void ResetToTitleScene(KorvanthGame* game) {
    if (game == nullptr) return;
    game->FlushEntityList(false);
    StopCinematics();
    game->SetListedEntitiesEnabled(false);
    SetUpScreenGroups(*game);
    SceneOverlays* overlays = Overlays();
    if (overlays != nullptr) overlays->GetRenderable(SceneOverlays::kStatic).visible = true;
    SetUpWorldLayerMeshes(*game, false);
    game->FlushEntityList(false);
    // The title forgets the group values; a start reads them back from the save.
    if (GroupStore* const groups = game->GetGroupStore()) {
        if (ZDataComponent* const data = groups->GetData()) data->ClearData();
    }
    StopCinematics();
    if (overlays != nullptr && overlays->GetStaticShader() != nullptr) overlays->GetStaticShader()->RestartAttractCycle();
    if (auto* voice = dynamic_cast<SynthGameVoice*>(game->GetVoice())) {
        if (ZMultiSynthVoice* synth = voice->GetSynth()) synth->StopAllTunes();
    }
    if (ZCamera* camera = game->GetCamera()) {
        camera->SetPosition(ZVector3(-2.35f, 0.0f, 0.0f));
        camera->SetOrientation(ZVector3(1.0f, 0.0f, 0.0f), ZVector3(0.0f, 0.0f, 1.0f));
        PlaceSceneCamera();
    }
    // The title plays the shipped world until a start chooses otherwise.
    if (RandomizerComponent* const randomizer = FindPlayerRandomizer()) randomizer->Setup(false, ZString());
}

void LeaveTitleScene(ZBaseGame& game) {
    // Play may start without the title (a quick start): its screen shows too.
    ShowCurrentScreen();
    if (SceneOverlays* overlays = Overlays()) {
        for (const SceneOverlays::Row row :
             {SceneOverlays::kStatic, SceneOverlays::kWipe, SceneOverlays::kTunerBack, SceneOverlays::kTunerBall}) {
            overlays->GetRenderable(row).visible = false;
        }
    }
    SetUpWorldLayerMeshes(game, true);
}
