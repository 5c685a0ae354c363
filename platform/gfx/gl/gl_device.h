#pragma once

// The OpenGL device and its objects.
//
// Everything is drawn into framebuffer objects laid out top row first: the
// vertex stage negates y, so GL's window row 0 is the top row, viewports and
// rectangles keep their top-left coordinates, uploaded rows and read-back rows
// need no flip, and render targets sample like textures. The back buffer is
// such a texture too; Present copies it to the window upside down, which is
// the right way up there.

#include <SDL.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/gfx.h"
#include "platform/gfx/gl/gl_api.h"
#include "platform/gfx/image.h"

namespace gfx::gl {

class GlDevice;
struct GlProgram;

// A reference to the device held by an object; declared as the first member
// it is dropped last, after the object's GL names are deleted.
class DeviceHold {
public:
    explicit DeviceHold(Object* device) : m_device(device) { m_device->AddRef(); }
    ~DeviceHold() { m_device->Release(); }
    DeviceHold(const DeviceHold&) = delete;
    DeviceHold& operator=(const DeviceHold&) = delete;

private:
    Object* m_device;
};

// How a format lives in GL.
struct GlFormat {
    GLenum internal = 0;
    GLenum format = 0;  // of uploads and read-back
    GLenum type = 0;
    GLint swizzle[4] = {GL_RED, GL_GREEN, GL_BLUE, GL_ALPHA};
    bool decode = false;  // block formats: decoded to B, G, R, A bytes before upload
};
bool LookUpFormat(Format f, GlFormat* out);
// How a render target of the format lives in GL: as LookUpFormat's, except
// that X8R8G8B8 reads its stored alpha, which the device keeps at 1 (drawing
// and clearing never change it), so that a target samples without a swizzle.
bool LookUpTargetFormat(Format f, GlFormat* out);
// What a GL 3.3 context offers, in the terms of Caps.
Caps QueryCaps(const Api& gl);
// Asks SDL for a 3.3 core, double-buffered context.
bool SetContextAttributes();
bool IsTargetFormat(Format f);
// GL's rows are 4-byte aligned, as the pitch reported by a lock is.
inline uint32_t GlPitch(Format f, uint32_t width) { return (RowBytes(f, width) + 3) & ~3u; }

// A texture with its levels (and faces). Managed and dynamic textures keep a
// copy of every level in memory; a lock hands it out and the unlock uploads it.
class TextureStorage {
public:
    TextureStorage(GlDevice* device, Object* owner, bool cube, uint32_t width, uint32_t height, uint32_t levels,
                   uint32_t usage, Format format, Pool pool);
    ~TextureStorage();

    bool Valid() const { return m_texture != 0; }
    GLuint Name() const { return m_texture; }
    GLenum Target() const { return m_cube ? GL_TEXTURE_CUBE_MAP : GL_TEXTURE_2D; }
    GLenum FaceTarget(uint32_t face) const { return m_cube ? GL_TEXTURE_CUBE_MAP_POSITIVE_X + face : GL_TEXTURE_2D; }
    uint32_t Levels() const { return m_levels; }
    uint32_t Usage() const { return m_usage; }
    Result LevelDesc(uint32_t level, SurfaceDesc* desc) const;
    Result GetSurface(uint32_t face, uint32_t level, Surface** surface);
    Result Lock(uint32_t face, uint32_t level, LockedRect* locked, const Rect* rect, uint32_t flags);
    Result Unlock(uint32_t face, uint32_t level);
    // Render targets with automatic mipmaps regenerate them before the next sampling.
    void MarkRendered() { m_mipsStale = (m_usage & usage::kAutoGenMipmap) != 0; }
    void RefreshMips();

private:
    void Upload(uint32_t face, uint32_t level, const Image& image);

    GlDevice* m_device;
    Object* m_owner;
    bool m_cube;
    uint32_t m_width, m_height, m_levels, m_usage;
    Format m_format;
    Pool m_pool;
    GLuint m_texture = 0;
    bool m_mipsStale = false;
    std::vector<Image> m_images;  // face * levels + level; empty for targets
    std::vector<std::unique_ptr<class GlSurface>> m_surfaces;
};

class GlSurface final : public Surface {
public:
    enum class Kind { Level, BackBuffer, Depth, SystemMem };

    GlSurface(GlDevice* device, Kind kind, const SurfaceDesc& desc);
    ~GlSurface() override;

    uint32_t AddRef() override;
    uint32_t Release() override;
    Result GetDesc(SurfaceDesc* desc) override;
    Result LockRect(LockedRect* locked, const Rect* rect, uint32_t flags) override;
    Result UnlockRect() override;

