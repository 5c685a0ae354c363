#pragma once

#include <cstdint>

#include "foundation/ZArray.h"

class ZMenu;

// The stack of open menus. Opening and closing are requests queued until the
// next UpdateTransitions, so a menu never disappears under the code that is
// running it.
class ZMenuMgr {
public:
    enum RequestKind : int32_t { kRequestOpen = 1, kRequestCloseAll = 2 };

    struct Request {
        int32_t kind = 0;
        ZMenu* menu = nullptr;  // the menu to open (owned while queued)
    };

    ZMenuMgr() = default;
    // Applies the queued requests, then frees every open menu.
    ~ZMenuMgr();
    ZMenuMgr(const ZMenuMgr&) = delete;
    ZMenuMgr& operator=(const ZMenuMgr&) = delete;

    // Queues opening the menu, which the manager then owns. A null menu is ignored.
    void OpenMenu(ZMenu* menu);
    // Queues closing every open menu.
    void CloseAll();
    // The per-frame menu input (the top menu's controls).
    void Update() {}
    // Applies the queued requests in order and advances the transitions.
    void UpdateTransitions(float totalEngineTime);

    uint32_t GetOpenMenuCount() const { return m_open.Count(); }
    // Queued requests of kind open.
    uint32_t GetQueuedOpenCount() const;
    // The top menu, or null.
    ZMenu* GetTopMenu() const { return m_open.IsEmpty() ? nullptr : m_open[m_open.Count() - 1]; }
    // The colour menus fade with (packed ARGB): opaque white outside transitions.
    uint32_t GetOverlayColor() const { return m_overlayColor; }
    void SetOverlayColor(uint32_t argb) { m_overlayColor = argb; }

private:
    void ApplyRequests();

    ZArray<ZMenu*> m_open;
    ZArray<Request> m_requests;
    uint32_t m_overlayColor = 0xFFFFFFFFu;
};

// The menu manager, made on first use.
ZMenuMgr* GetMenuMgr();
// Frees it (third step of the engine's teardown).
void DestroyMenuMgr();
