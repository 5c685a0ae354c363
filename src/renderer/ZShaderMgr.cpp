#include "renderer/ZShaderMgr.h"

#include "foundation/ZAppInfo.h"
#include "renderer/ZEffect.h"
#include "renderer/ZRenderer.h"

namespace {

ZShaderMgr* g_shaderMgr = nullptr;

}  // namespace

ZShaderMgr* ZShaderMgr::GetInstance() { return GetOrCreateManager(g_shaderMgr); }

ZShaderMgr* ZShaderMgr::PeekInstance() { return g_shaderMgr; }

void ZShaderMgr::DestroyInstance() { DestroyManager(g_shaderMgr); }

ZShaderMgr::~ZShaderMgr() { ReleaseAll(); }

ZEffect* ZShaderMgr::LoadEffect(const char* fileName, const ZHashedString name) {
    if (fileName == nullptr) {
        return nullptr;
    }
    if (auto* node = m_effects.Find(name)) {
        ++node->value.refs;
        return node->value.effect;
    }
    auto* effect = new ZEffect(fileName, name);
    m_effects.Insert(name, Entry{effect, 1});
    return effect;
}

void ZShaderMgr::ReleaseEffect(const ZHashedString name) {
    auto* node = m_effects.Find(name);
    if (node == nullptr) {
        return;
    }
    node->value.effect->ClearTextureBindings();
    if (--node->value.refs < 1) {
        ZEffect* effect = node->value.effect;
        m_effects.Remove(name);
        delete effect;
    }
}

void ZShaderMgr::OnLostDevice() {
    ZRenderer* renderer = GetRenderer();
    for (auto& node : m_effects) {
        if (gfx::Effect* effect = node.value.effect->GetEffect()) {
            renderer->Check(effect->OnLostDevice());
        }
    }
}

void ZShaderMgr::OnResetDevice() {
    ZRenderer* renderer = GetRenderer();
    for (auto& node : m_effects) {
        if (gfx::Effect* effect = node.value.effect->GetEffect()) {
            renderer->Check(effect->OnResetDevice());
        }
    }
}

void ZShaderMgr::ReleaseAll() {
    for (auto& node : m_effects) {
        delete node.value.effect;
    }
    m_effects.Clear();
}

void ZShaderMgr::ClearAllTextureBindings() {
    for (auto& node : m_effects) {
        node.value.effect->ClearTextureBindings();
    }
}

void ZShaderMgr::UnbindAllTextures() {
    for (auto& node : m_effects) {
        node.value.effect->UnbindAllTextures();
    }
}

ZEffect* ZShaderMgr::FindEffect(const ZHashedString name) const {
    const auto* node = m_effects.Find(name);
    return node != nullptr ? node->value.effect : nullptr;
}

int64_t ZShaderMgr::GetTotalRefCount() const {
    int64_t total = 0;
    for (const auto& node : m_effects) {
        total += node.value.refs;
    }
    return total;
}

int32_t ZShaderMgr::GetRefCount(const ZHashedString name) const {
    const auto* node = m_effects.Find(name);
    return node != nullptr ? node->value.refs : 0;
}

ZEffect* LoadManagedEffect(const char* fileName, const ZHashedString name) {
    return ZShaderMgr::GetInstance()->LoadEffect(fileName, name);
}
