#pragma once

// The graphics device: a device shaped like the one the renderer was designed
// for (reference-counted objects, result codes, capability bits, formats,
// render and sampler states, one buffer per vertex stream), with a backend on
// OpenGL 3.3 core and a scriptable fake for tests.
//
// Conventions every backend keeps, so that the renderer's numbers hold as written:
// - Textures and targets have their origin at the top left: row 0 in memory is
//   the top row, v = 0 samples it, and read-back returns the top row first.
// - Pixel centres lie on integer coordinates: a screen quad whose texture
//   coordinates carry half-texel offsets maps texel (x, y) to pixel (x, y).
// - Matrices are row-vector matrices (translation in the last row); effect code
//   multiplies `vector * matrix`.
// - Clip-space depth runs from 0 to 1.
// - X8R8G8B8 and A8R8G8B8 texels are the bytes B, G, R, A in memory.
//
// Objects are created with a reference count of 1; Release returns the count
// left and destroys the object at 0. Every object keeps its device alive, and a
// device keeps its system alive, so a count left on a device after shutdown
// means a leaked object.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

namespace gfx {

// Result codes. The names are the texts the renderer logs and shows.
enum class Result : int32_t {
    Ok = 0,
    False = 1,  // success, "not yet" (an event query still pending)
    InvalidCall = -1,
    NotAvailable = -2,
    OutOfVideoMemory = -3,
    DeviceLost = -4,
    DeviceNotReset = -5,
    DriverInternalError = -6,
    NotFound = -7,
    OutOfMemory = -8,
    CompileFailed = -9,
};

inline bool Succeeded(Result r) { return static_cast<int32_t>(r) >= 0; }
inline bool Failed(Result r) { return static_cast<int32_t>(r) < 0; }
// Name and description of a result, for logs and the initialisation error box.
const char* ResultName(Result r);
const char* ResultDescription(Result r);

// Pixel formats. The numbers are the codes the renderer logs; the block
// formats are the FourCC of their name, as image files store them.
enum class Format : uint32_t {
    Unknown = 0,
    A8R8G8B8 = 21,
    X8R8G8B8 = 22,
    R5G6B5 = 23,
    X1R5G5B5 = 24,
    A1R5G5B5 = 25,
    A8 = 28,
    A2R10G10B10 = 35,
    L8 = 50,
    D24S8 = 75,
    Index16 = 101,
    R16F = 111,
    A16B16G16R16F = 113,
    A32B32G32R32F = 116,
    DXT1 = 0x31545844,
    DXT2 = 0x32545844,
    DXT3 = 0x33545844,
    DXT4 = 0x34545844,
    DXT5 = 0x35545844,
};

const char* FormatName(Format f);
// Bytes per texel, or per 4x4 block for the DXT formats; 0 when unknown.
uint32_t FormatBytes(Format f);
bool IsBlockFormat(Format f);
// Bits per pixel of a display format (32, 16, or 0 when unknown).
uint32_t DisplayFormatBits(Format f);
// Bytes of one row of texels (or of 4x4 blocks) and number of such rows.
uint32_t RowBytes(Format f, uint32_t width);
uint32_t RowCount(Format f, uint32_t height);

enum class Pool : uint32_t { Default, Managed, SystemMem };

enum class ResourceType : uint32_t { Surface, Texture, CubeTexture, VertexBuffer, IndexBuffer };

// Usage flags.
namespace usage {
constexpr uint32_t kRenderTarget = 1u << 0;
constexpr uint32_t kDepthStencil = 1u << 1;
constexpr uint32_t kWriteOnly = 1u << 3;
constexpr uint32_t kDynamic = 1u << 9;
constexpr uint32_t kAutoGenMipmap = 1u << 10;
}  // namespace usage

// Lock flags.
namespace lock {
constexpr uint32_t kReadOnly = 1u << 4;
constexpr uint32_t kDiscard = 1u << 13;
constexpr uint32_t kNoOverwrite = 1u << 12;
}  // namespace lock

// Clear flags.
namespace clear {
constexpr uint32_t kTarget = 1;
constexpr uint32_t kZBuffer = 2;
constexpr uint32_t kStencil = 4;
}  // namespace clear

// Device creation flags.
namespace create {
constexpr uint32_t kSoftwareVertexProcessing = 0x20;
constexpr uint32_t kHardwareVertexProcessing = 0x40;
}  // namespace create

// Flags of Query::GetData.
constexpr uint32_t kGetDataFlush = 1;
// Flag of Query::Issue.
constexpr uint32_t kIssueEnd = 1;

enum class MultiSample : uint32_t { None = 0 };
enum class SwapEffect : uint32_t { Discard = 1, Copy = 3 };
enum class CubeFace : uint32_t { PositiveX, NegativeX, PositiveY, NegativeY, PositiveZ, NegativeZ };
enum class TextureFilter : uint32_t { None = 0, Point = 1, Linear = 2, Anisotropic = 3 };
enum class PrimitiveType : uint32_t {
    PointList = 1,
    LineList = 2,
    LineStrip = 3,
    TriangleList = 4,
    TriangleStrip = 5,
    TriangleFan = 6,
};

// Presentation intervals (a bit set in the capabilities, one value when creating).
namespace present {
constexpr uint32_t kIntervalOne = 1u << 0;
constexpr uint32_t kIntervalImmediate = 1u << 31;
}  // namespace present

// What the adapter can do. The bit names follow the questions the renderer asks.
struct Caps {
    // deviceCaps
    static constexpr uint32_t kHwTransformAndLight = 1u << 16;
    // primitiveMiscCaps
    static constexpr uint32_t kMrtIndependentBitDepths = 1u << 14;
    static constexpr uint32_t kMrtPostPixelShaderBlending = 1u << 15;
    // textureCaps
    static constexpr uint32_t kTexturePow2 = 1u << 1;
    static constexpr uint32_t kTextureSquareOnly = 1u << 5;
    static constexpr uint32_t kTextureNonPow2Conditional = 1u << 8;
    static constexpr uint32_t kTextureCubeMap = 1u << 11;
    // caps2
    static constexpr uint32_t kCanAutoGenMipmap = 1u << 30;

