#pragma once

#include <cstdint>

#include "foundation/ZHashedString.h"
#include "foundation/ZString.h"
#include "foundation/ZVector4.h"
#include "renderer/ZShader.h"

// A shader made of an effect, a picture and a modulation picture, all held by
// name in the effect and texture caches: the fonts, the glyph sheets, the menu
// quads and underlays. Fill the description, then Load; the destructor gives
// back what Load took.
//
// Its parameters are those of an interface element: the picture ("elemTex"),
// the modulation picture ("modTex") and colour ("modColor", white), and the
// screen-pixel mapping ("invHalfScreenWidth" 2 / screen width,
// "invHalfScreenHeight" 2 / screen height, "xOffset" and "yOffset" 0).
class ZTexturedShader : public ZShader {
public:
    ZTexturedShader() = default;
    ~ZTexturedShader() override;
    ZTexturedShader(const ZTexturedShader&) = delete;
    ZTexturedShader& operator=(const ZTexturedShader&) = delete;

    // Fills the description (technique "HUD" unless given).
    void Describe(const char* shaderName, const char* effect, const char* textureNameIn,
                  const char* textureFileIn, const char* modNameIn, const char* modFileIn,
                  const char* techniqueIn = "HUD");
    // Loads the effect under the shader name and both textures under their
    // names; the technique's pass binding becomes the default one when the
    // effect has it. A missing file is reported by the caches and leaves its
    // part empty. False when the effect has no such technique. Loads once.
    bool Load();
    bool IsLoaded() const { return m_loaded; }

    bool SetParameters(ZEffectParameter* binding, ZHashedString passName, ZParameterSource* source) override;

    ZString effectFile;
    ZHashedString effectName;
    ZHashedString technique;
    ZString textureFile;
    ZHashedString textureName;
    ZString modTextureFile;
    ZHashedString modTextureName;

private:
    bool m_loaded = false;
};

// The same shader placed in the 1024 x 768 interface frame: "invHalfScreenWidth",
// "invHalfScreenHeight" and the offsets come from the base game's interface
// mapping (the frame centred in the screen); every other parameter is
// answered as by ZTexturedShader.
class ZScreenSpaceTexturedShader : public ZTexturedShader {
public:
    bool SetParameters(ZEffectParameter* binding, ZHashedString passName, ZParameterSource* source) override;
};

// The element parameters of a textured shader; false when the name is not one
// of them and no source down the chain answered it.
bool SetMenuElementShaderParams(ZTexturedShader& shader, ZEffectParameter* binding, ZHashedString passName,
                                ZParameterSource* source);
// The interface-frame parameters, then the element ones. The offsets carry
// the menu manager's slide (on a screen wider than 4:3, the same share of a
// 4:3 area), as the top menu adjusts it.
bool SetScreenSpaceShaderParams(ZTexturedShader& shader, ZEffectParameter* binding, ZHashedString passName,
                                ZParameterSource* source);

// The engine's default textured shaders, each new and loaded; the caller owns
// it. The glyph shaders share the shader name "__Default_Glyph Shader" (one
// effect) and differ in picture and parameters; the font shaders share
// "__Default_Font Shader". All modulate with "__Default_Mod" ("mod_white.dds").
// The plain ones map screen pixels, the "Alt" ones (and the interface
// glyphs) the interface frame.
ZTexturedShader* LoadXboxGlyphShader();
ZTexturedShader* LoadXboxGlyphShaderAlt();
ZTexturedShader* LoadGenGlyphShader();
ZTexturedShader* LoadGenGlyphShaderAlt();
ZTexturedShader* LoadUIGlyphShader();
ZTexturedShader* LoadDefaultFontShader();
ZTexturedShader* LoadDefaultFontShaderAlt();

// A packed ARGB colour as (red, green, blue, alpha), each byte / 255.
ZVector4 ArgbToVector(uint32_t argb);
