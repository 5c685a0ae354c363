#include "platform/gfx/gl/gl_device.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "platform/gfx/draw_check.h"
#include "platform/gfx/effect.h"
#include "platform/gfx/gl/gl_effect.h"

namespace gfx::gl {

namespace {

// Uploads bind textures here, away from the sampler stages.
constexpr GLenum kUploadUnit = GL_TEXTURE0 + 31;

GLenum BlendFactorOf(uint32_t v) {
    switch (static_cast<Blend>(v)) {
        case Blend::Zero: return GL_ZERO;
        case Blend::One: return GL_ONE;
        case Blend::SrcColor: return GL_SRC_COLOR;
        case Blend::InvSrcColor: return GL_ONE_MINUS_SRC_COLOR;
        case Blend::SrcAlpha: return GL_SRC_ALPHA;
        case Blend::InvSrcAlpha: return GL_ONE_MINUS_SRC_ALPHA;
        case Blend::DestAlpha: return GL_DST_ALPHA;
        case Blend::InvDestAlpha: return GL_ONE_MINUS_DST_ALPHA;
        case Blend::DestColor: return GL_DST_COLOR;
        case Blend::InvDestColor: return GL_ONE_MINUS_DST_COLOR;
        case Blend::SrcAlphaSat: return GL_SRC_ALPHA_SATURATE;
        case Blend::BlendFactor: return GL_CONSTANT_COLOR;
        case Blend::InvBlendFactor: return GL_ONE_MINUS_CONSTANT_COLOR;
    }
    return 0;
}

GLenum BlendOpOf(uint32_t v) {
    switch (static_cast<BlendOp>(v)) {
        case BlendOp::Add: return GL_FUNC_ADD;
        case BlendOp::Subtract: return GL_FUNC_SUBTRACT;
        case BlendOp::RevSubtract: return GL_FUNC_REVERSE_SUBTRACT;
        case BlendOp::Min: return GL_MIN;
        case BlendOp::Max: return GL_MAX;
    }
    return 0;
}

GLenum CompareOf(uint32_t v) {
    switch (static_cast<Compare>(v)) {
        case Compare::Never: return GL_NEVER;
        case Compare::Less: return GL_LESS;
        case Compare::Equal: return GL_EQUAL;
        case Compare::LessEqual: return GL_LEQUAL;
        case Compare::Greater: return GL_GREATER;
        case Compare::NotEqual: return GL_NOTEQUAL;
        case Compare::GreaterEqual: return GL_GEQUAL;
        case Compare::Always: return GL_ALWAYS;
    }
    return 0;
}

GLenum AddressOf(uint32_t v) {
    switch (static_cast<TextureAddress>(v)) {
        case TextureAddress::Wrap: return GL_REPEAT;
        case TextureAddress::Mirror: return GL_MIRRORED_REPEAT;
        case TextureAddress::Clamp: return GL_CLAMP_TO_EDGE;
        case TextureAddress::Border: return GL_CLAMP_TO_BORDER;
        // GL 3.3 has no mirror-once; mirroring is the nearest.
        case TextureAddress::MirrorOnce: return GL_MIRRORED_REPEAT;
    }
    return 0;
}

bool ValidRenderState(RenderState s, uint32_t v) {
    switch (s) {
        case RenderState::FillMode: return v >= 1 && v <= 3;
        case RenderState::CullMode: return v >= 1 && v <= 3;
        case RenderState::ZFunc: return CompareOf(v) != 0;
        case RenderState::SrcBlend:
        case RenderState::DestBlend:
        case RenderState::SrcBlendAlpha:
        case RenderState::DestBlendAlpha: return BlendFactorOf(v) != 0;
        case RenderState::BlendOp:
        case RenderState::BlendOpAlpha: return BlendOpOf(v) != 0;
        case RenderState::ColorWriteEnable: return v <= colorwrite::kAll;
        case RenderState::Count: return false;
        default: return true;
    }
}

GLenum PrimitiveModeOf(PrimitiveType t) {
    switch (t) {
        case PrimitiveType::PointList: return GL_POINTS;
        case PrimitiveType::LineList: return GL_LINES;
        case PrimitiveType::LineStrip: return GL_LINE_STRIP;
        case PrimitiveType::TriangleList: return GL_TRIANGLES;
        case PrimitiveType::TriangleStrip: return GL_TRIANGLE_STRIP;
        case PrimitiveType::TriangleFan: return GL_TRIANGLE_FAN;
    }
    return GL_POINTS;
}

void ColourOf(uint32_t argb, float* rgba) {
    rgba[0] = static_cast<float>(argb >> 16 & 255) / 255.0f;
    rgba[1] = static_cast<float>(argb >> 8 & 255) / 255.0f;
    rgba[2] = static_cast<float>(argb & 255) / 255.0f;
    rgba[3] = static_cast<float>(argb >> 24 & 255) / 255.0f;
}

bool TextureFormatOk(Format f) {
    GlFormat g;
    return LookUpFormat(f, &g);
}

// Hands out a new object whose GL storage could be made; otherwise drops it.
template <class Made, class Interface>
Result HandOut(Made* made, Interface** out) {
    if (!made->Storage().Valid()) {
        made->Release();
        return Result::OutOfVideoMemory;
    }
    *out = made;
    return Result::Ok;
}

}  // namespace

bool Api::Load(const char** missing) {
#define KORV_GL_LOAD(type, fn)                                                  \
    fn = reinterpret_cast<type>(SDL_GL_GetProcAddress("gl" #fn));             \
    if (!fn) {                                                                  \
        *missing = "gl" #fn;                                                    \
        return false;                                                           \
    }
    KORV_GL_FUNCTIONS(KORV_GL_LOAD)
#undef KORV_GL_LOAD
    return true;
}

Caps QueryCaps(const Api& gl) {
    GLint maxSize = 0, drawBuffers = 0, attachments = 0, units = 0;
    gl.GetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    gl.GetIntegerv(GL_MAX_DRAW_BUFFERS, &drawBuffers);
    gl.GetIntegerv(GL_MAX_COLOR_ATTACHMENTS, &attachments);
    gl.GetIntegerv(GL_MAX_TEXTURE_IMAGE_UNITS, &units);
    Caps c;
    c.deviceCaps = Caps::kHwTransformAndLight;
    c.primitiveMiscCaps = Caps::kMrtIndependentBitDepths | Caps::kMrtPostPixelShaderBlending;
    c.textureCaps = Caps::kTextureCubeMap;  // any size, any shape
    c.presentationIntervals = present::kIntervalOne | present::kIntervalImmediate;
    c.caps2 = Caps::kCanAutoGenMipmap;
    c.vertexShaderVersion = ShaderVersion(3, 0);
    c.pixelShaderVersion = ShaderVersion(3, 0);
    c.maxTextureWidth = c.maxTextureHeight = static_cast<uint32_t>(std::max(maxSize, 0));
    c.maxSimultaneousTargets = std::min<uint32_t>(kMaxTargets, static_cast<uint32_t>(std::max(1, std::min(drawBuffers, attachments))));
    c.maxStreams = kMaxStreams;
    c.maxSamplers = std::min<uint32_t>(kMaxSamplers, static_cast<uint32_t>(std::max(units, 0)));
    return c;
}

bool SetContextAttributes() {
    return SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3) == 0 &&
           SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3) == 0 &&
           SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE) == 0 &&
           SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1) == 0;
}

