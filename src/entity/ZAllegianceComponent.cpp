#include "entity/ZAllegianceComponent.h"

void ZAllegianceComponent::ReadDefinition(const ZDefNode& element) {
    ZDefinedComponent::ReadDefinition(element);
    static const ZHashedString kValue("Value");
    if (element.HasAttribute(kValue)) {
        allegiance = element.GetAttribute(kValue).ToInt();
    }
}

ZHashedString ZAllegianceComponent::GetSerialName() const {
    static const ZHashedString kind("Allegiance");
    return kind;
}
