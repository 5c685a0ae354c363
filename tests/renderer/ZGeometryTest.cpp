// Geometry: vertex declarations from usage codes, vertex and index buffers,
// binding, drawing by primitive type, the screen quad and M3D meshes.

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "RendererFiles.h"
#include "RendererFixture.h"
#include "renderer/ZIndexBuffer.h"
#include "renderer/ZM3DMesh.h"
#include "renderer/ZRenderable.h"
#include "renderer/ZVertexBuffer.h"

using namespace rtest;

namespace {

const uint8_t* Bytes(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }

std::vector<float> ReadFloats(ZVertexBuffer& buffer, uint32_t stream) {
    const uint32_t count = buffer.strides[stream] * buffer.vertexCount / 4;
    std::vector<float> out(count);
    const void* data = buffer.LockStream(stream, false);
    if (data == nullptr) return {};
    std::memcpy(out.data(), data, 4 * static_cast<size_t>(count));
    buffer.UnlockStream(stream);
    return out;
}

}  // namespace

TEST_F(RendererTest, DeclarationsPutEachElementInItsOwnStream) {
    Start();
    struct Case {
        std::vector<ZStreamElement> elements;
        const char* declaration;
    };
    const Case cases[] = {
        {{{nullptr, 12, 0, false}, {nullptr, 8, 5, false}, {nullptr, 4, 4, false}},
         "CreateVertexDeclaration(Position0 Float3 stream 0, TexCoord0 Float2 stream 1, Color0 Color stream 2)"},
        {{{nullptr, 12, 1, false}, {nullptr, 12, 2, false}, {nullptr, 12, 3, false}},
         "CreateVertexDeclaration(Normal0 Float3 stream 0, Tangent0 Float3 stream 1, Binormal0 Float3 stream 2)"},
        {{{nullptr, 4, 6, false}, {nullptr, 12, 7, false}, {nullptr, 16, 12, false}},
         "CreateVertexDeclaration(TexCoord1 Float1 stream 0, TexCoord2 Float3 stream 1, TexCoord7 Float4 stream 2)"},
        {{{nullptr, 4, 13, false}, {nullptr, 4, 14, false}},
         "CreateVertexDeclaration(BlendIndices0 UByte4 stream 0, BlendWeight0 UByte4N stream 1)"},
    };
    for (const Case& c : cases) {
        ClearCalls();
        gfx::VertexDeclaration* declaration = nullptr;
        ASSERT_TRUE(CreateVertexDeclaration(c.elements.data(), static_cast<uint32_t>(c.elements.size()), &declaration))
            << Calls();
        EXPECT_TRUE(Logged(c.declaration)) << Calls();
        declaration->Release();
    }

    const ZStreamElement bad[2] = {{nullptr, 12, 0, false}, {nullptr, 4, 15, false}};
    gfx::VertexDeclaration* declaration = nullptr;
    EXPECT_FALSE(CreateVertexDeclaration(bad, 2, &declaration));
    EXPECT_EQ(declaration, nullptr);
    ASSERT_FALSE(window->Boxes().empty());
    EXPECT_EQ(window->Boxes().back().caption, "Dev Error");
    EXPECT_EQ(window->Boxes().back().text, "Dev Error: Bad stream usage hint.");
}

TEST(ZStreamElement, ComponentCounts) {
    struct Case {
        uint32_t usage, size;
        int32_t components;
    };
    const Case cases[] = {{0, 12, 3}, {5, 8, 2}, {12, 16, 4}, {4, 4, 4}, {13, 4, 4}, {14, 4, 1}, {15, 12, -1}};
    for (const Case& c : cases) {
        EXPECT_EQ(GetStreamElementComponents({nullptr, c.size, c.usage, false}), c.components) << c.usage;
    }
}

