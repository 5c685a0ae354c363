#include "menu/ZConsoleBackdrop.h"

#include <cstring>

#include "foundation/ZColor32.h"
#include "framework/ZBaseGame.h"
#include "menu/ZMenuMgr.h"
#include "renderer/ZEffect.h"
#include "renderer/ZEffectParameter.h"
#include "renderer/ZShaderMgr.h"

namespace {

const ZHashedString& EffectName() {
    static const ZHashedString name("__Console_Backdrop Shader");
    return name;
}

}  // namespace

ZConsoleBackdrop::ZConsoleBackdrop(const Variant variant) {
    visible = false;
    // x across the whole screen, y from the top (0) to the transform's depth (1).
    static constexpr float kPositions[4][3] = {{-1, 0, 0}, {1, 0, 0}, {-1, 1, 0}, {1, 1, 0}};
    static constexpr ZColor32 kConsoleColors[4] = {ZColor32(0, 0, 0, 255), ZColor32(0, 0, 0, 192),
                                                   ZColor32(32, 32, 32, 255), ZColor32(32, 32, 32, 192)};
    static constexpr ZColor32 kMenuColors[4] = {ZColor32(0, 0, 0, 128), ZColor32(0, 0, 0, 128),
                                                ZColor32(0, 0, 0, 192), ZColor32(0, 0, 0, 192)};
    static constexpr uint16_t kIndices[6] = {0, 2, 1, 1, 2, 3};
    const ZStreamElement elements[2] = {{kPositions, 12, 0, false}, {kConsoleColors, 4, 4, false}};
    if (!m_vertices.Create(elements, 2, 4) || !m_indices.Create(kIndices, 6)) {
        m_vertices.Release();
        m_indices.Release();
        return;
    }
    vertexBuffer = &m_vertices;
    indexBuffer = &m_indices;
    if (variant == kMenu) {
        // Built as the console's, then the colour stream rewritten.
        if (void* colors = m_vertices.LockStream(1, false)) {
            std::memcpy(colors, kMenuColors, sizeof kMenuColors);
            m_vertices.UnlockStream(1);
        }
    }
}

bool ZConsoleBackdrop::SetParameters(ZEffectParameter* binding, const ZHashedString passName,
                                     ZParameterSource* source) {
    static const ZHashedString kWvp("wvpMat");
    if (binding != nullptr && binding->name == kWvp) {
        binding->SetMatrix(transform);
        return true;
    }
    return ZRenderable::SetParameters(binding, passName, source);
}

ZConsoleBackdropShader::ZConsoleBackdropShader(const bool followsMenuOpacity)
    : m_followsMenuOpacity(followsMenuOpacity) {
    ZEffect* effect = ZShaderMgr::GetInstance()->LoadEffect("__ZORP_Console_Backdrop.fxo", EffectName());
    if (effect != nullptr) {
        if (ZPassBinding* binding = effect->FindTechnique(ZHashedString("Backdrop"))) {
            SetDefaultPassBinding(binding);
        }
    }
}

ZConsoleBackdropShader::~ZConsoleBackdropShader() {
    if (ZShaderMgr* shaders = ZShaderMgr::PeekInstance()) {
        shaders->ReleaseEffect(EffectName());
    }
}

bool ZConsoleBackdropShader::SetParameters(ZEffectParameter* binding, const ZHashedString passName,
                                           ZParameterSource* source) {
    static const ZHashedString kInvHalfHeight("invHalfScreenHeight");
    static const ZHashedString kOpacity("BackdropOpacity");
    if (binding == nullptr) {
        return false;
    }
    if (binding->name == kInvHalfHeight) {
        const ZBaseGame* game = ZBaseGame::PeekInstance();
        const int32_t height = game != nullptr ? game->GetScreenHeight() : 0;
        binding->SetFloat(height > 0 ? 2.0f / static_cast<float>(height) : 0.0f);
        return true;
    }
    if (binding->name == kOpacity) {
        const ZMenuMgr* menus = m_followsMenuOpacity ? PeekMenuMgr() : nullptr;
        binding->SetFloat(menus != nullptr ? menus->GetOverlayOpacity() : m_followsMenuOpacity ? 0.0f : 1.0f);
        return true;
    }
    return ZShader::SetParameters(binding, passName, source);
}
