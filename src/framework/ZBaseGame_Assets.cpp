// The engine's built-in drawing assets: glyph sheets, fonts, the console
// backdrop, the camera, the pre-HUD and final targets with their quads, and
// the depth backdrop. Each goes into the render group its name getter names.

#include "entity/ZEntity.h"
#include "foundation/ZLog.h"
#include "framework/ZBaseGame.h"
#include "input/ZGamepadGlyphSheet.h"
#include "menu/MenuUnderlayShader.h"
#include "menu/ZConsoleBackdrop.h"
#include "menu/ZTexturedShader.h"
#include "menu/ZUIGlyphSheet.h"
#include "renderer/ZCamera.h"
#include "renderer/ZDepthBackdrop.h"
#include "renderer/ZDepthBackdropShader.h"
#include "renderer/ZFXAAFilter.h"
#include "renderer/ZFinalPassShader.h"
#include "renderer/ZFont.h"
#include "renderer/ZGlyphSheetMgr.h"
#include "renderer/ZQuadRenderable.h"
#include "renderer/ZRenderGroup.h"
#include "renderer/ZRenderPassDesc.h"
#include "renderer/ZRenderer.h"
#include "renderer/ZScreenQuad.h"
#include "renderer/ZScreenRenderTarget.h"
#include "renderer/ZSpriteBatch.h"

namespace {

constexpr const char* kEngineFontTable = "Font_Tahoma_8_256.uv";

// Adds the renderable to the named group when the group exists.
void AddToGroup(const ZHashedString groupName, ZRenderable* renderable) {
    if (renderable == nullptr) {
        return;
    }
    if (ZRenderGroup* group = GetRenderer()->FindRenderGroup(groupName)) {
        group->Add(renderable);
    }
}

// Takes the renderable out of every group; nothing when the renderer is gone.
void RemoveFromGroups(ZRenderable* renderable) {
    if (ZRenderer* renderer = PeekRenderer(); renderer != nullptr && renderable != nullptr) {
        renderer->RemoveFromAllRenderGroups(renderable);
    }
}

}  // namespace

// --- Factories ---

ZShader* ZBaseGame::CreateFinalPassShader() {
    return new ZFinalPassShader();
}

ZEntity* ZBaseGame::CreateDepthBackdrop() {
    return new ZDepthBackdrop();
}

ZShader* ZBaseGame::CreateDepthBackdropShader() {
    return new ZDepthBackdropShader();
}

ZRenderable* ZBaseGame::CreateBackdropQuad() {
    return new ZQuadRenderable();
}

ZTexturedShader* ZBaseGame::CreateMenuUnderlayShader() {
    auto* shader = new MenuUnderlayShader();
    shader->Load();
    return shader;
}

// --- Loading ---

void ZBaseGame::PreLoadEngineAssets() {
    ZLog::Printf("ZBaseGame::PreLoadEngineAssets");
    struct Row {
        GlyphSheet slot;
        const char* sheet;
        const char* family;
        ZTexturedShader* (*loader)();
        ZHashedString group;
    };
    const Row rows[] = {
        {kXboxHUDSheet, "xbox_hud", "xbox", LoadXboxGlyphShader, GetHUDGlyphGroupName()},
        {kXboxMenuSheet, "xbox_menu", "xbox", LoadXboxGlyphShaderAlt, GetMenuGlyphGroupName()},
        {kXboxConsoleSheet, "xbox_console", "xbox", LoadXboxGlyphShader, GetConsoleGlyphGroupName()},
        {kGenHUDSheet, "gen_hud", "gen", LoadGenGlyphShader, GetHUDGlyphGroupName()},
        {kGenMenuSheet, "gen_menu", "gen", LoadGenGlyphShaderAlt, GetMenuGlyphGroupName()},
        {kGenConsoleSheet, "gen_console", "gen", LoadGenGlyphShader, GetConsoleGlyphGroupName()},
        {kUIMenuSheet, "ui_menu", "ui", LoadUIGlyphShader, GetMenuGlyphGroupName()},
    };
    for (const Row& row : rows) {
        // Loading again replaces the sheet.
        ReleaseGlyphSheet(row.slot);
        auto* sheet = new ZSpriteBatch();
        if (row.slot == kUIMenuSheet) {
            CreateUIGlyphSheet(*sheet);
        } else {
            CreateGamepadGlyphSheet(*sheet);
        }
        m_glyphSheets[row.slot] = sheet;
        ZTexturedShader* shader = row.loader();
        m_glyphSheetShaders[row.slot] = shader;
        sheet->shader = shader;
        AddToGroup(row.group, sheet);
        GetGlyphSheetMgr()->Add(ZHashedString(row.family), ZHashedString(row.sheet), sheet);
    }
}

