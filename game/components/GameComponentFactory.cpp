#include "game/components/GameComponentFactory.h"

#include "entity/AnaglyphComponent.h"
#include "entity/ZEntity.h"
#include "foundation/ZMap.h"
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

using Maker = ZComponent* (*)(ZEntity* entity);

// Get-or-add: an entity carries at most one component of each class.
template <typename T>
ZComponent* Make(ZEntity* const entity) {
    return AddComponent<T>(entity);
}

ZMap<ZHashedString, Maker>& FactoryMap() {
    static ZMap<ZHashedString, Maker> map;
    return map;
}

}  // namespace

void RegisterGameComponentFactories() {
    ZMap<ZHashedString, Maker>& map = FactoryMap();
    if (!map.IsEmpty()) {
        return;
    }
    struct Row {
        const char* kind;
        Maker make;
    };
    // One line per kind; two names may share one class. "Randomizer" is not
    // a kind: in a room's instance files it is the randomizer's data (read by
    // its load hook), and a component made from it would set the randomizer
    // up again from nothing, emptying a randomized world; the player's
    // randomizer component comes with the player.
    static const Row rows[] = {
        {"Start", &Make<DebugStartComponent>},
        {"DebugStart", &Make<DebugStartComponent>},
        {"Hidden", &Make<HiddenComponent>},
        {"Bullet", &Make<BulletComponent>},
        {"Group", &Make<GroupComponent>},
        {"NPC", &Make<NPCComponent>},
        {"Pop", &Make<PopComponent>},
        {"Anaglyph", &Make<AnaglyphComponent>},
        {"Door", &Make<DoorComponent>},
        {"Powerup", &Make<PowerupComponent>},
        {"Teleport", &Make<TeleportComponent>},
        {"Minimap", &Make<MinimapComponent>},
        {"Speedrun", &Make<SpeedrunComponent>},
    };
    for (const Row& row : rows) {
        map.Insert(ZHashedString(row.kind), row.make);
    }
}

uint32_t GetGameComponentKindCount() {
    RegisterGameComponentFactories();
    return FactoryMap().Count();
}

ZComponent* CreateGameComponentByName(ZEntity* const entity, const ZHashedString kind) {
    if (entity == nullptr) {
        return nullptr;
    }
    RegisterGameComponentFactories();
    const auto* node = FactoryMap().Find(kind);
    if (node == nullptr || node->value == nullptr) {
        return nullptr;
    }
    return node->value(entity);
}
