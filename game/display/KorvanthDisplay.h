#pragma once

#include <memory>

#include "game/display/AnaglyphTextShader.h"
#include "game/display/GameFontSet.h"
#include "game/world/GameServices.h"

class KorvanthGame;

// The game's display chain as the game object uses it: the game's passes and
// groups in the render set-up, the post-process chain in the scene set-up,
// the composite frames' turns every frame, and the display settings carried
// into the passes when they change. The display reads the game's settings
// where they live, in the game object's configuration variables.
class KorvanthDisplay : public GameDisplay {
public:
    void CreateRenderPasses(KorvanthGame& game) override;
    void CreateRenderGroups(KorvanthGame& game) override;
    void AssignGroupsToPasses(KorvanthGame& game) override;
    void SetUpGameScene(KorvanthGame& game) override;
    void ShutdownGameScene(KorvanthGame& game) override;
    void SelectCompositeTarget(KorvanthGame& game, bool secondTarget) override;
    void AttachItemSheet(KorvanthGame& game, ZSpriteBatch& sheet) override;
    void LoadGameFonts(KorvanthGame& game) override;
    ZFont* GetHUDFont() const override { return m_fonts.GetHUDFont(); }
    ZFont* GetMenuFont() const override { return m_fonts.GetMenuFont(); }
    void ReleaseWorldLayers(KorvanthGame& game) override;
    void SetUpWorldLayerMeshes(KorvanthGame& game) override;
    void ApplyPaletteSetting(KorvanthGame& game) override;
    void ApplyCRTPasses(KorvanthGame& game, bool on) override;
    void ApplyAnaglyphPasses(KorvanthGame& game, bool on) override;
    void ApplyMinimapSetting(KorvanthGame& game, bool on) override;
    void ApplyBorderSetting(KorvanthGame& game, bool on) override;

    // The room's background colour into the display state (the clear passes').
    static void SyncRoomColour(const KorvanthGame& game);

    // The game's fonts and pixel glyph sheets.
    const GameFontSet& GetFonts() const { return m_fonts; }
    // The item icon sheet's material, while the scene is up.
    AnaglyphTextShader* GetItemSheetShader() const { return m_itemSheetShader.get(); }

private:
    std::unique_ptr<AnaglyphTextShader> m_itemSheetShader;
    GameFontSet m_fonts;
};
