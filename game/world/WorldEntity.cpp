#include "game/world/WorldEntity.h"

#include <cstdio>
#include <utility>

#include "entity/ZCollisionComponent.h"
#include "entity/ZComponentLookup.h"
#include "entity/ZRenderableComponent.h"
#include "entity/ZSpatialComponent.h"
#include "game/world/AnimatedTileLayerMesh.h"
#include "game/world/CollisionLineDef.h"
#include "game/world/KorvanthGame.h"
#include "game/world/WorldShader.h"
#include "renderer/ZEffectParameter.h"
#include "renderer/ZRenderGroup.h"
#include "renderer/ZRenderer.h"
#include "renderer/ZTransform.h"

namespace {

const ZHashedString& Mesh1Back() {
    static const ZHashedString name("Mesh1Back");
    return name;
}
const ZHashedString& Mesh2Back() {
    static const ZHashedString name("Mesh2Back");
    return name;
}
const ZHashedString& Mesh1Fore() {
    static const ZHashedString name("Mesh1Fore");
    return name;
}
const ZHashedString& Mesh2Fore() {
    static const ZHashedString name("Mesh2Fore");
    return name;
}

}  // namespace

ZMatrix4 RoomViewProjection(const float x, const float y) {
    const float halfWidth = static_cast<float>(kRoomPixelsX) * 0.5f;
    const float halfHeight = static_cast<float>(kRoomPixelsY) * 0.5f;
    return ZMatrix4::OrthoOffCenter(x - halfWidth, x + halfWidth, y - halfHeight, y + halfHeight, 100.0f, -100.0f);
}

WorldLayerEntity::~WorldLayerEntity() {
    // The meshes go before the shaders they draw with.
    if (ZRenderableComponent* const renderables = GetComponent<ZRenderableComponent>(this)) {
        renderables->DestroyRenderables();
    }
}

template <typename Mesh>
void WorldLayerEntity::MakeSlots() {
    ZRenderableComponent* const renderables = ::AddComponent<ZRenderableComponent>(this);
    static const ZHashedString kBackGroup("World Background Group");
    static const ZHashedString kForeGroup("World Foreground Group");
    const ZHashedString names[4] = {Mesh1Back(), Mesh2Back(), Mesh1Fore(), Mesh2Fore()};
    ZRenderer* const renderer = PeekRenderer();
    const bool device = renderer != nullptr && renderer->GetDevice() != nullptr;
    for (int i = 0; i < 4; ++i) {
        auto* const mesh = new Mesh();
        ZTransform::SetParent(mesh, static_cast<ZParameterSource*>(this));
        if (device) {
            m_shaders.push_back(std::make_unique<WorldShader>());
            mesh->shader = m_shaders.back().get();
        }
        if (renderer != nullptr) {
            if (ZRenderGroup* const group = renderer->FindRenderGroup(i < 2 ? kBackGroup : kForeGroup)) {
                if (!group->Contains(mesh)) {
                    group->Add(mesh);
                }
            }
        }
        mesh->visible = (i % 2) == 0;
        renderables->AddRenderable(names[i], mesh);
    }
    m_currentBack = Mesh1Back();
    m_previousBack = Mesh2Back();
    m_currentFore = Mesh1Fore();
    m_previousFore = Mesh2Fore();
}

ZRenderable* WorldLayerEntity::FindMesh(const ZHashedString name) const {
    const ZRenderableComponent* const renderables =
        GetComponent<ZRenderableComponent>(const_cast<WorldLayerEntity*>(this));
    return renderables != nullptr ? renderables->GetRenderable(name) : nullptr;
}

void WorldLayerEntity::SetLayersVisible(const bool visible) {
    for (const ZHashedString name : {m_currentBack, m_currentFore}) {
        if (ZRenderable* mesh = FindMesh(name)) mesh->visible = visible;
    }
    for (const ZHashedString name : {m_previousBack, m_previousFore}) {
        if (ZRenderable* mesh = FindMesh(name)) mesh->visible = false;
    }
}

void WorldLayerEntity::SwapSlots() {
    std::swap(m_currentBack, m_previousBack);
    std::swap(m_currentFore, m_previousFore);
}

