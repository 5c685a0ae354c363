// The connection to the X display under SDL's x11 driver. When the X server
// goes away, Xlib calls its I/O error handler and then, unless told
// otherwise, exits the process from inside whatever X call noticed it; the
// teardown that exit runs (SDL hiding and destroying the window) then waits
// for events on the dead connection for ever, spinning a core. Here the
// handlers only note the loss: Xlib answers every later call on the dead
// connection at once, the window system ends the game in order, and nothing
// is torn down through the connection any more.
//
// Xlib's own types come from SDL's window-manager header; its functions are
// looked up in the copy SDL loaded, so the program does not link it itself.

#include <SDL.h>
#include <SDL_syswm.h>
#include <dlfcn.h>

#include <atomic>

#include "platform/window/sdl/SdlShared.h"

namespace platform::sdl {

namespace {

std::atomic<bool> g_displayLost{false};

int NoteLostDisplay(Display* /*display*/) {
    g_displayLost.store(true);
    return 0;
}

// Returning (rather than exiting) keeps the program running to its own end.
void StayAfterLostDisplay(Display* /*display*/, void* /*user*/) {
    g_displayLost.store(true);
}

using SetIOErrorHandlerFunction = XIOErrorHandler (*)(XIOErrorHandler);
using SetIOErrorExitHandlerFunction = void (*)(Display*, XIOErrorExitHandler, void*);

}  // namespace

void WatchDisplayConnection(SDL_Window* const window) {
    if (window == nullptr) return;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return;
    void* const x11 = dlopen("libX11.so.6", RTLD_LAZY | RTLD_NOLOAD);
    if (x11 == nullptr) return;
    const auto setHandler = reinterpret_cast<SetIOErrorHandlerFunction>(dlsym(x11, "XSetIOErrorHandler"));
    // Xlib 1.7 and later; an older one still exits, but the exit's teardown
    // sees the loss and leaves the connection alone.
    const auto setExitHandler = reinterpret_cast<SetIOErrorExitHandlerFunction>(dlsym(x11, "XSetIOErrorExitHandler"));
    if (setHandler != nullptr) setHandler(NoteLostDisplay);
    if (setExitHandler != nullptr) setExitHandler(info.info.x11.display, StayAfterLostDisplay, nullptr);
    dlclose(x11);  // the library stays loaded for SDL
}

bool DisplayLost() {
    return g_displayLost.load();
}

}  // namespace platform::sdl
