#pragma once

#include "foundation/ZHashedString.h"
#include "foundation/ZMap.h"
#include "renderer/ZQuadRenderable.h"

class Player;
class ZString;

// A sprite quad (the unit square, y down) that can switch between several
// sheet textures and keeps each one it loaded until it goes, so switching
// back costs nothing. It answers "DiffuseMap" with the sheet selected now and
// hands every other parameter down its chain. It may draw from a shared
// source renderable: then the source's shader serves when it has none.
class SpriteSheetSwitcher : public ZQuadRenderable {
public:
    SpriteSheetSwitcher();
    // Clears the shader's texture bindings and gives back every sheet.
    ~SpriteSheetSwitcher() override;

    // Selects the texture name, loading the file under it the first time.
    void SelectSheet(const char* fileName, ZHashedString textureName);
    bool SetParameters(ZEffectParameter* binding, ZHashedString passName, ZParameterSource* source) override;
    // The own shader, else the source's.
    ZShader* GetShader() override;
    // The source this quad draws from, or itself.
    ZParameterSource* GetRenderableSource() override;

    void SetSource(ZRenderable* newSource) { source = newSource; }
    ZHashedString GetCurrentTexture() const { return currentTexture; }
    const ZMap<ZHashedString, bool>& GetLoadedTextures() const { return loadedTextures; }

private:
    ZRenderable* source = nullptr;  // not owned
    ZHashedString currentTexture{"NULL"};
    ZMap<ZHashedString, bool> loadedTextures;
};

// The player's sprite: the platformer sheet, the overworld sheet, or a
// room's own figure.
class PlayerSpriteTexture : public SpriteSheetSwitcher {
public:
    PlayerSpriteTexture();
    // The default sheet of the mode.
    void SelectModeSheet(bool overworld);
};

// The speedrun ghost's sprite: one sheet.
class GhostSpriteTexture : public SpriteSheetSwitcher {
public:
    GhostSpriteTexture();
    void SelectSheet(ZHashedString textureName);
};

// The room's figure for the player: the mode's default sheet for an empty
// name, else the file of that name under "Texture_PlayerSprite_Alternate_"
// followed by the name.
void SelectRoomSpriteSheet(Player& player, const ZString& spriteName);
