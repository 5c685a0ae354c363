#include "game/components/GameComponentFactory.h"

#include "entity/AnaglyphComponent.h"
#include "entity/ZComponentKindTable.h"
#include "entity/ZEntity.h"
#include "game/components/BulletComponent.h"
#include "game/components/DebugStartComponent.h"
#include "game/components/DoorComponent.h"
#include "game/components/GroupComponent.h"
#include "game/components/HiddenComponent.h"
#include "game/components/NPCComponent.h"
#include "game/components/PopComponent.h"
#include "game/components/PowerupComponent.h"
#include "game/components/TeleportComponent.h"
#include "game/progression/MinimapComponent.h"
#include "game/progression/SpeedrunComponent.h"

namespace {

ZComponentKindTable& Table() {
    static ZComponentKindTable table;
    return table;
}

}  // namespace

void RegisterGameComponentFactories() {
    using T = ZComponentKindTable;
    // One line per kind; two names may share one class. "Randomizer" is not
    // a kind: in a room's instance files it is the randomizer's data (read by
    // its load hook), and a component made from it would set the randomizer
    // up again from nothing, emptying a randomized world; the player's
    // randomizer component comes with the player.
    static const T::Row rows[] = {
        {"Start", &T::Make<DebugStartComponent>},
        {"DebugStart", &T::Make<DebugStartComponent>},
        {"Hidden", &T::Make<HiddenComponent>},
        {"Bullet", &T::Make<BulletComponent>},
        {"Group", &T::Make<GroupComponent>},
        {"NPC", &T::Make<NPCComponent>},
        {"Pop", &T::Make<PopComponent>},
        {"Anaglyph", &T::Make<AnaglyphComponent>},
        {"Door", &T::Make<DoorComponent>},
        {"Powerup", &T::Make<PowerupComponent>},
        {"Teleport", &T::Make<TeleportComponent>},
        {"Minimap", &T::Make<MinimapComponent>},
        {"Speedrun", &T::Make<SpeedrunComponent>},
    };
    Table().Fill(rows);
}

uint32_t GetGameComponentKindCount() {
    RegisterGameComponentFactories();
    return Table().Count();
}

ZComponent* CreateGameComponentByName(ZEntity* const entity, const ZHashedString kind) {
    RegisterGameComponentFactories();
    return Table().Create(entity, kind);
}
