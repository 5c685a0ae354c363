#pragma once

#include "entity/ZSerialComponent.h"

// Lets an entity be made again from the definition file it came from. The
// respawn itself comes with the small gameplay components; this keeps the file.
class ZRespawnComponent : public ZSerialComponent {
    Z_RTTI(ZRespawnComponent, ZSerialComponent)

public:
    ZRespawnComponent() = default;

    ZHashedString GetSerialName() const override {
        static const ZHashedString kind("Respawn");
        return kind;
    }
    // The file name is set again on every restore; nothing to save.
    void Save(ZDefNode& /*element*/) const override {}

    ZHashedString instanceFile;  // the definition file the entity was made from
};
