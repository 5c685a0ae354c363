// DDS files: the reader must refuse anything it cannot place with a reason,
// and every level of every face it accepts must lie inside the bytes and
// upload to a device.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/gfx/fake/fake_gfx.h"
#include "renderer/ZDDSFile.h"
#include "renderer/ZTexture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ZDDSFile dds;
    if (!dds.Parse(data, size)) {
        if (dds.GetError()[0] == 0) __builtin_trap();
        return 0;
    }
    uint32_t sum = 0;
    for (uint32_t face = 0; face < dds.GetFaceCount(); ++face) {
        for (uint32_t level = 0; level < dds.GetLevelCount(); ++level) {
            const ZDDSFile::Level l = dds.GetLevel(face, level);
            const size_t bytes = static_cast<size_t>(l.rowBytes) * l.rows;
            if (l.data < data || l.data + bytes > data + size) __builtin_trap();
            // Touch the first and last byte so that the sanitizer sees a stray range.
            if (bytes != 0) sum += l.data[0] + l.data[bytes - 1];
        }
    }
    (void)sum;

    // Large textures take the fake device long to clear; the layout check above covers them.
    if (static_cast<uint64_t>(dds.GetWidth()) * dds.GetHeight() > 512 * 512) return 0;
    static const auto state = std::make_shared<gfx::fake::State>();
    static gfx::Ref<gfx::System> system(gfx::fake::CreateSystem(state));
    static gfx::Ref<gfx::Device> device = [] {
        gfx::PresentParams params;
        params.backBufferWidth = params.backBufferHeight = 4;
        gfx::Ref<gfx::Device> made;
        system->CreateDevice(nullptr, 0, params, made.Out());
        return made;
    }();
    state->calls.clear();
    gfx::BaseTexture* texture = nullptr;
    int32_t width = 0, height = 0, levels = 0;
    bool cube = false;
    // The device may refuse a texture (odd block sizes); an accepted one has what the file said.
    if (CreateTextureFromDDS(device.Get(), data, size, &texture, &width, &height, &levels, &cube)) {
        if (texture->GetLevelCount() != static_cast<uint32_t>(levels) || cube != dds.IsCube()) __builtin_trap();
        texture->Release();
    }
    return 0;
}
