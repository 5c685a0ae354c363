#include "renderer/ZVertexBuffer.h"

#include <cstring>

#include "platform/window/window.h"
#include "renderer/ZIndexBuffer.h"
#include "renderer/ZRenderer.h"

namespace {

// Fills the element of a usage code; false for an unknown code or size.
bool DescribeElement(const ZStreamElement& element, gfx::VertexElement& out) {
    const int32_t components = GetStreamElementComponents(element);
    switch (element.usage) {
        case 0: out.type = gfx::DeclType::Float3; out.usage = gfx::DeclUsage::Position; return true;
        case 1: out.type = gfx::DeclType::Float3; out.usage = gfx::DeclUsage::Normal; return true;
        case 2: out.type = gfx::DeclType::Float3; out.usage = gfx::DeclUsage::Tangent; return true;
        case 3: out.type = gfx::DeclType::Float3; out.usage = gfx::DeclUsage::Binormal; return true;
        case 4: out.type = gfx::DeclType::Color; out.usage = gfx::DeclUsage::Color; return true;
        case 13: out.type = gfx::DeclType::UByte4; out.usage = gfx::DeclUsage::BlendIndices; return true;
        case 14: out.type = gfx::DeclType::UByte4N; out.usage = gfx::DeclUsage::BlendWeight; return true;
        default: break;
    }
    if (element.usage >= 5 && element.usage <= 12 && components >= 1 && components <= 4) {
        static constexpr gfx::DeclType kFloats[4] = {gfx::DeclType::Float1, gfx::DeclType::Float2,
                                                     gfx::DeclType::Float3, gfx::DeclType::Float4};
        out.type = kFloats[components - 1];
        out.usage = gfx::DeclUsage::TexCoord;
        out.usageIndex = static_cast<uint8_t>(element.usage - 5);
        return true;
    }
    return false;
}

}  // namespace

int32_t GetStreamElementComponents(const ZStreamElement& element) {
    if (element.usage > 14) {
        return -1;
    }
    if (element.usage == 4 || element.usage == 13) {
        return static_cast<int32_t>(element.size);
    }
    return static_cast<int32_t>(element.size / 4);
}

bool CreateVertexDeclaration(const ZStreamElement* elements, const uint32_t count,
                             gfx::VertexDeclaration** declarationOut) {
    *declarationOut = nullptr;
    ZRenderer* renderer = GetRenderer();
    gfx::Device* device = renderer->GetDevice();
    if (elements == nullptr || count == 0 || count > ZVertexBuffer::kMaxStreams) {
        return false;
    }
    gfx::VertexElement decl[ZVertexBuffer::kMaxStreams + 1];
    for (uint32_t i = 0; i < count; ++i) {
        decl[i] = gfx::VertexElement{static_cast<uint16_t>(i), 0, gfx::DeclType::Float3, gfx::DeclUsage::Position, 0};
        if (!DescribeElement(elements[i], decl[i])) {
            platform::window::MessageBox("Dev Error", "Dev Error: Bad stream usage hint.",
                                         platform::window::MB_OK | platform::window::MB_ICONERROR);
            return false;
        }
    }
    decl[count] = gfx::kDeclEnd;
    if (device == nullptr) {
        return false;
    }
    return gfx::Succeeded(renderer->Check(device->CreateVertexDeclaration(decl, count, declarationOut)));
}

