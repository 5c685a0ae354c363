#include "renderer/ZIndexBuffer.h"

#include <cstring>

#include "renderer/ZRenderer.h"

bool ZIndexBuffer::Create(const uint16_t* indices, const uint32_t count) {
    Release();
    ZRenderer* renderer = GetRenderer();
    gfx::Device* device = renderer->GetDevice();
    if (device == nullptr || indices == nullptr || count == 0 || count > UINT32_MAX / 2) {
        return false;
    }
    const uint32_t bytes = count * 2;
    if (gfx::Failed(renderer->Check(
            device->CreateIndexBuffer(bytes, 0, gfx::Format::Index16, gfx::Pool::Managed, &buffer)))) {
        buffer = nullptr;
        return false;
    }
    void* data = nullptr;
    if (gfx::Failed(renderer->Check(buffer->Lock(0, 0, &data, 0)))) {
        Release();
        return false;
    }
    std::memcpy(data, indices, bytes);
    renderer->Check(buffer->Unlock());
    indexCount = count;
    return true;
}

void ZIndexBuffer::Release() {
    ZRenderer* renderer = PeekRenderer();
    if (renderer != nullptr && renderer->currentIndexBuffer == this) {
        renderer->currentIndexBuffer = nullptr;
    }
    if (buffer != nullptr) {
        const uint32_t left = buffer->Release();
        if (renderer != nullptr) renderer->lastReleaseCount = left;
        buffer = nullptr;
    }
    indexCount = 0;
}

void ReleaseD3DObjectHolder(ZIndexBuffer*& holder) {
    if (holder == nullptr) {
        return;
    }
    ZRenderer* renderer = GetRenderer();
    renderer->lastReleaseCount = 0;
    holder->Release();
    delete holder;
    holder = nullptr;
}