GlDevice::GlDevice(System* system, SDL_Window* window) : m_system(system), m_window(window) { m_system->AddRef(); }

GlDevice::~GlDevice() {
    if (m_context) {
        MakeCurrent();
        m_backBuffer.reset();
        m_gl.DeleteFramebuffers(1, &m_drawFramebuffer);
        m_gl.DeleteFramebuffers(1, &m_readFramebuffer);
        m_gl.DeleteFramebuffers(1, &m_copyFramebuffer);
        m_gl.DeleteVertexArrays(1, &m_vertexArray);
        m_gl.DeleteSamplers(static_cast<GLsizei>(kMaxSamplers), m_samplers);
        SDL_GL_MakeCurrent(m_window, nullptr);
        SDL_GL_DeleteContext(m_context);
    }
    m_system->Release();
}

Result GlDevice::Initialise(const PresentParams& params, std::string* why) {
    if (!m_window || !(SDL_GetWindowFlags(m_window) & SDL_WINDOW_OPENGL)) {
        *why = "the window was not made for OpenGL";
        return Result::InvalidCall;
    }
    SetContextAttributes();
    m_context = SDL_GL_CreateContext(m_window);
    if (!m_context) {
        *why = std::string("no OpenGL 3.3 core context: ") + SDL_GetError();
        return Result::NotAvailable;
    }
    SDL_GL_MakeCurrent(m_window, m_context);
    const char* missing = nullptr;
    if (!m_gl.Load(&missing)) {
        *why = std::string("the OpenGL driver lacks ") + missing;
        return Result::NotAvailable;
    }
    GLint major = 0, minor = 0;
    m_gl.GetIntegerv(GL_MAJOR_VERSION, &major);
    m_gl.GetIntegerv(GL_MINOR_VERSION, &minor);
    if (major < 3 || (major == 3 && minor < 3)) {
        *why = "OpenGL " + std::to_string(major) + "." + std::to_string(minor) + " is older than 3.3";
        return Result::NotAvailable;
    }
    m_caps = QueryCaps(m_gl);
    m_gl.GenFramebuffers(1, &m_drawFramebuffer);
    m_gl.GenFramebuffers(1, &m_readFramebuffer);
    m_gl.GenFramebuffers(1, &m_copyFramebuffer);
    m_gl.GenVertexArrays(1, &m_vertexArray);
    m_gl.BindVertexArray(m_vertexArray);
    m_gl.GenSamplers(static_cast<GLsizei>(kMaxSamplers), m_samplers);
    for (uint32_t i = 0; i < kMaxSamplers; ++i) m_gl.BindSampler(i, m_samplers[i]);
    // The vertex stage flips y, which turns the winding around.
    m_gl.FrontFace(GL_CW);
    const PresentParams p = SizedToWindow(params);
    if (!MakeBackBuffer(p.backBufferWidth, p.backBufferHeight)) {
        *why = "the back buffer could not be made";
        return Result::OutOfVideoMemory;
    }
    m_params = p;
    ApplyPresentation(p);
    ResetState();
    return Result::Ok;
}

PresentParams GlDevice::SizedToWindow(const PresentParams& params) const {
    PresentParams p = params;
    if (p.backBufferWidth == 0 || p.backBufferHeight == 0) {
        int w = 0, h = 0;
        SDL_GL_GetDrawableSize(m_window, &w, &h);
        p.backBufferWidth = static_cast<uint32_t>(std::max(w, 1));
        p.backBufferHeight = static_cast<uint32_t>(std::max(h, 1));
    }
    return p;
}

void GlDevice::MakeCurrent() {
    if (SDL_GL_GetCurrentContext() != m_context) SDL_GL_MakeCurrent(m_window, m_context);
}

void GlDevice::BindForUpload(GLenum target, GLuint texture) {
    m_gl.ActiveTexture(kUploadUnit);
    m_gl.BindTexture(target, texture);
}

void GlDevice::UseProgram(GlProgram* program) {
    m_program = program;
    m_gl.UseProgram(program ? program->name : 0);
}

void GlDevice::ForgetProgram(const GlProgram* program) {
    if (m_program == program) UseProgram(nullptr);
}

void GlDevice::Forget(const Object* o) {
    for (auto& t : m_targets) {
        if (t == o) {
            t = nullptr;
            m_targetsChanged = true;
        }
    }
    if (!m_targets[0] && m_backBuffer && o != m_backBuffer.get()) m_targets[0] = m_backBuffer.get();
    if (m_depth == o) {
        m_depth = nullptr;
        m_targetsChanged = true;
    }
    for (uint32_t i = 0; i < kMaxSamplers; ++i) {
        if (m_textures[i] == o) {
            // GL unbinds a deleted texture by itself; only the record goes.
            m_textures[i] = nullptr;
            m_textureTargets[i] = 0;
        }
    }
    for (auto& s : m_streams) {
        if (s.buffer == o) s = Stream{};
    }
    if (m_indices == o) m_indices = nullptr;
    if (m_declaration == o) m_declaration = nullptr;
}

bool GlDevice::MakeBackBuffer(uint32_t width, uint32_t height) {
    const SurfaceDesc desc{Format::X8R8G8B8, ResourceType::Surface, usage::kRenderTarget, Pool::Default, width, height};
    if (!m_backBuffer) {
        m_backBuffer = std::make_unique<GlSurface>(this, GlSurface::Kind::BackBuffer, desc);
        m_gl.GenTextures(1, &m_backBuffer->name);
    } else {
        m_backBuffer->SetSize(width, height);
    }
    m_gl.GetError();
    BindForUpload(GL_TEXTURE_2D, m_backBuffer->name);
    m_gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    // The unsized format lets the driver keep the texels in the B, G, R, A order
    // given here, as windows keep theirs: llvmpipe then copies the texels straight
    // across in Present's one-to-one blit (about 0.1 ms at 1280 x 720), where from a
    // sized RGBA8 texture it shades the copy as a full-screen pass (about 4 ms).
    // Eight bits a channel either way, so nothing drawn or read back changes.
    // Stored as an X8R8G8B8 target is (LookUpTargetFormat): alpha 1 from the start.
    std::vector<uint8_t> black(static_cast<size_t>(width) * height * 4, 0);
    for (size_t i = 3; i < black.size(); i += 4) black[i] = 255;
    m_gl.PixelStorei(GL_UNPACK_ALIGNMENT, 1);
    m_gl.PixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    m_gl.TexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, static_cast<GLsizei>(width), static_cast<GLsizei>(height), 0, GL_BGRA,
                    GL_UNSIGNED_BYTE, black.data());
    m_targetsChanged = true;
    return m_gl.GetError() == GL_NO_ERROR;
}

