#pragma once

// Bounds of draw calls, checked before anything reads buffer memory.

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/gfx/gfx.h"

namespace gfx {

// Vertices (or indices) that `primitives` primitives of a type consume; 0 for an unknown type.
inline uint64_t PrimitiveVertexCount(PrimitiveType type, uint32_t primitives) {
    const uint64_t n = primitives;
    switch (type) {
        case PrimitiveType::PointList: return n;
        case PrimitiveType::LineList: return n * 2;
        case PrimitiveType::LineStrip: return n ? n + 1 : 0;
        case PrimitiveType::TriangleList: return n * 3;
        case PrimitiveType::TriangleStrip:
        case PrimitiveType::TriangleFan: return n ? n + 2 : 0;
    }
    return 0;
}

inline const char* PrimitiveTypeName(PrimitiveType type) {
    switch (type) {
        case PrimitiveType::PointList: return "PointList";
        case PrimitiveType::LineList: return "LineList";
        case PrimitiveType::LineStrip: return "LineStrip";
        case PrimitiveType::TriangleList: return "TriangleList";
        case PrimitiveType::TriangleStrip: return "TriangleStrip";
        case PrimitiveType::TriangleFan: return "TriangleFan";
    }
    return "?";
}

// Vertices a stream can supply from its offset with its stride (unbounded when the stride is 0).
inline uint64_t StreamCapacity(uint32_t bufferBytes, uint32_t offset, uint32_t stride, uint32_t elementEnd) {
    if (offset > bufferBytes || bufferBytes - offset < elementEnd) return 0;
    if (stride == 0) return UINT64_MAX;
    return (static_cast<uint64_t>(bufferBytes - offset) - elementEnd) / stride + 1;
}

// Vertices every stream a declaration reads can supply; 0 when one of them has
// no buffer. A stream has `buffer` (with GetSize), `offset` and `stride`.
template <class Stream>
uint64_t DeclarationCapacity(const std::vector<VertexElement>& elements, const Stream* streams) {
    uint64_t capacity = UINT64_MAX;
    for (const VertexElement& e : elements) {
        const Stream& s = streams[e.stream];
        if (!s.buffer) return 0;
        capacity = std::min(capacity, StreamCapacity(s.buffer->GetSize(), s.offset, s.stride, e.offset + DeclTypeBytes(e.type)));
    }
    return capacity;
}

// Whether `count` 16-bit indices from `startIndex` lie in the index buffer and
// each, added to `baseVertex`, names a vertex below `vertexCapacity`.
inline bool IndicesInRange(const std::vector<uint8_t>& indexBytes, uint32_t startIndex, uint64_t count,
                           int32_t baseVertex, uint64_t vertexCapacity) {
    if ((startIndex + count) * 2 > indexBytes.size()) return false;
    for (uint64_t i = startIndex; i < startIndex + count; ++i) {
        const int64_t vertex = baseVertex + static_cast<int64_t>(indexBytes[i * 2] | indexBytes[i * 2 + 1] << 8);
        if (vertex < 0 || static_cast<uint64_t>(vertex) >= vertexCapacity) return false;
    }
    return true;
}

}  // namespace gfx
