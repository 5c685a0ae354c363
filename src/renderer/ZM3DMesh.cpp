#include "renderer/ZM3DMesh.h"

#include <cmath>
#include <cstring>
#include <memory>

#include "foundation/ZLog.h"
#include "foundation/ZStreamMgr.h"
#include "foundation/ZVector3.h"
#include "platform/window/window.h"
#include "foundation/ZByteReader.h"
#include "renderer/ZIndexBuffer.h"
#include "renderer/ZRenderable.h"
#include "renderer/ZVertexBuffer.h"

namespace {

// Bytes per vertex of an element type, or 0 for one this reader cannot place.
uint32_t ElementBytes(uint32_t type, uint32_t size) {
    if (type <= 3) return 12;
    if (type == 4) return 4;
    if (type <= 12 && (size == 8 || size == 4)) return size;
    return 0;
}

ZVector3 Vec3At(const std::vector<uint8_t>& stream, uint32_t vertex) {
    float f[3];
    std::memcpy(f, stream.data() + 12 * static_cast<size_t>(vertex), sizeof f);
    return {f[0], f[1], f[2]};
}

void StoreVec3(std::vector<uint8_t>& stream, uint32_t vertex, const ZVector3& v) {
    const float f[3] = {v.x, v.y, v.z};
    std::memcpy(stream.data() + 12 * static_cast<size_t>(vertex), f, sizeof f);
}

// A vector of length 1, or zero when its length gives no finite reciprocal.
ZVector3 Unit(const ZVector3& v) {
    const float inverse = 1.0f / std::sqrt(v.LengthSquared());
    if (!std::isfinite(inverse)) return {};
    const ZVector3 u = v * inverse;
    return std::isfinite(u.x) && std::isfinite(u.y) && std::isfinite(u.z) ? u : ZVector3();
}

}  // namespace

bool ZM3DMesh::Refuse(const char* why) {
    streams.clear();
    indices.clear();
    vertexCount = 0;
    m_error = why;
    return false;
}

bool ZM3DMesh::Parse(const uint8_t* data, const size_t size) {
    *this = ZM3DMesh();
    ZByteReader in(data, size);
    uint32_t magic = 0, elementCount = 0, indexCount = 0;
    uint16_t reserved = 0;
    in.U32(magic);
    in.U8(major);
    in.U8(minor);
    in.U16(reserved);
    in.U32(elementCount);
    in.U32(vertexCount);
    in.U32(indexCount);
    if (in.Failed()) {
        return Refuse("the file is shorter than its header");
    }
    if (major >= 2 && minor >= 1) {
        uint8_t flag = 0;
        if (!in.U8(flag)) return Refuse("the file ends before its tangent flag");
        wantsTangents = flag != 0;
    }
    uint32_t indexSize = 0;
    if (!in.U32(indexSize)) return Refuse("the file ends before its index size");
    if (indexSize != 2) return Refuse("indices must be 16-bit");
    if (vertexCount == 0) return Refuse("the mesh has no vertices");
    if (elementCount == 0 || elementCount > kMaxStreams) return Refuse("the element count is out of range");
    if (indexCount > in.Remaining() / 2) return Refuse("the file is shorter than its indices");
    indices.resize(indexCount);
    for (uint16_t& index : indices) {
        in.U16(index);
        if (index >= vertexCount) return Refuse("an index lies beyond the vertices");
    }
    streams.reserve(elementCount + 1);
    for (uint32_t e = 0; e < elementCount; ++e) {
        uint32_t type = 0, elementSize = 0;
        if (!in.U32(type) || !in.U32(elementSize)) return Refuse("the file ends inside an element header");
        const uint32_t bytes = ElementBytes(type, elementSize);
        if (bytes == 0) {
            badStreamUsage = true;
            return Refuse("an element has an unknown type or size");
        }
        if (vertexCount > in.Remaining() / bytes) return Refuse("the file is shorter than an element's data");
        const uint8_t* at = in.Span(static_cast<size_t>(bytes) * vertexCount);
        Stream stream;
        stream.data.assign(at, at + static_cast<size_t>(bytes) * vertexCount);
        stream.size = bytes;
        stream.usage = type;
        streams.push_back(std::move(stream));
    }
    if (wantsTangents) {
        const bool layoutFits = streams.size() >= 3 && streams.size() < kMaxStreams && streams[0].usage == 0 &&
                                streams[1].usage == 1 && streams[2].usage == 5 && streams[2].size == 8;
        if (layoutFits) {
            ComputeTangents();
        } else {
            ZLog::Printf("M3D: tangents need position, normal and 2-float uv first; none computed");
        }
    }
    return true;
}