void GlDevice::ApplyPresentation(const PresentParams& params) {
    SDL_GL_SetSwapInterval(params.presentationInterval == present::kIntervalImmediate ? 0 : 1);
    const Uint32 flags = SDL_GetWindowFlags(m_window);
    const bool exclusive = (flags & SDL_WINDOW_FULLSCREEN_DESKTOP) == SDL_WINDOW_FULLSCREEN;
    if (!params.windowed) {
        SDL_DisplayMode wanted{};
        wanted.w = static_cast<int>(params.backBufferWidth);
        wanted.h = static_cast<int>(params.backBufferHeight);
        wanted.refresh_rate = static_cast<int>(params.refreshRate);
        SDL_DisplayMode closest{};
        const int display = std::max(SDL_GetWindowDisplayIndex(m_window), 0);
        if (SDL_GetClosestDisplayMode(display, &wanted, &closest)) SDL_SetWindowDisplayMode(m_window, &closest);
        if (!exclusive) SDL_SetWindowFullscreen(m_window, SDL_WINDOW_FULLSCREEN);
    } else if (exclusive) {
        SDL_SetWindowFullscreen(m_window, 0);
    }
}

void GlDevice::ResetState() {
    for (uint32_t s = 0; s < static_cast<uint32_t>(RenderState::Count); ++s) {
        m_renderStates[s] = DefaultRenderState(static_cast<RenderState>(s));
    }
    for (uint32_t s = 0; s < static_cast<uint32_t>(RenderState::Count); ++s) {
        ApplyRenderState(static_cast<RenderState>(s), m_renderStates[s]);
    }
    for (uint32_t stage = 0; stage < kMaxSamplers; ++stage) {
        for (uint32_t s = 0; s < static_cast<uint32_t>(SamplerState::Count); ++s) {
            m_samplerStates[stage][s] = DefaultSamplerState(static_cast<SamplerState>(s));
        }
        for (uint32_t s = 0; s < static_cast<uint32_t>(SamplerState::Count); ++s) {
            ApplySamplerState(stage, static_cast<SamplerState>(s));
        }
        m_gl.ActiveTexture(GL_TEXTURE0 + stage);
        m_gl.BindTexture(GL_TEXTURE_2D, 0);
        m_gl.BindTexture(GL_TEXTURE_CUBE_MAP, 0);
        m_textures[stage] = nullptr;
        m_textureTargets[stage] = 0;
    }
    for (auto& s : m_streams) s = Stream{};
    m_indices = nullptr;
    m_declaration = nullptr;
    for (auto& t : m_targets) t = nullptr;
    m_targets[0] = m_backBuffer.get();
    m_depth = nullptr;
    m_targetsChanged = true;
    m_viewport = Viewport{0, 0, m_params.backBufferWidth, m_params.backBufferHeight, 0.0f, 1.0f};
    m_gl.Viewport(0, 0, static_cast<GLsizei>(m_viewport.width), static_cast<GLsizei>(m_viewport.height));
    m_gl.DepthRange(0.0, 1.0);
    m_scissor = Rect{0, 0, static_cast<int32_t>(m_viewport.width), static_cast<int32_t>(m_viewport.height)};
    ApplyScissor();
    m_gl.StencilMask(0xFF);
    m_inScene = false;
}

void GlDevice::ApplyBlend() {
    const auto rs = [this](RenderState s) { return m_renderStates[static_cast<size_t>(s)]; };
    const GLenum src = BlendFactorOf(rs(RenderState::SrcBlend)), dst = BlendFactorOf(rs(RenderState::DestBlend));
    const GLenum op = BlendOpOf(rs(RenderState::BlendOp));
    if (rs(RenderState::SeparateAlphaBlendEnable)) {
        m_gl.BlendFuncSeparate(src, dst, BlendFactorOf(rs(RenderState::SrcBlendAlpha)),
                               BlendFactorOf(rs(RenderState::DestBlendAlpha)));
        m_gl.BlendEquationSeparate(op, BlendOpOf(rs(RenderState::BlendOpAlpha)));
    } else {
        m_gl.BlendFuncSeparate(src, dst, src, dst);
        m_gl.BlendEquationSeparate(op, op);
    }
}

void GlDevice::ApplyScissor() {
    const int32_t w = std::max(m_scissor.right - m_scissor.left, 0), h = std::max(m_scissor.bottom - m_scissor.top, 0);
    m_gl.Scissor(m_scissor.left, m_scissor.top, w, h);
}

void GlDevice::ApplyRenderState(RenderState state, uint32_t value) {
    const auto toggle = [this](GLenum cap, bool on) { on ? m_gl.Enable(cap) : m_gl.Disable(cap); };
    switch (state) {
        case RenderState::ZEnable: toggle(GL_DEPTH_TEST, value != 0); break;
        case RenderState::FillMode:
            m_gl.PolygonMode(GL_FRONT_AND_BACK, value == 1 ? GL_POINT : value == 2 ? GL_LINE : GL_FILL);
            break;
        case RenderState::ZWriteEnable: m_gl.DepthMask(value ? GL_TRUE : GL_FALSE); break;
        case RenderState::SrcBlend:
        case RenderState::DestBlend:
        case RenderState::BlendOp:
        case RenderState::SeparateAlphaBlendEnable:
        case RenderState::SrcBlendAlpha:
        case RenderState::DestBlendAlpha:
        case RenderState::BlendOpAlpha: ApplyBlend(); break;
        case RenderState::CullMode:
            if (value == static_cast<uint32_t>(Cull::None)) {
                m_gl.Disable(GL_CULL_FACE);
            } else {
                m_gl.Enable(GL_CULL_FACE);
                m_gl.CullFace(value == static_cast<uint32_t>(Cull::CW) ? GL_BACK : GL_FRONT);
            }
            break;
        case RenderState::ZFunc: m_gl.DepthFunc(CompareOf(value)); break;
        case RenderState::AlphaBlendEnable: toggle(GL_BLEND, value != 0); break;
        case RenderState::Lighting: break;
        case RenderState::ScissorTestEnable: toggle(GL_SCISSOR_TEST, value != 0); break;
        case RenderState::ColorWriteEnable: ApplyColorMask(); break;
        case RenderState::BlendFactor: {
            float c[4];
            ColourOf(value, c);
            m_gl.BlendColor(c[0], c[1], c[2], c[3]);
            break;
        }
        case RenderState::Count: break;
    }
}

