#pragma once

#include <cstddef>
#include <cstdint>

#include "foundation/ZHashedString.h"
#include "platform/gfx/gfx.h"

struct ZRenderTarget;

// One device texture: loaded from an image file (".dds" by the engine's own
// reader; ".bmp" and ".ktb" through ZImage), or blank for code that fills it
// by hand. The texture cache (ZTextureMgr) owns textures by name. A texture
// that wraps a render target's texture borrows it and never releases it.
class ZTexture {
public:
    ZTexture() = default;
    // Loads by the file name's last four characters; an unknown ending, a
    // missing file or a refused one leaves the texture without a device texture.
    ZTexture(const char* fileName, ZHashedString textureName, const char* paletteFileName);
    virtual ~ZTexture();
    ZTexture(const ZTexture&) = delete;
    ZTexture& operator=(const ZTexture&) = delete;

    // One level of A8R8G8B8 in the managed pool; false without a device.
    bool CreateBlankTexture(int32_t width, int32_t height);
    // Level 0 of a 2D texture, locked with no flags.
    bool LockRect(int32_t& pitch, void*& bits);
    void UnlockRect();

    // Replaces the device texture: releases an owned one, then holds the new
    // one (borrowed from owner when owner is not null).
    void SetTexture(gfx::BaseTexture* texture, const ZRenderTarget* owner, int32_t width, int32_t height,
                    int32_t levels, bool cube);
    // Drops the device texture without releasing it (its owner did).
    void ForgetTexture();

    gfx::BaseTexture* GetTexture() const { return m_texture; }
    gfx::Texture* Get2D() const;

    ZHashedString name;
    int32_t width = 0;
    int32_t height = 0;
    int32_t mipLevels = 0;  // -1 while unknown (blank or borrowed)
    bool cube = false;

    // The render target whose texture this is, or null when the texture owns it.
    const ZRenderTarget* GetOwner() const { return m_owner; }

private:
    void ReleaseTexture();

    gfx::BaseTexture* m_texture = nullptr;
    const ZRenderTarget* m_owner = nullptr;
};

// The DDS reader: creates the texture (every level, every cube face) from the
// file read through the stream manager. False, with a log line, when the file
// is missing or refused or the device cannot make the texture.
bool CreateTextureFromImage(const char* fileName, gfx::BaseTexture** textureOut, int32_t* widthOut,
                            int32_t* heightOut, int32_t* levelsOut, bool* cubeOut);
// The same from bytes in memory, on the given device.
bool CreateTextureFromDDS(gfx::Device* device, const uint8_t* data, size_t size, gfx::BaseTexture** textureOut,
                          int32_t* widthOut, int32_t* heightOut, int32_t* levelsOut, bool* cubeOut);