void ZM3DMesh::ComputeTangents() {
    std::vector<uint8_t>& normals = streams[1].data;
    const std::vector<uint8_t>& positions = streams[0].data;
    const std::vector<uint8_t>& uvs = streams[2].data;
    Stream tangents;
    tangents.size = 12;
    tangents.usage = 2;
    tangents.data.assign(12 * static_cast<size_t>(vertexCount), 0);

    // The first index position naming each vertex.
    std::vector<int64_t> first(vertexCount, -1);
    for (size_t i = indices.size(); i-- > 0;) {
        first[indices[i]] = static_cast<int64_t>(i);
    }
    const auto uvAt = [&](uint32_t v) {
        float f[2];
        std::memcpy(f, uvs.data() + 8 * static_cast<size_t>(v), sizeof f);
        return std::pair<float, float>(f[0], f[1]);
    };
    for (uint32_t v = 0; v < vertexCount; ++v) {
        const int64_t i = first[v];
        const size_t triangle = i >= 0 ? static_cast<size_t>(i) / 3 : 0;
        // A vertex no whole triangle refers to keeps a zero tangent and its normal.
        if (i < 0 || 3 * triangle + 2 >= indices.size()) {
            continue;
        }
        const size_t corner = static_cast<size_t>(i) % 3;
        const uint32_t p0 = indices[3 * triangle + corner];
        const uint32_t p1 = indices[3 * triangle + (corner + 1) % 3];
        const uint32_t p2 = indices[3 * triangle + (corner + 2) % 3];
        const ZVector3 e1 = Vec3At(positions, p1) - Vec3At(positions, p0);
        const ZVector3 e2 = Vec3At(positions, p2) - Vec3At(positions, p0);
        const auto [u0, w0] = uvAt(p0);
        const auto [u1, w1] = uvAt(p1);
        const auto [u2, w2] = uvAt(p2);
        const float s1 = u1 - u0, t1 = w1 - w0, s2 = u2 - u0, t2 = w2 - w0;
        const float r = 1.0f / (t2 * s1 - t1 * s2);
        const ZVector3 t = Unit((e1 * t2 - e2 * t1) * r);
        const ZVector3 n = Unit(Vec3At(normals, v));
        StoreVec3(normals, v, n);
        StoreVec3(tangents.data, v, Unit(t - n * n.Dot(t)));
    }
    streams.push_back(std::move(tangents));
    tangentsAdded = true;
}

bool LoadM3DMesh(const char* fileName, ZRenderable* renderable) {
    if (fileName == nullptr || renderable == nullptr) {
        return false;
    }
    char* buffer = nullptr;
    int64_t size = -1;
    if (!ZStreamMgr::GetInstance()->ReadFile(fileName, &buffer, &size)) {
        return false;
    }
    const std::unique_ptr<char[]> bytes(buffer);
    ZM3DMesh mesh;
    const bool parsed = mesh.Parse(reinterpret_cast<const uint8_t*>(bytes.get()), static_cast<size_t>(size));
    if (mesh.major < 2 && (parsed || size >= ZM3DMesh::kHeaderBytes)) {
        platform::window::MessageBox("Error", "M3D versions below 2.0 are no longer supported.",
                                     platform::window::MB_OK | platform::window::MB_ICONERROR);
    }
    if (!parsed) {
        ZLog::Printf("LoadM3DMesh: %s was refused: %s", fileName, mesh.GetError());
        // The same report as the vertex declaration gives a stream it cannot
        // describe, so that the modder sees which kind of fault it is.
        if (mesh.badStreamUsage) {
            platform::window::MessageBox("Dev Error", "Dev Error: Bad stream usage hint.",
                                         platform::window::MB_OK | platform::window::MB_ICONERROR);
        }
        return false;
    }
    ZStreamElement elements[ZM3DMesh::kMaxStreams];
    for (size_t i = 0; i < mesh.streams.size(); ++i) {
        const ZM3DMesh::Stream& s = mesh.streams[i];
        elements[i] = ZStreamElement{s.data.data(), s.size, s.usage, false};
    }
    auto vertices = std::make_unique<ZVertexBuffer>();
    auto indices = std::make_unique<ZIndexBuffer>();
    if (!vertices->Create(elements, static_cast<uint32_t>(mesh.streams.size()), mesh.vertexCount)) {
        return false;
    }
    if (!mesh.indices.empty() && !indices->Create(mesh.indices.data(), static_cast<uint32_t>(mesh.indices.size()))) {
        return false;
    }
    renderable->vertexBuffer = vertices.release();
    renderable->indexBuffer = indices.release();
    return true;
}
