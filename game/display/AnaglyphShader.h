#pragma once

#include "renderer/ZShader.h"

// Merges the second eye's picture ("Cln3D Frame") into "Clean Frame" for
// anaglyph 3D: the anaglyph pass draws it over the first eye's picture.
class AnaglyphShader : public ZShader {
public:
    AnaglyphShader();
    ~AnaglyphShader() override;
    bool SetParameters(ZEffectParameter* binding, ZHashedString passName, ZParameterSource* source) override;
};