    Kind GetKind() const { return m_kind; }
    const SurfaceDesc& Desc() const { return m_desc; }
    bool IsTarget() const { return m_kind == Kind::BackBuffer || (m_kind == Kind::Level && (m_desc.usage & usage::kRenderTarget)); }
    // Attaches the surface to the bound framebuffer at `attachment`.
    void Attach(GLenum framebuffer, GLenum attachment) const;
    uint32_t AppRefs() const { return m_appRefs; }
    void SetSize(uint32_t width, uint32_t height) {
        m_desc.width = width;
        m_desc.height = height;
    }

    // Level surfaces: the storage and where in it.
    TextureStorage* storage = nullptr;
    Object* container = nullptr;
    uint32_t face = 0, level = 0;
    // Back buffer: a texture the device owns. Depth: a renderbuffer, how far
    // from (0, 0) draws and clears may have written since it was last cleared
    // whole, and the values that clear left everywhere else.
    GLuint name = 0;
    uint32_t writtenWidth = 0, writtenHeight = 0;
    bool clearedWhole = false;
    float wholeDepth = 0.0f;
    uint32_t wholeStencil = 0;
    // System memory.
    Image image;

private:
    GlDevice* m_device;
    Kind m_kind;
    SurfaceDesc m_desc;
    uint32_t m_appRefs = 0;  // back buffer: references held outside the device
};

class GlTexture final : public Texture {
public:
    GlTexture(GlDevice* device, uint32_t width, uint32_t height, uint32_t levels, uint32_t usage, Format format,
              Pool pool);
    ~GlTexture() override;
    uint32_t GetLevelCount() const override { return m_storage->Levels(); }
    Result GetLevelDesc(uint32_t level, SurfaceDesc* desc) override { return m_storage->LevelDesc(level, desc); }
    Result GetSurfaceLevel(uint32_t level, Surface** surface) override { return m_storage->GetSurface(0, level, surface); }
    Result LockRect(uint32_t level, LockedRect* locked, const Rect* rect, uint32_t flags) override {
        return m_storage->Lock(0, level, locked, rect, flags);
    }
    Result UnlockRect(uint32_t level) override { return m_storage->Unlock(0, level); }
    TextureStorage& Storage() { return *m_storage; }

private:
    DeviceHold m_hold;
    GlDevice* m_device;
    std::unique_ptr<TextureStorage> m_storage;
};

class GlCubeTexture final : public CubeTexture {
public:
    GlCubeTexture(GlDevice* device, uint32_t edge, uint32_t levels, uint32_t usage, Format format, Pool pool);
    ~GlCubeTexture() override;
    uint32_t GetLevelCount() const override { return m_storage->Levels(); }
    Result GetLevelDesc(uint32_t level, SurfaceDesc* desc) override { return m_storage->LevelDesc(level, desc); }
    Result GetCubeMapSurface(CubeFace face, uint32_t level, Surface** surface) override {
        if (static_cast<uint32_t>(face) >= 6) return Result::InvalidCall;
        return m_storage->GetSurface(static_cast<uint32_t>(face), level, surface);
    }
    Result LockRect(CubeFace face, uint32_t level, LockedRect* locked, const Rect* rect, uint32_t flags) override {
        if (static_cast<uint32_t>(face) >= 6) return Result::InvalidCall;
        return m_storage->Lock(static_cast<uint32_t>(face), level, locked, rect, flags);
    }
    Result UnlockRect(CubeFace face, uint32_t level) override {
        if (static_cast<uint32_t>(face) >= 6) return Result::InvalidCall;
        return m_storage->Unlock(static_cast<uint32_t>(face), level);
    }
    TextureStorage& Storage() { return *m_storage; }

private:
    DeviceHold m_hold;
    GlDevice* m_device;
    std::unique_ptr<TextureStorage> m_storage;
};

// Vertex and index buffers: a GL buffer and a copy in memory that locks hand
// out (it also lets draws check indices before GL reads them).
class BufferStorage {
public:
    BufferStorage(GlDevice* device, GLenum target, uint32_t bytes, uint32_t usage);
    ~BufferStorage();
    bool Valid() const { return m_buffer != 0; }
    GLuint Name() const { return m_buffer; }
    uint32_t Size() const { return static_cast<uint32_t>(m_bytes.size()); }
    const std::vector<uint8_t>& Bytes() const { return m_bytes; }
    Result Lock(uint32_t offset, uint32_t size, void** data, uint32_t flags);
    Result Unlock();

private:
    GlDevice* m_device;
    GLenum m_target;
    uint32_t m_usage;
    GLuint m_buffer = 0;
    std::vector<uint8_t> m_bytes;
    bool m_locked = false;
    uint32_t m_lockOffset = 0, m_lockSize = 0, m_lockFlags = 0;
};

// A vertex or index buffer (Base) whose GL buffer binds at `kTarget`.
template <class Base, GLenum kTarget>
class GlBuffer final : public Base {
public:
    GlBuffer(GlDevice* device, uint32_t bytes, uint32_t usage);
    ~GlBuffer() override;
    uint32_t GetSize() const override { return m_storage.Size(); }
    Result Lock(uint32_t offset, uint32_t size, void** data, uint32_t flags) override {
        return m_storage.Lock(offset, size, data, flags);
    }
    Result Unlock() override { return m_storage.Unlock(); }
    const BufferStorage& Storage() const { return m_storage; }

private:
    DeviceHold m_hold;
    GlDevice* m_device;
    BufferStorage m_storage;
};
using GlVertexBuffer = GlBuffer<VertexBuffer, GL_ARRAY_BUFFER>;
using GlIndexBuffer = GlBuffer<IndexBuffer, GL_ELEMENT_ARRAY_BUFFER>;
extern template class GlBuffer<VertexBuffer, GL_ARRAY_BUFFER>;
extern template class GlBuffer<IndexBuffer, GL_ELEMENT_ARRAY_BUFFER>;

class GlDeclaration final : public VertexDeclaration {
public:
    GlDeclaration(GlDevice* device, std::vector<VertexElement> elements);
    ~GlDeclaration() override;
    uint32_t GetElements(VertexElement* elements, uint32_t capacity) const override;
    const std::vector<VertexElement>& Elements() const { return m_elements; }

private:
    DeviceHold m_hold;
    GlDevice* m_device;
    std::vector<VertexElement> m_elements;
};

class GlQuery final : public Query {
public:
    explicit GlQuery(GlDevice* device);
    ~GlQuery() override;
    Result Issue(uint32_t flags) override;
    Result GetData(void* data, uint32_t size, uint32_t flags) override;

private:
    DeviceHold m_hold;
    GlDevice* m_device;
    GLsync m_fence = nullptr;
};

class GlDevice final : public Device {
public:
    GlDevice(System* system, SDL_Window* window);
    ~GlDevice() override;
    // Makes the context, loads GL and sets the device up; a failure leaves a reason.
    Result Initialise(const PresentParams& params, std::string* why);

