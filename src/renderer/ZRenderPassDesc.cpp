#include "renderer/ZRenderPassDesc.h"

#include "platform/gfx/gfx.h"

void ZRenderPassDesc::AddGroup(ZRenderGroup* group) {
    if (group != nullptr) {
        groups.AddUnique(group);
    }
}

void ZRenderPassDesc::SetTarget(const uint32_t slot, ZRenderTarget* target) {
    if (slot >= gfx::kMaxTargets) {
        return;
    }
    while (targets.Count() <= slot) {
        targets.PushBack(nullptr);
    }
    targets[slot] = target;
}