    uint32_t deviceCaps = 0;
    uint32_t primitiveMiscCaps = 0;
    uint32_t textureCaps = 0;
    uint32_t presentationIntervals = 0;
    uint32_t caps2 = 0;
    uint32_t vertexShaderVersion = 0;  // major << 8 | minor
    uint32_t pixelShaderVersion = 0;
    uint32_t maxTextureWidth = 0;
    uint32_t maxTextureHeight = 0;
    uint32_t maxSimultaneousTargets = 0;
    uint32_t maxStreams = 0;
    uint32_t maxSamplers = 0;
};

constexpr uint32_t ShaderVersion(uint32_t major, uint32_t minor) { return major << 8 | minor; }
constexpr uint32_t kMaxStreams = 16;
constexpr uint32_t kMaxSamplers = 16;
constexpr uint32_t kMaxTargets = 4;

struct DisplayMode {
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t refreshRate = 0;
    Format format = Format::Unknown;
};

struct PresentParams {
    uint32_t backBufferWidth = 0;
    uint32_t backBufferHeight = 0;
    Format backBufferFormat = Format::X8R8G8B8;
    uint32_t backBufferCount = 1;
    MultiSample multiSample = MultiSample::None;
    uint32_t multiSampleQuality = 0;
    SwapEffect swapEffect = SwapEffect::Copy;
    void* window = nullptr;  // the native window: an SDL_Window* made with SDL_WINDOW_OPENGL
    bool windowed = true;
    bool autoDepthStencil = false;
    Format autoDepthStencilFormat = Format::D24S8;
    uint32_t flags = 0;
    uint32_t refreshRate = 0;
    uint32_t presentationInterval = present::kIntervalOne;
};

struct Rect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

struct Viewport {
    uint32_t x = 0;
    uint32_t y = 0;
    uint32_t width = 0;
    uint32_t height = 0;
    float minZ = 0.0f;
    float maxZ = 1.0f;
};

struct LockedRect {
    int32_t pitch = 0;  // bytes from one row (of texels or blocks) to the next
    void* bits = nullptr;
};

struct SurfaceDesc {
    Format format = Format::Unknown;
    ResourceType type = ResourceType::Surface;
    uint32_t usage = 0;
    Pool pool = Pool::Default;
    uint32_t width = 0;
    uint32_t height = 0;
};

// Render states and their values.
enum class RenderState : uint32_t {
    ZEnable,
    FillMode,
    ZWriteEnable,
    SrcBlend,
    DestBlend,
    CullMode,
    ZFunc,
    AlphaBlendEnable,
    Lighting,  // accepted and kept; there is no fixed-function lighting
    ScissorTestEnable,
    ColorWriteEnable,
    BlendOp,
    BlendFactor,
    SeparateAlphaBlendEnable,
    SrcBlendAlpha,
    DestBlendAlpha,
    BlendOpAlpha,
    Count
};

enum class Cull : uint32_t { None = 1, CW = 2, CCW = 3 };
enum class FillMode : uint32_t { Point = 1, Wireframe = 2, Solid = 3 };
enum class Compare : uint32_t {
    Never = 1,
    Less = 2,
    Equal = 3,
    LessEqual = 4,
    Greater = 5,
    NotEqual = 6,
    GreaterEqual = 7,
    Always = 8,
};
enum class Blend : uint32_t {
    Zero = 1,
    One = 2,
    SrcColor = 3,
    InvSrcColor = 4,
    SrcAlpha = 5,
    InvSrcAlpha = 6,
    DestAlpha = 7,
    InvDestAlpha = 8,
    DestColor = 9,
    InvDestColor = 10,
    SrcAlphaSat = 11,
    BlendFactor = 14,
    InvBlendFactor = 15,
};
enum class BlendOp : uint32_t { Add = 1, Subtract = 2, RevSubtract = 3, Min = 4, Max = 5 };
// ColorWriteEnable bits.
namespace colorwrite {
constexpr uint32_t kRed = 1, kGreen = 2, kBlue = 4, kAlpha = 8, kAll = 15;
}

enum class SamplerState : uint32_t {
    AddressU,
    AddressV,
    AddressW,
    BorderColor,
    MagFilter,
    MinFilter,
    MipFilter,
    MaxAnisotropy,
    Count
};
enum class TextureAddress : uint32_t { Wrap = 1, Mirror = 2, Clamp = 3, Border = 4, MirrorOnce = 5 };

// The value every render state and sampler state has on a new or reset device.
uint32_t DefaultRenderState(RenderState s);
uint32_t DefaultSamplerState(SamplerState s);
const char* RenderStateName(RenderState s);
const char* SamplerStateName(SamplerState s);

// Vertex declarations. Every element reads its own stream; the shader input it
// feeds is chosen by usage and usage index (see effect.h for the names).
enum class DeclType : uint32_t {
    Float1 = 0,
    Float2 = 1,
    Float3 = 2,
    Float4 = 3,
    Color = 4,    // 4 bytes B, G, R, A, normalised
    UByte4 = 5,   // 4 bytes read as 0..255
    UByte4N = 8,  // 4 bytes normalised to 0..1
    Unused = 17,
};
enum class DeclUsage : uint32_t {
    Position = 0,
    BlendWeight = 1,
    BlendIndices = 2,
    Normal = 3,
    TexCoord = 5,
    Tangent = 6,
    Binormal = 7,
    Color = 10,
};

struct VertexElement {
    uint16_t stream = 0;
    uint16_t offset = 0;
    DeclType type = DeclType::Float3;
    DeclUsage usage = DeclUsage::Position;
    uint8_t usageIndex = 0;
};
// Ends an element list, where a list is given without a count.
constexpr VertexElement kDeclEnd{0xFF, 0, DeclType::Unused, DeclUsage::Position, 0};
uint32_t DeclTypeBytes(DeclType t);
// The fixed shader input slot of a usage, or -1 when the device has no slot for it.
int AttributeSlot(DeclUsage usage, uint32_t usageIndex);

// ---------------------------------------------------------------------------
// Objects

class Device;

class Object {
public:
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;

