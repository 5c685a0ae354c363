#include "platform/gfx/fake/fake_gfx.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <set>

#include "platform/gfx/draw_check.h"
#include "platform/gfx/effect.h"
#include "platform/gfx/effect_runtime.h"
#include "platform/gfx/image.h"
#include "platform/gfx/texel.h"

namespace gfx::fake {

Caps FullCaps() {
    Caps c;
    c.deviceCaps = Caps::kHwTransformAndLight;
    c.primitiveMiscCaps = Caps::kMrtIndependentBitDepths | Caps::kMrtPostPixelShaderBlending;
    c.textureCaps = Caps::kTextureCubeMap;
    c.presentationIntervals = present::kIntervalOne | present::kIntervalImmediate;
    c.caps2 = Caps::kCanAutoGenMipmap;
    c.vertexShaderVersion = ShaderVersion(3, 0);
    c.pixelShaderVersion = ShaderVersion(3, 0);
    c.maxTextureWidth = c.maxTextureHeight = 8192;
    c.maxSimultaneousTargets = kMaxTargets;
    c.maxStreams = kMaxStreams;
    c.maxSamplers = kMaxSamplers;
    return c;
}

size_t State::Count(const std::string& prefix) const {
    return static_cast<size_t>(std::count_if(calls.begin(), calls.end(), [&](const std::string& c) {
        return c.compare(0, prefix.size(), prefix) == 0;
    }));
}

int State::Find(const std::string& prefix, size_t from) const {
    for (size_t i = from; i < calls.size(); ++i) {
        if (calls[i].compare(0, prefix.size(), prefix) == 0) return static_cast<int>(i);
    }
    return -1;
}

namespace {

std::string Text(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
std::string Text(const char* fmt, ...) {
    char buffer[512];
    va_list args;
    va_start(args, fmt);
    std::vsnprintf(buffer, sizeof buffer, fmt, args);
    va_end(args);
    return buffer;
}

// Every fake object carries a number for the call log and counts as live until destroyed.
class Tagged {
public:
    explicit Tagged(std::shared_ptr<State> state) : m_state(std::move(state)), m_id(++m_state->nextId) {
        ++m_state->liveObjects;
    }
    virtual ~Tagged() { --m_state->liveObjects; }
    uint32_t Id() const { return m_id; }

private:
    std::shared_ptr<State> m_state;  // outlives the object's own members
    uint32_t m_id;
};

std::string NameOf(const Object* o) {
    if (!o) return "null";
    const uint32_t id = IdOf(o);
    return id ? "#" + std::to_string(id) : std::string("foreign");
}

const char* PoolName(Pool p) {
    switch (p) {
        case Pool::Default: return "Default";
        case Pool::Managed: return "Managed";
        case Pool::SystemMem: return "SystemMem";
    }
    return "?";
}

const char* UsageName(DeclUsage u) {
    switch (u) {
        case DeclUsage::Position: return "Position";
        case DeclUsage::BlendWeight: return "BlendWeight";
        case DeclUsage::BlendIndices: return "BlendIndices";
        case DeclUsage::Normal: return "Normal";
        case DeclUsage::TexCoord: return "TexCoord";
        case DeclUsage::Tangent: return "Tangent";
        case DeclUsage::Binormal: return "Binormal";
        case DeclUsage::Color: return "Color";
    }
    return "?";
}

const char* DeclTypeName(DeclType t) {
    switch (t) {
        case DeclType::Float1: return "Float1";
        case DeclType::Float2: return "Float2";
        case DeclType::Float3: return "Float3";
        case DeclType::Float4: return "Float4";
        case DeclType::Color: return "Color";
        case DeclType::UByte4: return "UByte4";
        case DeclType::UByte4N: return "UByte4N";
        case DeclType::Unused: return "Unused";
    }
    return "?";
}

bool TextureFormat(gfx::Format f) {
    switch (f) {
        case gfx::Format::A8R8G8B8:
        case gfx::Format::X8R8G8B8:
        case gfx::Format::A16B16G16R16F:
        case gfx::Format::A32B32G32R32F:
        case gfx::Format::R16F:
        case gfx::Format::L8:
        case gfx::Format::A8:
        case gfx::Format::DXT1:
        case gfx::Format::DXT2:
        case gfx::Format::DXT3:
        case gfx::Format::DXT4:
        case gfx::Format::DXT5: return true;
        default: return false;
    }
}

bool TargetFormat(gfx::Format f) {
    return f == gfx::Format::A8R8G8B8 || f == gfx::Format::X8R8G8B8 || f == gfx::Format::A16B16G16R16F ||
           f == gfx::Format::A32B32G32R32F || f == gfx::Format::R16F;
}

// Writes one texel of a clear colour (packed ARGB) in a target format.
void PackColour(gfx::Format format, uint32_t argb, uint8_t* out) {
    const float a = (argb >> 24 & 255) / 255.0f, r = (argb >> 16 & 255) / 255.0f, g = (argb >> 8 & 255) / 255.0f,
                b = (argb & 255) / 255.0f;
    switch (format) {
        case gfx::Format::A8R8G8B8:
        case gfx::Format::X8R8G8B8:
            out[0] = static_cast<uint8_t>(argb);
            out[1] = static_cast<uint8_t>(argb >> 8);
            out[2] = static_cast<uint8_t>(argb >> 16);
            out[3] = format == gfx::Format::X8R8G8B8 ? 255 : static_cast<uint8_t>(argb >> 24);
            break;
        case gfx::Format::A16B16G16R16F: {
            const uint16_t h[4] = {FloatToHalf(r), FloatToHalf(g), FloatToHalf(b), FloatToHalf(a)};
            std::memcpy(out, h, sizeof h);
            break;
        }
        case gfx::Format::A32B32G32R32F: {
            const float f[4] = {r, g, b, a};
            std::memcpy(out, f, sizeof f);
            break;
        }
        case gfx::Format::R16F: {
            const uint16_t h = FloatToHalf(r);
            std::memcpy(out, &h, sizeof h);
            break;
        }
        default: break;
    }
}

class FakeDevice;

class FakeSurface final : public Surface, public Tagged {
public:
    enum class Kind { Standalone, Level, BackBuffer };

    FakeSurface(FakeDevice* device, Kind kind, Object* container, Image* image, const SurfaceDesc& desc);
    ~FakeSurface() override;

    uint32_t AddRef() override;
    uint32_t Release() override;
    Result GetDesc(SurfaceDesc* desc) override {
        if (!desc) return Result::InvalidCall;
        *desc = m_desc;
        return Result::Ok;
    }
    Result LockRect(LockedRect* locked, const Rect* rect, uint32_t flags) override;
    Result UnlockRect() override;

    Image& Pixels() { return *m_image; }
    const SurfaceDesc& Desc() const { return m_desc; }
    bool IsTarget() const { return m_kind == Kind::BackBuffer || (m_desc.usage & usage::kRenderTarget); }
    uint32_t AppRefs() const { return m_appRefs; }

    std::unique_ptr<Image> own;  // storage of a standalone surface

private:
    FakeDevice* m_device;
    Kind m_kind;
    Object* m_container;
    Image* m_image;
    SurfaceDesc m_desc;
    uint32_t m_appRefs = 0;  // back buffer: references held outside the device
};

// The images and level surfaces of a 2D (one face) or cube (six faces) texture.
class TextureStore {
public:
    TextureStore(FakeDevice* device, Object* owner, uint32_t faces, uint32_t width, uint32_t height, uint32_t levels,
                 uint32_t usage, gfx::Format format, Pool pool);
    ~TextureStore();

    uint32_t Levels() const { return m_levels; }
    Result LevelDesc(uint32_t level, SurfaceDesc* desc) const;
    Result GetSurface(uint32_t face, uint32_t level, Surface** surface);
    Result Lock(uint32_t face, uint32_t level, LockedRect* locked, const Rect* rect, uint32_t flags);
    Result Unlock(uint32_t face, uint32_t level);

private:
    FakeDevice* m_device;
    Object* m_owner;
    uint32_t m_levels;
    uint32_t m_usage;
    Pool m_pool;
    std::vector<Image> m_images;
    std::vector<std::unique_ptr<FakeSurface>> m_surfaces;
};

class FakeTexture final : public Texture, public Tagged {
public:
    FakeTexture(FakeDevice* device, uint32_t width, uint32_t height, uint32_t levels, uint32_t usage,
                gfx::Format format, Pool pool);
    ~FakeTexture() override;
    uint32_t GetLevelCount() const override { return m_store->Levels(); }
    Result GetLevelDesc(uint32_t level, SurfaceDesc* desc) override { return m_store->LevelDesc(level, desc); }
    Result GetSurfaceLevel(uint32_t level, Surface** surface) override { return m_store->GetSurface(0, level, surface); }
    Result LockRect(uint32_t level, LockedRect* locked, const Rect* rect, uint32_t flags) override {
        return m_store->Lock(0, level, locked, rect, flags);
    }
    Result UnlockRect(uint32_t level) override { return m_store->Unlock(0, level); }

private:
    FakeDevice* m_device;
    std::unique_ptr<TextureStore> m_store;
};

class FakeCubeTexture final : public CubeTexture, public Tagged {
public:
    FakeCubeTexture(FakeDevice* device, uint32_t edge, uint32_t levels, uint32_t usage, gfx::Format format, Pool pool);
    ~FakeCubeTexture() override;
    uint32_t GetLevelCount() const override { return m_store->Levels(); }
    Result GetLevelDesc(uint32_t level, SurfaceDesc* desc) override { return m_store->LevelDesc(level, desc); }
    Result GetCubeMapSurface(CubeFace face, uint32_t level, Surface** surface) override {
        if (static_cast<uint32_t>(face) >= 6) return Result::InvalidCall;
        return m_store->GetSurface(static_cast<uint32_t>(face), level, surface);
    }
    Result LockRect(CubeFace face, uint32_t level, LockedRect* locked, const Rect* rect, uint32_t flags) override {
        if (static_cast<uint32_t>(face) >= 6) return Result::InvalidCall;
        return m_store->Lock(static_cast<uint32_t>(face), level, locked, rect, flags);
    }
    Result UnlockRect(CubeFace face, uint32_t level) override {
        if (static_cast<uint32_t>(face) >= 6) return Result::InvalidCall;
        return m_store->Unlock(static_cast<uint32_t>(face), level);
    }

private:
    FakeDevice* m_device;
    std::unique_ptr<TextureStore> m_store;
};

// Vertex and index buffers: bytes in memory and the lock rules.
template <class Base>
class FakeBuffer final : public Base, public Tagged {
public:
    FakeBuffer(FakeDevice* device, const char* kind, uint32_t bytes, uint32_t usage, Pool pool);
    ~FakeBuffer() override;
    uint32_t GetSize() const override { return static_cast<uint32_t>(m_bytes.size()); }
    Result Lock(uint32_t offset, uint32_t size, void** data, uint32_t flags) override;
    Result Unlock() override;
    const std::vector<uint8_t>& Bytes() const { return m_bytes; }

private:
    FakeDevice* m_device;
    const char* m_kind;
    uint32_t m_usage;
    Pool m_pool;
    std::vector<uint8_t> m_bytes;
    bool m_locked = false;
};
using FakeVertexBuffer = FakeBuffer<VertexBuffer>;
using FakeIndexBuffer = FakeBuffer<IndexBuffer>;

class FakeDeclaration final : public VertexDeclaration, public Tagged {
public:
    FakeDeclaration(FakeDevice* device, std::vector<VertexElement> elements);
    ~FakeDeclaration() override;
    uint32_t GetElements(VertexElement* elements, uint32_t capacity) const override {
        for (uint32_t i = 0; i < capacity && i < m_elements.size(); ++i) elements[i] = m_elements[i];
        return static_cast<uint32_t>(m_elements.size());
    }
    const std::vector<VertexElement>& Elements() const { return m_elements; }

private:
    FakeDevice* m_device;
    std::vector<VertexElement> m_elements;
};

class FakeQuery final : public Query, public Tagged {
public:
    explicit FakeQuery(FakeDevice* device);
    ~FakeQuery() override;
    Result Issue(uint32_t flags) override;
    Result GetData(void* data, uint32_t size, uint32_t flags) override;

private:
    FakeDevice* m_device;
};

class FakeEffectBackend final : public EffectBackend, public Tagged {
public:
    explicit FakeEffectBackend(const std::shared_ptr<State>& state) : Tagged(state), m_state(*state) {}
    void ApplyPass(uint32_t technique, uint32_t pass) override {
        Record("ApplyPass(" + std::to_string(technique) + ", " + std::to_string(pass) + ")");
    }
    void Upload(const EffectRuntime&, bool) override {}
    void Detach() override {}
    bool Recording() const override { return true; }
    void Record(const std::string& call) override { m_state.calls.push_back("Effect." + call); }

private:
    State& m_state;
};

class FakeDevice final : public Device, public Tagged {
public:
    FakeDevice(System* system, std::shared_ptr<State> state, const PresentParams& params);
    ~FakeDevice() override;

    const std::shared_ptr<State>& S() { return m_shared; }
    Result Log(Result r, const std::string& call) {
        m_shared->calls.push_back(r == Result::Ok ? call : call + " -> " + ResultName(r));
        return r;
    }
    void Forget(const Object* o);
    void TrackDefaultPool(const Object* o, bool add) {
        if (add) {
            m_defaultPool.insert(o);
        } else {
            m_defaultPool.erase(o);
        }
    }
    uint32_t Padding() const { return m_shared->script.pitchPadding; }
    bool Operational() const { return m_shared->deviceState == DeviceState::Operational; }

    Result GetDeviceCaps(Caps* caps) override {
        if (!caps) return Result::InvalidCall;
        *caps = m_shared->script.caps;
        return Result::Ok;
    }
    Result TestCooperativeLevel() override;
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
    Result CreateDepthStencilSurface(uint32_t width, uint32_t height, gfx::Format format, MultiSample ms,
                                     uint32_t quality, bool discard, Surface** surface) override;
    Result CreateOffscreenPlainSurface(uint32_t width, uint32_t height, gfx::Format format, Pool pool,
                                       Surface** surface) override;
    Result GetRenderTargetData(Surface* target, Surface* dest) override;
    Result StretchRect(Surface* source, const Rect* sourceRect, Surface* dest, const Rect* destRect,
                       TextureFilter filter) override;
    Result CreateTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t usage, gfx::Format format,
                         Pool pool, Texture** texture) override;
    Result CreateCubeTexture(uint32_t edge, uint32_t levels, uint32_t usage, gfx::Format format, Pool pool,
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
    Result CreateIndexBuffer(uint32_t bytes, uint32_t usage, gfx::Format format, Pool pool,
                             IndexBuffer** buffer) override;
    Result SetVertexDeclaration(VertexDeclaration* declaration) override;
    Result SetStreamSource(uint32_t stream, VertexBuffer* buffer, uint32_t offset, uint32_t stride) override;
    Result SetIndices(IndexBuffer* buffer) override;
    Result DrawPrimitive(PrimitiveType type, uint32_t startVertex, uint32_t primitiveCount) override;
    Result DrawIndexedPrimitive(PrimitiveType type, int32_t baseVertex, uint32_t minIndex, uint32_t vertexCount,
                                uint32_t startIndex, uint32_t primitiveCount) override;
    Result CreateQuery(Query** query) override;
    Result CreateEffect(const void* data, size_t size, Effect** effect,
                        std::optional<std::string>* errors) override;

private:
    struct Stream {
        FakeVertexBuffer* buffer = nullptr;
        uint32_t offset = 0;
        uint32_t stride = 0;
    };

    void MakeBackBuffer(uint32_t width, uint32_t height);
    void ResetState();
    // Vertices every stream of the declaration can supply.
    uint64_t VertexCapacity() const { return DeclarationCapacity(m_declaration->Elements(), m_streams); }

    System* m_system;
    std::shared_ptr<State> m_shared;
    PresentParams m_params;
    std::unique_ptr<Image> m_backBufferImage;
    std::unique_ptr<FakeSurface> m_backBuffer;
    FakeSurface* m_targets[kMaxTargets] = {};
    FakeSurface* m_depth = nullptr;
    BaseTexture* m_textures[kMaxSamplers] = {};
    uint32_t m_samplerStates[kMaxSamplers][static_cast<size_t>(SamplerState::Count)] = {};
    uint32_t m_renderStates[static_cast<size_t>(RenderState::Count)] = {};
    Stream m_streams[kMaxStreams];
    FakeIndexBuffer* m_indices = nullptr;
    FakeDeclaration* m_declaration = nullptr;
    Viewport m_viewport;
    bool m_inScene = false;
    std::set<const Object*> m_defaultPool;
};

// ---------------------------------------------------------------------------

FakeSurface::FakeSurface(FakeDevice* device, Kind kind, Object* container, Image* image, const SurfaceDesc& desc)
    : Tagged(device->S()), m_device(device), m_kind(kind), m_container(container), m_image(image), m_desc(desc) {
    if (m_kind == Kind::Standalone) m_device->AddRef();
}

FakeSurface::~FakeSurface() {
    m_device->Forget(this);
    if (m_kind == Kind::Standalone) {
        m_device->TrackDefaultPool(this, false);
        m_device->Release();
    }
}

uint32_t FakeSurface::AddRef() {
    if (m_kind == Kind::Level) return m_container->AddRef();
    if (m_kind == Kind::BackBuffer) return ++m_appRefs;
    return Surface::AddRef();
}

uint32_t FakeSurface::Release() {
    if (m_kind == Kind::Level) return m_container->Release();
    if (m_kind == Kind::BackBuffer) return m_appRefs ? --m_appRefs : 0;
    return Surface::Release();
}

Result FakeSurface::LockRect(LockedRect* locked, const Rect* rect, uint32_t flags) {
    const std::string call = Text("Surface.LockRect(%s, flags 0x%x)", NameOf(this).c_str(), flags);
    const bool lockable = (m_desc.pool != Pool::Default || (m_desc.usage & usage::kDynamic)) &&
                          !(m_desc.usage & (usage::kRenderTarget | usage::kDepthStencil)) && m_kind != Kind::BackBuffer;
    if (!lockable) return m_device->Log(Result::InvalidCall, call);
    return m_device->Log(LockImage(*m_image, rect, locked, flags), call);
}

Result FakeSurface::UnlockRect() { return m_device->Log(UnlockImage(*m_image), "Surface.UnlockRect(" + NameOf(this) + ")"); }

TextureStore::TextureStore(FakeDevice* device, Object* owner, uint32_t faces, uint32_t width, uint32_t height,
                           uint32_t levels, uint32_t usage, gfx::Format format, Pool pool)
    : m_device(device), m_owner(owner), m_levels(levels), m_usage(usage), m_pool(pool) {
    m_images.resize(static_cast<size_t>(faces) * levels);
    m_surfaces.resize(m_images.size());
    for (uint32_t f = 0; f < faces; ++f) {
        for (uint32_t l = 0; l < levels; ++l) {
            m_images[f * levels + l].Allocate(format, LevelSize(width, l), LevelSize(height, l), device->Padding());
        }
    }
}

TextureStore::~TextureStore() = default;

Result TextureStore::LevelDesc(uint32_t level, SurfaceDesc* desc) const {
    if (level >= m_levels || !desc) return Result::InvalidCall;
    const Image& image = m_images[level];
    *desc = {image.format, ResourceType::Surface, m_usage, m_pool, image.width, image.height};
    return Result::Ok;
}

Result TextureStore::GetSurface(uint32_t face, uint32_t level, Surface** surface) {
    if (level >= m_levels || !surface) return Result::InvalidCall;
    const size_t i = static_cast<size_t>(face) * m_levels + level;
    if (!m_surfaces[i]) {
        SurfaceDesc desc;
        LevelDesc(level, &desc);
        m_surfaces[i] = std::make_unique<FakeSurface>(m_device, FakeSurface::Kind::Level, m_owner, &m_images[i], desc);
    }
    m_surfaces[i]->AddRef();
    *surface = m_surfaces[i].get();
    return Result::Ok;
}

Result TextureStore::Lock(uint32_t face, uint32_t level, LockedRect* locked, const Rect* rect, uint32_t flags) {
    const std::string call = Text("Texture.LockRect(%s, face %u, level %u, flags 0x%x)", NameOf(m_owner).c_str(), face,
                                  level, flags);
    if (level >= m_levels) return m_device->Log(Result::InvalidCall, call);
    if ((m_pool == Pool::Default && !(m_usage & usage::kDynamic)) || (m_usage & usage::kRenderTarget)) {
        return m_device->Log(Result::InvalidCall, call);
    }
    return m_device->Log(LockImage(m_images[static_cast<size_t>(face) * m_levels + level], rect, locked, flags), call);
}

Result TextureStore::Unlock(uint32_t face, uint32_t level) {
    const std::string call = Text("Texture.UnlockRect(%s, face %u, level %u)", NameOf(m_owner).c_str(), face, level);
    if (level >= m_levels) return m_device->Log(Result::InvalidCall, call);
    return m_device->Log(UnlockImage(m_images[static_cast<size_t>(face) * m_levels + level]), call);
}

FakeTexture::FakeTexture(FakeDevice* device, uint32_t width, uint32_t height, uint32_t levels, uint32_t usage,
                         gfx::Format format, Pool pool)
    : Tagged(device->S()), m_device(device), m_store(std::make_unique<TextureStore>(device, this, 1, width, height, levels, usage, format, pool)) {
    m_device->AddRef();
    if (pool == Pool::Default) m_device->TrackDefaultPool(this, true);
}

FakeTexture::~FakeTexture() {
    m_device->Forget(this);
    m_device->TrackDefaultPool(this, false);
    m_store.reset();  // the level surfaces go before the device may
    m_device->Release();
}

FakeCubeTexture::FakeCubeTexture(FakeDevice* device, uint32_t edge, uint32_t levels, uint32_t usage,
                                 gfx::Format format, Pool pool)
    : Tagged(device->S()), m_device(device), m_store(std::make_unique<TextureStore>(device, this, 6, edge, edge, levels, usage, format, pool)) {
    m_device->AddRef();
    if (pool == Pool::Default) m_device->TrackDefaultPool(this, true);
}

FakeCubeTexture::~FakeCubeTexture() {
    m_device->Forget(this);
    m_device->TrackDefaultPool(this, false);
    m_store.reset();
    m_device->Release();
}

template <class Base>
FakeBuffer<Base>::FakeBuffer(FakeDevice* device, const char* kind, uint32_t bytes, uint32_t usage, Pool pool)
    : Tagged(device->S()), m_device(device), m_kind(kind), m_usage(usage), m_pool(pool), m_bytes(bytes, 0) {
    m_device->AddRef();
    if (pool == Pool::Default) m_device->TrackDefaultPool(this, true);
}

template <class Base>
FakeBuffer<Base>::~FakeBuffer() {
    m_device->Forget(this);
    m_device->TrackDefaultPool(this, false);
    m_device->Release();
}

template <class Base>
Result FakeBuffer<Base>::Lock(uint32_t offset, uint32_t size, void** data, uint32_t flags) {
    const std::string call = Text("%s.Lock(%s, %u, %u, flags 0x%x)", m_kind, NameOf(this).c_str(), offset, size, flags);
    if (!data || m_locked || offset > m_bytes.size() || size > m_bytes.size() - offset) {
        return m_device->Log(Result::InvalidCall, call);
    }
    // Discarding is for dynamic buffers only.
    if ((flags & (lock::kDiscard | lock::kNoOverwrite)) && !(m_usage & usage::kDynamic)) {
        return m_device->Log(Result::InvalidCall, call);
    }
    m_locked = true;
    *data = m_bytes.data() + offset;
    return m_device->Log(Result::Ok, call);
}

template <class Base>
Result FakeBuffer<Base>::Unlock() {
    const std::string call = Text("%s.Unlock(%s)", m_kind, NameOf(this).c_str());
    if (!m_locked) return m_device->Log(Result::InvalidCall, call);
    m_locked = false;
    return m_device->Log(Result::Ok, call);
}

FakeDeclaration::FakeDeclaration(FakeDevice* device, std::vector<VertexElement> elements)
    : Tagged(device->S()), m_device(device), m_elements(std::move(elements)) {
    m_device->AddRef();
}

FakeDeclaration::~FakeDeclaration() {
    m_device->Forget(this);
    m_device->Release();
}

FakeQuery::FakeQuery(FakeDevice* device) : Tagged(device->S()), m_device(device) { m_device->AddRef(); }

FakeQuery::~FakeQuery() { m_device->Release(); }

Result FakeQuery::Issue(uint32_t flags) {
    return m_device->Log(flags == kIssueEnd ? Result::Ok : Result::InvalidCall, "Query.Issue(" + NameOf(this) + ")");
}

Result FakeQuery::GetData(void* data, uint32_t size, uint32_t /*flags*/) {
    const std::string call = "Query.GetData(" + NameOf(this) + ")";
    if (!m_device->Operational()) return m_device->Log(Result::DeviceLost, call);
    if (data && size >= 4) {
        const uint32_t signalled = 1;
        std::memcpy(data, &signalled, 4);
    }
    return m_device->Log(Result::Ok, call);
}

// ---------------------------------------------------------------------------

FakeDevice::FakeDevice(System* system, std::shared_ptr<State> state, const PresentParams& params)
    : Tagged(state), m_system(system), m_shared(std::move(state)), m_params(params) {
    m_system->AddRef();
    m_shared->deviceState = DeviceState::Operational;
    m_shared->presents = 0;
    MakeBackBuffer(params.backBufferWidth, params.backBufferHeight);
    ResetState();
}

FakeDevice::~FakeDevice() {
    m_backBuffer.reset();
    m_system->Release();
}

void FakeDevice::MakeBackBuffer(uint32_t width, uint32_t height) {
    m_backBuffer.reset();
    m_backBufferImage = std::make_unique<Image>();
    m_backBufferImage->Allocate(gfx::Format::X8R8G8B8, width, height, 0);
    const SurfaceDesc desc{gfx::Format::X8R8G8B8, ResourceType::Surface, usage::kRenderTarget, Pool::Default, width,
                           height};
    m_backBuffer = std::make_unique<FakeSurface>(this, FakeSurface::Kind::BackBuffer, nullptr, m_backBufferImage.get(), desc);
}

void FakeDevice::ResetState() {
    for (uint32_t s = 0; s < static_cast<uint32_t>(RenderState::Count); ++s) {
        m_renderStates[s] = DefaultRenderState(static_cast<RenderState>(s));
    }
    for (auto& stage : m_samplerStates) {
        for (uint32_t s = 0; s < static_cast<uint32_t>(SamplerState::Count); ++s) {
            stage[s] = DefaultSamplerState(static_cast<SamplerState>(s));
        }
    }
    for (auto& t : m_targets) t = nullptr;
    for (auto& t : m_textures) t = nullptr;
    for (auto& s : m_streams) s = Stream{};
    m_indices = nullptr;
    m_declaration = nullptr;
    m_depth = nullptr;
    m_targets[0] = m_backBuffer.get();
    m_viewport = Viewport{0, 0, m_params.backBufferWidth, m_params.backBufferHeight, 0.0f, 1.0f};
    m_inScene = false;
}

void FakeDevice::Forget(const Object* o) {
    for (auto& t : m_targets) {
        if (t == o) t = nullptr;
    }
    if (m_depth == o) m_depth = nullptr;
    for (auto& t : m_textures) {
        if (t == o) t = nullptr;
    }
    for (auto& s : m_streams) {
        if (s.buffer == o) s = Stream{};
    }
    if (m_indices == o) m_indices = nullptr;
    if (m_declaration == o) m_declaration = nullptr;
}

Result FakeDevice::TestCooperativeLevel() {
    Result r = Result::Ok;
    if (!m_shared->script.cooperativeLevel.empty()) {
        r = m_shared->script.cooperativeLevel.front();
        m_shared->script.cooperativeLevel.pop_front();
    } else if (m_shared->deviceState == DeviceState::Lost) {
        r = Result::DeviceLost;
    } else if (m_shared->deviceState == DeviceState::NotReset) {
        r = Result::DeviceNotReset;
    }
    return Log(r, "TestCooperativeLevel");
}

Result FakeDevice::Reset(const PresentParams& params) {
    const std::string call = Text("Reset(%ux%u, windowed %d, interval 0x%x)", params.backBufferWidth,
                                  params.backBufferHeight, params.windowed ? 1 : 0, params.presentationInterval);
    if (!m_shared->script.reset.empty()) {
        const Result scripted = m_shared->script.reset.front();
        m_shared->script.reset.pop_front();
        if (scripted != Result::Ok) {
            if (scripted == Result::DeviceLost) m_shared->deviceState = DeviceState::Lost;
            return Log(scripted, call);
        }
    }
    if (m_shared->deviceState == DeviceState::Lost) return Log(Result::DeviceLost, call);
    if (params.backBufferWidth == 0 || params.backBufferHeight == 0 || m_inScene) {
        return Log(Result::InvalidCall, call);
    }
    // Everything in the default pool, and every outside reference to the back buffer, must be gone.
    if (!m_defaultPool.empty() || m_backBuffer->AppRefs() != 0) {
        m_shared->deviceState = DeviceState::NotReset;
        return Log(Result::InvalidCall, call);
    }
    m_params = params;
    MakeBackBuffer(params.backBufferWidth, params.backBufferHeight);
    ResetState();
    m_shared->deviceState = DeviceState::Operational;
    return Log(Result::Ok, call);
}

Result FakeDevice::Present() {
    if (m_inScene) return Log(Result::InvalidCall, "Present");
    ++m_shared->presents;
    if (m_shared->script.losePresent != 0 && m_shared->presents == m_shared->script.losePresent) {
        m_shared->deviceState = DeviceState::Lost;
    }
    return Log(Operational() ? Result::Ok : Result::DeviceLost, "Present");
}

Result FakeDevice::BeginScene() {
    if (m_inScene) return Log(Result::InvalidCall, "BeginScene");
    m_inScene = true;
    return Log(Result::Ok, "BeginScene");
}

Result FakeDevice::EndScene() {
    if (!m_inScene) return Log(Result::InvalidCall, "EndScene");
    m_inScene = false;
    return Log(Result::Ok, "EndScene");
}

Result FakeDevice::Clear(uint32_t rectCount, const Rect* rects, uint32_t flags, uint32_t argb, float z,
                         uint32_t stencil) {
    std::string call = Text("Clear(flags 0x%x, colour 0x%08x, z %g, stencil %u", flags, argb, z, stencil);
    call += rectCount ? Text(", rects %u)", rectCount) : std::string(")");
    if ((rectCount && !rects) || (flags & ~(clear::kTarget | clear::kZBuffer | clear::kStencil))) {
        return Log(Result::InvalidCall, call);
    }
    if ((flags & (clear::kZBuffer | clear::kStencil)) && !m_depth) return Log(Result::InvalidCall, call);
    if (flags & clear::kTarget) {
        const Rect whole{static_cast<int32_t>(m_viewport.x), static_cast<int32_t>(m_viewport.y),
                         static_cast<int32_t>(m_viewport.x + m_viewport.width),
                         static_cast<int32_t>(m_viewport.y + m_viewport.height)};
        for (FakeSurface* target : m_targets) {
            if (!target) continue;
            Image& image = target->Pixels();
            const uint32_t bytes = FormatBytes(image.format);
            uint8_t texel[16] = {};
            PackColour(image.format, argb, texel);
            for (uint32_t r = 0; r < (rectCount ? rectCount : 1); ++r) {
                const Rect& in = rectCount ? rects[r] : whole;
                const int32_t left = std::max({in.left, whole.left, 0}), top = std::max({in.top, whole.top, 0});
                const int32_t right = std::min({in.right, whole.right, static_cast<int32_t>(image.width)});
                const int32_t bottom = std::min({in.bottom, whole.bottom, static_cast<int32_t>(image.height)});
                for (int32_t y = top; y < bottom; ++y) {
                    for (int32_t x = left; x < right; ++x) {
                        std::memcpy(&image.bits[static_cast<size_t>(y) * image.pitch + static_cast<size_t>(x) * bytes],
                                    texel, bytes);
                    }
                }
            }
        }
    }
    return Log(Result::Ok, call);
}

Result FakeDevice::GetBackBuffer(Surface** surface) {
    if (!surface) return Log(Result::InvalidCall, "GetBackBuffer");
    m_backBuffer->AddRef();
    *surface = m_backBuffer.get();
    return Log(Result::Ok, "GetBackBuffer = " + NameOf(m_backBuffer.get()));
}

Result FakeDevice::GetRenderTarget(uint32_t index, Surface** surface) {
    const std::string call = Text("GetRenderTarget(%u)", index);
    if (!surface || index >= kMaxTargets) return Log(Result::InvalidCall, call);
    *surface = m_targets[index];
    if (!*surface) return Log(Result::NotFound, call);
    (*surface)->AddRef();
    return Log(Result::Ok, call + " = " + NameOf(*surface));
}

Result FakeDevice::SetRenderTarget(uint32_t index, Surface* surface) {
    const std::string call = Text("SetRenderTarget(%u, %s)", index, NameOf(surface).c_str());
    FakeSurface* s = dynamic_cast<FakeSurface*>(surface);
    if (index >= kMaxTargets || (index == 0 && !surface) || (surface && (!s || !s->IsTarget()))) {
        return Log(Result::InvalidCall, call);
    }
    m_targets[index] = s;
    if (index == 0) m_viewport = Viewport{0, 0, s->Desc().width, s->Desc().height, 0.0f, 1.0f};
    return Log(Result::Ok, call);
}

Result FakeDevice::GetDepthStencilSurface(Surface** surface) {
    if (!surface) return Log(Result::InvalidCall, "GetDepthStencilSurface");
    *surface = m_depth;
    if (!m_depth) return Log(Result::NotFound, "GetDepthStencilSurface");
    m_depth->AddRef();
    return Log(Result::Ok, "GetDepthStencilSurface = " + NameOf(m_depth));
}

Result FakeDevice::SetDepthStencilSurface(Surface* surface) {
    const std::string call = "SetDepthStencilSurface(" + NameOf(surface) + ")";
    FakeSurface* s = dynamic_cast<FakeSurface*>(surface);
    if (surface && (!s || !(s->Desc().usage & usage::kDepthStencil))) return Log(Result::InvalidCall, call);
    m_depth = s;
    return Log(Result::Ok, call);
}

Result FakeDevice::CreateDepthStencilSurface(uint32_t width, uint32_t height, gfx::Format format, MultiSample ms,
                                             uint32_t quality, bool discard, Surface** surface) {
    std::string call = Text("CreateDepthStencilSurface(%ux%u, %s, discard %d)", width, height, FormatName(format),
                            discard ? 1 : 0);
    if (!surface || width == 0 || height == 0 || width > 16384 || height > 16384 || ms != MultiSample::None ||
        quality != 0) {
        return Log(Result::InvalidCall, call);
    }
    if (format != gfx::Format::D24S8) return Log(Result::NotAvailable, call);
    // Depth contents are never read back, so the surface holds no texels.
    auto* s = new FakeSurface(this, FakeSurface::Kind::Standalone, nullptr, nullptr,
                              {format, ResourceType::Surface, usage::kDepthStencil, Pool::Default, width, height});
    s->own = std::make_unique<Image>();
    TrackDefaultPool(s, true);
    *surface = s;
    return Log(Result::Ok, call + " = " + NameOf(s));
}

Result FakeDevice::CreateOffscreenPlainSurface(uint32_t width, uint32_t height, gfx::Format format, Pool pool,
                                               Surface** surface) {
    std::string call = Text("CreateOffscreenPlainSurface(%ux%u, %s, %s)", width, height, FormatName(format), PoolName(pool));
    if (!surface || width == 0 || height == 0 || width > 16384 || height > 16384 || pool == Pool::Managed) {
        return Log(Result::InvalidCall, call);
    }
    if (!TextureFormat(format)) return Log(Result::NotAvailable, call);
    auto image = std::make_unique<Image>();
    image->Allocate(format, width, height, Padding());
    auto* s = new FakeSurface(this, FakeSurface::Kind::Standalone, nullptr, image.get(),
                              {format, ResourceType::Surface, 0, pool, width, height});
    s->own = std::move(image);
    if (pool == Pool::Default) TrackDefaultPool(s, true);
    *surface = s;
    return Log(Result::Ok, call + " = " + NameOf(s));
}

Result FakeDevice::GetRenderTargetData(Surface* target, Surface* dest) {
    const std::string call = "GetRenderTargetData(" + NameOf(target) + ", " + NameOf(dest) + ")";
    FakeSurface* from = dynamic_cast<FakeSurface*>(target);
    FakeSurface* to = dynamic_cast<FakeSurface*>(dest);
    if (!from || !to || !from->IsTarget() || to->Desc().pool != Pool::SystemMem) return Log(Result::InvalidCall, call);
    const Image& a = from->Pixels();
    Image& b = to->Pixels();
    if (a.width != b.width || a.height != b.height || a.format != b.format || b.locked) {
        return Log(Result::InvalidCall, call);
    }
    const uint32_t rowBytes = RowBytes(a.format, a.width);
    for (uint32_t y = 0; y < a.Rows(); ++y) {
        std::memcpy(&b.bits[static_cast<size_t>(y) * b.pitch], &a.bits[static_cast<size_t>(y) * a.pitch], rowBytes);
    }
    return Log(Result::Ok, call);
}

Result FakeDevice::StretchRect(Surface* source, const Rect* sourceRect, Surface* dest, const Rect* destRect,
                               TextureFilter filter) {
    const std::string call = Text("StretchRect(%s, %s, filter %u)", NameOf(source).c_str(), NameOf(dest).c_str(),
                                  static_cast<uint32_t>(filter));
    FakeSurface* from = dynamic_cast<FakeSurface*>(source);
    FakeSurface* to = dynamic_cast<FakeSurface*>(dest);
    if (!from || !to || from == to || !from->IsTarget() || !to->IsTarget()) return Log(Result::InvalidCall, call);
    const Image& a = from->Pixels();
    Image& b = to->Pixels();
    if (a.format != b.format) return Log(Result::InvalidCall, call);
    const Rect sr = sourceRect ? *sourceRect
                               : Rect{0, 0, static_cast<int32_t>(a.width), static_cast<int32_t>(a.height)};
    const Rect dr = destRect ? *destRect : Rect{0, 0, static_cast<int32_t>(b.width), static_cast<int32_t>(b.height)};
    const auto inside = [](const Rect& r, const Image& i) {
        return r.left >= 0 && r.top >= 0 && r.left < r.right && r.top < r.bottom &&
               static_cast<uint32_t>(r.right) <= i.width && static_cast<uint32_t>(r.bottom) <= i.height;
    };
    if (!inside(sr, a) || !inside(dr, b)) return Log(Result::InvalidCall, call);
    // Nearest texel: enough for tests that follow where the pixels went.
    const uint32_t bytes = FormatBytes(a.format);
    const int64_t sw = sr.right - sr.left, sh = sr.bottom - sr.top, dw = dr.right - dr.left, dh = dr.bottom - dr.top;
    for (int64_t y = 0; y < dh; ++y) {
        const int64_t sy = sr.top + (y * sh) / dh;
        for (int64_t x = 0; x < dw; ++x) {
            const int64_t sx = sr.left + (x * sw) / dw;
            std::memcpy(&b.bits[static_cast<size_t>(dr.top + y) * b.pitch + static_cast<size_t>(dr.left + x) * bytes],
                        &a.bits[static_cast<size_t>(sy) * a.pitch + static_cast<size_t>(sx) * bytes], bytes);
        }
    }
    return Log(Result::Ok, call);
}

Result FakeDevice::CreateTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t usage,
                                 gfx::Format format, Pool pool, Texture** texture) {
    std::string call = Text("CreateTexture(%ux%u, levels %u, usage 0x%x, %s, %s)", width, height, levels, usage,
                            FormatName(format), PoolName(pool));
    if (!texture) return Log(Result::InvalidCall, call);
    const Result r = CheckNewTexture(width, height, m_shared->script.caps.maxTextureWidth, usage, pool,
                                     TextureFormat(format), TargetFormat(format), &levels);
    if (Failed(r)) return Log(r, call);
    auto* t = new FakeTexture(this, width, height, levels, usage, format, pool);
    *texture = t;
    return Log(Result::Ok, call + " = " + NameOf(t));
}

Result FakeDevice::CreateCubeTexture(uint32_t edge, uint32_t levels, uint32_t usage, gfx::Format format, Pool pool,
                                     CubeTexture** texture) {
    std::string call = Text("CreateCubeTexture(%u, levels %u, usage 0x%x, %s, %s)", edge, levels, usage,
                            FormatName(format), PoolName(pool));
    if (!texture) return Log(Result::InvalidCall, call);
    const Result r = CheckNewTexture(edge, edge, m_shared->script.caps.maxTextureWidth, usage, pool,
                                     TextureFormat(format), TargetFormat(format), &levels);
    if (Failed(r)) return Log(r, call);
    auto* t = new FakeCubeTexture(this, edge, levels, usage, format, pool);
    *texture = t;
    return Log(Result::Ok, call + " = " + NameOf(t));
}

Result FakeDevice::SetTexture(uint32_t stage, BaseTexture* texture) {
    const std::string call = Text("SetTexture(%u, %s)", stage, NameOf(texture).c_str());
    if (stage >= kMaxSamplers || (texture && !IdOf(texture))) return Log(Result::InvalidCall, call);
    m_textures[stage] = texture;
    return Log(Result::Ok, call);
}

Result FakeDevice::GetTexture(uint32_t stage, BaseTexture** texture) {
    if (stage >= kMaxSamplers || !texture) return Result::InvalidCall;
    *texture = m_textures[stage];
    if (*texture) (*texture)->AddRef();
    return Result::Ok;
}

Result FakeDevice::SetSamplerState(uint32_t stage, SamplerState state, uint32_t value) {
    const std::string call = Text("SetSamplerState(%u, %s, %u)", stage, SamplerStateName(state), value);
    if (stage >= kMaxSamplers || state >= SamplerState::Count) return Log(Result::InvalidCall, call);
    m_samplerStates[stage][static_cast<size_t>(state)] = value;
    return Log(Result::Ok, call);
}

Result FakeDevice::GetSamplerState(uint32_t stage, SamplerState state, uint32_t* value) {
    if (stage >= kMaxSamplers || state >= SamplerState::Count || !value) return Result::InvalidCall;
    *value = m_samplerStates[stage][static_cast<size_t>(state)];
    return Result::Ok;
}

Result FakeDevice::SetRenderState(RenderState state, uint32_t value) {
    const std::string call = Text("SetRenderState(%s, %u)", RenderStateName(state), value);
    if (state >= RenderState::Count) return Log(Result::InvalidCall, call);
    m_renderStates[static_cast<size_t>(state)] = value;
    return Log(Result::Ok, call);
}

Result FakeDevice::GetRenderState(RenderState state, uint32_t* value) {
    if (state >= RenderState::Count || !value) return Result::InvalidCall;
    *value = m_renderStates[static_cast<size_t>(state)];
    return Result::Ok;
}

Result FakeDevice::SetViewport(const Viewport& v) {
    const std::string call = Text("SetViewport(%u, %u, %u, %u, %g, %g)", v.x, v.y, v.width, v.height, v.minZ, v.maxZ);
    const FakeSurface* target = m_targets[0];
    if (!target || v.width == 0 || v.height == 0 || static_cast<uint64_t>(v.x) + v.width > target->Desc().width ||
        static_cast<uint64_t>(v.y) + v.height > target->Desc().height || !(v.minZ >= 0.0f && v.maxZ <= 1.0f && v.minZ <= v.maxZ)) {
        return Log(Result::InvalidCall, call);
    }
    m_viewport = v;
    return Log(Result::Ok, call);
}

Result FakeDevice::GetViewport(Viewport* viewport) {
    if (!viewport) return Result::InvalidCall;
    *viewport = m_viewport;
    return Result::Ok;
}

Result FakeDevice::SetScissorRect(const Rect& r) {
    return Log(Result::Ok, Text("SetScissorRect(%d, %d, %d, %d)", r.left, r.top, r.right, r.bottom));
}

Result FakeDevice::CreateVertexDeclaration(const VertexElement* elements, uint32_t count,
                                           VertexDeclaration** declaration) {
    std::string call = "CreateVertexDeclaration(";
    std::vector<VertexElement> list;
    bool valid = elements && declaration;
    for (uint32_t i = 0; valid && i < count && elements[i].stream != kDeclEnd.stream; ++i) {
        const VertexElement& e = elements[i];
        call += Text("%s%s%u %s stream %u", i ? ", " : "", UsageName(e.usage), e.usageIndex, DeclTypeName(e.type), e.stream);
        if (e.stream >= kMaxStreams || DeclTypeBytes(e.type) == 0 || AttributeSlot(e.usage, e.usageIndex) < 0) valid = false;
        for (const VertexElement& other : list) {
            if (other.usage == e.usage && other.usageIndex == e.usageIndex) valid = false;
        }
        list.push_back(e);
    }
    call += ")";
    if (!valid || list.empty()) return Log(Result::InvalidCall, call);
    auto* d = new FakeDeclaration(this, std::move(list));
    *declaration = d;
    return Log(Result::Ok, call + " = " + NameOf(d));
}

Result FakeDevice::CreateVertexBuffer(uint32_t bytes, uint32_t usage, Pool pool, VertexBuffer** buffer) {
    const std::string call = Text("CreateVertexBuffer(%u, usage 0x%x, %s)", bytes, usage, PoolName(pool));
    if (!buffer || bytes == 0 || bytes > (256u << 20) || ((usage & usage::kDynamic) && pool != Pool::Default)) {
        return Log(Result::InvalidCall, call);
    }
    auto* b = new FakeVertexBuffer(this, "VertexBuffer", bytes, usage, pool);
    *buffer = b;
    return Log(Result::Ok, call + " = " + NameOf(b));
}

Result FakeDevice::CreateIndexBuffer(uint32_t bytes, uint32_t usage, gfx::Format format, Pool pool,
                                     IndexBuffer** buffer) {
    const std::string call = Text("CreateIndexBuffer(%u, usage 0x%x, %s, %s)", bytes, usage, FormatName(format), PoolName(pool));
    if (!buffer || bytes == 0 || bytes > (256u << 20) || bytes % 2 || ((usage & usage::kDynamic) && pool != Pool::Default)) {
        return Log(Result::InvalidCall, call);
    }
    if (format != gfx::Format::Index16) return Log(Result::NotAvailable, call);
    auto* b = new FakeIndexBuffer(this, "IndexBuffer", bytes, usage, pool);
    *buffer = b;
    return Log(Result::Ok, call + " = " + NameOf(b));
}

Result FakeDevice::SetVertexDeclaration(VertexDeclaration* declaration) {
    const std::string call = "SetVertexDeclaration(" + NameOf(declaration) + ")";
    FakeDeclaration* d = dynamic_cast<FakeDeclaration*>(declaration);
    if (declaration && !d) return Log(Result::InvalidCall, call);
    m_declaration = d;
    return Log(Result::Ok, call);
}

Result FakeDevice::SetStreamSource(uint32_t stream, VertexBuffer* buffer, uint32_t offset, uint32_t stride) {
    const std::string call = Text("SetStreamSource(%u, %s, %u, %u)", stream, NameOf(buffer).c_str(), offset, stride);
    FakeVertexBuffer* b = dynamic_cast<FakeVertexBuffer*>(buffer);
    if (stream >= kMaxStreams || (buffer && !b)) return Log(Result::InvalidCall, call);
    m_streams[stream] = b ? Stream{b, offset, stride} : Stream{};
    return Log(Result::Ok, call);
}

Result FakeDevice::SetIndices(IndexBuffer* buffer) {
    const std::string call = "SetIndices(" + NameOf(buffer) + ")";
    FakeIndexBuffer* b = dynamic_cast<FakeIndexBuffer*>(buffer);
    if (buffer && !b) return Log(Result::InvalidCall, call);
    m_indices = b;
    return Log(Result::Ok, call);
}

Result FakeDevice::DrawPrimitive(PrimitiveType type, uint32_t startVertex, uint32_t primitiveCount) {
    const std::string call = Text("DrawPrimitive(%s, %u, %u)", PrimitiveTypeName(type), startVertex, primitiveCount);
    const uint64_t vertices = PrimitiveVertexCount(type, primitiveCount);
    if (!m_inScene || !m_declaration || vertices == 0 || startVertex + vertices > VertexCapacity()) {
        return Log(Result::InvalidCall, call);
    }
    return Log(Result::Ok, call);
}

Result FakeDevice::DrawIndexedPrimitive(PrimitiveType type, int32_t baseVertex, uint32_t minIndex, uint32_t vertexCount,
                                        uint32_t startIndex, uint32_t primitiveCount) {
    const std::string call = Text("DrawIndexedPrimitive(%s, %d, %u, %u, %u, %u)", PrimitiveTypeName(type), baseVertex,
                                  minIndex, vertexCount, startIndex, primitiveCount);
    const uint64_t indices = PrimitiveVertexCount(type, primitiveCount);
    // Every index read must name a vertex the streams hold.
    if (!m_inScene || !m_declaration || !m_indices || indices == 0 ||
        !IndicesInRange(m_indices->Bytes(), startIndex, indices, baseVertex, VertexCapacity())) {
        return Log(Result::InvalidCall, call);
    }
    return Log(Result::Ok, call);
}

Result FakeDevice::CreateQuery(Query** query) {
    if (!query) return Log(Result::InvalidCall, "CreateQuery");
    auto* q = new FakeQuery(this);
    *query = q;
    return Log(Result::Ok, "CreateQuery = " + NameOf(q));
}

Result FakeDevice::CreateEffect(const void* data, size_t size, Effect** effect, std::optional<std::string>* errors) {
    if (errors) errors->reset();
    if (!effect) return Log(Result::InvalidCall, "CreateEffect");
    *effect = nullptr;
    if (m_shared->script.failEffects) {
        if (errors) *errors = m_shared->script.effectErrors;
        return Log(Result::CompileFailed, "CreateEffect");
    }
    std::unique_ptr<EffectRuntime> runtime = BuildEffectRuntime(this, data, size, errors);
    if (!runtime) return Log(Result::CompileFailed, "CreateEffect");
    runtime->SetBackend(std::make_unique<FakeEffectBackend>(m_shared));
    *effect = new Effect(runtime.release());
    return Log(Result::Ok, "CreateEffect");
}

// ---------------------------------------------------------------------------

class FakeSystem final : public System, public Tagged {
public:
    explicit FakeSystem(std::shared_ptr<State> state) : Tagged(state), m_shared(std::move(state)) {}

