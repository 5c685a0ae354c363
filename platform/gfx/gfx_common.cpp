#include <cstring>
#include <vector>

#include "platform/gfx/fake/fake_gfx.h"
#include "platform/gfx/gfx.h"
#include "platform/gfx/gl/gl_system.h"

namespace gfx {

namespace {

struct ResultText {
    Result result;
    const char* name;
    const char* description;
};

// The names are those the renderer's log lines and error box quote.
constexpr ResultText kResults[] = {
    {Result::Ok, "D3D_OK", "No error occurred."},
    {Result::False, "S_FALSE", "The call succeeded but the result is not ready yet."},
    {Result::InvalidCall, "D3DERR_INVALIDCALL",
     "The call is invalid: a parameter is out of range, or the object is in the wrong state for it."},
    {Result::NotAvailable, "D3DERR_NOTAVAILABLE",
     "The graphics device does not offer the requested format, mode or feature."},
    {Result::OutOfVideoMemory, "D3DERR_OUTOFVIDEOMEMORY",
     "There is not enough video memory to complete the call."},
    {Result::DeviceLost, "D3DERR_DEVICELOST", "The graphics device is lost and cannot be reset yet."},
    {Result::DeviceNotReset, "D3DERR_DEVICENOTRESET",
     "The graphics device was lost and can now be reset."},
    {Result::DriverInternalError, "D3DERR_DRIVERINTERNALERROR",
     "The graphics driver reported an internal error."},
    {Result::NotFound, "GFXERR_NOTFOUND", "The requested object does not exist."},
    {Result::OutOfMemory, "GFXERR_OUTOFMEMORY", "There is not enough system memory to complete the call."},
    {Result::CompileFailed, "GFXERR_COMPILEFAILED", "The effect could not be read or compiled."},
};

const ResultText* FindResult(Result r) {
    for (const ResultText& t : kResults) {
        if (t.result == r) return &t;
    }
    return nullptr;
}

}  // namespace

const char* ResultName(Result r) {
    const ResultText* t = FindResult(r);
    return t ? t->name : "GFXERR_UNKNOWN";
}

const char* ResultDescription(Result r) {
    const ResultText* t = FindResult(r);
    return t ? t->description : "An unknown error occurred.";
}

const char* FormatName(Format f) {
    switch (f) {
        case Format::Unknown: return "Unknown";
        case Format::A8R8G8B8: return "A8R8G8B8";
        case Format::X8R8G8B8: return "X8R8G8B8";
        case Format::R5G6B5: return "R5G6B5";
        case Format::X1R5G5B5: return "X1R5G5B5";
        case Format::A1R5G5B5: return "A1R5G5B5";
        case Format::A8: return "A8";
        case Format::A2R10G10B10: return "A2R10G10B10";
        case Format::L8: return "L8";
        case Format::D24S8: return "D24S8";
        case Format::Index16: return "Index16";
        case Format::R16F: return "R16F";
        case Format::A16B16G16R16F: return "A16B16G16R16F";
        case Format::A32B32G32R32F: return "A32B32G32R32F";
        case Format::DXT1: return "DXT1";
        case Format::DXT2: return "DXT2";
        case Format::DXT3: return "DXT3";
        case Format::DXT4: return "DXT4";
        case Format::DXT5: return "DXT5";
    }
    return "Unknown";
}

uint32_t FormatBytes(Format f) {
    switch (f) {
        case Format::A8R8G8B8:
        case Format::X8R8G8B8:
        case Format::A2R10G10B10:
        case Format::D24S8: return 4;
        case Format::R5G6B5:
        case Format::X1R5G5B5:
        case Format::A1R5G5B5:
        case Format::Index16:
        case Format::R16F: return 2;
        case Format::A8:
        case Format::L8: return 1;
        case Format::A16B16G16R16F: return 8;
        case Format::A32B32G32R32F: return 16;
        case Format::DXT1: return 8;
        case Format::DXT2:
        case Format::DXT3:
        case Format::DXT4:
        case Format::DXT5: return 16;
        case Format::Unknown: return 0;
    }
    return 0;
}

bool IsBlockFormat(Format f) {
    return f == Format::DXT1 || f == Format::DXT2 || f == Format::DXT3 || f == Format::DXT4 ||
           f == Format::DXT5;
}

uint32_t DisplayFormatBits(Format f) {
    switch (f) {
        case Format::A8R8G8B8:
        case Format::X8R8G8B8:
        case Format::A2R10G10B10: return 32;
        case Format::R5G6B5:
        case Format::X1R5G5B5:
        case Format::A1R5G5B5: return 16;
        default: return 0;
    }
}

uint32_t RowBytes(Format f, uint32_t width) {
    if (IsBlockFormat(f)) return ((width + 3) / 4 > 0 ? (width + 3) / 4 : 1) * FormatBytes(f);
    return width * FormatBytes(f);
}

uint32_t RowCount(Format f, uint32_t height) {
    if (IsBlockFormat(f)) return (height + 3) / 4 > 0 ? (height + 3) / 4 : 1;
    return height;
}

uint32_t DefaultRenderState(RenderState s) {
    switch (s) {
        case RenderState::ZEnable: return 0;  // no automatic depth-stencil surface
        case RenderState::FillMode: return static_cast<uint32_t>(FillMode::Solid);
        case RenderState::ZWriteEnable: return 1;
        case RenderState::SrcBlend: return static_cast<uint32_t>(Blend::One);
        case RenderState::DestBlend: return static_cast<uint32_t>(Blend::Zero);
        case RenderState::CullMode: return static_cast<uint32_t>(Cull::CCW);
        case RenderState::ZFunc: return static_cast<uint32_t>(Compare::LessEqual);
        case RenderState::AlphaBlendEnable: return 0;
        case RenderState::Lighting: return 1;
        case RenderState::ScissorTestEnable: return 0;
        case RenderState::ColorWriteEnable: return colorwrite::kAll;
        case RenderState::BlendOp: return static_cast<uint32_t>(BlendOp::Add);
        case RenderState::BlendFactor: return 0xFFFFFFFFu;
        case RenderState::SeparateAlphaBlendEnable: return 0;
        case RenderState::SrcBlendAlpha: return static_cast<uint32_t>(Blend::One);
        case RenderState::DestBlendAlpha: return static_cast<uint32_t>(Blend::Zero);
        case RenderState::BlendOpAlpha: return static_cast<uint32_t>(BlendOp::Add);
        case RenderState::Count: break;
    }
    return 0;
}

uint32_t DefaultSamplerState(SamplerState s) {
    switch (s) {
        case SamplerState::AddressU:
        case SamplerState::AddressV:
        case SamplerState::AddressW: return static_cast<uint32_t>(TextureAddress::Wrap);
        case SamplerState::BorderColor: return 0;
        case SamplerState::MagFilter:
        case SamplerState::MinFilter: return static_cast<uint32_t>(TextureFilter::Point);
        case SamplerState::MipFilter: return static_cast<uint32_t>(TextureFilter::None);
        case SamplerState::MaxAnisotropy: return 1;
        case SamplerState::Count: break;
    }
    return 0;
}

const char* RenderStateName(RenderState s) {
    switch (s) {
        case RenderState::ZEnable: return "ZEnable";
        case RenderState::FillMode: return "FillMode";
        case RenderState::ZWriteEnable: return "ZWriteEnable";
        case RenderState::SrcBlend: return "SrcBlend";
        case RenderState::DestBlend: return "DestBlend";
        case RenderState::CullMode: return "CullMode";
        case RenderState::ZFunc: return "ZFunc";
        case RenderState::AlphaBlendEnable: return "AlphaBlendEnable";
        case RenderState::Lighting: return "Lighting";
        case RenderState::ScissorTestEnable: return "ScissorTestEnable";
        case RenderState::ColorWriteEnable: return "ColorWriteEnable";
        case RenderState::BlendOp: return "BlendOp";
        case RenderState::BlendFactor: return "BlendFactor";
        case RenderState::SeparateAlphaBlendEnable: return "SeparateAlphaBlendEnable";
        case RenderState::SrcBlendAlpha: return "SrcBlendAlpha";
        case RenderState::DestBlendAlpha: return "DestBlendAlpha";
        case RenderState::BlendOpAlpha: return "BlendOpAlpha";
        case RenderState::Count: break;
    }
    return "?";
}

const char* SamplerStateName(SamplerState s) {
    switch (s) {
        case SamplerState::AddressU: return "AddressU";
        case SamplerState::AddressV: return "AddressV";
        case SamplerState::AddressW: return "AddressW";
        case SamplerState::BorderColor: return "BorderColor";
        case SamplerState::MagFilter: return "MagFilter";
        case SamplerState::MinFilter: return "MinFilter";
        case SamplerState::MipFilter: return "MipFilter";
        case SamplerState::MaxAnisotropy: return "MaxAnisotropy";
        case SamplerState::Count: break;
    }
    return "?";
}

uint32_t DeclTypeBytes(DeclType t) {
    switch (t) {
        case DeclType::Float1: return 4;
        case DeclType::Float2: return 8;
        case DeclType::Float3: return 12;
        case DeclType::Float4: return 16;
        case DeclType::Color:
        case DeclType::UByte4:
        case DeclType::UByte4N: return 4;
        case DeclType::Unused: return 0;
    }
    return 0;
}

int AttributeSlot(DeclUsage usage, uint32_t usageIndex) {
    if (usage == DeclUsage::TexCoord) return usageIndex < 8 ? 5 + static_cast<int>(usageIndex) : -1;
    if (usageIndex != 0) return -1;
    switch (usage) {
        case DeclUsage::Position: return 0;
        case DeclUsage::Normal: return 1;
        case DeclUsage::Tangent: return 2;
        case DeclUsage::Binormal: return 3;
        case DeclUsage::Color: return 4;
        case DeclUsage::BlendIndices: return 13;
        case DeclUsage::BlendWeight: return 14;
        case DeclUsage::TexCoord: break;
    }
    return -1;
}

uint32_t Object::AddRef() { return ++m_refs; }

uint32_t Object::Release() {
    const uint32_t left = --m_refs;
    if (left == 0) delete this;
    return left;
}

System* CreateSystem(Backend backend) {
    switch (backend) {
        case Backend::OpenGL: return gl::CreateSystem();
        case Backend::Fake: return fake::CreateSystem(std::make_shared<fake::State>());
    }
    return nullptr;
}

Result ReadTargetBGRA(Device* device, Surface* target, uint8_t* out, uint32_t width, uint32_t height) {
    if (!device || !target || !out) return Result::InvalidCall;
    SurfaceDesc desc;
    Result r = target->GetDesc(&desc);
    if (Failed(r)) return r;
    if (desc.width != width || desc.height != height ||
        (desc.format != Format::X8R8G8B8 && desc.format != Format::A8R8G8B8)) {
        return Result::InvalidCall;
    }
    Ref<Surface> copy;
    r = device->CreateOffscreenPlainSurface(width, height, desc.format, Pool::SystemMem, copy.Out());
    if (Failed(r)) return r;
    r = device->GetRenderTargetData(target, copy.Get());
    if (Failed(r)) return r;
    LockedRect locked;
    r = copy->LockRect(&locked, nullptr, lock::kReadOnly);
    if (Failed(r)) return r;
    // Copy row by row: the surface's pitch may be wider than the row.
    for (uint32_t y = 0; y < height; ++y) {
        std::memcpy(out + static_cast<size_t>(y) * width * 4,
                    static_cast<const uint8_t*>(locked.bits) + static_cast<size_t>(y) * locked.pitch,
                    static_cast<size_t>(width) * 4);
    }
    copy->UnlockRect();
    return Result::Ok;
}

}  // namespace gfx
