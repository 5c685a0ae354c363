#include "game/display/DisplayChain.h"

#include <string>

#include "foundation/ZLog.h"
#include "framework/ZBaseGame.h"
#include "game/display/AnaglyphShader.h"
#include "game/display/CompositeShader.h"
#include "game/display/DisplayAppliers.h"
#include "game/display/DisplayShaderSupport.h"
#include "game/display/DisplayState.h"
#include "game/display/MonitorShader.h"
#include "game/display/NTSCPalette.h"
#include "game/display/NTSCShader.h"
#include "game/display/NoCRTShader.h"
#include "game/display/PostProcessShader.h"
#include "game/display/RoomFrameShader.h"
#include "game/display/SceneOverlays.h"
#include "game/display/ScreenShader.h"
#include "game/display/TubeQuad.h"
#include "renderer/ZCamera.h"
#include "platform/gfx/effect.h"
#include "renderer/ZEffect.h"
#include "renderer/ZFXAAFilter.h"
#include "renderer/ZRenderGroup.h"
#include "renderer/ZRenderPassDesc.h"
#include "renderer/ZRenderer.h"
#include "renderer/ZScreenQuad.h"
#include "renderer/ZScreenRenderTarget.h"
#include "renderer/ZTexture.h"
#include "renderer/ZTextureMgr.h"

namespace {

const char* const kLookupName = "NTSC_LUT_Texture";
// Stands for the world's tile atlas until a campaign's atlas replaces it.
const char* const kWorldTilesName = "Texture_WorldTiles";

ZRenderPassDesc* FindPass(const char* name) { return GetRenderer()->FindRenderPass(ZHashedString(name)); }

void AddToGroup(const char* group, ZRenderable* renderable) {
    if (ZRenderGroup* g = GetRenderer()->FindRenderGroup(ZHashedString(group))) g->Add(renderable);
}

void SetGroupEnabled(const char* name, const bool enabled) {
    if (ZRenderGroup* group = GetRenderer()->FindRenderGroup(ZHashedString(name))) group->enabled = enabled;
}

// The pass draws into the target alone.
void Target(const char* passName, ZRenderTarget* target) {
    if (ZRenderPassDesc* pass = FindPass(passName)) {
        pass->targets.Clear();
        pass->SetTarget(0, target);
    }
}

void FullViewport(const char* passName) {
    if (ZRenderPassDesc* pass = FindPass(passName)) {
        pass->viewportX = 0.0f;
        pass->viewportY = 0.0f;
        pass->viewportWidth = 1.0f;
        pass->viewportHeight = 1.0f;
    }
}

// The 2D passes in drawing order; each has a twin named with " (3D)".
const char* const k2DPasses[] = {
    "Clear Pass",          "HUD Backdrop Pass",        "World Background Pass",     "World Sprites Pass",
    "Debug Background Pass", "World Foreground Pass",  "Minimap Pass (Back)",       "Minimap Pass (Content)",
    "Minimap Pass (Indicator)", "Wipe Pass",           "Static Pass",               "HUD Pass",
    "Full Map Pass (Content)", "Full Map Pass (Indicator)", "Tuner Back Pass",      "Tuner Ball Pass",
};

// The base game's camera looks at the CRT from the x axis (z up); the 2D
// camera looks at the 256 x 224 frame from in front of its centre, y down.
void SetUpSceneCameras(DisplayChain& chain) {
    if (ZCamera* camera = GetDisplayCamera()) {
        camera->up = ZVector3(0.0f, 0.0f, 1.0f);
        camera->SetUseWorldUp(false);
        camera->SetClipPlanes(1.0f, 5000.0f);
        camera->referenceAspect = 1.333333f;
        camera->SetPosition(ZVector3(-2.35f, 0.0f, 0.0f));
        camera->SetOrientation(ZVector3(1.0f, 0.0f, 0.0f), ZVector3(0.0f, 0.0f, 1.0f));
        PlaceSceneCamera();
    }
    auto camera = std::make_unique<ZCamera>(90.0f, 1.1428572f, 0.1f, 100.0f);
    camera->SetOrthographic(true);
    camera->SetPixelSnap(true);
    camera->SetFieldOfView(224.0f);  // the view height; a headset's own when one is on
    camera->SetUseWorldUp(false);
    camera->SetPosition(ZVector3(128.0f, 112.0f, -17.0f));
    camera->SetOrientation(ZVector3(0.0f, 0.0f, 1.0f), ZVector3(0.0f, -1.0f, 0.0f));
    camera->SetClipPlanes(1.0f, 33.0f);
    chain.worldCamera = std::move(camera);
}

}  // namespace