bool WorldLayerEntity::SetParameters(ZEffectParameter* const binding, const ZHashedString passName,
                                     ZParameterSource* const source) {
    static const ZHashedString kDistance("AnaglyphDistance");
    static const ZHashedString kOffset("AnaglyphDistanceOffset");
    static const ZHashedString kColor("AnaglyphColor");
    static const ZHashedString kSilhFix("AnaglyphSilhFix");
    static const ZHashedString kDesat("AnaglyphDesat");
    static const ZHashedString kGamma("AnaglyphGamma");
    static const ZHashedString kWvp("wvpMat");
    if (binding == nullptr) {
        return false;
    }
    const KorvanthGame* const game = KorvanthGame::Get();
    const ZHashedString name = binding->name;
    if (name == kDistance) {
        binding->SetFloat(game != nullptr ? game->GetAnaglyphDistance() * 0.5f : 0.0f);
    } else if (name == kOffset) {
        binding->SetFloat(game != nullptr ? game->GetAnaglyphDistanceOffset() : 0.0f);
    } else if (name == kColor) {
        binding->SetVector(game != nullptr ? game->GetAnaglyphColor() : ZVector4(1.0f, 1.0f, 1.0f, 1.0f));
    } else if (name == kSilhFix) {
        binding->SetFloat(game != nullptr && game->IsSilhouetteOnColor() ? 1.0f : 0.0f);
    } else if (name == kDesat) {
        binding->SetFloat(game != nullptr ? game->GetAnaglyphDesaturation() : 1.0f);
    } else if (name == kGamma) {
        binding->SetVector(game != nullptr ? game->GetAnaglyphGamma() : ZVector4(1.0f, 1.0f, 1.0f, 1.0f));
    } else if (name == kWvp) {
        // The drawable being drawn asks through its own chain: source is it.
        const bool previous = source != nullptr && (source == static_cast<ZParameterSource*>(FindMesh(m_previousBack)) ||
                                                    source == static_cast<ZParameterSource*>(FindMesh(m_previousFore)));
        // The tiles' corners and texels lie on whole pixels, but pixel centres
        // fall on whole coordinates: half a pixel up and left puts every pixel
        // centre on a texel centre. Without it each sample sits on the line
        // between two texels, and float rounding (the eyes' shifts in
        // anaglyph 3D, above all) picks the neighbour, at a tile's edge the
        // see-through texel of the next tile in the atlas.
        const ZMatrix4 view = game != nullptr ? game->GetRoomViewProjection(previous) : RoomViewProjection(128.0f, 112.0f);
        binding->SetMatrix(ZMatrix4::Translation(ZVector3(-0.5f, -0.5f, 0.0f)) * view);
    } else {
        ZParameterSource* const attached = GetAttachedSource();
        return attached != nullptr && attached->SetParameters(binding, passName, source);
    }
    return true;
}

WorldEntity::WorldEntity() {
    MakeSlots<TileLayerMesh>();
    ::AddComponent<ZCollisionComponent>(this);
    ::AddComponent<ZSpatialComponent>(this);
}

WorldEntity::~WorldEntity() {
    if (ZCollisionComponent* const collision = GetComponent<ZCollisionComponent>(this)) {
        collision->ClearPrimitives();
    }
}

TileLayerMesh* WorldEntity::GetCurrentMesh(const bool foreground) const {
    return static_cast<TileLayerMesh*>(FindMesh(foreground ? m_currentFore : m_currentBack));
}

void WorldEntity::Build(const std::vector<EdgeRecord>& edges, const MapData& map, const RoomRect& rect,
                        const WorldView& view) {
    ZCollisionComponent* const collision = ::AddComponent<ZCollisionComponent>(this);
    ZSpatialComponent* const spatial = GetComponent<ZSpatialComponent>(this);
    collision->ClearPrimitives();
    for (size_t i = 0; i < edges.size(); ++i) {
        const EdgeRecord& edge = edges[i];
        auto* const line = new CollisionLineDef();
        line->secondSetting = 2;
        line->SetOwner(spatial);
        line->start = ZVector3(static_cast<float>(edge.x1), static_cast<float>(edge.y1), 0.0f);
        line->end = ZVector3(static_cast<float>(edge.x2), static_cast<float>(edge.y2), 0.0f);
        line->kind = edge.kind;
        if (edge.kind == 2 || edge.kind == 4 || edge.kind == 6) {
            line->Inset();
        }
        // "LD_" and up to ten digits: 32-bit indices always fit.
        char name[16];
        std::snprintf(name, sizeof(name), "LD_%u", static_cast<uint32_t>(i));
        collision->SetPrimitive(ZHashedString(name).GetId(), line);
    }
    for (const bool foreground : {false, true}) {
        if (TileLayerMesh* const mesh = GetCurrentMesh(foreground)) {
            mesh->visible = true;
            mesh->Build(map, foreground, rect, view.overworld, view.powerups);
        }
    }
}

DynWorldEntity::DynWorldEntity() { MakeSlots<AnimatedTileLayerMesh>(); }

AnimatedTileLayerMesh* DynWorldEntity::GetCurrentMesh(const bool foreground) const {
    return static_cast<AnimatedTileLayerMesh*>(FindMesh(foreground ? m_currentFore : m_currentBack));
}

void DynWorldEntity::Build(const std::vector<EdgeRecord>& /*edges*/, const MapData& map, const RoomRect& rect,
                           const WorldView& view) {
    for (const bool foreground : {false, true}) {
        if (AnimatedTileLayerMesh* const mesh = GetCurrentMesh(foreground)) {
            mesh->visible = true;
            mesh->Build(map, foreground, rect, view.overworld);
        }
    }
}

void DynWorldEntity::ClearAnimations() {
    for (const ZHashedString name : {m_currentBack, m_currentFore, m_previousBack, m_previousFore}) {
        if (auto* const mesh = static_cast<AnimatedTileLayerMesh*>(FindMesh(name))) {
            mesh->ClearAnimations();
        }
    }
}
