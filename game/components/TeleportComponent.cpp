#include "game/components/TeleportComponent.h"

namespace {

ZHashedString NameOf(const ZString& text) { return ZHashedString(text.GetText()); }

}  // namespace

TeleportComponent::Destination& TeleportComponent::FindOrAddDestination(const ZHashedString name) {
    return destinations[name];
}

void TeleportComponent::SetDestination(const ZHashedString name, const ZHashedString map, const int32_t roomX,
                                       const int32_t roomY, const ZHashedString arrival) {
    Destination& destination = FindOrAddDestination(name);
    destination.map = map;
    destination.roomX = roomX;
    destination.roomY = roomY;
    destination.arrival = arrival;
    destination.wipe = false;
    destination.save = true;
}

void TeleportComponent::ReadDefinition(const ZDefNode& element) {
    static const ZHashedString kName("Name");
    static const ZHashedString kMap("Map");
    static const ZHashedString kEntity("Entity");
    static const ZHashedString kMapX("MapX");
    static const ZHashedString kMapY("MapY");
    static const ZHashedString kWipe("Wipe");
    static const ZHashedString kSave("Save");
    ZSerialComponent::ReadDefinition(element);
    const ZHashedString key = NameOf(element.HasAttribute(kName) ? element.GetAttribute(kName) : ZString());
    // Only the attributes present change the record; an element with none
    // leaves no record behind.
    const bool hasMap = element.HasAttribute(kMap);
    const bool hasEntity = element.HasAttribute(kEntity);
    const bool hasRoom = element.HasAttribute(kMapX) && element.HasAttribute(kMapY);
    const bool hasWipe = element.HasAttribute(kWipe);
    const bool hasSave = element.HasAttribute(kSave);
    if (!(hasMap || hasEntity || hasRoom || hasWipe || hasSave)) {
        return;
    }
    Destination& destination = FindOrAddDestination(key);
    if (hasMap) destination.map = NameOf(element.GetAttribute(kMap));
    if (hasEntity) destination.arrival = NameOf(element.GetAttribute(kEntity));
    if (hasRoom) {
        destination.roomX = element.GetAttribute(kMapX).ToInt();
        destination.roomY = element.GetAttribute(kMapY).ToInt();
    }
    if (hasWipe) destination.wipe = element.GetAttribute(kWipe).EqualsNoCase("true");
    if (hasSave) destination.save = element.GetAttribute(kSave).EqualsNoCase("true");
}
