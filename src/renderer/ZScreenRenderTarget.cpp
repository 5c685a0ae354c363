#include "renderer/ZScreenRenderTarget.h"

#include "renderer/ZRenderer.h"

ZScreenRenderTarget::ZScreenRenderTarget(const ZHashedString textureName, const bool autoMipmap) {
    target.autoMipmap = autoMipmap;
    Start(textureName);
}

ZScreenRenderTarget::ZScreenRenderTarget(const float sx, const float sy, const ZHashedString textureName)
    : scaleX(sx), scaleY(sy) {
    Start(textureName);
}

void ZScreenRenderTarget::Start(const ZHashedString textureName) {
    int32_t width = 0;
    int32_t height = 0;
    StartListening(width, height);
    target.width = static_cast<int32_t>(static_cast<float>(width) * scaleX);
    target.height = static_cast<int32_t>(static_cast<float>(height) * scaleY);
    target.format = ZRenderTarget::kX8R8G8B8;
    target.depthStencil = false;
    GetRenderer()->CreateRenderTarget(target, textureName);
}

ZScreenRenderTarget::~ZScreenRenderTarget() {
    StopListening();
    target.Release();
}

void ZScreenRenderTarget::OnResolutionChanged(const int32_t width, const int32_t height) {
    target.width = static_cast<int32_t>(scaleX * static_cast<float>(width));
    target.height = static_cast<int32_t>(scaleY * static_cast<float>(height));
}
