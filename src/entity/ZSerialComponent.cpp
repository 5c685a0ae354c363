#include "entity/ZSerialComponent.h"

void ZSerialComponent::SaveInto(ZDefNode& parent) const {
    ZDefNode element(GetSerialName());
    Save(element);
    if (!element.IsEmpty()) {
        parent.AddChild(static_cast<ZDefNode&&>(element));
    }
}
