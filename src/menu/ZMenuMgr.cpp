#include "menu/ZMenuMgr.h"

#include <utility>

#include "foundation/ZAppInfo.h"
#include "menu/ZMenu.h"

namespace {

ZMenuMgr* g_menuMgr = nullptr;

}  // namespace

ZMenuMgr* GetMenuMgr() { return GetOrCreateManager(g_menuMgr); }

void DestroyMenuMgr() { DestroyManager(g_menuMgr); }

ZMenuMgr::~ZMenuMgr() {
    ApplyRequests();
    for (ZMenu* menu : m_open) {
        delete menu;
    }
    m_open.Clear();
}

void ZMenuMgr::OpenMenu(ZMenu* const menu) {
    if (menu != nullptr) {
        m_requests.PushBack(Request{kRequestOpen, menu});
    }
}

void ZMenuMgr::CloseAll() { m_requests.PushBack(Request{kRequestCloseAll, nullptr}); }

void ZMenuMgr::UpdateTransitions(float /*totalEngineTime*/) { ApplyRequests(); }

uint32_t ZMenuMgr::GetQueuedOpenCount() const {
    uint32_t count = 0;
    for (const Request& request : m_requests) {
        count += request.kind == kRequestOpen ? 1 : 0;
    }
    return count;
}

void ZMenuMgr::ApplyRequests() {
    // Swapped out first: a request may queue another, which waits for the next update.
    const ZArray<Request> requests(std::move(m_requests));
    for (const Request& request : requests) {
        if (request.kind == kRequestOpen) {
            m_open.PushBack(request.menu);
        } else if (request.kind == kRequestCloseAll) {
            for (ZMenu* menu : m_open) {
                delete menu;
            }
            m_open.Clear();
        }
    }
}