DisplayChain::DisplayChain() = default;

DisplayChain::~DisplayChain() {
    ZRenderer* renderer = PeekRenderer();
    if (renderer != nullptr) {
        ZRenderable* renderables[] = {&m_anaglyphQuad.renderable, &m_ntscQuad.renderable, &m_compositeQuad.renderable,
                                      &m_roomFrameQuad.renderable};
        for (ZRenderable* r : renderables) renderer->RemoveFromAllRenderGroups(r);
        // No pass may keep drawing into a target that goes now.
        const ZRenderTarget* ours[] = {&cleanFrame, &clean3DFrame, &ntscFrame, &compositeFrame1, &compositeFrame2,
                                       downsampledBuffer != nullptr ? &downsampledBuffer->target : nullptr,
                                       upsampledBuffer != nullptr ? &upsampledBuffer->target : nullptr};
        for (ZRenderPassDesc* pass : renderer->renderPasses) {
            for (const RoomFrameHolder& holder : roomFrames) {
                for (const ZRenderTarget& texture : holder.textures) {
                    if (pass->resolveTarget == &texture) pass->resolveTarget = nullptr;
                }
            }
            for (const ZRenderTarget* target : ours) {
                if (target != nullptr && pass->targets.Contains(const_cast<ZRenderTarget*>(target))) {
                    pass->targets.Clear();
                    break;
                }
            }
        }
    }
    m_overlays.reset();
    // Screen and tube quads leave their groups themselves.
    delete m_screen;
    delete m_monitor;
    delete m_noCRTQuad;
    delete m_downsampleQuad;
    delete m_upsampleQuad;
    if (DisplayState* display = PeekDisplayState()) {
        if (display->ntscLookup == ntscLookup) display->ntscLookup = nullptr;
    }
    if (ntscLookup != nullptr) ZTextureMgr::GetInstance()->ReleaseTexture(ZHashedString(kLookupName));
    ReleaseDisplayTexture(ZHashedString(kWorldTilesName));
    delete downsampledBuffer;
    delete upsampledBuffer;
}

ZRenderable* DisplayChain::GetScreenRenderable() { return m_screen; }

ZRenderable* DisplayChain::GetMonitorRenderable() { return m_monitor; }

ZRenderable* DisplayChain::GetNoCRTRenderable() { return m_noCRTQuad; }

void DisplayChain::ApplyParity() {
    const bool parity = GetDisplayState()->compositeParity;
    // The composite pass writes one frame while it reads the other as the
    // previous one: a target is never sampled while it is being drawn into.
    Target("Composite Pass", parity ? &compositeFrame2 : &compositeFrame1);
    if (m_compositeShader) m_compositeShader->parity = parity;
    if (m_screenShader) m_screenShader->parity = parity;
    if (m_monitorShader) m_monitorShader->parity = parity;
}

namespace {

// The passes after which each eye's frame is copied into its holder's front:
// the world's last, before the maps, overlays and text.
const char* const kRoomFramePasses[2] = {"World Foreground Pass", "World Foreground Pass (3D)"};

}  // namespace

void DisplayChain::SwapRoomFrames() {
    for (int32_t eye = 0; eye < 2; ++eye) {
        RoomFrameHolder& holder = roomFrames[eye];
        holder.front = 1 - holder.front;
        if (ZRenderPassDesc* pass = FindPass(kRoomFramePasses[eye])) pass->resolveTarget = &holder.Front();
        if (m_roomFrameShader) m_roomFrameShader->pictures[eye] = holder.Back().textureName;
    }
}

void DisplayChain::ShowRoomFrame(const bool shown, const float x, const float y) {
    m_roomFrameQuad.renderable.visible = shown;
    if (m_roomFrameShader) m_roomFrameShader->offset = ZVector4(x, y, 0.0f, 0.0f);
}

void DisplayChain::PrepareFrame(const bool secondTarget) {
    GetDisplayState()->compositeParity = secondTarget;
    ApplyParity();
    UpdateOverlayInputs();
    ApplyUpsamplePass();
}

void DisplayChain::UpdateOverlayInputs() {
    if (m_overlays) m_overlays->UpdateChainInputs(*GetDisplayState());
}

