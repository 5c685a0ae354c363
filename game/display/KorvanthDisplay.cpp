#include "game/display/KorvanthDisplay.h"

#include "audio/ZAudioMgr.h"
#include "foundation/ZLog.h"
#include "game/display/DisplayAppliers.h"
#include "game/display/DisplayChain.h"
#include "game/display/DisplayState.h"
#include "game/display/GameRenderPasses.h"
#include "game/display/NTSCPalette.h"
#include "game/display/SceneOverlays.h"
#include "game/display/SceneSwitching.h"
#include "game/display/WipeShader.h"
#include "game/menus/MenuScene.h"
#include "game/world/KorvanthGame.h"
#include "game/world/TileLayerMesh.h"
#include "game/world/WorldEntity.h"
#include "menu/ZMenuMgr.h"
#include "renderer/ZRenderGroup.h"
#include "renderer/ZRenderer.h"
#include "renderer/ZSpriteBatch.h"

void KorvanthDisplay::SyncRoomColour(const KorvanthGame& game) {
    // The clear passes clear to the current room's colour (red, green, blue, alpha).
    const uint8_t* c = game.GetMapData().currentColour;
    GetDisplayState()->roomBackground = ZColor32(c[0], c[1], c[2], c[3]);
}

namespace {

const char* const kNavigationSound = "Boop";

// The game's copy of the eye, which its world materials read.
void CopyEyeToGame(const DisplayState& state) {
    KorvanthGame* game = KorvanthGame::Get();
    if (game == nullptr) return;
    game->m_anaglyphOffset[0] = state.eyeDistance;
    game->m_anaglyphOffset[1] = state.distanceOffset;
    game->m_anaglyphTint[0] = state.eyeColor.x;
    game->m_anaglyphTint[1] = state.eyeColor.y;
    game->m_anaglyphTint[2] = state.eyeColor.z;
    game->m_anaglyphTint[3] = state.eyeColor.w;
}

// What the menus switch in the scene: the CRT menu's tuner and the loading
// screen's wipe.
void FollowMenuScene(SceneOverlays& overlays) {
    const MenuScene& scene = GetMenuScene();
    overlays.GetRenderable(SceneOverlays::kTunerBack).visible = scene.tunerPreviewVisible;
    overlays.GetRenderable(SceneOverlays::kTunerBall).visible = scene.tunerPreviewVisible;
    overlays.GetRenderable(SceneOverlays::kWipe).visible = scene.wipeVisible;
    if (WipeShader* wipe = overlays.GetWipeShader()) wipe->offset.y = scene.wipe;
}

}  // namespace

void KorvanthDisplay::CreateRenderPasses(KorvanthGame& game) { CreateGameRenderPasses(game); }

void KorvanthDisplay::CreateRenderGroups(KorvanthGame& game) { CreateGameRenderGroups(game); }

void KorvanthDisplay::AssignGroupsToPasses(KorvanthGame& game) { AssignGameGroupsToPasses(game); }

void KorvanthDisplay::SetUpGameScene(KorvanthGame& game) {
    SyncRoomColour(game);
    GetDisplayState()->onEyeChanged = CopyEyeToGame;
    // Both screens stay off until the title's reset, the start of play or a
    // change of the CRT setting switches one on.
    SetUpGameDisplayChain();
    // The menus' navigation sound.
    if (GetAudioMgr()->CreateSound("menu.wav", ZHashedString(kNavigationSound), game.GetSFXAudioGroupName(), false) ==
        nullptr) {
        ZLog::Printf("The menus' sound menu.wav could not be made; menus stay silent");
    }
    GetMenuMgr()->SetNavigationSound(ZHashedString(kNavigationSound));
}

void KorvanthDisplay::ShutdownGameScene(KorvanthGame& game) {
    GetDisplayState()->onEyeChanged = nullptr;
    ShutdownGameDisplayChain();
    GetAudioMgr()->ReleaseSound(ZHashedString(kNavigationSound));
    m_fonts.Release();
    // The sheet's material goes first; the game deletes the sheet after.
    if (ZSpriteBatch* sheet = game.GetItemSheet()) sheet->shader = nullptr;
    m_itemSheetShader.reset();
}

void KorvanthDisplay::SelectCompositeTarget(KorvanthGame& game, const bool secondTarget) {
    SyncRoomColour(game);
    if (DisplayChain* chain = GetDisplayState()->GetChain()) {
        if (SceneOverlays* overlays = chain->GetOverlays()) FollowMenuScene(*overlays);
    }
    PrepareGameDisplayFrame(secondTarget);
}

// The item pictures draw inline in the HUD's texts, in anaglyph like them.
void KorvanthDisplay::AttachItemSheet(KorvanthGame&, ZSpriteBatch& sheet) {
    if (m_itemSheetShader == nullptr) m_itemSheetShader.reset(LoadAnaglyphStatusGlyphShader());
    sheet.shader = m_itemSheetShader.get();
    if (ZRenderGroup* group = GetRenderer()->FindRenderGroup(ZHashedString("Glyph Group"))) {
        group->Add(&sheet);
    } else {
        ZLog::Printf("The render group \"Glyph Group\" does not exist; item pictures are not drawn");
    }
}

void KorvanthDisplay::LoadGameFonts(KorvanthGame& game) { m_fonts.Load(game); }

// A new map's atlas is on its way: the static layers' quads point at the old
// atlas's places and the animated ones into the old palettes, so all go (an
// empty rectangle builds nothing). The next room builds them anew.
void KorvanthDisplay::ReleaseWorldLayers(KorvanthGame& game) {
    if (const WorldEntity* world = game.GetWorldEntity()) {
        for (const ZHashedString slot : {world->GetCurrentBackName(), world->GetPreviousBackName(),
                                         world->GetCurrentForeName(), world->GetPreviousForeName()}) {
            if (auto* mesh = dynamic_cast<TileLayerMesh*>(world->FindMesh(slot))) {
                mesh->Build(game.GetMapData(), false, RoomRect(), false, nullptr);
            }
        }
    }
    if (DynWorldEntity* animated = game.GetDynWorldEntity()) animated->ClearAnimations();
}

// The game's menus start play through this call: the title's static, wipe
// and tuner give way to the world, which the room's load builds.
void KorvanthDisplay::SetUpWorldLayerMeshes(KorvanthGame& game) { LeaveTitleScene(game); }

void KorvanthDisplay::ApplyPaletteSetting(KorvanthGame&) { RebuildNTSCLookupTexture(); }

void KorvanthDisplay::ApplyCRTPasses(KorvanthGame&, bool) { ApplyCRTPassSetting(); }

void KorvanthDisplay::ApplyAnaglyphPasses(KorvanthGame&, bool) { ApplyAnaglyphPassSetting(); }

void KorvanthDisplay::ApplyMinimapSetting(KorvanthGame&, bool) { ApplyMinimapVisibility(); }

void KorvanthDisplay::ApplyBorderSetting(KorvanthGame&, bool) { ::ApplyBorderSetting(); }
