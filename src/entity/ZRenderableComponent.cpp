#include "entity/ZRenderableComponent.h"

#include "renderer/ZRenderable.h"
#include "renderer/ZRenderer.h"
#include "renderer/ZShader.h"

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

void ZRenderableComponent::ReleaseRenderables() {
    for (auto& node : renderables) {
        if (node.value != nullptr) {
            GetRenderer()->RemoveFromAllRenderGroups(node.value);
        }
    }
    renderables.Clear();
}

void ZRenderableComponent::SetRenderablesVisible(const bool visible) {
    for (auto& node : renderables) {
        if (node.value != nullptr) {
            node.value->visible = visible;
        }
    }
}

void ZRenderableComponent::ClearShaderTextures() {
    for (auto& node : renderables) {
        if (node.value != nullptr && node.value->shader != nullptr) {
            node.value->shader->ClearTextures();
        }
    }
}