TEST_F(RendererTest, VertexBuffersByPoolAndLockedWithDiscardOnlyWhenDynamic) {
    Start();
    const float positions[6] = {1, 2, 3, 4, 5, 6};
    const uint32_t colours[2] = {0xFF0000FFu, 0xFF00FF00u};
    const ZStreamElement elements[2] = {{positions, 12, 0, false}, {colours, 4, 4, true}};
    ZVertexBuffer buffer;
    ClearCalls();
    ASSERT_TRUE(buffer.Create(elements, 2, 2));
    EXPECT_TRUE(Logged("CreateVertexBuffer(24, usage 0x0, Managed)")) << Calls();
    EXPECT_TRUE(Logged("CreateVertexBuffer(8, usage 0x208, Default)")) << Calls();
    EXPECT_TRUE(buffer.dynamic);
    EXPECT_EQ(ReadFloats(buffer, 0), std::vector<float>(positions, positions + 6));

    ClearCalls();
    ASSERT_NE(buffer.LockStream(1, true), nullptr);
    buffer.UnlockStream(1);
    EXPECT_TRUE(Logged("VertexBuffer.Lock(#" + std::to_string(gfx::fake::IdOf(buffer.streams[1])) + ", 0, 8, flags 0x2000)"))
        << Calls();
    EXPECT_EQ(buffer.LockStream(2, true), nullptr) << "no such stream";

    ZStreamElement many[17];
    for (ZStreamElement& e : many) e = {positions, 12, 5, false};
    ZVertexBuffer tooMany;
    EXPECT_FALSE(tooMany.Create(many, 17, 2));
    EXPECT_EQ(tooMany.streamCount, 0u);
}

TEST_F(RendererTest, DrawingBindsOnceAndDrawsByPrimitiveType) {
    Start();
    ZRenderer* r = GetRenderer();
    ZRenderable quad;
    ZVertexBuffer vertices;
    ZIndexBuffer indices;
    ASSERT_TRUE(BuildScreenQuadGeometry(256, 224, vertices, indices));
    quad.vertexBuffer = &vertices;
    ASSERT_TRUE(r->BeginScene());

    // Without indices of its own a list draws nothing.
    ClearCalls();
    quad.Draw(r, nullptr);
    EXPECT_FALSE(Logged("DrawIndexedPrimitive"));
    EXPECT_EQ(Count("SetStreamSource"), 16u);

    quad.indexBuffer = &indices;
    struct Case {
        int32_t type;
        const char* draw;  // null: nothing is drawn
    };
    const Case cases[] = {
        {ZRenderable::kTriangleList, "DrawIndexedPrimitive(TriangleList, 0, 0, 4, 0, 2)"},
        {ZRenderable::kLineList, "DrawIndexedPrimitive(LineList, 0, 0, 4, 0, 3)"},
        {ZRenderable::kPointList, "DrawPrimitive(PointList, 0, 4)"},
        {7, nullptr},
    };
    for (const Case& c : cases) {
        quad.primitiveType = c.type;
        ClearCalls();
        quad.Draw(r, nullptr);
        // The same buffers stay bound.
        EXPECT_EQ(Count("SetStreamSource"), 0u);
        EXPECT_EQ(Count("SetVertexDeclaration"), 0u);
        if (c.draw != nullptr) {
            EXPECT_TRUE(Logged(c.draw)) << Calls();
        } else {
            EXPECT_FALSE(Logged("Draw")) << Calls();
        }
    }
    EXPECT_EQ(Count("SetIndices"), 0u);
    r->EndScene();
}

TEST_F(RendererTest, TheScreenQuadLinesTexelsUpWithPixels) {
    Start();
    ZVertexBuffer vertices;
    ZIndexBuffer indices;
    ASSERT_TRUE(BuildScreenQuadGeometry(256, 224, vertices, indices));
    EXPECT_EQ(vertices.usages[0], 0u);
    EXPECT_EQ(vertices.usages[1], 5u);
    EXPECT_EQ(ReadFloats(vertices, 0), (std::vector<float>{-1, -1, 0, 1, -1, 0, 1, 1, 0, -1, 1, 0}));
    const float hx = 1.0f / 512.0f, hy = 1.0f / 448.0f;
    EXPECT_EQ(ReadFloats(vertices, 1), (std::vector<float>{hx, 1 + hy, 1 + hx, 1 + hy, 1 + hx, hy, hx, hy}));
    EXPECT_EQ(indices.indexCount, 6u);

    ZVertexBuffer unsized;
    ZIndexBuffer unsizedIndices;
    ASSERT_TRUE(BuildScreenQuadGeometry(0, 0, unsized, unsizedIndices));
    EXPECT_EQ(ReadFloats(unsized, 1), (std::vector<float>{0, 1, 1, 1, 1, 0, 0, 0}));
}

TEST(ZM3DMesh, TheFlagByteComesWithMinorVersionsFromOne) {
    struct Case {
        uint8_t major, minor;
        bool hasFlag;
    };
    const Case cases[] = {{2, 0, false}, {2, 1, true}, {2, 2, true}, {3, 0, false}, {3, 1, true}, {1, 5, false}};
    for (const Case& c : cases) {
        rfiles::M3D m = rfiles::QuadMesh();
        m.major = c.major;
        m.minor = c.minor;
        m.tangentFlag = 1;
        const std::string bytes = m.Bytes();
        ZM3DMesh mesh;
        ASSERT_TRUE(mesh.Parse(Bytes(bytes), bytes.size())) << int(c.major) << "." << int(c.minor) << mesh.GetError();
        EXPECT_EQ(mesh.wantsTangents, c.hasFlag);
        EXPECT_EQ(mesh.streams.size(), c.hasFlag ? 4u : 3u);
    }
}

