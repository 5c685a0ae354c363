#pragma once

#include <cstdint>

#include "foundation/ZHashedString.h"
#include "renderer/ZIndexBuffer.h"
#include "renderer/ZVertexBuffer.h"

class ZRenderable;
class ZShader;

// A unit quad shared by every live user (all menu items share one, all
// underlays another): positions 0..1 both ways with y down, texture
// coordinates equal to them. The first user builds it, the last frees it; a
// user that came before the device existed builds it on its next Acquire.
class ZMenuQuadGeometry {
public:
    ZMenuQuadGeometry() = default;
    ZMenuQuadGeometry(const ZMenuQuadGeometry&) = delete;
    ZMenuQuadGeometry& operator=(const ZMenuQuadGeometry&) = delete;

    void Acquire();
    void Release();

    // Acquires the quad for a new user: hidden, drawn with the shader (its
    // parameter parent) from the shared buffers, and in the render group of
    // that name where the renderer has one.
    void Attach(ZRenderable* user, ZShader* shader, ZHashedString groupName);
    // The user leaves every render group and its parent, and releases the quad.
    void Detach(ZRenderable* user);

    int32_t GetUserCount() const { return m_users; }
    bool IsBuilt() const { return vertices.declaration != nullptr && indices.buffer != nullptr; }

    ZVertexBuffer vertices;
    ZIndexBuffer indices;

private:
    void Build();

    int32_t m_users = 0;
};
