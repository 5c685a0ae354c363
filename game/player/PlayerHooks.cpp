#include "game/player/PlayerHooks.h"

PlayerRespawnHook& GetPlayerRespawnHook() {
    static PlayerRespawnHook hook = nullptr;
    return hook;
}