bool ZVertexBuffer::Create(const ZStreamElement* elements, const uint32_t count, const uint32_t vertexCountIn) {
    Release();
    ZRenderer* renderer = GetRenderer();
    gfx::Device* device = renderer->GetDevice();
    if (device == nullptr || elements == nullptr || count == 0 || count > kMaxStreams || vertexCountIn == 0) {
        return false;
    }
    vertexCount = vertexCountIn;
    streamCount = count;
    dynamic = false;
    for (uint32_t i = 0; i < count; ++i) {
        const ZStreamElement& e = elements[i];
        const uint64_t bytes = uint64_t{e.size} * vertexCount;
        if (e.size == 0 || bytes > UINT32_MAX) {
            Release();
            return false;
        }
        const uint32_t use = e.dynamic ? gfx::usage::kDynamic | gfx::usage::kWriteOnly : 0;
        const gfx::Pool pool = e.dynamic ? gfx::Pool::Default : gfx::Pool::Managed;
        if (gfx::Failed(renderer->Check(
                device->CreateVertexBuffer(static_cast<uint32_t>(bytes), use, pool, &streams[i])))) {
            streams[i] = nullptr;
            Release();
            return false;
        }
        dynamic = dynamic || e.dynamic;
        strides[i] = e.size;
        usages[i] = e.usage;
        if (e.data != nullptr) {
            void* data = nullptr;
            if (gfx::Failed(renderer->Check(streams[i]->Lock(0, 0, &data, 0)))) {
                Release();
                return false;
            }
            std::memcpy(data, e.data, static_cast<size_t>(bytes));
            renderer->Check(streams[i]->Unlock());
        }
    }
    if (!CreateVertexDeclaration(elements, count, &declaration)) {
        Release();
        return false;
    }
    return true;
}

void* ZVertexBuffer::LockStream(const uint32_t stream, const bool discard) {
    if (stream >= streamCount || streams[stream] == nullptr) {
        return nullptr;
    }
    void* data = nullptr;
    const uint32_t flags = dynamic && discard ? gfx::lock::kDiscard : 0;
    if (gfx::Failed(GetRenderer()->Check(streams[stream]->Lock(0, strides[stream] * vertexCount, &data, flags)))) {
        return nullptr;
    }
    return data;
}

void ZVertexBuffer::UnlockStream(const uint32_t stream) {
    if (stream < streamCount && streams[stream] != nullptr) {
        GetRenderer()->Check(streams[stream]->Unlock());
    }
}

void ZVertexBuffer::Release() {
    ZRenderer* renderer = PeekRenderer();
    if (renderer != nullptr && renderer->currentVertexBuffer == this) {
        renderer->currentVertexBuffer = nullptr;
    }
    for (gfx::VertexBuffer*& stream : streams) {
        if (stream != nullptr) {
            const uint32_t left = stream->Release();
            if (renderer != nullptr) renderer->lastReleaseCount = left;
            stream = nullptr;
        }
    }
    if (declaration != nullptr) {
        declaration->Release();
        declaration = nullptr;
    }
    for (uint32_t i = 0; i < kMaxStreams; ++i) {
        strides[i] = 0;
        usages[i] = 0;
    }
    vertexCount = 0;
    streamCount = 0;
    dynamic = false;
}

bool BuildQuadGeometry(const float (&positions)[4][3], const float (&uv)[4][2], const uint16_t (&indices)[6],
                       ZVertexBuffer& vertices, ZIndexBuffer& indexBuffer) {
    const ZStreamElement elements[2] = {{positions, 12, 0, false}, {uv, 8, 5, false}};
    return vertices.Create(elements, 2, 4) && indexBuffer.Create(indices, 6);
}

bool BuildScreenQuadGeometry(const int32_t width, const int32_t height, ZVertexBuffer& vertices,
                             ZIndexBuffer& indices) {
    const float hx = width != 0 ? 1.0f / (2.0f * static_cast<float>(width)) : 0.0f;
    const float hy = height != 0 ? 1.0f / (2.0f * static_cast<float>(height)) : 0.0f;
    const float positions[4][3] = {{-1, -1, 0}, {1, -1, 0}, {1, 1, 0}, {-1, 1, 0}};
    const float uv[4][2] = {{hx, 1 + hy}, {1 + hx, 1 + hy}, {1 + hx, hy}, {hx, hy}};
    static constexpr uint16_t kIndices[6] = {0, 1, 2, 0, 2, 3};
    return BuildQuadGeometry(positions, uv, kIndices, vertices, indices);
}
