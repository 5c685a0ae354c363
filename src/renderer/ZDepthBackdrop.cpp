#include "renderer/ZDepthBackdrop.h"

#include "entity/ZComponentLookup.h"
#include "entity/ZRenderableComponent.h"
#include "foundation/ZVector4.h"
#include "hmd/ZHMDMgr.h"
#include "renderer/ZRenderHost.h"
#include "renderer/ZRenderGroup.h"
#include "renderer/ZRenderPassDesc.h"
#include "renderer/ZRenderable.h"
#include "renderer/ZRenderer.h"
#include "renderer/ZShader.h"

ZDepthBackdrop::ZDepthBackdrop() {
    auto* component = new ZRenderableComponent();
    AddComponent(component);
    ZRenderHost* host = ZRenderHost::Get();
    if (host == nullptr) {
        return;
    }
    ZRenderable* quad = host->CreateBackdropQuad();
    if (quad == nullptr) {
        return;
    }
    if (quad->shader == nullptr) {
        quad->shader = host->CreateDepthBackdropShader();
    }
    m_shader = quad->shader;
    if (ZRenderGroup* group = GetRenderer()->FindRenderGroup(host->GetDefaultBackdropGroupName())) {
        group->Add(quad);
    }
    component->AddRenderable(ZHashedString::None(), quad);
}

ZRenderable* ZDepthBackdrop::GetQuad() const {
    const auto* component = GetComponent<ZRenderableComponent>(const_cast<ZDepthBackdrop*>(this));
    if (component == nullptr) {
        return nullptr;
    }
    for (const auto& node : component->renderables) {
        if (node.value != nullptr) {
            return node.value;
        }
    }
    return nullptr;
}

namespace {

// Whether the pass would draw the renderable, as far as its flag and shader tell.
bool MayDraw(ZRenderable* renderable, const ZHashedString passName) {
    ZShader* shader = renderable != nullptr && renderable->visible ? renderable->GetShader() : nullptr;
    return shader != nullptr && shader->GetPassBinding(passName) != nullptr;
}

}  // namespace

bool ZDepthBackdrop::CanClearInstead(const ZRenderPassDesc* pass, ZRenderable* quad, ZVector4& color) {
    if (!ZRenderer::DrawsOverWholeTarget(pass, quad) || pass->clearColor || pass->targets.Count() > 1) {
        return false;
    }
    // The quad's depth test keeps it behind what is drawn: only with a depth
    // surface, over the whole range, cleared (when the pass clears it) to the far plane.
    if (!pass->depthStencil || pass->minZ != 0.0f || pass->maxZ != 1.0f ||
        (pass->clearDepth && pass->clearDepthValue < 1.0f)) {
        return false;
    }
    // A headset's eyes draw the pass twice, each into its half, and a clear
    // then covers only the current eye.
    if (const ZHMDMgr* hmd = GetHMDManager(); hmd != nullptr && hmd->IsActive()) {
        return false;
    }
    ZVector4 plain;
    if (!quad->GetShader()->GetPlainColor(plain)) {
        return false;
    }
    bool reached = false;
    for (const ZRenderGroup* group : pass->groups) {
        if (group == nullptr || !group->enabled) {
            continue;
        }
        const bool holds = group->Contains(quad);
        if (reached) {
            // Drawn again further on: over whatever came between.
            if (holds) {
                return false;
            }
            continue;
        }
        // Ahead of the quad, or beside it in its group (sorted, so possibly ahead).
        for (ZRenderable* renderable : group->renderables) {
            if (renderable != quad && MayDraw(renderable, pass->name) && !renderable->GetShader()->DrawsOpaqueInFront()) {
                return false;
            }
        }
        reached = holds;
    }
    color = plain;
    return true;
}

ZDepthBackdrop::~ZDepthBackdrop() {
    if (auto* component = GetComponent<ZRenderableComponent>(this)) {
        component->DestroyRenderables();
    }
    delete m_shader;
}
