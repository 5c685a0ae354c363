#include "game/display/SceneOverlays.h"

#include "entity/ZEntityState.h"
#include "entity/ZPlainEntity.h"
#include "foundation/ZLog.h"
#include "game/display/DisplayState.h"
#include "game/display/FullMapContentTexture.h"
#include "game/display/FullMapIndicatorTexture.h"
#include "game/display/MinimapBackTexture.h"
#include "game/display/MinimapContentTexture.h"
#include "game/display/MinimapIndicatorTexture.h"
#include "game/display/StaticShader.h"
#include "game/display/TunerBackTexture.h"
#include "game/display/TunerBallTexture.h"
#include "game/display/WipeShader.h"
#include "renderer/ZRenderer.h"

namespace {

enum class Mesh { kScreen, kTuner, kMap };

struct RowDesc {
    const char* group;
    Mesh mesh;
    bool visible;
};

// In creation order; the minimap's visibility is its setting's business.
const RowDesc kRows[SceneOverlays::kRowCount] = {
    {"Static Group", Mesh::kScreen, true},
    {"Wipe Group", Mesh::kScreen, true},
    {"Tuner Back Group", Mesh::kTuner, false},
    {"Tuner Ball Group", Mesh::kTuner, false},
    {"Minimap Group (Back)", Mesh::kMap, true},
    {"Minimap Group (Content)", Mesh::kMap, true},
    {"Minimap Group (Indicator)", Mesh::kMap, true},
    {"Full Map Group (Content)", Mesh::kMap, true},
    {"Full Map Group (Indicator)", Mesh::kMap, true},
};

ZShader* NewShader(const SceneOverlays::Row row) {
    switch (row) {
    case SceneOverlays::kStatic: return new StaticShader();
    case SceneOverlays::kWipe: return new WipeShader();
    case SceneOverlays::kTunerBack: return new TunerBackTexture();
    case SceneOverlays::kTunerBall: return new TunerBallTexture();
    case SceneOverlays::kMinimapBack: return new MinimapBackTexture();
    case SceneOverlays::kMinimapContent: return new MinimapContentTexture();
    case SceneOverlays::kMinimapIndicator: return new MinimapIndicatorTexture();
    case SceneOverlays::kFullMapContent: return new FullMapContentTexture();
    case SceneOverlays::kFullMapIndicator: return new FullMapIndicatorTexture();
    case SceneOverlays::kRowCount: break;
    }
    return nullptr;
}

// The unit square (0..1), texture v = 0 at its top; the tuner at depth 0,
// the maps just in front of it.
bool BuildUnitQuad(const float z, ZVertexBuffer& vertices, ZIndexBuffer& indices) {
    const float positions[4][3] = {{0.0f, 0.0f, z}, {1.0f, 0.0f, z}, {1.0f, 1.0f, z}, {0.0f, 1.0f, z}};
    const float uv[4][2] = {{0.0f, 1.0f}, {1.0f, 1.0f}, {1.0f, 0.0f}, {0.0f, 0.0f}};
    static constexpr uint16_t kIndices[6] = {0, 1, 2, 0, 2, 3};
    return BuildQuadGeometry(positions, uv, kIndices, vertices, indices);
}

}  // namespace

SceneOverlays::SceneOverlays() {
    for (int i = 0; i < kRowCount; ++i) {
        const Row row = static_cast<Row>(i);
        Entry& e = m_rows[i];
        const RowDesc& desc = kRows[i];
        e.entity = new ZPlainEntity();
        e.shader.reset(NewShader(row));
        e.entity->AddRenderable(&e.renderable, ZHashedString(desc.group), e.shader.get());
        bool built = false;
        switch (desc.mesh) {
        case Mesh::kScreen: built = BuildScreenQuadGeometry(256, 224, e.vertices, e.indices); break;
        case Mesh::kTuner: built = BuildUnitQuad(0.0f, e.vertices, e.indices); break;
        case Mesh::kMap: built = BuildUnitQuad(0.01f, e.vertices, e.indices); break;
        }
        if (built) {
            e.renderable.vertexBuffer = &e.vertices;
            e.renderable.indexBuffer = &e.indices;
        } else {
            ZLog::Printf("Scene: no geometry for \"%s\"; it is not drawn", desc.group);
        }
        e.renderable.visible = desc.visible;
    }
    if (DisplayState* display = PeekDisplayState()) {
        display->minimapQuads[0] = &m_rows[kMinimapBack].renderable;
        display->minimapQuads[1] = &m_rows[kMinimapContent].renderable;
        display->minimapQuads[2] = &m_rows[kMinimapIndicator].renderable;
    }
}

SceneOverlays::~SceneOverlays() {
    if (DisplayState* display = PeekDisplayState()) {
        for (ZRenderable*& quad : display->minimapQuads) quad = nullptr;
        display->staticActive = false;
        display->crtMenuOpen = false;
    }
    for (Entry& e : m_rows) {
        // The entity lets go of its drawable (and takes it out of its group)
        // before the drawable goes.
        if (e.entity != nullptr) {
            SaveEntityState(e.entity);
            delete e.entity;
            e.entity = nullptr;
        }
        if (ZRenderer* renderer = PeekRenderer()) renderer->RemoveFromAllRenderGroups(&e.renderable);
        e.renderable.shader = nullptr;
        e.shader.reset();
        e.renderable.vertexBuffer = nullptr;
        e.renderable.indexBuffer = nullptr;
        e.vertices.Release();
        e.indices.Release();
    }
}

StaticShader* SceneOverlays::GetStaticShader() const { return static_cast<StaticShader*>(m_rows[kStatic].shader.get()); }

WipeShader* SceneOverlays::GetWipeShader() const { return static_cast<WipeShader*>(m_rows[kWipe].shader.get()); }

void SceneOverlays::UpdateChainInputs(DisplayState& display) {
    display.staticActive = m_rows[kStatic].renderable.visible;
    bool flag = false;
    StaticShader* staticShader = GetStaticShader();
    display.staticAttractBlend =
        display.staticActive && staticShader != nullptr ? staticShader->UpdateAttractCycle(flag) : 0.0f;
    display.crtMenuOpen = m_rows[kTunerBack].renderable.visible;
}
