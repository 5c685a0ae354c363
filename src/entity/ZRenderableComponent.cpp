#include "entity/ZRenderableComponent.h"

#include "renderer/ZRenderable.h"
#include "renderer/ZRenderer.h"

ZRenderable* ZRenderableComponent::GetRenderable(const ZHashedString name) const {
    const auto* node = renderables.Find(name);
    return node != nullptr ? node->value : nullptr;
}

void ZRenderableComponent::DestroyRenderables() {
    for (auto& node : renderables) {
        if (node.value != nullptr) {
            GetRenderer()->RemoveFromAllRenderGroups(node.value);
            delete node.value;
            node.value = nullptr;
        }
    }
    renderables.Clear();
}
