#include "entity/ZEntityState.h"

#include "entity/ZEntity.h"
#include "entity/ZGUIDComponent.h"
#include "entity/ZRespawnComponent.h"
#include "entity/ZScriptComponent.h"
#include "entity/ZSerialComponent.h"
#include "foundation/ZArray.h"
#include "foundation/ZHandleRegistry.h"
#include "foundation/ZStateStore.h"

namespace {

ZEntityStateList* g_list = nullptr;

// Each serial component once, in key order (a component may be cached under
// several keys of the map).
ZArray<ZSerialComponent*> SerialComponents(ZEntity* entity) {
    ZArray<ZSerialComponent*> found;
    for (auto& node : entity->GetComponentMap()) {
        if (auto* serial = DynamicCast<ZSerialComponent>(node.value)) {
            found.AddUnique(serial);
        }
    }
    return found;
}

}  // namespace

ZEntityStateList* GetEntityStateList() {
    if (g_list == nullptr) {
        g_list = new ZEntityStateList();
    }
    return g_list;
}

void DestroyEntityStateList() {
    delete g_list;
    g_list = nullptr;
}

void SaveEntityState(ZEntity* const entity) {
    if (entity == nullptr) {
        return;
    }
    if (g_list != nullptr && g_list->saveCallback != nullptr) {
        g_list->saveCallback(entity);
        return;
    }
    SaveEntityStateRecord(entity);
}

void SaveEntityStateRecord(ZEntity* const entity) {
    const ZGUIDComponent* guid = GetComponent<ZGUIDComponent>(entity);
    if (guid == nullptr) {
        return;
    }
    ZDefNode record;
    for (const ZSerialComponent* serial : SerialComponents(entity)) {
        serial->SaveInto(record);
    }
    GetStateStore()->GetOrInsert(guid->guid) = record;
}

void RestoreEntityState(ZEntity* const entity, const ZHashedString instanceFile, const uint32_t context) {
    if (entity == nullptr) {
        return;
    }
    const uint32_t self = entity->GetHandle();
    const auto alive = [&] { return FindObjectByHandle(self) == entity; };
    const ZGUIDComponent* guid = GetComponent<ZGUIDComponent>(entity);
    if (guid != nullptr && GetStateStore()->Has(guid->guid)) {
        const ZDefNode record = GetStateStore()->Get(guid->guid);
        for (ZSerialComponent* serial : SerialComponents(entity)) {
            serial->ReadDefinition(record.FindChild(serial->GetSerialName()));
            if (!alive()) {
                return;
            }
        }
    }
    if (ZScriptComponent* script = GetComponent<ZScriptComponent>(entity)) {
        script->RunFullyLoaded(self, context);
        if (!alive()) {
            return;
        }
    }
    if (ZRespawnComponent* respawn = GetComponent<ZRespawnComponent>(entity)) {
        respawn->instanceFile = instanceFile;
    }
    for (ZSerialComponent* serial : SerialComponents(entity)) {
        serial->PostLoadHook();
    }
}
