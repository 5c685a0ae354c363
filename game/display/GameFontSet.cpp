#include "game/display/GameFontSet.h"

#include "framework/ZBaseGame.h"
#include "game/display/AnaglyphTextShader.h"
#include "game/display/GameFonts.h"
#include "input/ZGamepadGlyphSheet.h"
#include "menu/ZTexturedShader.h"
#include "renderer/ZFont.h"
#include "renderer/ZGlyphSheetMgr.h"
#include "renderer/ZRenderGroup.h"
#include "renderer/ZRenderer.h"
#include "renderer/ZSpriteBatch.h"

namespace {

void AddToGroup(const ZHashedString group, ZRenderable* renderable) {
    if (ZRenderGroup* g = GetRenderer()->FindRenderGroup(group)) g->Add(renderable);
}

ZSpriteBatch* MakePadSheet(ZTexturedShader* material, const char* family, const char* style) {
    auto* sheet = new ZSpriteBatch();
    CreateGamepadGlyphSheet(*sheet);
    sheet->shader = material;
    AddToGroup(ZHashedString("Glyph Group"), sheet);
    GetGlyphSheetMgr()->Add(ZHashedString(family), ZHashedString(style), sheet);
    return sheet;
}

template <typename T>
void DeleteWithMaterial(T*& object) {
    if (object == nullptr) return;
    // The material is the object's own; the object leaves its groups and the
    // glyph-sheet table as it goes.
    ZShader* material = object->shader;
    object->shader = nullptr;
    delete material;
    delete object;
    object = nullptr;
}

}  // namespace

GameFontSet::~GameFontSet() { Release(); }

void GameFontSet::Load(ZBaseGame& game) {
    Release();
    m_xboxPixelSheet = MakePadSheet(LoadAnaglyphXboxGlyphShader(), "xbox", "xbox_pixel");
    m_genPixelSheet = MakePadSheet(LoadAnaglyphGenGlyphShader(), "gen", "gen_pixel");

    m_menuFont = LoadGameDefaultFont();
    m_menuFont->shader = LoadGameFontShader();
    AddToGroup(game.GetMenuGroupName(), m_menuFont);
    m_menuFont->SetFamilySheet(ZHashedString("xbox"), ZHashedString("xbox_menu"));
    m_menuFont->SetFamilySheet(ZHashedString("gen"), ZHashedString("gen_menu"));
    m_menuFont->SetFamilySheet(ZHashedString("ui"), ZHashedString("ui_menu"));

    m_menuFontAlt = LoadGameDefaultFont();
    m_menuFontAlt->shader = LoadGameFontShaderAlt();
    AddToGroup(game.GetMenuGroupName(), m_menuFontAlt);

    m_hudFont = LoadGamePixelFont();
    // Lines of the six-row font are twice its height apart.
    m_hudFont->lineSpacing = 2.0f;
    m_hudFont->shader = LoadAnaglyphFontShader();
    AddToGroup(ZHashedString("Font Group"), m_hudFont);
    m_hudFont->SetFamilySheet(ZHashedString("xbox"), ZHashedString("xbox_pixel"));
    m_hudFont->SetFamilySheet(ZHashedString("gen"), ZHashedString("gen_pixel"));
    m_hudFont->SetFamilySheet(ZHashedString("stat"), ZHashedString("stat_glyphs"));
}

void GameFontSet::Release() {
    DeleteWithMaterial(m_xboxPixelSheet);
    DeleteWithMaterial(m_genPixelSheet);
    DeleteWithMaterial(m_menuFontAlt);
    DeleteWithMaterial(m_menuFont);
    DeleteWithMaterial(m_hudFont);
}
