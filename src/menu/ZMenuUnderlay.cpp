#include "menu/ZMenuUnderlay.h"

#include "foundation/ZMatrix4.h"
#include "foundation/ZVector3.h"
#include "framework/ZBaseGame.h"
#include "menu/MenuUnderlayShader.h"
#include "menu/ZMenuItem.h"
#include "menu/ZMenuQuadGeometry.h"
#include "renderer/ZEffectParameter.h"
#include "renderer/ZRenderGroup.h"
#include "renderer/ZRenderer.h"
#include "renderer/ZTransform.h"

namespace {

ZMenuQuadGeometry g_quad;
ZTexturedShader* g_shader = nullptr;
int32_t g_liveUnderlays = 0;

ZTexturedShader* CreateShader() {
    if (ZBaseGame* game = ZBaseGame::PeekInstance()) {
        return game->CreateMenuUnderlayShader();
    }
    auto* shader = new MenuUnderlayShader();
    shader->Load();
    return shader;
}

ZHashedString UnderlayGroupName() {
    const ZBaseGame* game = ZBaseGame::PeekInstance();
    return game != nullptr ? game->GetMenuUnderlayGroupName() : ZHashedString("__ZORP_Menu_Underlay_Group");
}

}  // namespace

int32_t ZMenuUnderlay::GetLiveCount() { return g_liveUnderlays; }

bool ZMenuUnderlay::IsSharedQuadBuilt() { return g_quad.IsBuilt(); }

ZMenuUnderlay::ZMenuUnderlay() {
    if (g_liveUnderlays++ == 0) {
        g_shader = CreateShader();
    }
    g_quad.Attach(this, g_shader, UnderlayGroupName());
}

ZMenuUnderlay::~ZMenuUnderlay() {
    g_quad.Detach(this);
    if (--g_liveUnderlays == 0) {
        delete g_shader;
        g_shader = nullptr;
    }
}

void ZMenuUnderlay::SetPosition(const float px, const float py) {
    x = px;
    y = py;
    anchor = 0;
    Refresh();
}

void ZMenuUnderlay::SetSize(const float w, const float h) {
    width = w;
    height = h;
    Refresh();
}

void ZMenuUnderlay::Refresh() { ZMenuItem::PlaceRect(x, y, width, height, anchor, left, top); }

bool ZMenuUnderlay::SetParameters(ZEffectParameter* binding, const ZHashedString passName,
                                  ZParameterSource* source) {
    static const ZHashedString kWvp("wvpMat");
    static const ZHashedString kElemTex("elemTex");
    static const ZHashedString kAspect("AspectRatio");
    static const ZHashedString kCorner("CornerScale");
    static const ZHashedString kTexture("MENU_UNDERLAY_TEXTURE");
    if (binding == nullptr) {
        return false;
    }
    if (binding->name == kWvp) {
        ZMatrix4 m = ZMatrix4::MakeScale(ZVector3(width, height, 1.0f));
        m.m[12] = left;
        m.m[13] = top;
        binding->SetMatrix(m);
    } else if (binding->name == kElemTex) {
        binding->SetTexture(kTexture);
    } else if (binding->name == kAspect) {
        // A flat panel would divide by zero; it is not drawn anyway.
        binding->SetFloat(height > 0.0f ? width / height : 1.0f);
    } else if (binding->name == kCorner) {
        binding->SetFloat(height > 0.0f ? 32.0f / height : 0.0f);
    } else {
        return ZRenderable::SetParameters(binding, passName, source);
    }
    return true;
}

void ZMenuUnderlay::Draw(ZRenderer* renderer, ZParameterSource* renderInstanceSource) {
    if (width > 0.0f && height > 0.0f) {
        ZRenderable::Draw(renderer, renderInstanceSource);
    }
}
