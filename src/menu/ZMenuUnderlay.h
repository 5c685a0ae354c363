#pragma once

#include <cstdint>

#include "renderer/ZRenderable.h"

// The panel behind a menu's items: a quad drawn with the menu-underlay
// shader, its texture stretched with corners of a fixed 32 units. All
// underlays share one unit quad and one shader (the base game's
// CreateMenuUnderlayShader), made by the first and freed by the last. Each
// is its own render instance, added hidden to the base game's underlay group.
class ZMenuUnderlay : public ZRenderable {
public:
    ZMenuUnderlay();
    ~ZMenuUnderlay() override;
    ZMenuUnderlay(const ZMenuUnderlay&) = delete;
    ZMenuUnderlay& operator=(const ZMenuUnderlay&) = delete;

    // The anchor point; the anchor becomes 0 (centre).
    void SetPosition(float px, float py);
    void SetSize(float w, float h);
    // Places the rectangle from the anchor point and size (as menu items do).
    virtual void Refresh();

    // "wvpMat" (the unit quad over the rectangle), "elemTex"
    // ("MENU_UNDERLAY_TEXTURE"), "AspectRatio" (width / height),
    // "CornerScale" (32 / height); the rest goes to the shared shader.
    bool SetParameters(ZEffectParameter* binding, ZHashedString passName, ZParameterSource* source) override;
    // A panel without area (a menu without items) draws nothing.
    void Draw(ZRenderer* renderer, ZParameterSource* renderInstanceSource) override;

    // Underlays alive (they share one quad and one shader).
    static int32_t GetLiveCount();
    // Whether the shared quad is built (false without a device).
    static bool IsSharedQuadBuilt();

    float x = 0.0f;
    float y = 0.0f;
    float left = 0.0f;
    float top = 0.0f;
    float width = 0.0f;
    float height = 0.0f;
    int32_t anchor = 0;
};