    virtual uint32_t AddRef();
    // Drops one reference; returns the count left and destroys the object at 0.
    virtual uint32_t Release();
    uint32_t RefCount() const { return m_refs; }

protected:
    Object() = default;
    virtual ~Object() = default;

private:
    uint32_t m_refs = 1;
};

// A 2D image: a texture level, a cube face level, the back buffer, a
// depth-stencil surface or a system-memory surface for read-back. A texture's
// surfaces share the texture's reference count.
class Surface : public Object {
public:
    virtual Result GetDesc(SurfaceDesc* desc) = 0;
    // Only surfaces of managed or system-memory resources and dynamic textures lock.
    virtual Result LockRect(LockedRect* locked, const Rect* rect, uint32_t flags) = 0;
    virtual Result UnlockRect() = 0;
};

class BaseTexture : public Object {
public:
    virtual ResourceType GetType() const = 0;
    virtual uint32_t GetLevelCount() const = 0;
};

class Texture : public BaseTexture {
public:
    ResourceType GetType() const override { return ResourceType::Texture; }
    virtual Result GetLevelDesc(uint32_t level, SurfaceDesc* desc) = 0;
    virtual Result GetSurfaceLevel(uint32_t level, Surface** surface) = 0;
    virtual Result LockRect(uint32_t level, LockedRect* locked, const Rect* rect, uint32_t flags) = 0;
    virtual Result UnlockRect(uint32_t level) = 0;
};

class CubeTexture : public BaseTexture {
public:
    ResourceType GetType() const override { return ResourceType::CubeTexture; }
    virtual Result GetLevelDesc(uint32_t level, SurfaceDesc* desc) = 0;
    virtual Result GetCubeMapSurface(CubeFace face, uint32_t level, Surface** surface) = 0;
    virtual Result LockRect(CubeFace face, uint32_t level, LockedRect* locked, const Rect* rect,
                            uint32_t flags) = 0;
    virtual Result UnlockRect(CubeFace face, uint32_t level) = 0;
};

class VertexBuffer : public Object {
public:
    virtual uint32_t GetSize() const = 0;
    // offset 0 and size 0 lock the whole buffer.
    virtual Result Lock(uint32_t offset, uint32_t size, void** data, uint32_t flags) = 0;
    virtual Result Unlock() = 0;
};

class IndexBuffer : public Object {
public:
    virtual uint32_t GetSize() const = 0;
    virtual Result Lock(uint32_t offset, uint32_t size, void** data, uint32_t flags) = 0;
    virtual Result Unlock() = 0;
};

class VertexDeclaration : public Object {
public:
    // Copies up to `capacity` elements; returns the element count (without the end marker).
    virtual uint32_t GetElements(VertexElement* elements, uint32_t capacity) const = 0;
};

// An event query: signalled once the device has finished everything issued before it.
class Query : public Object {
public:
    virtual Result Issue(uint32_t flags) = 0;
    // Ok with a non-zero 32-bit value when signalled, False while pending; any
    // other result means the device was lost.
    virtual Result GetData(void* data, uint32_t size, uint32_t flags) = 0;
};

class Effect;

class Device : public Object {
public:
    virtual Result GetDeviceCaps(Caps* caps) = 0;

