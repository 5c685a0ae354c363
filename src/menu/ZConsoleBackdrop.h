#pragma once

#include "renderer/ZIndexBuffer.h"
#include "renderer/ZRenderable.h"
#include "renderer/ZShader.h"
#include "renderer/ZVertexBuffer.h"

// The translucent panel behind the developer console: a quad across the
// screen's width from its top edge down, shaded dark. Its transform scales y
// into pixels below the top (the console sets it to the height of its text,
// with y negated); it is drawn only while visible, which the console sets
// while it is open. Hidden when made.
class ZConsoleBackdrop : public ZRenderable {
public:
    ZConsoleBackdrop();
    ~ZConsoleBackdrop() override = default;

    // "wvpMat": the transform.
    bool SetParameters(ZEffectParameter* binding, ZHashedString passName, ZParameterSource* source) override;

private:
    ZVertexBuffer m_vertices;
    ZIndexBuffer m_indices;
};

// "__Console_Backdrop Shader": the backdrop effect's "Backdrop" technique,
// with the screen's height ("invHalfScreenHeight", 2 / height) and a constant
// opacity of 1. Holds one reference to its effect.
class ZConsoleBackdropShader : public ZShader {
public:
    ZConsoleBackdropShader();
    ~ZConsoleBackdropShader() override;

    bool SetParameters(ZEffectParameter* binding, ZHashedString passName, ZParameterSource* source) override;
};
