#include "menu/ZMenuItem.h"

#include <cmath>

#include "foundation/ZMatrix4.h"
#include "foundation/ZVector3.h"
#include "framework/ZBaseGame.h"
#include "menu/MenuQuadShader.h"
#include "menu/ZMenu.h"
#include "menu/ZMenuQuadGeometry.h"
#include "menu/ZTexturedShader.h"
#include "renderer/ZEffectParameter.h"
#include "renderer/ZFont.h"
#include "renderer/ZRenderGroup.h"
#include "renderer/ZRenderer.h"
#include "renderer/ZTransform.h"

namespace {

// What every item shares: one quad and one shader, made by the first live
// item and freed by the last.
ZMenuQuadGeometry g_quad;
MenuQuadShader* g_shader = nullptr;
int32_t g_liveItems = 0;

// The menu space every item is placed in.
constexpr float kCanvasWidth = 1024.0f;
constexpr float kCanvasHeight = 768.0f;

ZHashedString MenuGroupName() {
    const ZBaseGame* game = ZBaseGame::PeekInstance();
    return game != nullptr ? game->GetMenuGroupName() : ZHashedString("__ZORP_Menu_Group");
}

}  // namespace

int32_t ZMenuItem::GetLiveCount() { return g_liveItems; }

ZMenuItem::ZMenuItem() {
    if (g_liveItems++ == 0) {
        g_shader = new MenuQuadShader();
        g_shader->Load();
    }
    g_quad.Attach(this, g_shader, MenuGroupName());
}

ZMenuItem::~ZMenuItem() {
    g_quad.Detach(this);
    if (--g_liveItems == 0) {
        delete g_shader;
        g_shader = nullptr;
    }
}

void ZMenuItem::HandleInput(const ZMenuEvent& event, ZMenuMouseState* mouse) {
    if (owner != nullptr && event.kind >= 12) {
        owner->HandleAction(event, mouse);
    }
}

void ZMenuItem::SetText(const ZString& newText) {
    text = newText;
    Refresh();
}

void ZMenuItem::ExpandBounds(float min[2], float max[2]) const {
    min[0] = std::fmin(min[0], left);
    min[1] = std::fmin(min[1], top);
    max[0] = std::fmax(max[0], left + width);
    max[1] = std::fmax(max[1], top + height);
}

void ZMenuItem::DrawText(const ZColor32 color) {
    if (font != nullptr && !text.IsEmpty()) {
        font->DrawText(text.GetText(), text.GetLength(), left, top, textScale, textScale, color, color, 2.0f,
                       wrapWidth);
    }
}

void ZMenuItem::SetSelected(const bool on) {
    selected = on;
    Refresh();
}

void ZMenuItem::Refresh() {
    UpdateSize();
    PlaceRect(x, y, width, height, anchor, left, top);
}

void ZMenuItem::UpdateSize() { MeasureText(&width, &height, textScale); }

void ZMenuItem::MeasureText(float* outWidth, float* outHeight, const float scale) const {
    if (font == nullptr) {
        return;
    }
    font->DrawTextFormatted(text.GetText(), text.GetLength(), outWidth, outHeight, scale, scale, wrapWidth);
}

void ZMenuItem::Setup(const ZString& textIn, const float px, const float py, const int32_t anchorIn,
                      const float scale) {
    const ZBaseGame* game = ZBaseGame::PeekInstance();
    font = game != nullptr ? game->GetMenuFont() : nullptr;
    text = textIn;
    x = px;
    y = py;
    anchor = anchorIn;
    SetTextScale(scale);
}

bool ZMenuItem::HitTest(const float px, const float py) const {
    return left <= px && px <= left + width && top <= py && py <= top + height;
}

void ZMenuItem::SetTextScale(const float s) {
    const int32_t lineHeight = font != nullptr ? font->GetLineHeight() : 0;
    // A font without a line height keeps the factor as it is.
    textScale = lineHeight > 0 ? s * 56.0f / static_cast<float>(lineHeight) : s;
    Refresh();
}

void ZMenuItem::PlaceRect(const float px, const float py, const float w, const float h, const int32_t anchorIn,
                          float& outLeft, float& outTop) {
    switch (anchorIn) {
        case 1: outLeft = px; outTop = py; break;
        case 2: outLeft = px - w / 2; outTop = py; break;
        case 3: outLeft = px - w; outTop = py; break;
        case 4: outLeft = px; outTop = py - h / 2; break;
        case 5: outLeft = px - w; outTop = py - h / 2; break;
        case 6: outLeft = px; outTop = py - h; break;
        case 7: outLeft = px - w / 2; outTop = py - h; break;
        case 8: outLeft = px - w; outTop = py - h; break;
        default: outLeft = px - w / 2; outTop = py - h / 2; break;
    }
    outLeft = std::floor(outLeft);
    outTop = std::floor(outTop);
}

bool ZMenuItem::SetParameters(ZEffectParameter* binding, const ZHashedString passName, ZParameterSource* source) {
    static const ZHashedString kWvp("wvpMat");
    static const ZHashedString kElemTex("elemTex");
    static const ZHashedString kSelectionColor("SelectionColor");
    static const ZHashedString kQuadTexture("MENU_QUAD_TEXTURE");
    if (binding == nullptr) {
        return false;
    }
    if (binding->name == kWvp) {
        // A quarter of the size past each side, but never past the menu's
        // canvas: outside it lies no picture (a wide window's side bars), so
        // a row as wide as the canvas keeps its band on the picture.
        const float x0 = std::fmax(left - 0.25f * width, 0.0f);
        const float x1 = std::fmin(left + 1.25f * width, kCanvasWidth);
        const float y0 = std::fmax(top - 0.25f * height, 0.0f);
        const float y1 = std::fmin(top + 1.25f * height, kCanvasHeight);
        ZMatrix4 m = ZMatrix4::MakeScale(ZVector3(std::fmax(x1 - x0, 0.0f), std::fmax(y1 - y0, 0.0f), 0.0f));
        m.m[12] = x0;
        m.m[13] = y0;
        binding->SetMatrix(m);
        return true;
    }
    if (binding->name == kElemTex) {
        binding->SetTexture(kQuadTexture);
        return true;
    }
    if (binding->name == kSelectionColor) {
        const ZColor32 c = owner != nullptr ? owner->GetItemColor(this) : ZColor32(255, 255, 255, 255);
        binding->SetVector(ArgbToVector(c.ToARGB()));
        return true;
    }
    return ZRenderable::SetParameters(binding, passName, source);
}