TEST(ZM3DMesh, TangentsFollowTheTextureDirectionAndNormalsAreNormalised) {
    rfiles::M3D m = rfiles::QuadMesh();
    m.tangentFlag = 1;
    const std::string bytes = m.Bytes();
    ZM3DMesh mesh;
    ASSERT_TRUE(mesh.Parse(Bytes(bytes), bytes.size())) << mesh.GetError();
    ASSERT_EQ(mesh.streams.size(), 4u);
    EXPECT_TRUE(mesh.tangentsAdded);
    EXPECT_EQ(mesh.streams[3].usage, 2u);
    EXPECT_EQ(mesh.streams[3].size, 12u);
    std::vector<float> tangents(12), normals(12);
    std::memcpy(tangents.data(), mesh.streams[3].data.data(), 48);
    std::memcpy(normals.data(), mesh.streams[1].data.data(), 48);
    EXPECT_EQ(tangents, (std::vector<float>{1, 0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0}));
    EXPECT_EQ(normals, (std::vector<float>{0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1}));

    // A vertex no triangle uses keeps a zero tangent and its normal.
    rfiles::M3D loose = rfiles::QuadMesh();
    loose.tangentFlag = 1;
    loose.indices = {0, 1, 2};
    const std::string looseBytes = loose.Bytes();
    ASSERT_TRUE(mesh.Parse(Bytes(looseBytes), looseBytes.size()));
    std::memcpy(tangents.data(), mesh.streams[3].data.data(), 48);
    std::memcpy(normals.data(), mesh.streams[1].data.data(), 48);
    EXPECT_EQ(tangents[9], 0.0f);
    EXPECT_EQ(normals[11], 2.0f);

    // Tangents need position, normal and 2-float uv first.
    rfiles::M3D other = rfiles::QuadMesh();
    other.tangentFlag = 1;
    std::swap(other.elements[0], other.elements[2]);
    const std::string otherBytes = other.Bytes();
    ASSERT_TRUE(mesh.Parse(Bytes(otherBytes), otherBytes.size()));
    EXPECT_FALSE(mesh.tangentsAdded);
    EXPECT_EQ(mesh.streams.size(), 3u);
}

TEST(ZM3DMesh, RefusesFilesThatDoNotFit) {
    struct Case {
        const char* what;
        void (*change)(rfiles::M3D&);
        size_t cut;
    };
    const Case cases[] = {
        {"32-bit indices", [](rfiles::M3D& m) { m.indexSize = 4; }, 0},
        {"index beyond the vertices", [](rfiles::M3D& m) { m.indices[4] = 4; }, 0},
        {"no vertices", [](rfiles::M3D& m) { m.vertexCount = 0; }, 0},
        {"more vertices than data", [](rfiles::M3D& m) { m.vertexCount = 5; }, 0},
        {"huge index count", [](rfiles::M3D& m) { m.indexCountField = 0x7FFFFFFF; }, 0},
        {"huge vertex count", [](rfiles::M3D& m) { m.vertexCount = 0xFFFFFFFF; }, 0},
        {"seventeen elements", [](rfiles::M3D& m) { m.elementCountField = 17; }, 0},
        {"no elements", [](rfiles::M3D& m) { m.elementCountField = 0; }, 0},
        {"unknown element type", [](rfiles::M3D& m) { m.elements[2].type = 13; }, 0},
        {"three-float uv", [](rfiles::M3D& m) { m.elements[2].size = 12; }, 0},
        {"cut in an element", [](rfiles::M3D&) {}, 1},
        {"cut in the header", [](rfiles::M3D&) {}, 200},
    };
    for (const Case& c : cases) {
        rfiles::M3D m = rfiles::QuadMesh();
        c.change(m);
        std::string bytes = m.Bytes();
        bytes.resize(bytes.size() > c.cut ? bytes.size() - c.cut : 0);
        ZM3DMesh mesh;
        EXPECT_FALSE(mesh.Parse(Bytes(bytes), bytes.size())) << c.what;
        EXPECT_STRNE(mesh.GetError(), "") << c.what;
        EXPECT_TRUE(mesh.streams.empty()) << c.what;
    }
}