    // Device state and presentation.
    virtual Result TestCooperativeLevel() = 0;
    virtual Result Reset(const PresentParams& params) = 0;
    virtual Result Present() = 0;
    virtual Result BeginScene() = 0;
    virtual Result EndScene() = 0;
    virtual Result Clear(uint32_t rectCount, const Rect* rects, uint32_t flags, uint32_t argb, float z,
                         uint32_t stencil) = 0;

    // Surfaces and targets. Getters add a reference to what they return.
    virtual Result GetBackBuffer(Surface** surface) = 0;
    virtual Result GetRenderTarget(uint32_t index, Surface** surface) = 0;
    // A null surface at index 0 is refused; at other indices it unbinds.
    virtual Result SetRenderTarget(uint32_t index, Surface* surface) = 0;
    virtual Result GetDepthStencilSurface(Surface** surface) = 0;
    virtual Result SetDepthStencilSurface(Surface* surface) = 0;
    virtual Result CreateDepthStencilSurface(uint32_t width, uint32_t height, Format format,
                                             MultiSample multiSample, uint32_t quality, bool discard,
                                             Surface** surface) = 0;
    virtual Result CreateOffscreenPlainSurface(uint32_t width, uint32_t height, Format format, Pool pool,
                                               Surface** surface) = 0;
    // Copies a render target (or the back buffer) into a system-memory surface
    // of the same size and format.
    virtual Result GetRenderTargetData(Surface* target, Surface* dest) = 0;
    virtual Result StretchRect(Surface* source, const Rect* sourceRect, Surface* dest, const Rect* destRect,
                               TextureFilter filter) = 0;

    // Textures. `levels` 0 makes the whole chain of mip levels.
    virtual Result CreateTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t usage,
                                 Format format, Pool pool, Texture** texture) = 0;
    virtual Result CreateCubeTexture(uint32_t edge, uint32_t levels, uint32_t usage, Format format, Pool pool,
                                     CubeTexture** texture) = 0;
    virtual Result SetTexture(uint32_t stage, BaseTexture* texture) = 0;
    virtual Result GetTexture(uint32_t stage, BaseTexture** texture) = 0;
    virtual Result SetSamplerState(uint32_t stage, SamplerState state, uint32_t value) = 0;
    virtual Result GetSamplerState(uint32_t stage, SamplerState state, uint32_t* value) = 0;

