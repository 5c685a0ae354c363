#include "menu/ZMenuQuadGeometry.h"

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

void ZMenuQuadGeometry::Build() {
    static constexpr float kPositions[4][3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}};
    static constexpr float kTexCoords[4][2] = {{0, 0}, {1, 0}, {0, 1}, {1, 1}};
    static constexpr uint16_t kIndices[6] = {0, 2, 1, 1, 2, 3};
    const ZStreamElement elements[2] = {{kPositions, 12, 0, false}, {kTexCoords, 8, 5, false}};
    if (!vertices.Create(elements, 2, 4) || !indices.Create(kIndices, 6)) {
        // No device yet: the quad stays unbuilt and its users draw nothing.
        vertices.Release();
        indices.Release();
    }
}
