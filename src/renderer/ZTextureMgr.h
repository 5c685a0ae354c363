#pragma once

#include <cstdint>

#include "foundation/ZHashedString.h"
#include "foundation/ZMap.h"

class ZTexture;
struct ZRenderTarget;
namespace gfx {
class BaseTexture;
}

// Every texture held once by hashed name with a reference count. Owners load
// or create by name, keep the pointer they get, and release by name; the
// texture is destroyed when its count falls below 1. A texture object keeps
// its identity for as long as it is cached, so a pointer an owner holds stays
// valid until that owner releases it.
class ZTextureMgr {
public:
    struct Entry {
        ZTexture* texture = nullptr;
        int32_t refs = 0;
    };

    // Made on first use.
    static ZTextureMgr* GetInstance();
    static void DestroyInstance();

    // A null file name gives null. Cached: one more reference; else a new
    // texture from the image file (and the optional palette file), count 1.
    ZTexture* LoadTexture(const char* fileName, ZHashedString name, const char* paletteFileName);
    // Cached: one more reference; else a new blank texture of the size, count 1.
    ZTexture* CreateTexture(int32_t width, int32_t height, ZHashedString name);
    // Publishes a render target's texture under the name. A cached texture of
    // that name takes the new device texture in place (its count unchanged);
    // otherwise a new texture is cached with count 1.
    bool AdoptTexture(gfx::BaseTexture* texture, ZHashedString name, const ZRenderTarget* owner,
                      int32_t width, int32_t height);
    // The render target freed its texture: a texture of that name borrowed from
    // that target stops referring to it.
    void DetachTexture(ZHashedString name, const ZRenderTarget* owner);
    // Never changes a count.
    ZTexture* FindTexture(ZHashedString name) const;
    // One reference less; below 1 the texture is destroyed. Unknown names are ignored.
    void ReleaseTexture(ZHashedString name);
    // The reference count of a cached name, 0 when absent.
    int32_t GetRefCount(ZHashedString name) const;
    uint32_t GetCount() const { return m_textures.Count(); }
    // The references held over every entry (leak checks).
    int64_t GetTotalRefCount() const;

    ZTextureMgr(const ZTextureMgr&) = delete;
    ZTextureMgr& operator=(const ZTextureMgr&) = delete;

private:
    // Made and freed only through the shared manager slot helpers.
    template <typename T>
    friend T* GetOrCreateManager(T*& slot);
    template <typename T>
    friend void DestroyManager(T*& slot);

    ZTextureMgr() = default;
    ~ZTextureMgr();

    ZMap<ZHashedString, Entry> m_textures;
};

// ZTextureMgr::LoadTexture on the cache (made on first use).
ZTexture* LoadManagedTexture(const char* fileName, ZHashedString name, const char* paletteFileName);
