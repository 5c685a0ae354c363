#include "renderer/ZDialogBackdrop.h"

#include "entity/ZComponentLookup.h"
#include "entity/ZRenderableComponent.h"
#include "renderer/AnaglyphBackdropShader.h"
#include "renderer/ZQuadRenderable.h"
#include "renderer/ZRenderGroup.h"
#include "renderer/ZRenderer.h"

ZDialogBackdrop::ZDialogBackdrop(const ZHashedString renderGroup) {
    auto* component = new ZRenderableComponent();
    AddComponent(component);
    auto* quad = new ZQuadRenderable();
    m_shader = new AnaglyphBackdropShader();
    quad->shader = m_shader;
    if (ZRenderGroup* group = GetRenderer()->FindRenderGroup(renderGroup)) {
        group->Add(quad);
    }
    component->AddRenderable(ZHashedString::None(), quad);
}

ZDialogBackdrop::~ZDialogBackdrop() {
    if (auto* component = GetComponent<ZRenderableComponent>(this)) {
        component->DestroyRenderables();
    }
    delete m_shader;
}
