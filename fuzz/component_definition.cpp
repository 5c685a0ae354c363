// A definition tree from untrusted bytes goes through the component factories,
// as an entity file does: every component reads its element, then the entity
// fires its events, ticks its timers, saves and restores its state and is
// deleted. Nothing may crash, hang or leak.

#include <cstddef>
#include <cstdint>

#include "entity/ZCommandRunner.h"
#include "entity/ZComponentFactoryChain.h"
#include "entity/ZEngineComponentFactory.h"
#include "entity/ZEntity.h"
#include "entity/ZEntityCommands.h"
#include "entity/ZEntityState.h"
#include "entity/ZTimerComponent.h"
#include "foundation/ZDefinitionFile.h"
#include "foundation/ZHandleRegistry.h"
#include "foundation/ZStateStore.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 1 << 16) {
        return 0;
    }
    static const bool ready = [] {
        RegisterComponentFactory(CreateComponentByName);
        RegisterCommandHandler(EntityCommandDispatcher);
        return true;
    }();
    (void)ready;

    ZDefNode root;
    ReadDefinitionBytes(root, data, size);
    auto* entity = new ZEntity();
    const uint32_t handle = entity->GetHandle();
    entity->CreateComponentsFromNode(root);

    // Fire every event that every defined component has.
    ZArray<uint32_t> components;
    for (const auto& node : entity->GetComponentMap()) {
        if (node.value != nullptr) {
            components.AddUnique(node.value->GetHandle());
        }
    }
    for (const uint32_t component : components) {
        auto* defined = DynamicCast<ZDefinedComponent>(FindObjectByHandle(component));
        if (defined == nullptr) {
            continue;
        }
        ZArray<ZHashedString> names;
        for (const auto& event : defined->events) {
            names.PushBack(event.key);
        }
        for (const ZHashedString name : names) {
            ZDefinedComponent::FireEvent(DynamicCast<ZDefinedComponent>(FindObjectByHandle(component)), name,
                                         component, handle);
        }
    }
    if (FindObjectByHandle(handle) == entity) {
        if (ZTimerComponent* timers = GetComponent<ZTimerComponent>(entity)) {
            timers->Update(1.0f, 2);
        }
    }
    RunDeferredCommands();
    if (FindObjectByHandle(handle) == entity) {
        SaveEntityState(entity);
        RestoreEntityState(entity, ZHashedString("Fuzz.zdd"), 0);
    }
    if (FindObjectByHandle(handle) == entity) {
        delete entity;
    }
    GetStateStore()->Clear();
    DestroyDeferredCommands();
    return 0;
}