TEST_F(RendererTest, MeshesGiveTheRenderableNewBuffers) {
    Start();
    WriteFile("quad.m3d", rfiles::QuadMesh().Bytes());
    rfiles::M3D broken = rfiles::QuadMesh();
    broken.indexSize = 4;
    WriteFile("broken.m3d", broken.Bytes());
    rfiles::M3D old = rfiles::QuadMesh();
    old.major = 1;
    old.minor = 0;
    WriteFile("old.m3d", old.Bytes());

    ZRenderable renderable;
    ClearCalls();
    ASSERT_TRUE(LoadM3DMesh("quad.m3d", &renderable));
    std::unique_ptr<ZVertexBuffer> vertices(renderable.vertexBuffer);
    std::unique_ptr<ZIndexBuffer> indices(renderable.indexBuffer);
    ASSERT_NE(vertices, nullptr);
    EXPECT_EQ(vertices->streamCount, 3u);
    EXPECT_EQ(vertices->vertexCount, 4u);
    EXPECT_EQ(indices->indexCount, 6u);
    EXPECT_TRUE(Logged("CreateVertexDeclaration(Position0 Float3 stream 0, Normal0 Float3 stream 1, TexCoord0 Float2 "
                       "stream 2)"))
        << Calls();

    ZRenderable untouched;
    EXPECT_FALSE(LoadM3DMesh("broken.m3d", &untouched));
    EXPECT_FALSE(LoadM3DMesh("absent.m3d", &untouched));
    EXPECT_FALSE(LoadM3DMesh(nullptr, &untouched));
    EXPECT_EQ(untouched.vertexBuffer, nullptr);
    EXPECT_EQ(untouched.indexBuffer, nullptr);

    const size_t boxes = window->Boxes().size();
    ZRenderable legacy;
    EXPECT_TRUE(LoadM3DMesh("old.m3d", &legacy));
    ASSERT_EQ(window->Boxes().size(), boxes + 1);
    EXPECT_EQ(window->Boxes().back().caption, "Error");
    EXPECT_EQ(window->Boxes().back().text, "M3D versions below 2.0 are no longer supported.");
    delete legacy.vertexBuffer;
    delete legacy.indexBuffer;

    // A texture coordinate of three floats, or an unknown element type: the
    // mesh is refused with the vertex declaration's report.
    struct Case {
        uint32_t type;
        uint32_t size;
    };
    const Case bad[] = {{5, 12}, {12, 0}, {13, 12}};
    for (const Case& c : bad) {
        rfiles::M3D odd = rfiles::QuadMesh();
        odd.elements[2].type = c.type;
        odd.elements[2].size = c.size;
        WriteFile("odd.m3d", odd.Bytes());
        const size_t before = window->Boxes().size();
        ZRenderable refused;
        EXPECT_FALSE(LoadM3DMesh("odd.m3d", &refused)) << c.type << " " << c.size;
        EXPECT_EQ(refused.vertexBuffer, nullptr);
        ASSERT_EQ(window->Boxes().size(), before + 1) << c.type << " " << c.size;
        EXPECT_EQ(window->Boxes().back().caption, "Dev Error");
        EXPECT_EQ(window->Boxes().back().text, "Dev Error: Bad stream usage hint.");
    }
}

// A mesh's index buffer is a heap-made holder: freeing it leaves the count
// its buffer's release returned in the renderer, and the holder null.
TEST_F(RendererTest, ReleasingAnIndexHolderKeepsTheReleaseCount) {
    Start();
    static constexpr uint16_t kIndices[6] = {0, 1, 2, 0, 2, 3};
    auto* holder = new ZIndexBuffer();
    ASSERT_TRUE(holder->Create(kIndices, 6));
    // Another holder of the same device buffer: its release leaves one reference.
    gfx::IndexBuffer* shared = holder->buffer;
    shared->AddRef();
    ReleaseD3DObjectHolder(holder);
    EXPECT_EQ(holder, nullptr);
    EXPECT_EQ(GetRenderer()->lastReleaseCount, 1u);
    EXPECT_EQ(shared->Release(), 0u);

    auto* empty = new ZIndexBuffer();
    GetRenderer()->lastReleaseCount = 7;
    ReleaseD3DObjectHolder(empty);
    EXPECT_EQ(empty, nullptr);
    EXPECT_EQ(GetRenderer()->lastReleaseCount, 0u) << "a holder without a buffer released nothing";
    ZIndexBuffer* none = nullptr;
    ReleaseD3DObjectHolder(none);
}
