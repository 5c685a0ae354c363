#pragma once

#include <cstdint>
#include <memory>

#include "renderer/ZResolutionListener.h"
#include "renderer/ZIndexBuffer.h"
#include "renderer/ZRenderable.h"
#include "renderer/ZVertexBuffer.h"

class ZM3DMesh;

// A part of the CRT fitted to the screen: the tube's glass or the monitor's
// case from a mesh file, or without one a flat 4:3 quad of glass. The mesh
// is made for a 4:3 screen (-1..1 both ways); on a wider screen it is
// narrowed to keep its shape (bars beside it), on a narrower one flattened
// (bars above and below). The quad's texture coordinates run 0..1 over the
// glass, top-left first. Rebuilt when the render size changes.
class TubeQuad : public ZRenderable, public ZResolutionListener {
public:
    static constexpr float kTubeAspect = 4.0f / 3.0f;

    // Without a file name: the flat quad. A mesh file that is missing or
    // refused is reported (by the stream manager or the mesh reader) and
    // leaves the flat quad when asked for (fallbackQuad), else nothing to draw.
    explicit TubeQuad(const char* meshFile = nullptr, bool fallbackQuad = true);
    // Leaves the listeners and every render group.
    ~TubeQuad() override;
    TubeQuad(const TubeQuad&) = delete;
    TubeQuad& operator=(const TubeQuad&) = delete;

    void Rebuild(int32_t width, int32_t height);
    void OnResolutionChanged(int32_t width, int32_t height) override { Rebuild(width, height); }

    // A mesh was read and is what draws.
    bool HasMesh() const { return m_mesh != nullptr; }

    // The half-extents in clip units of the tube on a screen of that size
    // (1 and 1 for a screen without area).
    static void Extents(int32_t width, int32_t height, float& halfWidth, float& halfHeight);

private:
    bool BuildMesh(float halfWidth, float halfHeight);

    std::unique_ptr<ZM3DMesh> m_mesh;
    bool m_fallbackQuad = true;
    ZVertexBuffer m_vertices;
    ZIndexBuffer m_indices;
};
