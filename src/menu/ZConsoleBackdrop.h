#pragma once

#include "renderer/ZIndexBuffer.h"
#include "renderer/ZRenderable.h"
#include "renderer/ZShader.h"
#include "renderer/ZVertexBuffer.h"

// A translucent dark panel: a quad across the screen's width from its top
// edge down, shaded by its vertex colours. Its transform (the world matrix)
// scales y into pixels below the top, with y negated. Two variants: the
// console's (black to dark grey, opaque at the left edge and three-quarters
// at the right), whose height the console sets while it is open; and the
// menus', half to three-quarters black over the whole screen, which the menu
// manager shows while a menu is open. Hidden when made.
class ZConsoleBackdrop : public ZRenderable {
public:
    enum Variant : int32_t { kConsole = 0, kMenu = 1 };

    explicit ZConsoleBackdrop(Variant variant = kConsole);
    ~ZConsoleBackdrop() override = default;

    // "wvpMat": the transform.
    bool SetParameters(ZEffectParameter* binding, ZHashedString passName, ZParameterSource* source) override;

private:
    ZVertexBuffer m_vertices;
    ZIndexBuffer m_indices;
};

// "__Console_Backdrop Shader": the backdrop effect's "Backdrop" technique,
// with the screen's height ("invHalfScreenHeight", 2 / height) and the
// opacity ("BackdropOpacity"): the menu manager's backdrop opacity when it
// follows the menus, else 1. Holds one reference to its effect.
class ZConsoleBackdropShader : public ZShader {
public:
    explicit ZConsoleBackdropShader(bool followsMenuOpacity = false);
    ~ZConsoleBackdropShader() override;

    bool SetParameters(ZEffectParameter* binding, ZHashedString passName, ZParameterSource* source) override;

    bool FollowsMenuOpacity() const { return m_followsMenuOpacity; }

private:
    bool m_followsMenuOpacity = false;
};