void GlDevice::ApplySamplerState(uint32_t stage, SamplerState state) {
    const GLuint sampler = m_samplers[stage];
    const uint32_t* s = m_samplerStates[stage];
    const auto v = [s](SamplerState which) { return s[static_cast<size_t>(which)]; };
    switch (state) {
        case SamplerState::AddressU: m_gl.SamplerParameteri(sampler, GL_TEXTURE_WRAP_S, static_cast<GLint>(AddressOf(v(state)))); break;
        case SamplerState::AddressV: m_gl.SamplerParameteri(sampler, GL_TEXTURE_WRAP_T, static_cast<GLint>(AddressOf(v(state)))); break;
        case SamplerState::AddressW: m_gl.SamplerParameteri(sampler, GL_TEXTURE_WRAP_R, static_cast<GLint>(AddressOf(v(state)))); break;
        case SamplerState::BorderColor: {
            float c[4];
            ColourOf(v(state), c);
            m_gl.SamplerParameterfv(sampler, GL_TEXTURE_BORDER_COLOR, c);
            break;
        }
        case SamplerState::MagFilter:
            m_gl.SamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER,
                                   v(state) >= static_cast<uint32_t>(TextureFilter::Linear) ? GL_LINEAR : GL_NEAREST);
            break;
        case SamplerState::MinFilter:
        case SamplerState::MipFilter: {
            const bool linear = v(SamplerState::MinFilter) >= static_cast<uint32_t>(TextureFilter::Linear);
            const uint32_t mip = v(SamplerState::MipFilter);
            GLenum f = linear ? GL_LINEAR : GL_NEAREST;
            if (mip == static_cast<uint32_t>(TextureFilter::Point)) {
                f = linear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
            } else if (mip >= static_cast<uint32_t>(TextureFilter::Linear)) {
                f = linear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
            }
            m_gl.SamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER, static_cast<GLint>(f));
            break;
        }
        case SamplerState::MaxAnisotropy:
        case SamplerState::Count: break;
    }
}

Result GlDevice::GetDeviceCaps(Caps* caps) {
    if (!caps) return Result::InvalidCall;
    *caps = m_caps;
    return Result::Ok;
}

Result GlDevice::Reset(const PresentParams& params) {
    if (m_inScene) return Result::InvalidCall;
    const PresentParams p = SizedToWindow(params);
    if (p.backBufferWidth > m_caps.maxTextureWidth || p.backBufferHeight > m_caps.maxTextureHeight) {
        return Result::InvalidCall;
    }
    MakeCurrent();
    // GL loses nothing: the back buffer keeps its object (and any references to it) and changes size.
    if (!MakeBackBuffer(p.backBufferWidth, p.backBufferHeight)) return Result::OutOfVideoMemory;
    m_params = p;
    ApplyPresentation(p);
    ResetState();
    return Result::Ok;
}

Result GlDevice::Present() {
    if (m_inScene) return Result::InvalidCall;
    MakeCurrent();
    m_gl.BindFramebuffer(GL_READ_FRAMEBUFFER, m_readFramebuffer);
    m_backBuffer->Attach(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0);
    m_gl.ReadBuffer(GL_COLOR_ATTACHMENT0);
    m_gl.BindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    int w = 0, h = 0;
    SDL_GL_GetDrawableSize(m_window, &w, &h);
    const GLint bw = static_cast<GLint>(m_params.backBufferWidth), bh = static_cast<GLint>(m_params.backBufferHeight);
    m_gl.Disable(GL_SCISSOR_TEST);
    // Top row first in the back buffer, bottom row first in the window.
    m_gl.BlitFramebuffer(0, 0, bw, bh, 0, h, w, 0, GL_COLOR_BUFFER_BIT, (w == bw && h == bh) ? GL_NEAREST : GL_LINEAR);
    if (m_renderStates[static_cast<size_t>(RenderState::ScissorTestEnable)]) m_gl.Enable(GL_SCISSOR_TEST);
    SDL_GL_SwapWindow(m_window);
    m_gl.BindFramebuffer(GL_FRAMEBUFFER, m_drawFramebuffer);
    return Result::Ok;
}

Result GlDevice::BeginScene() {
    if (m_inScene) return Result::InvalidCall;
    m_inScene = true;
    return Result::Ok;
}

Result GlDevice::EndScene() {
    if (!m_inScene) return Result::InvalidCall;
    m_inScene = false;
    return Result::Ok;
}

bool GlDevice::BindTargets() {
    m_gl.BindFramebuffer(GL_FRAMEBUFFER, m_drawFramebuffer);
    if (!m_targetsChanged) return true;
    GLenum buffers[kMaxTargets];
    for (uint32_t i = 0; i < kMaxTargets; ++i) {
        const GLenum attachment = GL_COLOR_ATTACHMENT0 + i;
        if (m_targets[i]) {
            m_targets[i]->Attach(GL_FRAMEBUFFER, attachment);
            buffers[i] = attachment;
        } else {
            m_gl.FramebufferTexture2D(GL_FRAMEBUFFER, attachment, GL_TEXTURE_2D, 0, 0);
            buffers[i] = GL_NONE;
        }
    }
    if (m_depth) {
        m_depth->Attach(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT);
    } else {
        m_gl.FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, 0);
    }
    m_gl.DrawBuffers(static_cast<GLsizei>(kMaxTargets), buffers);
    ApplyColorMask();
    m_targetsChanged = false;
    return m_gl.CheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}

void GlDevice::ApplyColorMask() {
    const uint32_t value = m_renderStates[static_cast<size_t>(RenderState::ColorWriteEnable)];
    for (uint32_t i = 0; i < kMaxTargets; ++i) {
        // An X8R8G8B8 target has no alpha to write: it stays 1, as its texture samples it.
        const bool opaque = m_targets[i] && m_targets[i]->Desc().format == Format::X8R8G8B8;
        m_gl.ColorMaski(i, (value & colorwrite::kRed) != 0, (value & colorwrite::kGreen) != 0,
                        (value & colorwrite::kBlue) != 0, (value & colorwrite::kAlpha) != 0 && !opaque);
    }
}

void GlDevice::MarkTargetsRendered() {
    for (GlSurface* t : m_targets) {
        if (t && t->storage) t->storage->MarkRendered();
    }
}

void GlDevice::FramebufferArea(uint32_t* width, uint32_t* height) const {
    *width = m_depth ? m_depth->Desc().width : UINT32_MAX;
    *height = m_depth ? m_depth->Desc().height : UINT32_MAX;
    for (const GlSurface* t : m_targets) {
        if (!t) continue;
        *width = std::min(*width, t->Desc().width);
        *height = std::min(*height, t->Desc().height);
    }
}

void GlDevice::MarkDepthWritten(uint32_t right, uint32_t bottom) {
    if (!m_depth) return;
    m_depth->writtenWidth = std::max(m_depth->writtenWidth, right);
    m_depth->writtenHeight = std::max(m_depth->writtenHeight, bottom);
}

void GlDevice::MarkDrawnDepth() {
    if (!m_depth || !m_renderStates[static_cast<size_t>(RenderState::ZEnable)] ||
        !m_renderStates[static_cast<size_t>(RenderState::ZWriteEnable)]) {
        return;
    }
    uint32_t width = 0, height = 0;
    FramebufferArea(&width, &height);
    MarkDepthWritten(width, height);
}

