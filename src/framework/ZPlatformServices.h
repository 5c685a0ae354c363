#pragma once

#include <memory>
#include <set>

#include "foundation/ZHashedString.h"

// The platform's online services: where earned achievements are reported.
// This platform has no such service, so the engine's own object only notes
// each achievement in the log the first time it is earned in a run; a
// platform with a service installs an object of its own.
class ZPlatformServices {
public:
    virtual ~ZPlatformServices() = default;
    // Reports an earned achievement. Reporting one again is harmless.
    virtual void UnlockAchievement(ZHashedString id);

private:
    std::set<uint32_t> m_logged;  // ids already written to the log this run
};

// The services object, made on first use; null once the engine's singletons
// are being released (nothing is reported during shutdown).
ZPlatformServices* GetPlatformServices();
// Replaces the services object (a platform's service, or a test's recorder).
void SetPlatformServices(std::unique_ptr<ZPlatformServices> services);
// Frees the object; the next GetPlatformServices makes a new one.
void DestroyPlatformServices();
