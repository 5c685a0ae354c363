#include "renderer/ZRenderTarget.h"

#include "renderer/ZRenderer.h"
#include "renderer/ZTextureMgr.h"

ZRenderTarget::~ZRenderTarget() { Release(); }

void ZRenderTarget::Release() {
    if (published) {
        ZTextureMgr::GetInstance()->ReleaseTexture(textureName);
        published = false;
    }
    if (ZRenderer* renderer = PeekRenderer()) {
        renderer->FreeRenderTarget(*this, false);
    }
}
