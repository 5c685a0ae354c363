#pragma once

#include "foundation/ZVector4.h"
#include "renderer/ZShader.h"

// One character's palette: a light shader reference that draws with the
// shared NPC shader (its techniques and unscoped parameters) and answers the
// character's own three replacement colours and the anaglyph values as its
// material parameters. Colours start opaque black.
class NPCPaletteMaterial : public ZShader {
public:
    // Shares the shader (not owned; it must outlive the material).
    explicit NPCPaletteMaterial(ZShader* shared) : m_shared(shared) {}

    ZPassBinding* GetPassBinding(ZHashedString passName) const override;
    void ClearTextures() override;
    ZParameterSource* GetMaterialInstanceSource() override { return this; }
    ZParameterSource* GetUnscopedSource() override { return m_shared; }

    // "RedColor", "GreenColor", "BlueColor" and the anaglyph values; other
    // names go to the attached source (false without one).
    bool SetParameters(ZEffectParameter* binding, ZHashedString passName, ZParameterSource* source) override;

    ZShader* GetShader() const { return m_shared; }

    ZVector4 red{0.0f, 0.0f, 0.0f, 1.0f};
    ZVector4 green{0.0f, 0.0f, 0.0f, 1.0f};
    ZVector4 blue{0.0f, 0.0f, 0.0f, 1.0f};

private:
    ZShader* m_shared = nullptr;
};