    Result Log(Result r, const std::string& call) {
        m_shared->calls.push_back(r == Result::Ok ? call : call + " -> " + ResultName(r));
        return r;
    }
    Script& Sc() { return m_shared->script; }

    Result GetDeviceCaps(Caps* caps) override {
        if (!caps) return Log(Result::InvalidCall, "GetDeviceCaps");
        if (Succeeded(Sc().getDeviceCaps)) *caps = Sc().caps;
        return Log(Sc().getDeviceCaps, "GetDeviceCaps");
    }
    Result GetDesktopDisplayMode(DisplayMode* mode) override {
        if (!mode) return Log(Result::InvalidCall, "GetDesktopDisplayMode");
        *mode = Sc().desktop;
        return Log(Result::Ok, "GetDesktopDisplayMode");
    }
    uint32_t GetModeCount(gfx::Format format) override {
        uint32_t n = 0;
        for (const DisplayMode& m : Sc().modes) n += m.format == format ? 1 : 0;
        Log(Result::Ok, Text("GetModeCount(%s) = %u", FormatName(format), n));
        return n;
    }
    Result EnumModes(gfx::Format format, uint32_t index, DisplayMode* mode) override {
        const std::string call = Text("EnumModes(%s, %u)", FormatName(format), index);
        if (Failed(Sc().enumModes)) return Log(Sc().enumModes, call);
        if (!mode) return Log(Result::InvalidCall, call);
        uint32_t n = 0;
        for (const DisplayMode& m : Sc().modes) {
            if (m.format != format) continue;
            if (n++ == index) {
                *mode = m;
                return Log(Result::Ok, call);
            }
        }
        return Log(Result::InvalidCall, call);
    }
    Result CheckDeviceType(gfx::Format display, gfx::Format back, bool windowed) override {
        return Log(Sc().checkDeviceType,
                   Text("CheckDeviceType(%s, %s, windowed %d)", FormatName(display), FormatName(back), windowed ? 1 : 0));
    }
    Result CheckDeviceFormat(gfx::Format adapter, uint32_t use, ResourceType type, gfx::Format format) override {
        return Log(Sc().checkDeviceFormat, Text("CheckDeviceFormat(%s, usage 0x%x, type %u, %s)", FormatName(adapter),
                                                use, static_cast<uint32_t>(type), FormatName(format)));
    }
    Result CheckDeviceFormatConversion(gfx::Format source, gfx::Format target) override {
        return Log(Sc().checkDeviceFormatConversion,
                   Text("CheckDeviceFormatConversion(%s, %s)", FormatName(source), FormatName(target)));
    }
    Result CheckDeviceMultiSampleType(gfx::Format format, bool windowed, MultiSample type) override {
        return Log(Sc().checkDeviceMultiSampleType, Text("CheckDeviceMultiSampleType(%s, windowed %d, %u)",
                                                         FormatName(format), windowed ? 1 : 0, static_cast<uint32_t>(type)));
    }
    Result CheckDepthStencilMatch(gfx::Format adapter, gfx::Format target, gfx::Format depth) override {
        return Log(Sc().checkDepthStencilMatch, Text("CheckDepthStencilMatch(%s, %s, %s)", FormatName(adapter),
                                                     FormatName(target), FormatName(depth)));
    }
    Result CreateDevice(void* /*focusWindow*/, uint32_t flags, const PresentParams& params, Device** device) override {
        const std::string call = Text("CreateDevice(flags 0x%x, %ux%u, windowed %d, swap %u, interval 0x%x)", flags,
                                      params.backBufferWidth, params.backBufferHeight, params.windowed ? 1 : 0,
                                      static_cast<uint32_t>(params.swapEffect), params.presentationInterval);
        if (!device) return Log(Result::InvalidCall, call);
        *device = nullptr;
        if (Failed(Sc().createDevice)) return Log(Sc().createDevice, call);
        if (params.backBufferWidth == 0 || params.backBufferHeight == 0) return Log(Result::InvalidCall, call);
        *device = new FakeDevice(this, m_shared, params);
        return Log(Result::Ok, call);
    }

private:
    std::shared_ptr<State> m_shared;
};

}  // namespace

System* CreateSystem(std::shared_ptr<State> state) { return new FakeSystem(std::move(state)); }

uint32_t IdOf(const Object* object) {
    const Tagged* t = dynamic_cast<const Tagged*>(object);
    return t ? t->Id() : 0;
}

}  // namespace gfx::fake
