#pragma once

#include "renderer/ZShader.h"

class ZTexture;

// Encodes the clean frame into NTSC colours: every pixel goes through the
// lookup texture "NTSC_LUT_Texture" (the generated colour of its nearest
// reference colour), blended by the lookup's strength.
class NTSCShader : public ZShader {
public:
    NTSCShader();
    ~NTSCShader() override;
    bool SetParameters(ZEffectParameter* binding, ZHashedString passName, ZParameterSource* source) override;

private:
    ZTexture* m_lookup = nullptr;  // the game's, taken at construction
};
