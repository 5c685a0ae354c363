#include "renderer/ZRenderGroup.h"

#include <algorithm>

void ZRenderGroup::Add(ZRenderable* renderable) {
    if (renderable != nullptr) {
        renderables.AddUnique(renderable);
    }
}

bool ZRenderGroup::Remove(ZRenderable* renderable) {
    std::erase_if(layers, [renderable](const auto& entry) { return entry.first == renderable; });
    return renderables.Remove(renderable);
}

void ZRenderGroup::AddOnLayer(ZRenderable* renderable, const int32_t layer) {
    if (renderable == nullptr) {
        return;
    }
    Add(renderable);
    std::erase_if(layers, [renderable](const auto& entry) { return entry.first == renderable; });
    if (layer != 0) {
        layers.emplace_back(renderable, layer);
    }
}

int32_t ZRenderGroup::GetLayer(const ZRenderable* renderable) const {
    for (const auto& entry : layers) {
        if (entry.first == renderable) {
            return entry.second;
        }
    }
    return 0;
}
