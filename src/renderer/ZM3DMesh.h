#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class ZRenderable;

// A ".m3d" mesh file read into memory: a 20-byte header (magic, major and
// minor version, element, vertex and index counts), a tangent flag byte from
// version 2.1 on (each of major >= 2 and minor >= 1), the 16-bit indices and
// one stream per element. Every count and size is checked against the bytes
// there are; a file that does not fit is refused with a reason.
class ZM3DMesh {
public:
    static constexpr uint32_t kHeaderBytes = 20;
    static constexpr uint32_t kMaxStreams = 16;

    struct Stream {
        std::vector<uint8_t> data;
        uint32_t size = 0;   // bytes per vertex
        uint32_t usage = 0;  // element type: 0 position .. 12 texture coordinate set 7
    };

    // False (see GetError) when refused; the mesh is then empty.
    bool Parse(const uint8_t* data, size_t size);
    const char* GetError() const { return m_error; }

    std::vector<Stream> streams;
    std::vector<uint16_t> indices;
    uint32_t vertexCount = 0;
    uint8_t major = 0;
    uint8_t minor = 0;
    // The file asked for tangents: a tangent stream was added after its elements,
    // unless its first three elements are not position, normal and 2-float uv.
    bool wantsTangents = false;
    // Set when an element's type or size names no stream the vertex
    // declaration can describe (a texture coordinate of other than 1 or 2
    // floats, or an unknown type).
    bool badStreamUsage = false;
    bool tangentsAdded = false;

private:
    bool Refuse(const char* why);
    // Appends the tangent stream and normalises the normals.
    void ComputeTangents();

    const char* m_error = "";
};

// Reads the mesh through the stream manager and gives the renderable a new
// vertex and index buffer (its old ones, if any, stay with their owner). A
// missing file is reported by the stream manager; a refused or old one with a
// box or a log line; the renderable then keeps what it had. True when the
// buffers were made.
bool LoadM3DMesh(const char* fileName, ZRenderable* renderable);
