#include "game/components/NPCPaletteMaterial.h"

#include "framework/ZBaseGame.h"
#include "renderer/ZEffectParameter.h"

ZPassBinding* NPCPaletteMaterial::GetPassBinding(const ZHashedString passName) const {
    return m_shared != nullptr ? m_shared->GetPassBinding(passName) : nullptr;
}

void NPCPaletteMaterial::ClearTextures() {
    if (m_shared != nullptr) {
        m_shared->ClearTextures();
    }
}

bool NPCPaletteMaterial::SetParameters(ZEffectParameter* const binding, const ZHashedString passName,
                                       ZParameterSource* const source) {
    static const ZHashedString kRed("RedColor");
    static const ZHashedString kGreen("GreenColor");
    static const ZHashedString kBlue("BlueColor");
    static const ZHashedString kDistance("AnaglyphDistance");
    static const ZHashedString kOffset("AnaglyphDistanceOffset");
    static const ZHashedString kColor("AnaglyphColor");
    static const ZHashedString kSilhFix("AnaglyphSilhFix");
    static const ZHashedString kDesat("AnaglyphDesat");
    static const ZHashedString kGamma("AnaglyphGamma");
    if (binding == nullptr) {
        return false;
    }
    const ZBaseGame* const game = ZBaseGame::PeekInstance();
    const ZHashedString name = binding->name;
    if (name == kRed || name == kGreen || name == kBlue) {
        binding->SetVector(name == kRed ? red : name == kGreen ? green : blue);
        return true;
    }
    if (name == kDistance) {
        binding->SetFloat(game != nullptr ? game->GetAnaglyphDistance() * 0.5f : 0.0f);
        return true;
    }
    if (name == kOffset) {
        binding->SetFloat(game != nullptr ? game->GetAnaglyphDistanceOffset() : 0.0f);
        return true;
    }
    if (name == kColor) {
        binding->SetVector(game != nullptr ? game->GetAnaglyphColor() : ZVector4(1.0f, 1.0f, 1.0f, 1.0f));
        return true;
    }
    if (name == kSilhFix || name == kDesat) {
        binding->SetFloat(0.0f);
        return true;
    }
    if (name == kGamma) {
        binding->SetVector(ZVector4(0.0f, 0.0f, 0.0f, 0.0f));
        return true;
    }
    return ZParameterSource::SetParameters(binding, passName, source);
}
