#pragma once

#include <cstdint>

#include "entity/ZSerialComponent.h"
#include "foundation/ZArray.h"
#include "foundation/ZVector3.h"

// The "Pusher" component: which entities push and which can be pushed. A
// pushing mover queues the pushes its contacts cause; its own next step
// with a displacement sweeps each pushed entity by its push.
class ZPusherComponent : public ZSerialComponent {
    Z_RTTI(ZPusherComponent, ZSerialComponent)

public:
    struct PushEntry {
        uint32_t handle = 0;  // the pushed entity
        ZVector3 push;
        bool operator==(const PushEntry&) const = default;
    };

    ZPusherComponent() { queue.SetFixed(true); }

    ZHashedString GetSerialName() const override {
        static const ZHashedString kind("Pusher");
        return kind;
    }
    // "CanPush" and "CanBePushed": true only for "true" in any letter case.
    void ReadDefinition(const ZDefNode& element) override;

    void QueuePush(const uint32_t pushedHandle, const ZVector3& push) { queue.PushBack({pushedHandle, push}); }
    // Empties the queue and gives up its storage.
    void ClearQueue() { queue.Clear(); }

    bool canPush = false;
    bool canBePushed = false;
    ZArray<PushEntry> queue;
};
