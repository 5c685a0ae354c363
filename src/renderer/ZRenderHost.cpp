#include "renderer/ZRenderHost.h"

namespace {

ZRenderHost* g_renderHost = nullptr;

}  // namespace

ZRenderHost* ZRenderHost::Get() { return g_renderHost; }

void ZRenderHost::Register(ZRenderHost* host) { g_renderHost = host; }

void ZRenderHost::Unregister(ZRenderHost* host) {
    if (g_renderHost == host) {
        g_renderHost = nullptr;
    }
}
