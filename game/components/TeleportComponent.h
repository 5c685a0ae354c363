#pragma once

#include <cstdint>

#include "entity/ZSerialComponent.h"
#include "foundation/ZMap.h"

class Player;

// An address book of named destinations: where a move ends (map, room and
// optionally the named entity to arrive at) and whether it wipes and
// autosaves. It moves nothing itself: the "teleport" script verb looks a
// destination up in the context entity's component and performs the move.
// Each "Teleport" element of a definition adds or updates one destination,
// field by field, so several elements may build one record.
class TeleportComponent : public ZSerialComponent {
    Z_RTTI(TeleportComponent, ZSerialComponent)

public:
    struct Destination {
        ZHashedString map = ZHashedString("");
        int32_t roomX = 0;
        int32_t roomY = 0;
        ZHashedString arrival = ZHashedString("");  // the ZNameComponent name to arrive at
        bool wipe = false;
        bool save = false;
    };

    TeleportComponent() = default;

    // Events, then the destination under "Name" with the attributes present.
    void ReadDefinition(const ZDefNode& element) override;
    ZHashedString GetSerialName() const override {
        static const ZHashedString kind("Teleport");
        return kind;
    }

    // The record of that name, made with its defaults when there is none:
    // every lookup goes through here, so asking for a name creates it.
    Destination& FindOrAddDestination(ZHashedString name);
    ZHashedString GetDestinationMap(ZHashedString name) { return FindOrAddDestination(name).map; }
    ZHashedString GetDestinationArrival(ZHashedString name) { return FindOrAddDestination(name).arrival; }
    // A built-in destination: no wipe, and the move autosaves.
    void SetDestination(ZHashedString name, ZHashedString map, int32_t roomX, int32_t roomY, ZHashedString arrival);

    ZMap<ZHashedString, Destination> destinations;
};

// Moves the player to the named destination of the component ("teleport"):
// without wipe at once (the map and room load, the player stands at the
// arrival entity or in the middle of the room's first screen, keeping its
// velocity, settles, walks in from an edge and the run is saved there; save
// also autosaves at each entity of the arrival name, so the last one is the
// checkpoint); with wipe the room's entities leave at once (saved), the
// player hides, and the door transition does the move at its midpoint. A
// course run's ghost records a frame before the move and one after it, so
// it jumps with the player rather than gliding there.
void TeleportPlayer(TeleportComponent& teleport, Player& player, ZHashedString destination, bool save);
