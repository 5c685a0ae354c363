#pragma once

#include <cstdint>

#include "entity/ZDefinedComponent.h"

// The entity's identity: its saved state and its instance file are keyed by
// it. Not a serial component, so it is never saved into the state itself.
class ZGUIDComponent : public ZDefinedComponent {
    Z_RTTI(ZGUIDComponent, ZDefinedComponent)

public:
    ZGUIDComponent() = default;

    // Events, then "GUID" as hexadecimal (case, "0x" and separators do not
    // matter) when the element has it; the shared empty element changes nothing.
    void ReadDefinition(const ZDefNode& element) override;

    uint32_t guid = 0;
};
