#include "game/player/PlayerSpriteTexture.h"

#include <string>

#include "entity/ZRenderableComponent.h"
#include "foundation/ZLog.h"
#include "foundation/ZString.h"
#include "game/player/Player.h"
#include "renderer/ZEffectParameter.h"
#include "renderer/ZRenderer.h"
#include "renderer/ZShader.h"
#include "renderer/ZTextureMgr.h"

SpriteSheetSwitcher::~SpriteSheetSwitcher() {
    if (ZShader* effect = GetShader()) {
        effect->ClearTextures();
    }
    if (ZRenderer* renderer = PeekRenderer()) {
        renderer->RemoveFromAllRenderGroups(this);
    }
    for (const auto& node : loadedTextures) {
        ZTextureMgr::GetInstance()->ReleaseTexture(node.key);
    }
    loadedTextures.Clear();
    currentTexture = ZHashedString::FromId(0);
}

void SpriteSheetSwitcher::SelectSheet(const char* const fileName, const ZHashedString textureName) {
    if (loadedTextures.Find(textureName) == nullptr) {
        // A sheet that fails to load is not held: nothing to give back later.
        if (LoadManagedTexture(fileName, textureName, nullptr) != nullptr) {
            loadedTextures.Insert(textureName, true);
        } else {
            ZLog::Printf("Player sprite: cannot load the sheet \"%s\"", fileName != nullptr ? fileName : "");
        }
    }
    currentTexture = textureName;
}

bool SpriteSheetSwitcher::SetParameters(ZEffectParameter* const binding, const ZHashedString passName,
                                        ZParameterSource* const from) {
    static const ZHashedString kDiffuseMap("DiffuseMap");
    if (binding != nullptr && binding->name == kDiffuseMap) {
        binding->SetTexture(currentTexture);
        return true;
    }
    return ZRenderable::SetParameters(binding, passName, from);
}

ZShader* SpriteSheetSwitcher::GetShader() {
    if (shader != nullptr || source == nullptr) {
        return shader;
    }
    return source->GetShader();
}

void SpriteSheetSwitcher::Draw(ZRenderer* const renderer, ZParameterSource* const renderInstanceSource) {
    if (source != nullptr) {
        source->Draw(renderer, renderInstanceSource);
    }
}

PlayerSpriteTexture::PlayerSpriteTexture() {
    SelectSheet("drovanisheetredux.bmp", ZHashedString("Texture_PlayerSprite_Default"));
}

void PlayerSpriteTexture::SelectModeSheet(const bool overworld) {
    if (overworld) {
        SelectSheet("drovanimapsheet.bmp", ZHashedString("Texture_PlayerSprite_Overworld"));
    } else {
        SelectSheet("drovanisheetredux.bmp", ZHashedString("Texture_PlayerSprite_Default"));
    }
}

GhostSpriteTexture::GhostSpriteTexture() { SelectSheet(ZHashedString("Texture_GhostSprite_Default")); }

void GhostSpriteTexture::SelectSheet(const ZHashedString textureName) {
    SpriteSheetSwitcher::SelectSheet("drovanisheet_ghost.bmp", textureName);
}

void SelectRoomSpriteSheet(Player& player, const ZString& spriteName) {
    if (player.renderable == nullptr) {
        return;
    }
    auto* const sprite = dynamic_cast<PlayerSpriteTexture*>(player.renderable->GetRenderable(ZHashedString()));
    if (sprite == nullptr) {
        return;
    }
    if (spriteName.IsEmpty()) {
        sprite->SelectModeSheet(IsOverworldMode());
        return;
    }
    const std::string name = std::string("Texture_PlayerSprite_Alternate_") + spriteName.GetText();
    sprite->SelectSheet(spriteName.GetText(), ZHashedString(name.c_str()));
}
