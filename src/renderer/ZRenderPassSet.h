#pragma once

#include "foundation/ZArray.h"
#include "foundation/ZHashedString.h"

struct ZRenderPassDesc;

// A named list of passes that a frame may draw in place of the default pass
// list (ZRenderer::RenderFrame with the set's name). The renderer owns the set
// (ZRenderer::CreatePassSet); a description listed here and nowhere in the
// default list is freed with the set, one listed in both with the default list.
struct ZRenderPassSet {
    explicit ZRenderPassSet(const ZHashedString setName) : name(setName) {}
    ZRenderPassSet(const ZRenderPassSet&) = delete;
    ZRenderPassSet& operator=(const ZRenderPassSet&) = delete;

    ZArray<ZRenderPassDesc*> passes;
    ZHashedString name;
};
