#include "framework/ZPlatformServices.h"

#include "foundation/ZLog.h"
#include "foundation/ZString.h"
#include "framework/ZPlatformGlue.h"

namespace {

std::unique_ptr<ZPlatformServices>& Services() {
    static std::unique_ptr<ZPlatformServices> services;
    return services;
}

}  // namespace

void ZPlatformServices::UnlockAchievement(const ZHashedString id) {
    if (m_logged.insert(id.GetId()).second) {
        ZLog::Printf("Achievement \"%s\" earned (no achievement service on this platform)", TextOrEmpty(id.GetText()));
    }
}

ZPlatformServices* GetPlatformServices() {
    std::unique_ptr<ZPlatformServices>& services = Services();
    if (services == nullptr && !IsEngineShuttingDown()) services = std::make_unique<ZPlatformServices>();
    return services.get();
}

void SetPlatformServices(std::unique_ptr<ZPlatformServices> services) { Services() = std::move(services); }

void DestroyPlatformServices() { Services().reset(); }
