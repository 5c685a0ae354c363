#include "renderer/ZRenderGroup.h"

void ZRenderGroup::Add(ZRenderable* renderable) {
    if (renderable != nullptr) {
        renderables.AddUnique(renderable);
    }
}

bool ZRenderGroup::Remove(ZRenderable* renderable) {
    return renderables.Remove(renderable);
}