bool GlDevice::ClearsDepthWhole(const Rect& rect, float depth, uint32_t stencil) const {
    // GL clears only the area all attachments share; a surface larger than the
    // targets may be cleared whole when the rest of it holds what this clear
    // writes (nothing wrote there since it was last cleared whole to these
    // values) or was never written.
    uint32_t width = 0, height = 0;
    FramebufferArea(&width, &height);
    const bool coversArea = rect.left == 0 && rect.top == 0 && static_cast<uint32_t>(rect.right) == width &&
                            static_cast<uint32_t>(rect.bottom) == height;
    const bool restUnchanged = m_depth->writtenWidth <= width && m_depth->writtenHeight <= height &&
                               (!m_depth->clearedWhole || (m_depth->wholeDepth == depth && m_depth->wholeStencil == stencil));
    return coversArea && restUnchanged;
}

Result GlDevice::Clear(uint32_t rectCount, const Rect* rects, uint32_t flags, uint32_t argb, float z, uint32_t stencil) {
    if ((rectCount && !rects) || (flags & ~(clear::kTarget | clear::kZBuffer | clear::kStencil))) return Result::InvalidCall;
    if ((flags & (clear::kZBuffer | clear::kStencil)) && !m_depth) return Result::InvalidCall;
    if (flags == 0) return Result::Ok;
    MakeCurrent();
    if (!BindTargets()) return Result::InvalidCall;
    float c[4];
    ColourOf(argb, c);
    const float depth = std::clamp(z, 0.0f, 1.0f);
    m_gl.ClearColor(c[0], c[1], c[2], c[3]);
    m_gl.ClearDepth(depth);
    m_gl.ClearStencil(static_cast<GLint>(stencil));
    // An X8R8G8B8 target keeps alpha 1: with only such targets bound the clear
    // writes that 1 through the whole mask, which llvmpipe clears at once (a
    // masked clear it draws as a full-screen quad).
    bool onlyOpaque = true;
    for (const GlSurface* t : m_targets) onlyOpaque = onlyOpaque && (!t || t->Desc().format == Format::X8R8G8B8);
    if (onlyOpaque) m_gl.ClearColor(c[0], c[1], c[2], 1.0f);
    for (uint32_t t = 0; t < kMaxTargets; ++t) {
        const bool opaque = m_targets[t] && m_targets[t]->Desc().format == Format::X8R8G8B8;
        m_gl.ColorMaski(t, GL_TRUE, GL_TRUE, GL_TRUE, opaque && !onlyOpaque ? GL_FALSE : GL_TRUE);
    }
    m_gl.DepthMask(GL_TRUE);
    m_gl.Enable(GL_SCISSOR_TEST);
    GLbitfield depthBits = ((flags & clear::kZBuffer) ? GL_DEPTH_BUFFER_BIT : 0) |
                           ((flags & clear::kStencil) ? GL_STENCIL_BUFFER_BIT : 0);
    // Only the viewport is cleared, and of it only the rectangles when there are some.
    const Rect whole{static_cast<int32_t>(m_viewport.x), static_cast<int32_t>(m_viewport.y),
                     static_cast<int32_t>(m_viewport.x + m_viewport.width),
                     static_cast<int32_t>(m_viewport.y + m_viewport.height)};
    std::vector<Rect> clipped;
    for (uint32_t i = 0; i < (rectCount ? rectCount : 1); ++i) {
        const Rect& in = rectCount ? rects[i] : whole;
        const Rect r{std::max(in.left, whole.left), std::max(in.top, whole.top), std::min(in.right, whole.right),
                     std::min(in.bottom, whole.bottom)};
        if (r.left < r.right && r.top < r.bottom) clipped.push_back(r);
    }
    if (depthBits == (GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT) && clipped.size() == 1 &&
        ClearsDepthWhole(clipped[0], depth, stencil & 0xFF)) {
        // Without the scissor the driver clears the depth surface at once; with
        // it, on a surface larger than the targets, it draws the clear as a quad.
        m_gl.Disable(GL_SCISSOR_TEST);
        m_gl.Clear(depthBits);
        m_gl.Enable(GL_SCISSOR_TEST);
        m_depth->writtenWidth = m_depth->writtenHeight = 0;
        m_depth->clearedWhole = true;
        m_depth->wholeDepth = depth;
        m_depth->wholeStencil = stencil & 0xFF;
        depthBits = 0;
    }
    const GLbitfield bits = ((flags & clear::kTarget) ? GL_COLOR_BUFFER_BIT : 0) | depthBits;
    // A colour clear of the whole shared area goes without the scissor too
    // (GL clears no further than that area); scissored, llvmpipe draws it as a quad.
    uint32_t areaWidth = 0, areaHeight = 0;
    FramebufferArea(&areaWidth, &areaHeight);
    if (bits == GL_COLOR_BUFFER_BIT && clipped.size() == 1 && clipped[0].left == 0 && clipped[0].top == 0 &&
        static_cast<uint32_t>(clipped[0].right) == areaWidth && static_cast<uint32_t>(clipped[0].bottom) == areaHeight) {
        m_gl.Disable(GL_SCISSOR_TEST);
    }
    for (const Rect& r : clipped) {
        if (!bits) break;
        m_gl.Scissor(r.left, r.top, r.right - r.left, r.bottom - r.top);
        m_gl.Clear(bits);
        if (depthBits) MarkDepthWritten(static_cast<uint32_t>(r.right), static_cast<uint32_t>(r.bottom));
    }
    ApplyRenderState(RenderState::ColorWriteEnable, m_renderStates[static_cast<size_t>(RenderState::ColorWriteEnable)]);
    ApplyRenderState(RenderState::ZWriteEnable, m_renderStates[static_cast<size_t>(RenderState::ZWriteEnable)]);
    ApplyRenderState(RenderState::ScissorTestEnable, m_renderStates[static_cast<size_t>(RenderState::ScissorTestEnable)]);
    ApplyScissor();
    if (flags & clear::kTarget) MarkTargetsRendered();
    return Result::Ok;
}

Result GlDevice::GetBackBuffer(Surface** surface) {
    if (!surface) return Result::InvalidCall;
    m_backBuffer->AddRef();
    *surface = m_backBuffer.get();
    return Result::Ok;
}

Result GlDevice::GetRenderTarget(uint32_t index, Surface** surface) {
    if (!surface || index >= kMaxTargets) return Result::InvalidCall;
    *surface = m_targets[index];
    if (!*surface) return Result::NotFound;
    (*surface)->AddRef();
    return Result::Ok;
}

Result GlDevice::SetRenderTarget(uint32_t index, Surface* surface) {
    GlSurface* s = dynamic_cast<GlSurface*>(surface);
    if (index >= m_caps.maxSimultaneousTargets || (index == 0 && !surface) || (surface && (!s || !s->IsTarget()))) {
        return Result::InvalidCall;
    }
    if (m_targets[index] != s) m_targetsChanged = true;
    m_targets[index] = s;
    if (index == 0) {
        // A new first target resets the viewport and scissor rectangle to its whole area.
        MakeCurrent();
        m_viewport = Viewport{0, 0, s->Desc().width, s->Desc().height, 0.0f, 1.0f};
        m_gl.Viewport(0, 0, static_cast<GLsizei>(m_viewport.width), static_cast<GLsizei>(m_viewport.height));
        m_gl.DepthRange(0.0, 1.0);
        m_scissor = Rect{0, 0, static_cast<int32_t>(m_viewport.width), static_cast<int32_t>(m_viewport.height)};
        ApplyScissor();
    }
    return Result::Ok;
}

