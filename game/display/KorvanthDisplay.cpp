#include "game/display/KorvanthDisplay.h"

#include <algorithm>

#include "foundation/ZLog.h"
#include "game/display/DisplayAppliers.h"
#include "game/display/DisplayChain.h"
#include "game/display/DisplayState.h"
#include "game/display/GameRenderPasses.h"
#include "game/display/NTSCPalette.h"
#include "game/world/KorvanthGame.h"
#include "renderer/ZRenderGroup.h"
#include "renderer/ZRenderer.h"
#include "renderer/ZSpriteBatch.h"

void KorvanthDisplay::SyncSettings(const KorvanthGame& g) {
    DisplaySettings& s = GetDisplayState()->settings;
    s.pixelAspectRatio = g.m_pixelAspectRatio;
    s.overscan = g.m_overscan;
    s.sharp = g.m_sharp;
    s.pers = g.m_pers;
    std::copy(std::begin(g.m_persColor), std::end(g.m_persColor), s.persColor);
    s.bleed = g.m_bleed;
    s.dim = g.m_dim;
    s.sat = g.m_sat;
    s.bloom = g.m_bloom;
    s.bloomPower = g.m_bloomPower;
    s.refl = g.m_refl;
    s.barrel = g.m_barrel;
    s.scanBright = g.m_scanBright;
    s.scanOpacity = g.m_scanOpacity;
    s.ntsc = g.m_ntsc;
    s.ntscBlend = g.m_ntscBlend;
    s.ntscLUTBlend = g.m_ntscLUTBlend;
    s.anaglyphDesaturation = g.m_anaglyphDesaturation;
    s.anaglyphBrightness = g.m_anaglyphBrightness;
    s.redTint = g.m_redTint;
    s.blueTint = g.m_blueTint;
    s.backgroundDimming = g.m_backgroundDimming;
    s.eyeSwap = g.m_eyeSwap;
    s.tint = g.m_tint;
    s.iScalar = g.m_iScalar;
    s.qScalar = g.m_qScalar;
    s.bloomDown = g.m_bloomDown;
    s.bloomUp = g.m_bloomUp;
    s.crtSim = g.m_crtSim;
    s.anaglyph3D = g.m_anaglyph3D;
    s.showBorder = g.m_showBorder;
    s.borderBrightness = g.m_borderBrightness;
    s.diffuseLight = g.m_diffuseLight;
    s.specularLight = g.m_specularLight;
    s.specularPower = g.m_specularPower;
    s.fresnelLight = g.m_fresnelLight;
    s.lightPosX = g.m_lightPosX;
    s.lightPosY = g.m_lightPosY;
    s.reverb = g.m_reverb;
    s.highDelay = g.m_highDelay;
    s.lowDelay = g.m_lowDelay;
    s.dryMix = g.m_dryMix;
    s.wetMix = g.m_wetMix;
    s.attenSpeed = g.m_attenSpeed;
    s.showMinimap = g.m_showMinimap;
    // The clear passes clear to the current room's colour (red, green, blue, alpha).
    const uint8_t* c = g.GetMapData().currentColour;
    GetDisplayState()->roomBackground = ZColor32(c[0], c[1], c[2], c[3]);
}

namespace {

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

}  // namespace

void KorvanthDisplay::CreateRenderPasses(KorvanthGame& game) { CreateGameRenderPasses(game); }

void KorvanthDisplay::CreateRenderGroups(KorvanthGame& game) { CreateGameRenderGroups(game); }

void KorvanthDisplay::AssignGroupsToPasses(KorvanthGame& game) { AssignGameGroupsToPasses(game); }

void KorvanthDisplay::SetUpGameScene(KorvanthGame& game) {
    SyncSettings(game);
    GetDisplayState()->onEyeChanged = CopyEyeToGame;
    SetUpGameDisplayChain();
    // Until the title's screen set-up exists, show the screen the setting asks for.
    ApplyCRTPassSetting();
}

void KorvanthDisplay::ShutdownGameScene(KorvanthGame& game) {
    GetDisplayState()->onEyeChanged = nullptr;
    ShutdownGameDisplayChain();
    // The sheet's material goes first; the game deletes the sheet after.
    if (ZSpriteBatch* sheet = game.GetItemSheet()) sheet->shader = nullptr;
    m_itemSheetShader.reset();
}

void KorvanthDisplay::SelectCompositeTarget(KorvanthGame& game, const bool secondTarget) {
    SyncSettings(game);
    DisplayState* display = GetDisplayState();
    display->compositeParity = secondTarget;
    if (DisplayChain* chain = display->GetChain()) chain->ApplyParity();
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

void KorvanthDisplay::ReleaseWorldLayers(KorvanthGame& game) { m_world.ReleaseWorldLayers(game); }

void KorvanthDisplay::SetUpWorldLayerMeshes(KorvanthGame& game) { m_world.SetUpWorldLayerMeshes(game); }

void KorvanthDisplay::ApplyPaletteSetting(KorvanthGame& game) {
    SyncSettings(game);
    RebuildNTSCLookupTexture();
}

void KorvanthDisplay::ApplyCRTPasses(KorvanthGame& game, bool) {
    SyncSettings(game);
    ApplyCRTPassSetting();
}

void KorvanthDisplay::ApplyAnaglyphPasses(KorvanthGame& game, bool) {
    SyncSettings(game);
    ApplyAnaglyphPassSetting();
}

void KorvanthDisplay::ApplyMinimapSetting(KorvanthGame& game, bool) {
    SyncSettings(game);
    ApplyMinimapVisibility();
}

void KorvanthDisplay::ApplyBorderSetting(KorvanthGame& game, bool) {
    SyncSettings(game);
    ::ApplyBorderSetting();
}
