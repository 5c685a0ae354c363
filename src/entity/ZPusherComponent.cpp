#include "entity/ZPusherComponent.h"

void ZPusherComponent::ReadDefinition(const ZDefNode& element) {
    ZDefinedComponent::ReadDefinition(element);
    static const ZHashedString kCanBePushed("CanBePushed");
    static const ZHashedString kCanPush("CanPush");
    if (element.HasAttribute(kCanBePushed)) {
        canBePushed = element.GetAttribute(kCanBePushed).EqualsNoCase("true");
    }
    if (element.HasAttribute(kCanPush)) {
        canPush = element.GetAttribute(kCanPush).EqualsNoCase("true");
    }
}
