#include "game/world/PlaySession.h"

#include <random>

#include "entity/ZComponentLookup.h"
#include "game/player/Player.h"
#include "game/progression/SpeedrunComponent.h"
#include "game/world/KorvanthGame.h"

PlaySession::PlaySession() { Begin(); }

uint32_t PlaySession::GetSessionGUID() const {
    const KorvanthGame* const game = KorvanthGame::Get();
    Player* const player = game != nullptr ? game->GetPlayer() : nullptr;
    const SpeedrunComponent* const speedrun = player != nullptr ? GetComponent<SpeedrunComponent>(player) : nullptr;
    if (speedrun != nullptr && speedrun->GetSessionGUID() != 0) return speedrun->GetSessionGUID();
    return m_guid;
}

void PlaySession::Begin() {
    // Not the runtime's generator: drawing from it would change what the
    // game's own random choices come out as.
    static std::random_device source;
    uint32_t guid = 0;
    do {
        guid = source();
    } while (guid == 0 || guid == m_guid);
    m_guid = guid;
}
