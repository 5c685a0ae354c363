// M3D meshes loaded into a renderable's buffers on the fake device: whatever
// the file, either the renderable gets a vertex buffer of the file's vertex
// count (and an index buffer) or it keeps what it had.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "driver/FakeRenderer.h"
#include "renderer/ZIndexBuffer.h"
#include "renderer/ZM3DMesh.h"
#include "renderer/ZRenderable.h"
#include "renderer/ZVertexBuffer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 1 << 20) {
        return 0;
    }
    fuzzrender::WriteFile("fuzz.m3d", data, size);
    ZRenderable renderable;
    if (!LoadM3DMesh("fuzz.m3d", &renderable)) {
        if (renderable.vertexBuffer != nullptr || renderable.indexBuffer != nullptr) {
            std::abort();
        }
        return 0;
    }
    ZM3DMesh mesh;
    if (!mesh.Parse(data, size) || renderable.vertexBuffer == nullptr ||
        renderable.vertexBuffer->vertexCount != mesh.vertexCount) {
        std::abort();
    }
    // The caller owns what the loader made.
    delete renderable.vertexBuffer;
    delete renderable.indexBuffer;
    return 0;
}
