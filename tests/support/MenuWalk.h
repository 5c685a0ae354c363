#pragma once

// Walks through the engine's screens in whole runs: a list of steps, each
// acting once the screen it waits for is there.

#include <functional>

#include "menu/ZMenuMgr.h"

namespace korvtest {

// One step of the walk: once `ready` answers true, `act` runs.
struct Step {
    const char* what;
    std::function<bool()> ready;
    std::function<void()> act;
};

// The menu on top is a Menu, with no request or transition pending.
template <typename Menu>
bool AtRestOn() {
    const ZMenuMgr* menus = GetMenuMgr();
    return menus->GetRequests().IsEmpty() && menus->GetTransitionState() == ZMenuMgr::kNone &&
           dynamic_cast<Menu*>(menus->GetTopMenu()) != nullptr;
}

}  // namespace korvtest
