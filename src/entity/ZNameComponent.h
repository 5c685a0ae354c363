#pragma once

#include "entity/ZSerialComponent.h"

// A name for game code to find or show the entity by ("Name" attribute).
class ZNameComponent : public ZSerialComponent {
    Z_RTTI(ZNameComponent, ZSerialComponent)

public:
    ZNameComponent() = default;

    // Events, then "Name" when present (an empty text is the empty name).
    void ReadDefinition(const ZDefNode& element) override {
        static const ZHashedString kName("Name");
        ZSerialComponent::ReadDefinition(element);
        if (element.HasAttribute(kName)) {
            name = ZHashedString(element.GetAttribute(kName).GetText());
        }
    }
    ZHashedString GetSerialName() const override {
        static const ZHashedString kind("Name");
        return kind;
    }

    ZHashedString name{""};
};