Result GlDevice::GetDepthStencilSurface(Surface** surface) {
    if (!surface) return Result::InvalidCall;
    *surface = m_depth;
    if (!m_depth) return Result::NotFound;
    m_depth->AddRef();
    return Result::Ok;
}

Result GlDevice::SetDepthStencilSurface(Surface* surface) {
    GlSurface* s = dynamic_cast<GlSurface*>(surface);
    if (surface && (!s || s->GetKind() != GlSurface::Kind::Depth)) return Result::InvalidCall;
    if (m_depth != s) m_targetsChanged = true;
    m_depth = s;
    return Result::Ok;
}

Result GlDevice::CreateDepthStencilSurface(uint32_t width, uint32_t height, Format format, MultiSample ms,
                                           uint32_t quality, bool /*discard*/, Surface** surface) {
    if (!surface || width == 0 || height == 0 || width > m_caps.maxTextureWidth || height > m_caps.maxTextureHeight ||
        ms != MultiSample::None || quality != 0) {
        return Result::InvalidCall;
    }
    *surface = nullptr;
    if (format != Format::D24S8) return Result::NotAvailable;
    MakeCurrent();
    auto* s = new GlSurface(this, GlSurface::Kind::Depth,
                            {format, ResourceType::Surface, usage::kDepthStencil, Pool::Default, width, height});
    m_gl.GetError();
    m_gl.GenRenderbuffers(1, &s->name);
    m_gl.BindRenderbuffer(GL_RENDERBUFFER, s->name);
    m_gl.RenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, static_cast<GLsizei>(width), static_cast<GLsizei>(height));
    if (m_gl.GetError() != GL_NO_ERROR) {
        s->Release();
        return Result::OutOfVideoMemory;
    }
    *surface = s;
    return Result::Ok;
}

Result GlDevice::CreateOffscreenPlainSurface(uint32_t width, uint32_t height, Format format, Pool pool,
                                             Surface** surface) {
    if (!surface || width == 0 || height == 0 || width > 16384 || height > 16384 || pool != Pool::SystemMem) {
        return Result::InvalidCall;
    }
    *surface = nullptr;
    if (!TextureFormatOk(format)) return Result::NotAvailable;
    auto* s = new GlSurface(this, GlSurface::Kind::SystemMem, {format, ResourceType::Surface, 0, pool, width, height});
    s->image.Allocate(format, width, height, 0);
    s->image.pitch = GlPitch(format, width);
    s->image.bits.assign(static_cast<size_t>(s->image.pitch) * s->image.Rows(), 0);
    *surface = s;
    return Result::Ok;
}

Result GlDevice::GetRenderTargetData(Surface* target, Surface* dest) {
    GlSurface* from = dynamic_cast<GlSurface*>(target);
    GlSurface* to = dynamic_cast<GlSurface*>(dest);
    if (!from || !to || !from->IsTarget() || to->GetKind() != GlSurface::Kind::SystemMem || to->image.locked) {
        return Result::InvalidCall;
    }
    const SurfaceDesc& a = from->Desc();
    if (a.width != to->image.width || a.height != to->image.height || a.format != to->image.format) {
        return Result::InvalidCall;
    }
    GlFormat f;
    if (!LookUpFormat(a.format, &f) || f.decode) return Result::InvalidCall;
    MakeCurrent();
    m_gl.GetError();
    m_gl.BindFramebuffer(GL_READ_FRAMEBUFFER, m_readFramebuffer);
    from->Attach(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0);
    m_gl.ReadBuffer(GL_COLOR_ATTACHMENT0);
    m_gl.PixelStorei(GL_PACK_ALIGNMENT, 1);
    m_gl.PixelStorei(GL_PACK_ROW_LENGTH, static_cast<GLint>(to->image.pitch / FormatBytes(a.format)));
    // Row 0 of the framebuffer is the top row, which is where the image starts.
    m_gl.ReadPixels(0, 0, static_cast<GLsizei>(a.width), static_cast<GLsizei>(a.height), f.format, f.type,
                    to->image.bits.data());
    m_gl.PixelStorei(GL_PACK_ROW_LENGTH, 0);
    m_gl.BindFramebuffer(GL_FRAMEBUFFER, m_drawFramebuffer);
    if (m_gl.GetError() != GL_NO_ERROR) return Result::DriverInternalError;
    if (a.format == Format::X8R8G8B8) {
        for (uint32_t y = 0; y < a.height; ++y) {
            uint8_t* row = to->image.bits.data() + static_cast<size_t>(y) * to->image.pitch;
            for (uint32_t x = 0; x < a.width; ++x) row[x * 4 + 3] = 255;
        }
    }
    return Result::Ok;
}

Result GlDevice::StretchRect(Surface* source, const Rect* sourceRect, Surface* dest, const Rect* destRect,
                             TextureFilter filter) {
    GlSurface* from = dynamic_cast<GlSurface*>(source);
    GlSurface* to = dynamic_cast<GlSurface*>(dest);
    if (!from || !to || from == to || !from->IsTarget() || !to->IsTarget()) return Result::InvalidCall;
    const SurfaceDesc& a = from->Desc();
    const SurfaceDesc& b = to->Desc();
    const Rect sr = sourceRect ? *sourceRect : Rect{0, 0, static_cast<int32_t>(a.width), static_cast<int32_t>(a.height)};
    const Rect dr = destRect ? *destRect : Rect{0, 0, static_cast<int32_t>(b.width), static_cast<int32_t>(b.height)};
    const auto inside = [](const Rect& r, const SurfaceDesc& d) {
        return r.left >= 0 && r.top >= 0 && r.left < r.right && r.top < r.bottom &&
               static_cast<uint32_t>(r.right) <= d.width && static_cast<uint32_t>(r.bottom) <= d.height;
    };
    if (!inside(sr, a) || !inside(dr, b)) return Result::InvalidCall;
    MakeCurrent();
    m_gl.BindFramebuffer(GL_READ_FRAMEBUFFER, m_readFramebuffer);
    from->Attach(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0);
    m_gl.ReadBuffer(GL_COLOR_ATTACHMENT0);
    m_gl.BindFramebuffer(GL_DRAW_FRAMEBUFFER, m_copyFramebuffer);
    to->Attach(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0);
    const GLenum drawBuffer = GL_COLOR_ATTACHMENT0;
    m_gl.DrawBuffers(1, &drawBuffer);
    m_gl.Disable(GL_SCISSOR_TEST);
    m_gl.BlitFramebuffer(sr.left, sr.top, sr.right, sr.bottom, dr.left, dr.top, dr.right, dr.bottom, GL_COLOR_BUFFER_BIT,
                         filter >= TextureFilter::Linear ? GL_LINEAR : GL_NEAREST);
    if (m_renderStates[static_cast<size_t>(RenderState::ScissorTestEnable)]) m_gl.Enable(GL_SCISSOR_TEST);
    m_gl.BindFramebuffer(GL_FRAMEBUFFER, m_drawFramebuffer);
    if (to->storage) to->storage->MarkRendered();
    return Result::Ok;
}