    const Api& GL() const { return m_gl; }
    void MakeCurrent();
    // Drops every binding of an object that is going away.
    void Forget(const Object* o);
    // Binds a texture on the unit kept for uploads, leaving the stages alone.
    void BindForUpload(GLenum target, GLuint texture);
    // Effects: the program draws use, and the viewport it was last told about.
    void UseProgram(GlProgram* program);
    GlProgram* CurrentProgram() const { return m_program; }
    void ForgetProgram(const GlProgram* program);

    Result GetDeviceCaps(Caps* caps) override;
    Result TestCooperativeLevel() override { return Result::Ok; }
    Result Reset(const PresentParams& params) override;
    Result Present() override;
    Result BeginScene() override;
    Result EndScene() override;
    Result Clear(uint32_t rectCount, const Rect* rects, uint32_t flags, uint32_t argb, float z,
                 uint32_t stencil) override;
    Result GetBackBuffer(Surface** surface) override;
    Result GetRenderTarget(uint32_t index, Surface** surface) override;
    Result SetRenderTarget(uint32_t index, Surface* surface) override;
    Result GetDepthStencilSurface(Surface** surface) override;
    Result SetDepthStencilSurface(Surface* surface) override;
    Result CreateDepthStencilSurface(uint32_t width, uint32_t height, Format format, MultiSample ms, uint32_t quality,
                                     bool discard, Surface** surface) override;
    Result CreateOffscreenPlainSurface(uint32_t width, uint32_t height, Format format, Pool pool,
                                       Surface** surface) override;
    Result GetRenderTargetData(Surface* target, Surface* dest) override;
    Result StretchRect(Surface* source, const Rect* sourceRect, Surface* dest, const Rect* destRect,
                       TextureFilter filter) override;
    Result CreateTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t usage, Format format, Pool pool,
                         Texture** texture) override;
    Result CreateCubeTexture(uint32_t edge, uint32_t levels, uint32_t usage, Format format, Pool pool,
                             CubeTexture** texture) override;
    Result SetTexture(uint32_t stage, BaseTexture* texture) override;
    Result GetTexture(uint32_t stage, BaseTexture** texture) override;
    Result SetSamplerState(uint32_t stage, SamplerState state, uint32_t value) override;
    Result GetSamplerState(uint32_t stage, SamplerState state, uint32_t* value) override;
    Result SetRenderState(RenderState state, uint32_t value) override;
    Result GetRenderState(RenderState state, uint32_t* value) override;
    Result SetViewport(const Viewport& viewport) override;
    Result GetViewport(Viewport* viewport) override;
    Result SetScissorRect(const Rect& rect) override;
    Result CreateVertexDeclaration(const VertexElement* elements, uint32_t count,
                                   VertexDeclaration** declaration) override;
    Result CreateVertexBuffer(uint32_t bytes, uint32_t usage, Pool pool, VertexBuffer** buffer) override;
    Result CreateIndexBuffer(uint32_t bytes, uint32_t usage, Format format, Pool pool, IndexBuffer** buffer) override;
    Result SetVertexDeclaration(VertexDeclaration* declaration) override;
    Result SetStreamSource(uint32_t stream, VertexBuffer* buffer, uint32_t offset, uint32_t stride) override;
    Result SetIndices(IndexBuffer* buffer) override;
    Result DrawPrimitive(PrimitiveType type, uint32_t startVertex, uint32_t primitiveCount) override;
    Result DrawIndexedPrimitive(PrimitiveType type, int32_t baseVertex, uint32_t minIndex, uint32_t vertexCount,
                                uint32_t startIndex, uint32_t primitiveCount) override;
    Result CreateQuery(Query** query) override;
    Result CreateEffect(const void* data, size_t size, Effect** effect, std::optional<std::string>* errors) override;

private:
    struct Stream {
        GlVertexBuffer* buffer = nullptr;
        uint32_t offset = 0;
        uint32_t stride = 0;
    };

