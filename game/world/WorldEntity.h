#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "entity/ZEntity.h"
#include "game/world/RoomEdges.h"
#include "game/world/TileLayerMesh.h"
#include "renderer/ZParameterSource.h"

class AnimatedTileLayerMesh;
class MapData;
class PowerupHolder;
class ZRenderable;
class ZShader;
class ZSpatialComponent;

// What the world layers need of the game while they build and draw: the map
// flags and powerups the tiles depend on, and the cameras of the current and
// the previous room.
struct WorldView {
    bool overworld = false;
    const PowerupHolder* powerups = nullptr;
};

// Shared by both tile-layer entities: four mesh slots (the current and the
// previous room of the background and foreground layers) under the names
// "Mesh1Back", "Mesh2Back", "Mesh1Fore", "Mesh2Fore", in the renderable
// component, and the world shader's parameters. The previous meshes keep the
// old room on screen while a transition scrolls; SwapSlots makes the other
// pair current, so the next build writes the new room there.
class WorldLayerEntity : public ZEntity, public ZParameterSource {
    Z_RTTI(WorldLayerEntity, ZEntity)

public:
    ~WorldLayerEntity() override;

    // The current meshes take the visibility; the previous ones are hidden.
    void SetLayersVisible(bool visible);
    // The previous room's slots become current and the current ones previous.
    void SwapSlots();

    ZRenderable* FindMesh(ZHashedString name) const;
    ZHashedString GetCurrentBackName() const { return m_currentBack; }
    ZHashedString GetCurrentForeName() const { return m_currentFore; }
    ZHashedString GetPreviousBackName() const { return m_previousBack; }
    ZHashedString GetPreviousForeName() const { return m_previousFore; }

    // "wvpMat" (the previous room's camera for the previous meshes, else the
    // current one) and the anaglyph parameters; others go to the attached source.
    bool SetParameters(ZEffectParameter* binding, ZHashedString passName, ZParameterSource* source) override;

protected:
    // Makes the four meshes with make(), puts the Back pair in "World
    // Background Group" and the Fore pair in "World Foreground Group" (when
    // they exist), each with its own world shader when a device exists.
    template <typename Mesh>
    void MakeSlots();

    ZHashedString m_currentBack;
    ZHashedString m_previousBack;
    ZHashedString m_currentFore;
    ZHashedString m_previousFore;
    std::vector<std::unique_ptr<ZShader>> m_shaders;
};

// The static tiles of the current rooms and their collision: one
// CollisionLineDef per edge record, named "LD_<n>".
class WorldEntity : public WorldLayerEntity {
    Z_RTTI(WorldEntity, WorldLayerEntity)

public:
    WorldEntity();
    ~WorldEntity() override;

    // Replaces every line shape by the edges' and rebuilds the current meshes.
    void Build(const std::vector<EdgeRecord>& edges, const MapData& map, const RoomRect& rect, const WorldView& view);
    TileLayerMesh* GetCurrentMesh(bool foreground) const;
};

// The animated tiles of the current rooms (no collision).
class DynWorldEntity : public WorldLayerEntity {
    Z_RTTI(DynWorldEntity, WorldLayerEntity)

public:
    DynWorldEntity();

    // The edge list is not read.
    void Build(const std::vector<EdgeRecord>& edges, const MapData& map, const RoomRect& rect, const WorldView& view);
    // Every slot forgets its animated cells (before the map's palettes go).
    void ClearAnimations();
    AnimatedTileLayerMesh* GetCurrentMesh(bool foreground) const;
};

// The view-projection of a room camera centred on (x, y) in world pixels:
// 256 x 224 pixels across the view, y down, deeper z further away.
ZMatrix4 RoomViewProjection(float x, float y);