void ZBaseGame::LoadEngineAssets() {
    ZLog::Printf("ZBaseGame::LoadEngineAssets");
    // Loading again replaces everything but the glyph sheets.
    ReleaseLoadedAssets();
    const ZHashedString xbox("xbox");
    const ZHashedString gen("gen");
    struct FontRow {
        ZFont** field;
        ZTexturedShader* (*loader)();
        ZHashedString group;
        const char* xboxSheet;
        const char* genSheet;
    };
    const FontRow hud{&m_hudFont, LoadDefaultFontShader, GetHUDGroupName(), "xbox_hud", "gen_hud"};
    const FontRow menu{&m_menuFont, LoadDefaultFontShaderAlt, GetMenuGroupName(), "xbox_menu", "gen_menu"};
    const FontRow console{&m_consoleFont, LoadDefaultFontShader, GetConsoleGroupName(), "xbox_console",
                          "gen_console"};
    const auto loadFont = [&](const FontRow& row) {
        auto* font = new ZFont();
        font->Load(kEngineFontTable);
        ZTexturedShader* shader = row.loader();
        m_assetShaders.PushBack(shader);
        font->shader = shader;
        AddToGroup(row.group, font);
        font->SetFamilySheet(xbox, ZHashedString(row.xboxSheet));
        font->SetFamilySheet(gen, ZHashedString(row.genSheet));
        *row.field = font;
    };

    loadFont(hud);
    loadFont(menu);

    // Hidden until the console opens; the console shapes it each frame.
    auto* backdropShader = new ZConsoleBackdropShader();
    m_assetShaders.PushBack(backdropShader);
    m_consoleBackdrop = new ZConsoleBackdrop();
    m_consoleBackdrop->shader = backdropShader;
    m_consoleBackdrop->visible = m_console.IsOpen();
    AddToGroup(GetConsoleBackdropGroupName(), m_consoleBackdrop);
    m_console.SetBackdrop(m_consoleBackdrop);

    loadFont(console);

    const float aspect =
        static_cast<float>(m_renderWidth) / static_cast<float>(m_renderHeight > 0 ? m_renderHeight : 1);
    m_camera = new ZCamera(m_fov, aspect, 0.01f, 1000.0f);
    m_camera->FollowScreenSize();

    m_preHUDTarget = new ZScreenRenderTarget(ZHashedString("__ZORP_PreHUD_Pass_Texture"), true);
    m_preHUDQuad = new ZScreenQuad();
    // A filter made while the video options were first applied came before the
    // device and holds no technique: it would draw nothing, leaving the last
    // frame's picture (and every sliding menu's trail) in the final target.
    // The old one goes first, so that its effect leaves the cache and loads anew.
    if (m_fxaaFilter == nullptr || m_fxaaFilter->GetDefaultPassBinding() == nullptr) {
        ReplacePreHUDShader(nullptr);
        ReplacePreHUDShader(CreateFXAAFilter());
    }
    m_preHUDQuad->shader = m_fxaaFilter;
    AddToGroup(GetPreHUDGroupName(), m_preHUDQuad);

    m_finalTarget = new ZScreenRenderTarget(ZHashedString("__ZORP_Final_Pass_Texture"), false);
    m_finalQuad = new ZScreenQuad(1.0f, 1.0f, true);
    m_finalPassShader = CreateFinalPassShader();
    m_finalQuad->shader = m_finalPassShader;
    AddToGroup(GetFinalGroupName(), m_finalQuad);

    struct Setter {
        ZHashedString pass;
        ZRenderTarget* target;
    };
    const Setter setters[] = {
        {GetPreHUDTargetSetterPassName(), &m_preHUDTarget->target},
        {GetFinalTargetSetterPassName(), &m_finalTarget->target},
        {GetActualTargetSetterPassName(), nullptr},  // the device's own back buffer
    };
    const ZRenderer* renderer = GetRenderer();
    for (const Setter& setter : setters) {
        if (ZRenderPassDesc* pass = renderer->FindRenderPass(setter.pass)) {
            pass->switchTarget = true;
            pass->defaultTarget = setter.target;
        }
    }

    if (WantsDepthBackdrop()) {
        if (ZEntity* backdrop = CreateDepthBackdrop()) {
            m_backdrops.Insert(ZHashedString("Depth Backdrop"), backdrop);
        }
    }
}