void DisplayChain::ApplyUpsamplePass() {
    ZRenderPassDesc* pass = FindPass("Upsample Pass");
    if (pass == nullptr) return;
    bool wanted = false;
    const ZBaseGame* game = ZBaseGame::PeekInstance();
    const ZFXAAFilter* filter = game != nullptr ? game->GetFXAAFilter() : nullptr;
    const ZPassBinding* binding = filter != nullptr ? filter->GetDefaultPassBinding() : nullptr;
    if (binding != nullptr && binding->effect != nullptr && binding->effect->GetEffect() != nullptr) {
        wanted = binding->effect->GetEffect()->GetParameterByName(0, "UpsampledBuffer") != 0;
    }
    pass->enabled = wanted;
}

DisplayChain* SetUpGameDisplayChain() {
    ZLog::Printf("Setting up the display chain");
    DisplayState* display = GetDisplayState();
    display->SetChain(std::make_unique<DisplayChain>());
    DisplayChain* chain = display->GetChain();
    ZRenderer* renderer = GetRenderer();
    LoadDisplayTexture("blank.bmp", ZHashedString(kWorldTilesName));

    struct Frame {
        ZRenderTarget* target;
        const char* name;
    };
    const Frame frames[] = {
        {&chain->cleanFrame, "Clean Frame"},
        {&chain->clean3DFrame, "Cln3D Frame"},
        {&chain->ntscFrame, "NTSC Frame"},
        {&chain->compositeFrame1, "Composite Frame 1"},
        {&chain->compositeFrame2, "Composite Frame 2"},
    };
    for (const Frame& f : frames) {
        if (!renderer->CreateNativeResolutionTarget(*f.target, ZHashedString(f.name))) {
            ZLog::Printf("Display chain: frame buffer \"%s\" could not be made", f.name);
        }
    }
    const char* const holderNames[2][2] = {{"Room Frame A", "Room Frame B"}, {"Room Frame 3D A", "Room Frame 3D B"}};
    for (int32_t eye = 0; eye < 2; ++eye) {
        for (int32_t i = 0; i < 2; ++i) {
            if (!renderer->CreateNativeResolutionTarget(chain->roomFrames[eye].textures[i],
                                                        ZHashedString(holderNames[eye][i]))) {
                ZLog::Printf("Display chain: frame buffer \"%s\" could not be made", holderNames[eye][i]);
            }
        }
        if (ZRenderPassDesc* pass = FindPass(kRoomFramePasses[eye])) {
            pass->resolveTarget = &chain->roomFrames[eye].Front();
        }
    }
    display->compositeParity = false;
    chain->downsampledBuffer = new ZScreenRenderTarget(0.0625f, 0.0625f, ZHashedString("Downsampled Buffer"));
    chain->upsampledBuffer = new ZScreenRenderTarget(1.0f, 1.0f, ZHashedString("Upsampled Buffer"));
    if (ZRenderPassDesc* pass = FindPass("Downsample Pass")) pass->targets.PushBack(&chain->downsampledBuffer->target);
    if (ZRenderPassDesc* pass = FindPass("Upsample Pass")) pass->targets.PushBack(&chain->upsampledBuffer->target);

    chain->m_downsampleShader = std::make_unique<PostProcessShader>(PostProcessShader::Variant::kDownsample);
    chain->m_downsampleQuad = new ZScreenQuad(0.0625f, 0.0625f, false);
    chain->m_downsampleQuad->shader = chain->m_downsampleShader.get();
    AddToGroup("Downsample Group", chain->m_downsampleQuad);
    chain->m_upsampleShader = std::make_unique<PostProcessShader>(PostProcessShader::Variant::kUpsample);
    chain->m_upsampleQuad = new ZScreenQuad();
    chain->m_upsampleQuad->shader = chain->m_upsampleShader.get();
    AddToGroup("Upsample Group", chain->m_upsampleQuad);

    // The pass descriptions: targets, the clears and the eye hooks.
    for (const char* name : k2DPasses) {
        Target(name, &chain->cleanFrame);
        const std::string twin = std::string(name) + " (3D)";
        Target(twin.c_str(), &chain->clean3DFrame);
    }
    Target("Anaglyph Pass", &chain->cleanFrame);
    Target("NTSC Pass", &chain->ntscFrame);
    Target("Composite Pass", &chain->compositeFrame1);
    if (ZRenderPassDesc* clear = FindPass("Clear Pass")) {
        clear->clearColor = true;
        clear->prePass = ClearPassEyeSetup;
    }
    if (ZRenderPassDesc* clear = FindPass("Clear Pass (3D)")) {
        clear->clearColor = true;
        clear->prePass = ClearPass3DEyeSetup;
    }
    for (int i = 0; i < 6; ++i) {
        FullViewport(k2DPasses[i]);
        FullViewport((std::string(k2DPasses[i]) + " (3D)").c_str());
    }
    if (ZRenderPassDesc* pass = FindPass("Anaglyph Pass")) pass->enabled = true;
    // The game's pre-HUD effects are plain fetches, scaled, or leave the fast
    // paths anyway (anti-aliasing): the pass draws without the depth surface.
    if (const ZBaseGame* game = ZBaseGame::PeekInstance()) {
        if (ZRenderPassDesc* pass = GetRenderer()->FindRenderPass(game->GetPreHUDPassName())) {
            pass->depthStencil = false;
        }
    }
    for (const char* name : {"NTSC Pass", "Composite Pass"}) {
        if (ZRenderPassDesc* pass = FindPass(name)) pass->enabled = display->Settings().crtSim;
    }
    // One of the two is switched on when the title shows or the CRT setting changes.
    SetGroupEnabled("Screen Group", false);
    SetGroupEnabled("No CRT Group", false);

    chain->ntscLookup = ZTextureMgr::GetInstance()->CreateTexture(kLookupWidth, kLookupHeight, ZHashedString(kLookupName));
    display->ntscLookup = chain->ntscLookup;
    RebuildNTSCLookupTexture();

    const auto frameQuad = [](DisplayChain::FrameQuad& quad, ZShader* shader, const char* group) {
        if (!BuildScreenQuadGeometry(256, 224, quad.vertices, quad.indices)) {
            ZLog::Printf("Display chain: no geometry for \"%s\"", group);
        }
        quad.renderable.vertexBuffer = &quad.vertices;
        quad.renderable.indexBuffer = &quad.indices;
        quad.renderable.shader = shader;
        AddToGroup(group, &quad.renderable);
    };
    chain->m_anaglyphShader = std::make_unique<AnaglyphShader>();
    frameQuad(chain->m_anaglyphQuad, chain->m_anaglyphShader.get(), "Anaglyph Group");
    chain->m_ntscShader = std::make_unique<NTSCShader>();
    frameQuad(chain->m_ntscQuad, chain->m_ntscShader.get(), "NTSC Group");
    chain->m_compositeShader = std::make_unique<CompositeShader>();
    frameQuad(chain->m_compositeQuad, chain->m_compositeShader.get(), "Composite Group");

    chain->m_roomFrameShader = std::make_unique<RoomFrameShader>();
    frameQuad(chain->m_roomFrameQuad, chain->m_roomFrameShader.get(), "Room Frame Group");
    chain->m_roomFrameQuad.renderable.visible = false;
    for (int32_t eye = 0; eye < 2; ++eye) {
        chain->m_roomFrameShader->pictures[eye] = chain->roomFrames[eye].Back().textureName;
    }

    chain->m_overlays = std::make_unique<SceneOverlays>();
    chain->m_overlays->UpdateChainInputs(*display);

    chain->m_screenShader = std::make_unique<ScreenShader>();
    chain->m_screen = new TubeQuad("Screen.m3d");
    chain->m_screen->shader = chain->m_screenShader.get();
    AddToGroup("Screen Group", chain->m_screen);
    chain->m_monitorShader = std::make_unique<MonitorShader>();
    chain->m_monitor = new TubeQuad("Monitor2.m3d", false);
    chain->m_monitor->shader = chain->m_monitorShader.get();
    chain->m_monitor->visible = display->Settings().showBorder;
    AddToGroup("Screen Group", chain->m_monitor);

    chain->m_noCRTShader = std::make_unique<NoCRTShader>();
    chain->m_noCRTQuad = new ZScreenQuad();
    chain->m_noCRTQuad->shader = chain->m_noCRTShader.get();
    AddToGroup("No CRT Group", chain->m_noCRTQuad);
    chain->ApplyParity();
    SetUpSceneCameras(*chain);
    chain->ApplyUpsamplePass();

    ApplyAnaglyphPassSetting();
    ApplyMinimapVisibility();
    return chain;
}

void PrepareGameDisplayFrame(const bool secondTarget) {
    DisplayState* display = GetDisplayState();
    if (DisplayChain* chain = display->GetChain()) {
        chain->PrepareFrame(secondTarget);
    } else {
        display->compositeParity = secondTarget;
    }
}

void ShutdownGameDisplayChain() {
    if (DisplayState* display = PeekDisplayState()) display->ReleaseChain();
}
