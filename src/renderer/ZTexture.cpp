#include "renderer/ZTexture.h"

#include <strings.h>

#include <cstring>
#include <memory>

#include "foundation/ZLog.h"
#include "foundation/ZStreamMgr.h"
#include "renderer/ZDDSFile.h"
#include "renderer/ZImage.h"
#include "renderer/ZRenderer.h"

namespace {

bool EndsWith(const char* text, const char* ending) {
    const size_t n = std::strlen(text), m = std::strlen(ending);
    return n >= m && strcasecmp(text + n - m, ending) == 0;
}

// Copies one level's rows into locked memory by its pitch; 3-byte texels
// become 4 bytes (the fourth, which X8R8G8B8 ignores, set to 255).
void CopyLevel(const ZDDSFile& dds, const ZDDSFile::Level& level, const gfx::LockedRect& locked) {
    auto* out = static_cast<uint8_t*>(locked.bits);
    for (uint32_t row = 0; row < level.rows; ++row) {
        const uint8_t* from = level.data + static_cast<size_t>(row) * level.rowBytes;
        uint8_t* to = out + static_cast<size_t>(row) * static_cast<size_t>(locked.pitch);
        if (dds.GetSourceTexelBytes() != 3) {
            std::memcpy(to, from, level.rowBytes);
            continue;
        }
        for (uint32_t x = 0; x < level.width; ++x) {
            to[4 * x + 0] = from[3 * x + 0];
            to[4 * x + 1] = from[3 * x + 1];
            to[4 * x + 2] = from[3 * x + 2];
            to[4 * x + 3] = 255;
        }
    }
}

}  // namespace

ZTexture::ZTexture(const char* fileName, const ZHashedString textureName, const char* paletteFileName) {
    if (fileName != nullptr) {
        if (EndsWith(fileName, ".dds")) {
            gfx::BaseTexture* texture = nullptr;
            int32_t w = 0, h = 0, levels = 0;
            bool isCube = false;
            if (CreateTextureFromImage(fileName, &texture, &w, &h, &levels, &isCube)) {
                SetTexture(texture, nullptr, w, h, levels, isCube);
            }
        } else if (EndsWith(fileName, ".bmp") || EndsWith(fileName, ".ktb")) {
            ZImage image;
            if (image.LoadBMP(fileName)) {
                if (paletteFileName != nullptr) {
                    image.LoadPalette(paletteFileName);
                }
                int32_t pitch = 0;
                void* bits = nullptr;
                if (CreateBlankTexture(image.GetWidth(), image.GetHeight()) && LockRect(pitch, bits)) {
                    for (int32_t y = 0; y < image.GetHeight(); ++y) {
                        auto* row = reinterpret_cast<uint8_t*>(bits) + static_cast<size_t>(y) * pitch;
                        for (int32_t x = 0; x < image.GetWidth(); ++x) {
                            const uint32_t c = image.GetPixel(x, y);
                            std::memcpy(row + 4 * static_cast<size_t>(x), &c, 4);
                        }
                    }
                    UnlockRect();
                }
            }
        } else {
            ZLog::Printf("ZTexture: %s is not a texture file this engine reads", fileName);
        }
    }
    name = textureName;
}

ZTexture::~ZTexture() {
    name = ZHashedString::None();
    ReleaseTexture();
}

bool ZTexture::CreateBlankTexture(const int32_t w, const int32_t h) {
    ZRenderer* renderer = GetRenderer();
    gfx::Device* device = renderer->GetDevice();
    if (device == nullptr || w < 1 || h < 1) {
        return false;
    }
    mipLevels = -1;
    gfx::Texture* texture = nullptr;
    if (gfx::Failed(renderer->Check(device->CreateTexture(static_cast<uint32_t>(w), static_cast<uint32_t>(h), 1, 0,
                                                          gfx::Format::A8R8G8B8, gfx::Pool::Managed, &texture)))) {
        return false;
    }
    SetTexture(texture, nullptr, w, h, 1, false);
    return true;
}

gfx::Texture* ZTexture::Get2D() const {
    if (m_texture == nullptr || m_texture->GetType() != gfx::ResourceType::Texture) {
        return nullptr;
    }
    return static_cast<gfx::Texture*>(m_texture);
}

bool ZTexture::LockRect(int32_t& pitch, void*& bits) {
    gfx::Texture* texture = Get2D();
    if (texture == nullptr) {
        return false;
    }
    gfx::LockedRect locked;
    if (gfx::Failed(GetRenderer()->Check(texture->LockRect(0, &locked, nullptr, 0)))) {
        return false;
    }
    pitch = locked.pitch;
    bits = locked.bits;
    return true;
}