void ZBaseGame::SetBackdrop(const ZHashedString name, ZEntity* const backdrop) {
    if (const auto* node = m_backdrops.Find(name)) {
        ZEntity* const old = node->value;
        m_backdrops.Remove(name);
        if (old != backdrop) {
            delete old;
        }
    }
    if (backdrop != nullptr) {
        m_backdrops.Insert(name, backdrop);
    }
}

void ZBaseGame::ReleaseEngineAssets() {
    ReleaseLoadedAssets();
    for (uint32_t slot = 0; slot < kGlyphSheetCount; ++slot) {
        ReleaseGlyphSheet(static_cast<GlyphSheet>(slot));
    }
}

void ZBaseGame::ReleaseGlyphSheet(const GlyphSheet slot) {
    if (ZSpriteBatch* sheet = m_glyphSheets[slot]) {
        RemoveFromGroups(sheet);
        if (ZGlyphSheetMgr* sheets = PeekGlyphSheetMgr()) {
            sheets->Remove(sheet);
        }
        delete sheet;
        m_glyphSheets[slot] = nullptr;
    }
    delete m_glyphSheetShaders[slot];
    m_glyphSheetShaders[slot] = nullptr;
}

void ZBaseGame::ReleaseLoadedAssets() {
    // Backdrop entities take their renderables out of their groups themselves.
    for (auto& node : m_backdrops) {
        delete node.value;
    }
    m_backdrops.Clear();

    // No pass may switch to a target that is about to go.
    if (ZRenderer* renderer = PeekRenderer()) {
        const auto ours = [this](const ZRenderTarget* target) {
            return target != nullptr && ((m_preHUDTarget != nullptr && target == &m_preHUDTarget->target) ||
                                         (m_finalTarget != nullptr && target == &m_finalTarget->target));
        };
        for (ZRenderPassDesc* pass : renderer->renderPasses) {
            if (ours(pass->defaultTarget)) {
                pass->defaultTarget = nullptr;
            }
        }
        if (ours(renderer->defaultTarget)) {
            renderer->defaultTarget = nullptr;
        }
    }

    m_console.SetBackdrop(nullptr);
    ZRenderable* renderables[] = {m_hudFont,         m_menuFont,   m_consoleFont,
                                  m_consoleBackdrop, m_preHUDQuad, m_finalQuad};
    for (ZRenderable* renderable : renderables) {
        RemoveFromGroups(renderable);
        delete renderable;
    }
    m_hudFont = nullptr;
    m_menuFont = nullptr;
    m_consoleFont = nullptr;
    m_consoleBackdrop = nullptr;
    m_preHUDQuad = nullptr;
    m_finalQuad = nullptr;

    for (ZShader* shader : m_assetShaders) {
        delete shader;
    }
    m_assetShaders.Clear();
    delete m_finalPassShader;
    m_finalPassShader = nullptr;

    delete m_camera;
    m_camera = nullptr;
    delete m_preHUDTarget;
    delete m_finalTarget;
    m_preHUDTarget = nullptr;
    m_finalTarget = nullptr;
}

void ZBaseGame::ReplacePreHUDShader(ZFXAAFilter* filter) {
    if (m_preHUDQuad != nullptr) {
        m_preHUDQuad->shader = filter;
    }
    if (filter != m_fxaaFilter) {
        delete m_fxaaFilter;
        m_fxaaFilter = filter;
    }
}
