#include "game/world/MenuCloser.h"

#include "menu/ZMenuMgr.h"

MenuCloser::MenuCloser() {
    // Menus run on frame time; so does closing them.
    runsOnGameTime = false;
    duration = kDuration;
}

void MenuCloser::Start() {
    GameCinematic::Start();
    duration = kDuration;
}

void MenuCloser::End() {
    if (ZMenuMgr* const menus = PeekMenuMgr()) menus->CloseAll(ZMenuMgr::kForward);
}
