#pragma once

#include <cstdint>

#include "entity/ZSerialComponent.h"

// Marks an entity of a room as a start point for testing: while it exists
// its handle is in the game's debug-start list, and starting a campaign or
// QuickStart put the player at the one with the highest priority.
class DebugStartComponent : public ZSerialComponent {
    Z_RTTI(DebugStartComponent, ZSerialComponent)

public:
    // Joins the game's debug-start list.
    DebugStartComponent();
    // Leaves it (every entry that leads to this component).
    ~DebugStartComponent() override;

    ZHashedString GetSerialName() const override {
        static const ZHashedString kind("DebugStart");
        return kind;
    }
    // Events, then "Priority" as a decimal integer (leading digits; none gives 0).
    void ReadDefinition(const ZDefNode& element) override;

    int32_t priority = 0;
};

// The live debug start with the highest priority in the game's list (the
// earliest listed among equals), or null when there is none.
DebugStartComponent* FindBestDebugStart();