    // The parameters with a zero back-buffer size replaced by the window's drawable size.
    PresentParams SizedToWindow(const PresentParams& params) const;
    bool MakeBackBuffer(uint32_t width, uint32_t height);
    void ApplyPresentation(const PresentParams& params);
    void ResetState();
    void ApplyRenderState(RenderState state, uint32_t value);
    void ApplySamplerState(uint32_t stage, SamplerState state);
    void ApplyBlend();
    void ApplyScissor();
    // Brings the draw framebuffer's attachments up to date; false when GL refuses them.
    bool BindTargets();
    // The colour write mask on every bound target (never the alpha of an X8R8G8B8 one).
    void ApplyColorMask();
    void MarkTargetsRendered();
    // The area every attachment of the draw framebuffer has: GL draws and clears only there.
    void FramebufferArea(uint32_t* width, uint32_t* height) const;
    void MarkDepthWritten(uint32_t right, uint32_t bottom);
    // After a draw that may write depth.
    void MarkDrawnDepth();
    // Whether a depth and stencil clear of `rect` may clear the whole depth surface unseen.
    bool ClearsDepthWhole(const Rect& rect, float depth, uint32_t stencil) const;
    uint64_t VertexCapacity() const;
    Result PrepareDraw();
    static TextureStorage* StorageOf(BaseTexture* texture);

    System* m_system;
    SDL_Window* m_window;
    SDL_GLContext m_context = nullptr;
    Api m_gl;
    Caps m_caps;
    PresentParams m_params;
    std::unique_ptr<GlSurface> m_backBuffer;
    GLuint m_drawFramebuffer = 0, m_readFramebuffer = 0, m_copyFramebuffer = 0;
    GLuint m_vertexArray = 0;
    GLuint m_samplers[kMaxSamplers] = {};
    bool m_targetsChanged = true;
    GlSurface* m_targets[kMaxTargets] = {};
    GlSurface* m_depth = nullptr;
    BaseTexture* m_textures[kMaxSamplers] = {};
    GLenum m_textureTargets[kMaxSamplers] = {};
    uint32_t m_samplerStates[kMaxSamplers][static_cast<size_t>(SamplerState::Count)] = {};
    uint32_t m_renderStates[static_cast<size_t>(RenderState::Count)] = {};
    Viewport m_viewport;
    Rect m_scissor;
    Stream m_streams[kMaxStreams];
    GlIndexBuffer* m_indices = nullptr;
    GlDeclaration* m_declaration = nullptr;
    GlProgram* m_program = nullptr;
    bool m_inScene = false;
};

}  // namespace gfx::gl