Result GlDevice::CreateTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t usage, Format format,
                               Pool pool, Texture** texture) {
    if (!texture || pool == Pool::SystemMem) return Result::InvalidCall;
    *texture = nullptr;
    // GL has one size limit for both sides.
    const Result r = CheckNewTexture(width, height, m_caps.maxTextureWidth, usage, pool, TextureFormatOk(format),
                                     IsTargetFormat(format), &levels);
    if (Failed(r)) return r;
    MakeCurrent();
    return HandOut(new GlTexture(this, width, height, levels, usage, format, pool), texture);
}

Result GlDevice::CreateCubeTexture(uint32_t edge, uint32_t levels, uint32_t usage, Format format, Pool pool,
                                   CubeTexture** texture) {
    if (!texture || pool == Pool::SystemMem) return Result::InvalidCall;
    *texture = nullptr;
    const Result r = CheckNewTexture(edge, edge, m_caps.maxTextureWidth, usage, pool, TextureFormatOk(format),
                                     IsTargetFormat(format), &levels);
    if (Failed(r)) return r;
    MakeCurrent();
    return HandOut(new GlCubeTexture(this, edge, levels, usage, format, pool), texture);
}

TextureStorage* GlDevice::StorageOf(BaseTexture* texture) {
    if (auto* t = dynamic_cast<GlTexture*>(texture)) return &t->Storage();
    if (auto* c = dynamic_cast<GlCubeTexture*>(texture)) return &c->Storage();
    return nullptr;
}

Result GlDevice::SetTexture(uint32_t stage, BaseTexture* texture) {
    if (stage >= kMaxSamplers) return Result::InvalidCall;
    TextureStorage* storage = texture ? StorageOf(texture) : nullptr;
    if (texture && !storage) return Result::InvalidCall;
    MakeCurrent();
    m_gl.ActiveTexture(GL_TEXTURE0 + stage);
    const GLenum target = storage ? storage->Target() : 0;
    if (m_textureTargets[stage] && m_textureTargets[stage] != target) m_gl.BindTexture(m_textureTargets[stage], 0);
    if (storage) m_gl.BindTexture(target, storage->Name());
    if (!storage && m_textureTargets[stage]) m_gl.BindTexture(m_textureTargets[stage], 0);
    m_textures[stage] = texture;
    m_textureTargets[stage] = target;
    return Result::Ok;
}

Result GlDevice::GetTexture(uint32_t stage, BaseTexture** texture) {
    if (stage >= kMaxSamplers || !texture) return Result::InvalidCall;
    *texture = m_textures[stage];
    if (*texture) (*texture)->AddRef();
    return Result::Ok;
}

Result GlDevice::SetSamplerState(uint32_t stage, SamplerState state, uint32_t value) {
    if (stage >= kMaxSamplers || state >= SamplerState::Count) return Result::InvalidCall;
    if ((state == SamplerState::AddressU || state == SamplerState::AddressV || state == SamplerState::AddressW) &&
        AddressOf(value) == 0) {
        return Result::InvalidCall;
    }
    if ((state == SamplerState::MagFilter || state == SamplerState::MinFilter || state == SamplerState::MipFilter) &&
        value > static_cast<uint32_t>(TextureFilter::Anisotropic)) {
        return Result::InvalidCall;
    }
    MakeCurrent();
    m_samplerStates[stage][static_cast<size_t>(state)] = value;
    ApplySamplerState(stage, state);
    return Result::Ok;
}

Result GlDevice::GetSamplerState(uint32_t stage, SamplerState state, uint32_t* value) {
    if (stage >= kMaxSamplers || state >= SamplerState::Count || !value) return Result::InvalidCall;
    *value = m_samplerStates[stage][static_cast<size_t>(state)];
    return Result::Ok;
}

Result GlDevice::SetRenderState(RenderState state, uint32_t value) {
    if (state >= RenderState::Count || !ValidRenderState(state, value)) return Result::InvalidCall;
    MakeCurrent();
    m_renderStates[static_cast<size_t>(state)] = value;
    ApplyRenderState(state, value);
    return Result::Ok;
}

Result GlDevice::GetRenderState(RenderState state, uint32_t* value) {
    if (state >= RenderState::Count || !value) return Result::InvalidCall;
    *value = m_renderStates[static_cast<size_t>(state)];
    return Result::Ok;
}

Result GlDevice::SetViewport(const Viewport& v) {
    const GlSurface* target = m_targets[0];
    if (!target || v.width == 0 || v.height == 0 || static_cast<uint64_t>(v.x) + v.width > target->Desc().width ||
        static_cast<uint64_t>(v.y) + v.height > target->Desc().height || !(v.minZ >= 0.0f && v.maxZ <= 1.0f && v.minZ <= v.maxZ)) {
        return Result::InvalidCall;
    }
    MakeCurrent();
    m_viewport = v;
    // Framebuffer rows run top to bottom, so the viewport keeps its top-left origin.
    m_gl.Viewport(static_cast<GLint>(v.x), static_cast<GLint>(v.y), static_cast<GLsizei>(v.width),
                  static_cast<GLsizei>(v.height));
    m_gl.DepthRange(v.minZ, v.maxZ);
    return Result::Ok;
}

Result GlDevice::GetViewport(Viewport* viewport) {
    if (!viewport) return Result::InvalidCall;
    *viewport = m_viewport;
    return Result::Ok;
}

Result GlDevice::SetScissorRect(const Rect& r) {
    if (r.left > r.right || r.top > r.bottom || r.left < 0 || r.top < 0) return Result::InvalidCall;
    MakeCurrent();
    m_scissor = r;
    ApplyScissor();
    return Result::Ok;
}

Result GlDevice::CreateVertexDeclaration(const VertexElement* elements, uint32_t count, VertexDeclaration** declaration) {
    if (!elements || !declaration) return Result::InvalidCall;
    *declaration = nullptr;
    std::vector<VertexElement> list;
    for (uint32_t i = 0; i < count && elements[i].stream != kDeclEnd.stream; ++i) {
        const VertexElement& e = elements[i];
        if (e.stream >= kMaxStreams || DeclTypeBytes(e.type) == 0 || AttributeSlot(e.usage, e.usageIndex) < 0) {
            return Result::InvalidCall;
        }
        for (const VertexElement& other : list) {
            if (other.usage == e.usage && other.usageIndex == e.usageIndex) return Result::InvalidCall;
        }
        list.push_back(e);
    }
    if (list.empty()) return Result::InvalidCall;
    *declaration = new GlDeclaration(this, std::move(list));
    return Result::Ok;
}

Result GlDevice::CreateVertexBuffer(uint32_t bytes, uint32_t usage, Pool pool, VertexBuffer** buffer) {
    if (!buffer || bytes == 0 || bytes > (256u << 20) || pool == Pool::SystemMem ||
        ((usage & usage::kDynamic) && pool != Pool::Default)) {
        return Result::InvalidCall;
    }
    *buffer = nullptr;
    MakeCurrent();
    return HandOut(new GlVertexBuffer(this, bytes, usage), buffer);
}

