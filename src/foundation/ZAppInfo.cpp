#include "foundation/ZAppInfo.h"

std::atomic<ZAppInfo*> gAppInfo{nullptr};
std::atomic<bool> gAppInfoDestroyed{false};

namespace {
// The object GetInstance made, so DestroyInstance frees only what it owns.
std::atomic<ZAppInfo*> g_defaultInfo{nullptr};
}  // namespace

ZAppInfo* ZAppInfo::GetInstance() {
    ZAppInfo* info = gAppInfo.load();
    if (info != nullptr) {
        return info;
    }
    if (gAppInfoDestroyed.load()) {
        return nullptr;
    }
    ZAppInfo* fresh = new (std::nothrow) ZAppInfo();
    if (fresh == nullptr) {
        return nullptr;
    }
    // Another thread may have stored one meanwhile; the first stored wins.
    ZAppInfo* expected = nullptr;
    if (!gAppInfo.compare_exchange_strong(expected, fresh)) {
        delete fresh;
        return expected;
    }
    g_defaultInfo.store(fresh);
    return fresh;
}

void ZAppInfo::DestroyInstance() {
    gAppInfo.store(nullptr);
    delete g_defaultInfo.exchange(nullptr);
}
