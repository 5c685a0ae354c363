#pragma once

// Bounds of draw calls, checked before anything reads buffer memory.

#include <cstdint>

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

}  // namespace gfx
