#include <algorithm>
#include <cstring>

#include "platform/gfx/gl/gl_device.h"
#include "platform/gfx/texel.h"

namespace gfx::gl {

bool LookUpFormat(Format f, GlFormat* out) {
    GlFormat g;
    switch (f) {
        // Unsized, so that the driver keeps the B, G, R, A bytes as they come:
        // uploads are plain copies, and a software rasterizer copies and
        // filters such textures into such targets on its fast paths (a sized
        // RGBA8 is stored R, G, B, A and takes its general path).
        case Format::A8R8G8B8: g = {GL_RGBA, GL_BGRA, GL_UNSIGNED_BYTE, {GL_RED, GL_GREEN, GL_BLUE, GL_ALPHA}, false}; break;
        // No alpha channel: sampling reads 1.
        case Format::X8R8G8B8: g = {GL_RGBA, GL_BGRA, GL_UNSIGNED_BYTE, {GL_RED, GL_GREEN, GL_BLUE, GL_ONE}, false}; break;
        case Format::A16B16G16R16F: g = {GL_RGBA16F, GL_RGBA, GL_HALF_FLOAT, {GL_RED, GL_GREEN, GL_BLUE, GL_ALPHA}, false}; break;
        case Format::A32B32G32R32F: g = {GL_RGBA32F, GL_RGBA, GL_FLOAT, {GL_RED, GL_GREEN, GL_BLUE, GL_ALPHA}, false}; break;
        // Missing channels read as 1, as the device this layer imitates does it.
        case Format::R16F: g = {GL_R16F, GL_RED, GL_HALF_FLOAT, {GL_RED, GL_ONE, GL_ONE, GL_ONE}, false}; break;
        case Format::L8: g = {GL_R8, GL_RED, GL_UNSIGNED_BYTE, {GL_RED, GL_RED, GL_RED, GL_ONE}, false}; break;
        case Format::A8: g = {GL_R8, GL_RED, GL_UNSIGNED_BYTE, {GL_ZERO, GL_ZERO, GL_ZERO, GL_RED}, false}; break;
        case Format::DXT1:
        case Format::DXT2:
        case Format::DXT3:
        case Format::DXT4:
        case Format::DXT5: g = {GL_RGBA, GL_BGRA, GL_UNSIGNED_BYTE, {GL_RED, GL_GREEN, GL_BLUE, GL_ALPHA}, true}; break;
        default: return false;
    }
    *out = g;
    return true;
}

bool LookUpTargetFormat(Format f, GlFormat* out) {
    if (!LookUpFormat(f, out)) return false;
    // A swizzle takes a texture off the rasterizer's fast paths; the alpha of an
    // X8R8G8B8 target is 1 from its creation and stays so (see ApplyColorMask).
    if (f == Format::X8R8G8B8) out->swizzle[3] = GL_ALPHA;
    return true;
}

bool IsTargetFormat(Format f) {
    return f == Format::A8R8G8B8 || f == Format::X8R8G8B8 || f == Format::A16B16G16R16F ||
           f == Format::A32B32G32R32F || f == Format::R16F;
}

// ---------------------------------------------------------------------------

TextureStorage::TextureStorage(GlDevice* device, Object* owner, bool cube, uint32_t width, uint32_t height,
                               uint32_t levels, uint32_t usage, Format format, Pool pool)
    : m_device(device), m_owner(owner), m_cube(cube), m_width(width), m_height(height), m_levels(levels),
      m_usage(usage), m_format(format), m_pool(pool) {
    const Api& gl = m_device->GL();
    GlFormat f;
    if (usage & usage::kRenderTarget) {
        LookUpTargetFormat(format, &f);
    } else {
        LookUpFormat(format, &f);
    }
    const uint32_t faces = cube ? 6 : 1;
    // Automatic mipmaps need the whole chain in GL while the texture reports one level.
    const uint32_t glLevels = (usage & usage::kAutoGenMipmap) ? FullChainLevels(width, height) : levels;
    const bool keepCopy = !(usage & usage::kRenderTarget);
    if (keepCopy) {
        m_images.resize(static_cast<size_t>(faces) * levels);
        for (uint32_t face = 0; face < faces; ++face) {
            for (uint32_t l = 0; l < levels; ++l) {
                Image& image = m_images[face * levels + l];
                image.Allocate(format, LevelSize(width, l), LevelSize(height, l), 0);
                image.pitch = GlPitch(format, image.width);
                image.bits.assign(static_cast<size_t>(image.pitch) * image.Rows(), 0);
            }
        }
    }
    m_surfaces.resize(static_cast<size_t>(faces) * levels);
    gl.GetError();
    gl.GenTextures(1, &m_texture);
    m_device->BindForUpload(Target(), m_texture);
    gl.TexParameteri(Target(), GL_TEXTURE_BASE_LEVEL, 0);
    gl.TexParameteri(Target(), GL_TEXTURE_MAX_LEVEL, static_cast<GLint>(glLevels - 1));
    gl.TexParameteriv(Target(), GL_TEXTURE_SWIZZLE_RGBA, f.swizzle);
    // Zeros, so that a texture nobody wrote reads the same everywhere; targets
    // start undefined, but for the alpha of X8R8G8B8 ones, which is 1.
    std::vector<uint8_t> zeros;
    const bool opaqueTarget = !keepCopy && format == Format::X8R8G8B8;
    if (keepCopy) zeros.assign(static_cast<size_t>(width) * height * (f.decode ? 4 : FormatBytes(format)), 0);
    if (opaqueTarget) {
        zeros.assign(static_cast<size_t>(width) * height * 4, 0);
        for (size_t i = 3; i < zeros.size(); i += 4) zeros[i] = 255;
    }
    gl.PixelStorei(GL_UNPACK_ALIGNMENT, 1);
    gl.PixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    for (uint32_t face = 0; face < faces; ++face) {
        for (uint32_t l = 0; l < glLevels; ++l) {
            gl.TexImage2D(FaceTarget(face), static_cast<GLint>(l), static_cast<GLint>(f.internal),
                          static_cast<GLsizei>(LevelSize(width, l)), static_cast<GLsizei>(LevelSize(height, l)), 0,
                          f.format, f.type, zeros.empty() ? nullptr : zeros.data());
        }
    }
    if (gl.GetError() != GL_NO_ERROR) {
        gl.DeleteTextures(1, &m_texture);
        m_texture = 0;
    }
}

TextureStorage::~TextureStorage() {
    for (auto& s : m_surfaces) {
        if (s) m_device->Forget(s.get());
    }
    m_surfaces.clear();
    if (m_texture) {
        m_device->MakeCurrent();
        m_device->GL().DeleteTextures(1, &m_texture);
    }
}

Result TextureStorage::LevelDesc(uint32_t level, SurfaceDesc* desc) const {
    if (level >= m_levels || !desc) return Result::InvalidCall;
    *desc = {m_format, ResourceType::Surface, m_usage, m_pool, LevelSize(m_width, level), LevelSize(m_height, level)};
    return Result::Ok;
}

Result TextureStorage::GetSurface(uint32_t face, uint32_t level, Surface** surface) {
    if (level >= m_levels || !surface) return Result::InvalidCall;
    const size_t i = static_cast<size_t>(face) * m_levels + level;
    if (!m_surfaces[i]) {
        SurfaceDesc desc;
        LevelDesc(level, &desc);
        auto s = std::make_unique<GlSurface>(m_device, GlSurface::Kind::Level, desc);
        s->storage = this;
        s->container = m_owner;
        s->face = face;
        s->level = level;
        m_surfaces[i] = std::move(s);
    }
    m_surfaces[i]->AddRef();
    *surface = m_surfaces[i].get();
    return Result::Ok;
}

Result TextureStorage::Lock(uint32_t face, uint32_t level, LockedRect* locked, const Rect* rect, uint32_t flags) {
    if (level >= m_levels || m_images.empty()) return Result::InvalidCall;
    if (m_pool == Pool::Default && !(m_usage & usage::kDynamic)) return Result::InvalidCall;
    return LockImage(m_images[static_cast<size_t>(face) * m_levels + level], rect, locked, flags);
}

Result TextureStorage::Unlock(uint32_t face, uint32_t level) {
    if (level >= m_levels || m_images.empty()) return Result::InvalidCall;
    Image& image = m_images[static_cast<size_t>(face) * m_levels + level];
    const bool readOnly = image.lockedReadOnly;
    const Result r = UnlockImage(image);
    if (Succeeded(r) && !readOnly) Upload(face, level, image);
    return r;
}

void TextureStorage::Upload(uint32_t face, uint32_t level, const Image& image) {
    const Api& gl = m_device->GL();
    m_device->MakeCurrent();
    GlFormat f;
    LookUpFormat(m_format, &f);
    m_device->BindForUpload(Target(), m_texture);
    gl.PixelStorei(GL_UNPACK_ALIGNMENT, 1);
    if (f.decode) {
        std::vector<uint8_t> texels(static_cast<size_t>(image.width) * image.height * 4);
        DecodeBlocksBGRA(m_format, image.bits.data(), image.pitch, image.width, image.height, texels.data(),
                         image.width * 4);
        gl.PixelStorei(GL_UNPACK_ROW_LENGTH, 0);
        gl.TexSubImage2D(FaceTarget(face), static_cast<GLint>(level), 0, 0, static_cast<GLsizei>(image.width),
                         static_cast<GLsizei>(image.height), f.format, f.type, texels.data());
    } else {
        gl.PixelStorei(GL_UNPACK_ROW_LENGTH, static_cast<GLint>(image.pitch / FormatBytes(m_format)));
        gl.TexSubImage2D(FaceTarget(face), static_cast<GLint>(level), 0, 0, static_cast<GLsizei>(image.width),
                         static_cast<GLsizei>(image.height), f.format, f.type, image.bits.data());
        gl.PixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    }
}

void TextureStorage::RefreshMips() {
    if (!m_mipsStale) return;
    m_mipsStale = false;
    m_device->BindForUpload(Target(), m_texture);
    m_device->GL().GenerateMipmap(Target());
}

// ---------------------------------------------------------------------------

GlSurface::GlSurface(GlDevice* device, Kind kind, const SurfaceDesc& desc) : m_device(device), m_kind(kind), m_desc(desc) {
    if (m_kind == Kind::Depth || m_kind == Kind::SystemMem) m_device->AddRef();
}

GlSurface::~GlSurface() {
    m_device->Forget(this);
    if (m_kind == Kind::Depth) {
        m_device->MakeCurrent();
        m_device->GL().DeleteRenderbuffers(1, &name);
    }
    if (m_kind == Kind::BackBuffer) {
        m_device->MakeCurrent();
        m_device->GL().DeleteTextures(1, &name);
    }
    if (m_kind == Kind::Depth || m_kind == Kind::SystemMem) m_device->Release();
}

uint32_t GlSurface::AddRef() {
    if (m_kind == Kind::Level) return container->AddRef();
    if (m_kind == Kind::BackBuffer) return ++m_appRefs;
    return Surface::AddRef();
}

uint32_t GlSurface::Release() {
    if (m_kind == Kind::Level) return container->Release();
    if (m_kind == Kind::BackBuffer) return m_appRefs ? --m_appRefs : 0;
    return Surface::Release();
}

Result GlSurface::GetDesc(SurfaceDesc* desc) {
    if (!desc) return Result::InvalidCall;
    *desc = m_desc;
    return Result::Ok;
}

Result GlSurface::LockRect(LockedRect* locked, const Rect* rect, uint32_t flags) {
    if (m_kind == Kind::SystemMem) return LockImage(image, rect, locked, flags);
    if (m_kind == Kind::Level) return storage->Lock(face, level, locked, rect, flags);
    return Result::InvalidCall;
}

Result GlSurface::UnlockRect() {
    if (m_kind == Kind::SystemMem) return UnlockImage(image);
    if (m_kind == Kind::Level) return storage->Unlock(face, level);
    return Result::InvalidCall;
}

void GlSurface::Attach(GLenum framebuffer, GLenum attachment) const {
    const Api& gl = m_device->GL();
    switch (m_kind) {
        case Kind::Level:
            gl.FramebufferTexture2D(framebuffer, attachment, storage->FaceTarget(face), storage->Name(),
                                    static_cast<GLint>(level));
            break;
        case Kind::BackBuffer: gl.FramebufferTexture2D(framebuffer, attachment, GL_TEXTURE_2D, name, 0); break;
        case Kind::Depth: gl.FramebufferRenderbuffer(framebuffer, attachment, GL_RENDERBUFFER, name); break;
        case Kind::SystemMem: break;
    }
}

// ---------------------------------------------------------------------------

GlTexture::GlTexture(GlDevice* device, uint32_t width, uint32_t height, uint32_t levels, uint32_t usage,
                     Format format, Pool pool)
    : m_hold(device),
      m_device(device),
      m_storage(std::make_unique<TextureStorage>(device, this, false, width, height, levels, usage, format, pool)) {}

GlTexture::~GlTexture() { m_device->Forget(this); }

GlCubeTexture::GlCubeTexture(GlDevice* device, uint32_t edge, uint32_t levels, uint32_t usage, Format format, Pool pool)
    : m_hold(device),
      m_device(device),
      m_storage(std::make_unique<TextureStorage>(device, this, true, edge, edge, levels, usage, format, pool)) {}

GlCubeTexture::~GlCubeTexture() { m_device->Forget(this); }

// ---------------------------------------------------------------------------

BufferStorage::BufferStorage(GlDevice* device, GLenum target, uint32_t bytes, uint32_t usage)
    : m_device(device), m_target(target), m_usage(usage), m_bytes(bytes, 0) {
    const Api& gl = m_device->GL();
    gl.GetError();
    gl.GenBuffers(1, &m_buffer);
    // Index buffers bind to the vertex array's element slot; uploads go through the copy slot.
    gl.BindBuffer(GL_COPY_WRITE_BUFFER, m_buffer);
    gl.BufferData(GL_COPY_WRITE_BUFFER, bytes, m_bytes.data(), (usage & usage::kDynamic) ? GL_DYNAMIC_DRAW : GL_STATIC_DRAW);
    if (gl.GetError() != GL_NO_ERROR) {
        gl.DeleteBuffers(1, &m_buffer);
        m_buffer = 0;
    }
    (void)m_target;
}

BufferStorage::~BufferStorage() {
    if (m_buffer) {
        m_device->MakeCurrent();
        m_device->GL().DeleteBuffers(1, &m_buffer);
    }
}

Result BufferStorage::Lock(uint32_t offset, uint32_t size, void** data, uint32_t flags) {
    if (!data || m_locked || offset > m_bytes.size() || size > m_bytes.size() - offset) return Result::InvalidCall;
    if ((flags & (lock::kDiscard | lock::kNoOverwrite)) && !(m_usage & usage::kDynamic)) return Result::InvalidCall;
    m_locked = true;
    m_lockOffset = offset;
    m_lockSize = size ? size : static_cast<uint32_t>(m_bytes.size()) - offset;
    m_lockFlags = flags;
    *data = m_bytes.data() + offset;
    return Result::Ok;
}

Result BufferStorage::Unlock() {
    if (!m_locked) return Result::InvalidCall;
    m_locked = false;
    if (m_lockFlags & lock::kReadOnly) return Result::Ok;
    const Api& gl = m_device->GL();
    m_device->MakeCurrent();
    gl.BindBuffer(GL_COPY_WRITE_BUFFER, m_buffer);
    if (m_lockFlags & lock::kDiscard) {
        // A fresh store, so the GPU may go on reading the old one.
        gl.BufferData(GL_COPY_WRITE_BUFFER, static_cast<GLsizeiptr>(m_bytes.size()), m_bytes.data(), GL_DYNAMIC_DRAW);
    } else if (m_lockSize) {
        gl.BufferSubData(GL_COPY_WRITE_BUFFER, m_lockOffset, m_lockSize, m_bytes.data() + m_lockOffset);
    }
    return Result::Ok;
}

template <class Base, GLenum kTarget>
GlBuffer<Base, kTarget>::GlBuffer(GlDevice* device, uint32_t bytes, uint32_t usage)
    : m_hold(device), m_device(device), m_storage(device, kTarget, bytes, usage) {}

template <class Base, GLenum kTarget>
GlBuffer<Base, kTarget>::~GlBuffer() { m_device->Forget(this); }

template class GlBuffer<VertexBuffer, GL_ARRAY_BUFFER>;
template class GlBuffer<IndexBuffer, GL_ELEMENT_ARRAY_BUFFER>;

GlDeclaration::GlDeclaration(GlDevice* device, std::vector<VertexElement> elements)
    : m_hold(device), m_device(device), m_elements(std::move(elements)) {}

GlDeclaration::~GlDeclaration() { m_device->Forget(this); }

uint32_t GlDeclaration::GetElements(VertexElement* elements, uint32_t capacity) const {
    for (uint32_t i = 0; elements && i < capacity && i < m_elements.size(); ++i) elements[i] = m_elements[i];
    return static_cast<uint32_t>(m_elements.size());
}

GlQuery::GlQuery(GlDevice* device) : m_hold(device), m_device(device) {}

GlQuery::~GlQuery() {
    if (m_fence) {
        m_device->MakeCurrent();
        m_device->GL().DeleteSync(m_fence);
    }
}

Result GlQuery::Issue(uint32_t flags) {
    if (flags != kIssueEnd) return Result::InvalidCall;
    const Api& gl = m_device->GL();
    m_device->MakeCurrent();
    if (m_fence) gl.DeleteSync(m_fence);
    m_fence = gl.FenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
    return m_fence ? Result::Ok : Result::DriverInternalError;
}

Result GlQuery::GetData(void* data, uint32_t size, uint32_t flags) {
    uint32_t signalled = 1;
    Result r = Result::Ok;
    if (m_fence) {
        m_device->MakeCurrent();
        const GLenum wait = m_device->GL().ClientWaitSync(m_fence, (flags & kGetDataFlush) ? GL_SYNC_FLUSH_COMMANDS_BIT : 0, 0);
        if (wait == GL_TIMEOUT_EXPIRED) {
            signalled = 0;
            r = Result::False;
        } else if (wait == GL_WAIT_FAILED) {
            return Result::DriverInternalError;
        }
    }
    if (data && size >= 4) std::memcpy(data, &signalled, 4);
    return r;
}

}  // namespace gfx::gl