Result GlDevice::CreateIndexBuffer(uint32_t bytes, uint32_t usage, Format format, Pool pool, IndexBuffer** buffer) {
    if (!buffer || bytes == 0 || bytes > (256u << 20) || bytes % 2 || pool == Pool::SystemMem ||
        ((usage & usage::kDynamic) && pool != Pool::Default)) {
        return Result::InvalidCall;
    }
    *buffer = nullptr;
    if (format != Format::Index16) return Result::NotAvailable;
    MakeCurrent();
    return HandOut(new GlIndexBuffer(this, bytes, usage), buffer);
}

Result GlDevice::SetVertexDeclaration(VertexDeclaration* declaration) {
    GlDeclaration* d = dynamic_cast<GlDeclaration*>(declaration);
    if (declaration && !d) return Result::InvalidCall;
    m_declaration = d;
    return Result::Ok;
}

Result GlDevice::SetStreamSource(uint32_t stream, VertexBuffer* buffer, uint32_t offset, uint32_t stride) {
    GlVertexBuffer* b = dynamic_cast<GlVertexBuffer*>(buffer);
    // A zero stride (every vertex reading the same element) is not offered.
    if (stream >= kMaxStreams || (buffer && (!b || stride == 0))) return Result::InvalidCall;
    m_streams[stream] = b ? Stream{b, offset, stride} : Stream{};
    return Result::Ok;
}

Result GlDevice::SetIndices(IndexBuffer* buffer) {
    GlIndexBuffer* b = dynamic_cast<GlIndexBuffer*>(buffer);
    if (buffer && !b) return Result::InvalidCall;
    m_indices = b;
    return Result::Ok;
}

uint64_t GlDevice::VertexCapacity() const { return DeclarationCapacity(m_declaration->Elements(), m_streams); }

Result GlDevice::PrepareDraw() {
    if (!m_inScene || !m_program || !m_declaration) return Result::InvalidCall;
    MakeCurrent();
    if (!BindTargets()) return Result::InvalidCall;
    if (m_program->pixelFix >= 0 &&
        (m_program->viewportWidth != m_viewport.width || m_program->viewportHeight != m_viewport.height)) {
        m_gl.Uniform4f(m_program->pixelFix, 1.0f / static_cast<float>(m_viewport.width),
                       1.0f / static_cast<float>(m_viewport.height), 0.0f, 0.0f);
        m_program->viewportWidth = m_viewport.width;
        m_program->viewportHeight = m_viewport.height;
    }
    // A stage that reads only the top level (no mip filter) leaves the
    // levels below stale until a stage filters across them.
    for (uint32_t stage = 0; stage < kMaxSamplers; ++stage) {
        BaseTexture* t = m_textures[stage];
        if (t && m_samplerStates[stage][static_cast<size_t>(SamplerState::MipFilter)] !=
                     static_cast<uint32_t>(TextureFilter::None)) {
            StorageOf(t)->RefreshMips();
        }
    }
    m_gl.BindVertexArray(m_vertexArray);
    for (GLuint slot = 0; slot < kMaxStreams; ++slot) {
        const VertexElement* element = nullptr;
        for (const VertexElement& e : m_declaration->Elements()) {
            if (AttributeSlot(e.usage, e.usageIndex) == static_cast<int>(slot)) element = &e;
        }
        if (!element) {
            m_gl.DisableVertexAttribArray(slot);
            continue;
        }
        const Stream& s = m_streams[element->stream];
        m_gl.BindBuffer(GL_ARRAY_BUFFER, s.buffer->Storage().Name());
        m_gl.EnableVertexAttribArray(slot);
        const void* offset = reinterpret_cast<const void*>(static_cast<uintptr_t>(s.offset + element->offset));
        switch (element->type) {
            case DeclType::Float1:
            case DeclType::Float2:
            case DeclType::Float3:
            case DeclType::Float4:
                m_gl.VertexAttribPointer(slot, static_cast<GLint>(DeclTypeBytes(element->type) / 4), GL_FLOAT, GL_FALSE,
                                         static_cast<GLsizei>(s.stride), offset);
                break;
            // Colours are B, G, R, A bytes.
            case DeclType::Color:
                m_gl.VertexAttribPointer(slot, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, static_cast<GLsizei>(s.stride), offset);
                break;
            case DeclType::UByte4:
                m_gl.VertexAttribPointer(slot, 4, GL_UNSIGNED_BYTE, GL_FALSE, static_cast<GLsizei>(s.stride), offset);
                break;
            case DeclType::UByte4N:
                m_gl.VertexAttribPointer(slot, 4, GL_UNSIGNED_BYTE, GL_TRUE, static_cast<GLsizei>(s.stride), offset);
                break;
            case DeclType::Unused: break;
        }
    }
    return Result::Ok;
}

Result GlDevice::DrawPrimitive(PrimitiveType type, uint32_t startVertex, uint32_t primitiveCount) {
    const uint64_t vertices = PrimitiveVertexCount(type, primitiveCount);
    if (!m_declaration || vertices == 0 || startVertex + vertices > VertexCapacity()) return Result::InvalidCall;
    const Result r = PrepareDraw();
    if (Failed(r)) return r;
    m_gl.DrawArrays(PrimitiveModeOf(type), static_cast<GLint>(startVertex), static_cast<GLsizei>(vertices));
    MarkTargetsRendered();
    MarkDrawnDepth();
    return Result::Ok;
}

Result GlDevice::DrawIndexedPrimitive(PrimitiveType type, int32_t baseVertex, uint32_t /*minIndex*/,
                                      uint32_t /*vertexCount*/, uint32_t startIndex, uint32_t primitiveCount) {
    const uint64_t indices = PrimitiveVertexCount(type, primitiveCount);
    // GL must never read past a buffer: every index is checked against the streams.
    if (!m_declaration || !m_indices || indices == 0 ||
        !IndicesInRange(m_indices->Storage().Bytes(), startIndex, indices, baseVertex, VertexCapacity())) {
        return Result::InvalidCall;
    }
    const Result r = PrepareDraw();
    if (Failed(r)) return r;
    m_gl.BindBuffer(GL_ELEMENT_ARRAY_BUFFER, m_indices->Storage().Name());
    m_gl.DrawElementsBaseVertex(PrimitiveModeOf(type), static_cast<GLsizei>(indices), GL_UNSIGNED_SHORT,
                                reinterpret_cast<const void*>(static_cast<uintptr_t>(startIndex) * 2), baseVertex);
    MarkTargetsRendered();
    MarkDrawnDepth();
    return Result::Ok;
}

Result GlDevice::CreateQuery(Query** query) {
    if (!query) return Result::InvalidCall;
    *query = new GlQuery(this);
    return Result::Ok;
}

Result GlDevice::CreateEffect(const void* data, size_t size, Effect** effect, std::optional<std::string>* errors) {
    MakeCurrent();
    return CreateGlEffect(this, data, size, effect, errors);
}

}  // namespace gfx::gl
