#include "game/display/TubeQuad.h"

#include <cstring>
#include <vector>

#include "foundation/ZLog.h"
#include "foundation/ZStreamMgr.h"
#include "renderer/ZM3DMesh.h"
#include "renderer/ZRenderer.h"

TubeQuad::TubeQuad(const char* meshFile, const bool fallbackQuad) : m_fallbackQuad(fallbackQuad) {
    if (meshFile != nullptr) {
        char* buffer = nullptr;
        int64_t size = -1;
        if (ZStreamMgr::GetInstance()->ReadFile(meshFile, &buffer, &size) && size >= 0) {
            const std::unique_ptr<char[]> bytes(buffer);
            auto mesh = std::make_unique<ZM3DMesh>();
            // The glass and the case are scaled per screen: positions must be
            // the first stream, three floats each.
            if (!mesh->Parse(reinterpret_cast<const uint8_t*>(bytes.get()), static_cast<size_t>(size))) {
                ZLog::Printf("CRT mesh %s was refused: %s", meshFile, mesh->GetError());
            } else if (mesh->streams.empty() || mesh->streams[0].usage != 0 || mesh->streams[0].size != 12) {
                ZLog::Printf("CRT mesh %s was refused: its first element is not a position", meshFile);
            } else {
                m_mesh = std::move(mesh);
            }
        } else {
            delete[] buffer;
            ZLog::Printf("CRT mesh %s could not be read", meshFile);
        }
    }
    int32_t width = 0;
    int32_t height = 0;
    StartListening(width, height);
    Rebuild(width, height);
}

TubeQuad::~TubeQuad() {
    StopListening();
    if (ZRenderer* renderer = PeekRenderer()) renderer->RemoveFromAllRenderGroups(this);
}

void TubeQuad::Extents(const int32_t width, const int32_t height, float& halfWidth, float& halfHeight) {
    halfWidth = 1.0f;
    halfHeight = 1.0f;
    if (width < 1 || height < 1) return;
    const float screen = static_cast<float>(width) / static_cast<float>(height);
    if (screen > kTubeAspect) {
        halfWidth = kTubeAspect / screen;
    } else {
        halfHeight = screen / kTubeAspect;
    }
}

bool TubeQuad::BuildMesh(const float halfWidth, const float halfHeight) {
    const ZM3DMesh& mesh = *m_mesh;
    std::vector<uint8_t> positions = mesh.streams[0].data;
    for (size_t at = 0; at + 12 <= positions.size(); at += 12) {
        float xy[2];
        std::memcpy(xy, &positions[at], sizeof xy);
        xy[0] *= halfWidth;
        xy[1] *= halfHeight;
        std::memcpy(&positions[at], xy, sizeof xy);
    }
    ZStreamElement elements[ZVertexBuffer::kMaxStreams];
    const size_t count = mesh.streams.size() < ZVertexBuffer::kMaxStreams ? mesh.streams.size() : ZVertexBuffer::kMaxStreams;
    for (size_t i = 0; i < count; ++i) {
        const ZM3DMesh::Stream& s = mesh.streams[i];
        elements[i] = ZStreamElement{i == 0 ? positions.data() : s.data.data(), s.size, s.usage, false};
    }
    if (!m_vertices.Create(elements, static_cast<uint32_t>(count), mesh.vertexCount)) return false;
    if (!mesh.indices.empty() &&
        !m_indices.Create(mesh.indices.data(), static_cast<uint32_t>(mesh.indices.size()))) {
        m_vertices.Release();
        return false;
    }
    return true;
}

void TubeQuad::Rebuild(const int32_t width, const int32_t height) {
    vertexBuffer = nullptr;
    indexBuffer = nullptr;
    m_vertices.Release();
    m_indices.Release();
    float hw = 1.0f, hh = 1.0f;
    Extents(width, height, hw, hh);
    if (m_mesh != nullptr) {
        if (BuildMesh(hw, hh)) {
            vertexBuffer = &m_vertices;
            indexBuffer = m_mesh->indices.empty() ? nullptr : &m_indices;
        }
        return;
    }
    if (!m_fallbackQuad) return;
    const float positions[4][3] = {{-hw, -hh, 0.0f}, {hw, -hh, 0.0f}, {hw, hh, 0.0f}, {-hw, hh, 0.0f}};
    const float uv[4][2] = {{0.0f, 1.0f}, {1.0f, 1.0f}, {1.0f, 0.0f}, {0.0f, 0.0f}};
    static constexpr uint16_t kIndices[6] = {0, 1, 2, 0, 2, 3};
    if (BuildQuadGeometry(positions, uv, kIndices, m_vertices, m_indices)) {
        vertexBuffer = &m_vertices;
        indexBuffer = &m_indices;
    }
}
