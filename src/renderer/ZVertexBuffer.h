#pragma once

#include <cstdint>

#include "platform/gfx/gfx.h"

class ZIndexBuffer;

// One element of a vertex: its initial data (vertex count entries), the bytes
// of one entry (also the stream's stride), its usage code and whether it is
// rewritten every frame. Usage codes: 0 position, 1 normal, 2 tangent,
// 3 binormal (3 floats each), 4 packed colour, 5 to 12 texture coordinate
// sets 0 to 7 (1 to 4 floats), 13 blend indices, 14 blend weights (4 bytes).
struct ZStreamElement {
    const void* data = nullptr;
    uint32_t size = 0;
    uint32_t usage = 0;
    bool dynamic = false;
};

// Components of an element (bytes / 4; the bytes themselves for codes 4 and
// 13), or -1 for an unknown code.
int32_t GetStreamElementComponents(const ZStreamElement& element);
// A declaration with each element in its own stream, ended by the end marker.
// An unknown usage code shows the "Dev Error" box and gives no declaration.
bool CreateVertexDeclaration(const ZStreamElement* elements, uint32_t count, gfx::VertexDeclaration** declarationOut);

// Vertex data in one device buffer per element, so that each stream locks on
// its own. Static streams live in the managed pool and survive a reset;
// dynamic ones live in the default pool and belong to an owner that re-creates
// them around resets (ZDynamicResource).
class ZVertexBuffer {
public:
    static constexpr uint32_t kMaxStreams = 16;

    ZVertexBuffer() = default;
    ~ZVertexBuffer() { Release(); }
    ZVertexBuffer(const ZVertexBuffer&) = delete;
    ZVertexBuffer& operator=(const ZVertexBuffer&) = delete;

    // Creates a stream per element filled with its data, and the declaration.
    // False (and nothing held) without a device, with more than kMaxStreams
    // elements or when the device refuses.
    bool Create(const ZStreamElement* elements, uint32_t count, uint32_t vertexCountIn);
    // Locks a stream's whole range (with discard when dynamic and asked); null on failure.
    void* LockStream(uint32_t stream, bool discard);
    void UnlockStream(uint32_t stream);
    // Releases the streams and the declaration.
    void Release();

    gfx::VertexBuffer* streams[kMaxStreams] = {};
    uint32_t strides[kMaxStreams] = {};
    uint32_t usages[kMaxStreams] = {};
    uint32_t vertexCount = 0;
    uint32_t streamCount = 0;
    gfx::VertexDeclaration* declaration = nullptr;
    bool dynamic = false;
};

// A quad of four corners, drawn as the two triangles of the indices. False
// where either buffer cannot be made (no device).
bool BuildQuadGeometry(const float (&positions)[4][3], const float (&uv)[4][2], const uint16_t (&indices)[6],
                       ZVertexBuffer& vertices, ZIndexBuffer& indexBuffer);

// The screen-filling quad for a target of width x height: corners -1..1 with
// half-texel offsets in the texture coordinates, so that texel (x, y) lands
// on pixel (x, y); indices 0, 1, 2, 0, 2, 3.
bool BuildScreenQuadGeometry(int32_t width, int32_t height, ZVertexBuffer& vertices, ZIndexBuffer& indices);
