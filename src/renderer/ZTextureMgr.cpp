#include "renderer/ZTextureMgr.h"

#include "foundation/ZAppInfo.h"
#include "renderer/ZTexture.h"

namespace {

ZTextureMgr* g_textureMgr = nullptr;

}  // namespace

ZTextureMgr* ZTextureMgr::GetInstance() { return GetOrCreateManager(g_textureMgr); }

void ZTextureMgr::DestroyInstance() { DestroyManager(g_textureMgr); }

ZTextureMgr::~ZTextureMgr() {
    for (auto& node : m_textures) {
        delete node.value.texture;
    }
}

ZTexture* ZTextureMgr::LoadTexture(const char* fileName, const ZHashedString name, const char* paletteFileName) {
    if (fileName == nullptr) {
        return nullptr;
    }
    if (auto* node = m_textures.Find(name)) {
        ++node->value.refs;
        return node->value.texture;
    }
    auto* texture = new ZTexture(fileName, name, paletteFileName);
    m_textures.Insert(name, Entry{texture, 1});
    return texture;
}

ZTexture* ZTextureMgr::CreateTexture(const int32_t width, const int32_t height, const ZHashedString name) {
    if (auto* node = m_textures.Find(name)) {
        ++node->value.refs;
        return node->value.texture;
    }
    auto* texture = new ZTexture();
    texture->CreateBlankTexture(width, height);
    texture->name = name;
    m_textures.Insert(name, Entry{texture, 1});
    return texture;
}

bool ZTextureMgr::AdoptTexture(gfx::BaseTexture* texture, const ZHashedString name, const ZRenderTarget* owner,
                               const int32_t width, const int32_t height) {
    // Replacing the object would leave every holder of the old pointer with a
    // freed texture; the cached object takes the new device texture instead.
    if (auto* node = m_textures.Find(name)) {
        node->value.texture->SetTexture(texture, owner, width, height, -1, false);
        return true;
    }
    auto* wrapper = new ZTexture();
    wrapper->name = name;
    wrapper->SetTexture(texture, owner, width, height, -1, false);
    m_textures.Insert(name, Entry{wrapper, 1});
    return true;
}

void ZTextureMgr::DetachTexture(const ZHashedString name, const ZRenderTarget* owner) {
    if (auto* node = m_textures.Find(name)) {
        ZTexture* texture = node->value.texture;
        if (owner != nullptr && texture->GetOwner() == owner) {
            texture->ForgetTexture();
        }
    }
}

ZTexture* ZTextureMgr::FindTexture(const ZHashedString name) const {
    const auto* node = m_textures.Find(name);
    return node != nullptr ? node->value.texture : nullptr;
}

void ZTextureMgr::ReleaseTexture(const ZHashedString name) {
    auto* node = m_textures.Find(name);
    if (node == nullptr) {
        return;
    }
    if (--node->value.refs < 1) {
        ZTexture* texture = node->value.texture;
        m_textures.Remove(name);
        delete texture;
    }
}

ZTexture* LoadManagedTexture(const char* fileName, const ZHashedString name, const char* paletteFileName) {
    return ZTextureMgr::GetInstance()->LoadTexture(fileName, name, paletteFileName);
}

int64_t ZTextureMgr::GetTotalRefCount() const {
    int64_t total = 0;
    for (const auto& node : m_textures) {
        total += node.value.refs;
    }
    return total;
}

int32_t ZTextureMgr::GetRefCount(const ZHashedString name) const {
    const auto* node = m_textures.Find(name);
    return node != nullptr ? node->value.refs : 0;
}
