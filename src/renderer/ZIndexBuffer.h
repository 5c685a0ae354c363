#pragma once

#include <cstdint>

#include "platform/gfx/gfx.h"

// 16-bit indices in one managed device buffer.
class ZIndexBuffer {
public:
    ZIndexBuffer() = default;
    ~ZIndexBuffer() { Release(); }
    ZIndexBuffer(const ZIndexBuffer&) = delete;
    ZIndexBuffer& operator=(const ZIndexBuffer&) = delete;

    // False (and nothing held) without a device or indices, or when the device refuses.
    bool Create(const uint16_t* indices, uint32_t count);
    void Release();

    gfx::IndexBuffer* buffer = nullptr;
    uint32_t indexCount = 0;
};

// Frees a heap-made holder (such as a mesh file's index buffer): its buffer is
// released, the count that release left is the renderer's lastReleaseCount (0
// when the holder held none), and the holder is deleted and set to null. The
// renderer is made first when it does not exist. A null holder does nothing.
void ReleaseD3DObjectHolder(ZIndexBuffer*& holder);
