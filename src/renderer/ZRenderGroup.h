#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "foundation/ZArray.h"
#include "foundation/ZHashedString.h"

class ZRenderable;

// A named collection of renderables that passes draw. The renderer owns the
// group (ZRenderer::CreateRenderGroup); the renderables belong to whoever
// added them and must leave the group (ZRenderer::RemoveFromRenderGroup or
// RemoveFromAllRenderGroups) before they are destroyed. The frame code sorts
// the array in place before it draws it.
struct ZRenderGroup {
    explicit ZRenderGroup(const ZHashedString groupName) : name(groupName) {}
    ZRenderGroup(const ZRenderGroup&) = delete;
    ZRenderGroup& operator=(const ZRenderGroup&) = delete;

    // Appends the renderable unless it is already in the group (null is ignored).
    void Add(ZRenderable* renderable);
    // Removes the first occurrence (and its layer); false when it is not in the group.
    bool Remove(ZRenderable* renderable);
    bool Contains(ZRenderable* renderable) const { return renderables.Contains(renderable); }
    // Adds the renderable on a draw layer: the group draws a higher layer
    // after (over) a lower one, whatever its batching order; renderables
    // given no layer are on 0. Sprites test no depth, so this is their order.
    void AddOnLayer(ZRenderable* renderable, int32_t layer);
    int32_t GetLayer(const ZRenderable* renderable) const;

    bool enabled = true;  // a disabled group is skipped by every pass
    ZArray<ZRenderable*> renderables;
    std::vector<std::pair<const ZRenderable*, int32_t>> layers;  // the renderables off layer 0
    ZHashedString name;
};
