#include "menu/ZMenuQuadGeometry.h"

#include "renderer/ZRenderGroup.h"
#include "renderer/ZRenderable.h"
#include "renderer/ZRenderer.h"
#include "renderer/ZShader.h"
#include "renderer/ZTransform.h"

void ZMenuQuadGeometry::Acquire() {
    ++m_users;
    if (!IsBuilt()) {
        Build();
    }
}

void ZMenuQuadGeometry::Release() {
    if (m_users <= 0) {
        return;
    }
    --m_users;
    if (m_users == 0) {
        vertices.Release();
        indices.Release();
    }
}

void ZMenuQuadGeometry::Attach(ZRenderable* const user, ZShader* const shader, const ZHashedString groupName) {
    Acquire();
    user->visible = false;
    user->shader = shader;
    ZTransform::SetParent(user, shader);
    // Always the shared buffers: an unbuilt quad draws nothing until a later user builds it.
    user->vertexBuffer = &vertices;
    user->indexBuffer = &indices;
    if (ZRenderer* renderer = PeekRenderer()) {
        if (ZRenderGroup* group = renderer->FindRenderGroup(groupName)) {
            group->Add(user);
        }
    }
}

void ZMenuQuadGeometry::Detach(ZRenderable* const user) {
    if (ZRenderer* renderer = PeekRenderer()) {
        renderer->RemoveFromAllRenderGroups(user);
    }
    ZTransform::SetParent(user, nullptr);
    Release();
}

void ZMenuQuadGeometry::Build() {
    static constexpr float kPositions[4][3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}};
    static constexpr float kTexCoords[4][2] = {{0, 0}, {1, 0}, {0, 1}, {1, 1}};
    static constexpr uint16_t kIndices[6] = {0, 2, 1, 1, 2, 3};
    if (!BuildQuadGeometry(kPositions, kTexCoords, kIndices, vertices, indices)) {
        // No device yet: the quad stays unbuilt and its users draw nothing.
        vertices.Release();
        indices.Release();
    }
}
