#include "entity/ZGUIDComponent.h"

void ZGUIDComponent::ReadDefinition(const ZDefNode& element) {
    ZDefinedComponent::ReadDefinition(element);
    static const ZHashedString kGUID("GUID");
    if (element.flag == 0 && element.HasAttribute(kGUID)) {
        guid = HexToInt(element.GetAttribute(kGUID).GetText());
    }
}
