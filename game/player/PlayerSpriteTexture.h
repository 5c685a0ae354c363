#pragma once

#include "foundation/ZHashedString.h"
#include "foundation/ZMap.h"
#include "renderer/ZRenderable.h"

class Player;
class ZString;

// A sprite that can switch between several sheet textures and keeps each
// one it loaded until it goes, so switching back costs nothing. It answers
// "DiffuseMap" with the sheet selected now and hands every other parameter
// down its chain. Its geometry is a shared source renderable (the game's
// sprite quad, not owned, which outlives it): it asks its own parameters and
// draws the source's quad; without a source it draws nothing. The source's
// shader serves when it has none of its own.
class SpriteSheetSwitcher : public ZRenderable {
public:
    SpriteSheetSwitcher() = default;
    // Clears the shader's texture bindings, gives back every sheet and
    // leaves every render group.
    ~SpriteSheetSwitcher() override;

    // Selects the texture name, loading the file under it the first time.
    void SelectSheet(const char* fileName, ZHashedString textureName);
    bool SetParameters(ZEffectParameter* binding, ZHashedString passName, ZParameterSource* source) override;
    // The own shader, else the source's.
    ZShader* GetShader() override;
    // Draws the source's geometry.
    void Draw(ZRenderer* renderer, ZParameterSource* renderInstanceSource) override;

    void SetSource(ZRenderable* newSource) { source = newSource; }
    ZRenderable* GetSource() const { return source; }
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
