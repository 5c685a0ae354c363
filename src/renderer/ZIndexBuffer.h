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
