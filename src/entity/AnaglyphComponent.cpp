#include "entity/AnaglyphComponent.h"

#include "framework/ZBaseGame.h"
#include "renderer/ZEffectParameter.h"

float AnaglyphComponent::DistanceAt(const float depth) {
    const ZBaseGame* const game = ZBaseGame::PeekInstance();
    return game != nullptr ? (depth + game->GetAnaglyphDistanceOffset()) * 0.5f * game->GetAnaglyphDistance() : 0.0f;
}

bool AnaglyphComponent::SetSceneParameter(ZEffectParameter* const binding, const float silhouetteFix) {
    static const ZHashedString kOffset("AnaglyphDistanceOffset");
    static const ZHashedString kColor("AnaglyphColor");
    static const ZHashedString kSilhFix("AnaglyphSilhFix");
    static const ZHashedString kDesat("AnaglyphDesat");
    static const ZHashedString kGamma("AnaglyphGamma");
    const ZBaseGame* const game = ZBaseGame::PeekInstance();
    const ZHashedString name = binding->name;
    if (name == kOffset) {
        binding->SetFloat(game != nullptr ? game->GetAnaglyphDistanceOffset() : 0.0f);
        return true;
    }
    if (name == kColor) {
        binding->SetVector(game != nullptr ? game->GetAnaglyphColor() : ZVector4(1.0f, 1.0f, 1.0f, 1.0f));
        return true;
    }
    if (name == kSilhFix) {
        binding->SetFloat(silhouetteFix);
        return true;
    }
    if (name == kDesat) {
        binding->SetFloat(game != nullptr ? game->GetAnaglyphDesaturation() : 1.0f);
        return true;
    }
    if (name == kGamma) {
        binding->SetVector(game != nullptr ? game->GetAnaglyphGamma() : ZVector4(1.0f, 1.0f, 1.0f, 1.0f));
        return true;
    }
    return false;
}
