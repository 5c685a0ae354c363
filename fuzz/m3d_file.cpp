// M3D meshes: anything the reader accepts has whole streams of vertex-count
// entries and only indices that name a vertex.

#include <cstddef>
#include <cstdint>

#include "renderer/ZM3DMesh.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ZM3DMesh mesh;
    if (!mesh.Parse(data, size)) {
        if (mesh.GetError()[0] == 0 || !mesh.streams.empty()) __builtin_trap();
        return 0;
    }
    if (mesh.vertexCount == 0 || mesh.streams.empty() || mesh.streams.size() > ZM3DMesh::kMaxStreams) {
        __builtin_trap();
    }
    for (const ZM3DMesh::Stream& s : mesh.streams) {
        if (s.data.size() != static_cast<size_t>(s.size) * mesh.vertexCount) __builtin_trap();
    }
    for (uint16_t index : mesh.indices) {
        if (index >= mesh.vertexCount) __builtin_trap();
    }
    return 0;
}
