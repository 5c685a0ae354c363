#pragma once

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
    // Removes the first occurrence; false when it is not in the group.
    bool Remove(ZRenderable* renderable);
    bool Contains(ZRenderable* renderable) const { return renderables.Contains(renderable); }

    bool enabled = true;  // a disabled group is skipped by every pass
    ZArray<ZRenderable*> renderables;
    ZHashedString name;
};