    // Fixed state.
    virtual Result SetRenderState(RenderState state, uint32_t value) = 0;
    virtual Result GetRenderState(RenderState state, uint32_t* value) = 0;
    virtual Result SetViewport(const Viewport& viewport) = 0;
    virtual Result GetViewport(Viewport* viewport) = 0;
    virtual Result SetScissorRect(const Rect& rect) = 0;

    // Geometry.
    virtual Result CreateVertexDeclaration(const VertexElement* elements, uint32_t count,
                                           VertexDeclaration** declaration) = 0;
    virtual Result CreateVertexBuffer(uint32_t bytes, uint32_t usage, Pool pool, VertexBuffer** buffer) = 0;
    virtual Result CreateIndexBuffer(uint32_t bytes, uint32_t usage, Format format, Pool pool,
                                     IndexBuffer** buffer) = 0;
    virtual Result SetVertexDeclaration(VertexDeclaration* declaration) = 0;
    virtual Result SetStreamSource(uint32_t stream, VertexBuffer* buffer, uint32_t offset, uint32_t stride) = 0;
    virtual Result SetIndices(IndexBuffer* buffer) = 0;
    // Draws need an open scene; the GL device also needs an effect pass to draw with.
    virtual Result DrawPrimitive(PrimitiveType type, uint32_t startVertex, uint32_t primitiveCount) = 0;
    virtual Result DrawIndexedPrimitive(PrimitiveType type, int32_t baseVertex, uint32_t minIndex,
                                        uint32_t vertexCount, uint32_t startIndex, uint32_t primitiveCount) = 0;

    virtual Result CreateQuery(Query** query) = 0;

    // Effects (see effect.h). On failure `errors`, when given, receives the
    // compiler's text; it stays empty when there is no text to give.
    virtual Result CreateEffect(const void* data, size_t size, Effect** effect,
                                std::optional<std::string>* errors) = 0;
};

// The adapter and its display, before and around device creation.
class System : public Object {
public:
    virtual Result GetDeviceCaps(Caps* caps) = 0;
    virtual Result GetDesktopDisplayMode(DisplayMode* mode) = 0;
    virtual uint32_t GetModeCount(Format format) = 0;
    virtual Result EnumModes(Format format, uint32_t index, DisplayMode* mode) = 0;
    virtual Result CheckDeviceType(Format displayFormat, Format backBufferFormat, bool windowed) = 0;
    virtual Result CheckDeviceFormat(Format adapterFormat, uint32_t usage, ResourceType type,
                                     Format format) = 0;
    virtual Result CheckDeviceFormatConversion(Format source, Format target) = 0;
    virtual Result CheckDeviceMultiSampleType(Format format, bool windowed, MultiSample type) = 0;
    virtual Result CheckDepthStencilMatch(Format adapterFormat, Format targetFormat, Format depthFormat) = 0;
    virtual Result CreateDevice(void* focusWindow, uint32_t createFlags, const PresentParams& params,
                                Device** device) = 0;
};

enum class Backend { OpenGL, Fake };
// A new system of the chosen backend (count 1), or null when the backend cannot start.
System* CreateSystem(Backend backend);

// Reads a render target (or the back buffer) as rows of B, G, R, A bytes, top
// row first, `width * 4` bytes per row; only for 8-bit colour targets.
Result ReadTargetBGRA(Device* device, Surface* target, uint8_t* out, uint32_t width, uint32_t height);

// Holds one reference to an object and drops it when destroyed.
template <class T>
class Ref {
public:
    Ref() = default;
    explicit Ref(T* adopted) : m_ptr(adopted) {}
    Ref(const Ref& other) : m_ptr(other.m_ptr) {
        if (m_ptr) m_ptr->AddRef();
    }
    Ref(Ref&& other) noexcept : m_ptr(std::exchange(other.m_ptr, nullptr)) {}
    Ref& operator=(Ref other) {
        std::swap(m_ptr, other.m_ptr);
        return *this;
    }
    ~Ref() { Reset(); }

    void Reset() {
        if (m_ptr) std::exchange(m_ptr, nullptr)->Release();
    }
    T* Get() const { return m_ptr; }
    T* operator->() const { return m_ptr; }
    explicit operator bool() const { return m_ptr != nullptr; }
    // For out-parameters: drops what is held and returns the slot to fill.
    T** Out() {
        Reset();
        return &m_ptr;
    }

private:
    T* m_ptr = nullptr;
};

}  // namespace gfx
