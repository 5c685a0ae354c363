#pragma once

#include <memory>

#include "renderer/ZIndexBuffer.h"
#include "renderer/ZRenderable.h"
#include "renderer/ZShader.h"
#include "renderer/ZVertexBuffer.h"

class DisplayState;
class StaticShader;
class WipeShader;
class ZPlainEntity;

// The overlays the scene draws into the clean frame besides the world: the
// TV static, the wipe, the CRT tuner's plate and ball, the minimap's plate,
// rooms and marker, and the full map's rooms and marker. Each is a plain
// entity holding one renderable with its own shader in its render group:
// the static and the wipe on the 256 x 224 screen quad, the others on a unit
// quad that their shader places in the frame.
class SceneOverlays {
public:
    enum Row {
        kStatic,
        kWipe,
        kTunerBack,
        kTunerBall,
        kMinimapBack,
        kMinimapContent,
        kMinimapIndicator,
        kFullMapContent,
        kFullMapIndicator,
        kRowCount
    };

    // Makes every row, in this order, in its group; the tuner is hidden, the
    // minimap's three quads are handed to the display state (its visibility
    // setting shows them).
    SceneOverlays();
    // Saves each entity's state and frees entity, renderable, geometry and
    // shader, row by row; the minimap's quads leave the display state.
    ~SceneOverlays();
    SceneOverlays(const SceneOverlays&) = delete;
    SceneOverlays& operator=(const SceneOverlays&) = delete;

    ZRenderable& GetRenderable(Row row) { return m_rows[row].renderable; }
    ZShader* GetShader(Row row) const { return m_rows[row].shader.get(); }
    StaticShader* GetStaticShader() const;
    WipeShader* GetWipeShader() const;

    // What the post-process shaders read of the overlays, once a frame: the
    // static shows (and how far its attract picture has blended in), the
    // tuner shows (the CRT menu is open).
    void UpdateChainInputs(DisplayState& display);

private:
    struct Entry {
        std::unique_ptr<ZShader> shader;
        ZRenderable renderable;
        ZVertexBuffer vertices;
        ZIndexBuffer indices;
        ZPlainEntity* entity = nullptr;
    };

    Entry m_rows[kRowCount];
};