void ZTexture::UnlockRect() {
    if (gfx::Texture* texture = Get2D()) {
        GetRenderer()->Check(texture->UnlockRect(0));
    }
}

void ZTexture::SetTexture(gfx::BaseTexture* texture, const ZRenderTarget* owner, const int32_t w, const int32_t h,
                          const int32_t levels, const bool isCube) {
    if (texture != m_texture) {
        ReleaseTexture();
    }
    m_texture = texture;
    m_owner = owner;
    width = w;
    height = h;
    mipLevels = levels;
    cube = isCube;
}

void ZTexture::ForgetTexture() {
    m_texture = nullptr;
    m_owner = nullptr;
}

void ZTexture::ReleaseTexture() {
    if (m_texture != nullptr && m_owner == nullptr) {
        const uint32_t left = m_texture->Release();
        if (ZRenderer* renderer = PeekRenderer()) {
            renderer->lastReleaseCount = left;
        }
    }
    m_texture = nullptr;
    m_owner = nullptr;
}

bool CreateTextureFromImage(const char* fileName, gfx::BaseTexture** textureOut, int32_t* widthOut,
                            int32_t* heightOut, int32_t* levelsOut, bool* cubeOut) {
    *textureOut = nullptr;
    char* buffer = nullptr;
    int64_t size = -1;
    if (fileName == nullptr || !ZStreamMgr::GetInstance()->ReadFile(fileName, &buffer, &size)) {
        return false;
    }
    const std::unique_ptr<char[]> bytes(buffer);
    if (!CreateTextureFromDDS(GetRenderer()->GetDevice(), reinterpret_cast<const uint8_t*>(bytes.get()),
                              static_cast<size_t>(size), textureOut, widthOut, heightOut, levelsOut, cubeOut)) {
        ZLog::Printf("CreateTextureFromImage: %s was not loaded", fileName);
        return false;
    }
    return true;
}

bool CreateTextureFromDDS(gfx::Device* device, const uint8_t* data, const size_t size,
                          gfx::BaseTexture** textureOut, int32_t* widthOut, int32_t* heightOut, int32_t* levelsOut,
                          bool* cubeOut) {
    *textureOut = nullptr;
    ZDDSFile dds;
    if (!dds.Parse(data, size)) {
        ZLog::Printf("DDS reader: %s", dds.GetError());
        return false;
    }
    if (device == nullptr) {
        return false;
    }
    ZRenderer* renderer = GetRenderer();
    gfx::BaseTexture* made = nullptr;
    bool ok = true;
    if (!dds.IsCube()) {
        gfx::Texture* texture = nullptr;
        if (gfx::Failed(renderer->Check(device->CreateTexture(dds.GetWidth(), dds.GetHeight(), dds.GetLevelCount(), 0,
                                                              dds.GetFormat(), gfx::Pool::Managed, &texture)))) {
            return false;
        }
        made = texture;
        for (uint32_t level = 0; ok && level < dds.GetLevelCount(); ++level) {
            gfx::LockedRect locked;
            ok = gfx::Succeeded(renderer->Check(texture->LockRect(level, &locked, nullptr, 0)));
            if (ok) {
                CopyLevel(dds, dds.GetLevel(0, level), locked);
                renderer->Check(texture->UnlockRect(level));
            }
        }
    } else {
        gfx::CubeTexture* texture = nullptr;
        if (gfx::Failed(renderer->Check(device->CreateCubeTexture(dds.GetWidth(), dds.GetLevelCount(), 0,
                                                                  dds.GetFormat(), gfx::Pool::Managed, &texture)))) {
            return false;
        }
        made = texture;
        for (uint32_t face = 0; ok && face < 6; ++face) {
            const auto cubeFace = static_cast<gfx::CubeFace>(face);
            for (uint32_t level = 0; ok && level < dds.GetLevelCount(); ++level) {
                gfx::LockedRect locked;
                ok = gfx::Succeeded(renderer->Check(texture->LockRect(cubeFace, level, &locked, nullptr, 0)));
                if (ok) {
                    CopyLevel(dds, dds.GetLevel(face, level), locked);
                    renderer->Check(texture->UnlockRect(cubeFace, level));
                }
            }
        }
    }
    if (!ok) {
        made->Release();
        return false;
    }
    *textureOut = made;
    *widthOut = static_cast<int32_t>(dds.GetWidth());
    *heightOut = static_cast<int32_t>(dds.GetHeight());
    *levelsOut = static_cast<int32_t>(dds.GetLevelCount());
    *cubeOut = dds.IsCube();
    return true;
}
