#include "renderer/ZResolutionListener.h"

#include "renderer/ZRenderHost.h"

void ZResolutionListener::StartListening(int32_t& width, int32_t& height) {
    width = 0;
    height = 0;
    if (ZRenderHost* host = ZRenderHost::Get()) {
        host->AddResolutionListener(this);
        // The render size, as every later notification gives it, so that
        // PixelSize, Tate and FixedAspectRatio hold from the start.
        width = host->GetRenderWidth();
        height = host->GetRenderHeight();
    }
}

void ZResolutionListener::StopListening() {
    if (ZRenderHost* host = ZRenderHost::Get()) {
        host->RemoveResolutionListener(this);
    }
}
