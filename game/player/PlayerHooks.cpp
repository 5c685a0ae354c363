#include "game/player/PlayerHooks.h"

PlayerRespawnHook& GetPlayerRespawnHook() {
    static PlayerRespawnHook hook = nullptr;
    return hook;
}

PlayerScreensHook& GetPlayerScreensHook() {
    static PlayerScreensHook hook = nullptr;
    return hook;
}

PlayerDoorHook& GetPlayerDoorHook() {
    static PlayerDoorHook hook = nullptr;
    return hook;
}
