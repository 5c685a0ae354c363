#pragma once

#include <cstdint>

#include "entity/ZSerialComponent.h"
#include "foundation/ZArray.h"
#include "foundation/ZUpdatable.h"

class KorvEntity;

// Turns its entity into a shooter: each "Stream" element of its definition
// fires a bullet made from "Bullet.zdd" every Rate seconds after a start
// delay (Phase), at Speed along Angle (degrees; 0 is +x, 90 is up), with a
// vertical acceleration (Gravity) and a number of Bounces handed to the
// bullet. Streams restart from their phase whenever the entity is built.
class BulletComponent : public ZSerialComponent, public ZUpdatable {
    Z_RTTI(BulletComponent, ZSerialComponent)

public:
    // However long a step, a stream fires at most this many bullets in it.
    static constexpr int32_t kMaxShotsPerStep = 8;

    struct Stream {
        float timer = 0.0f;  // seconds until the next shot
        float rate = 0.0f;   // seconds between shots, above 0
        float phase = 0.0f;
        float speed = 0.0f;
        float angle = 0.0f;  // degrees
        float gravity = 0.0f;
        int32_t bounces = 0;
    };

    BulletComponent() : ZUpdatable(6) {}

    ZHashedString GetSerialName() const override {
        static const ZHashedString kind("Bullet");
        return kind;
    }
    // Events, then one stream per "Stream" child in order (added to those
    // read before). A stream whose Rate is not above 0 would fire without
    // end: it is refused with a log line.
    void ReadDefinition(const ZDefNode& element) override;

    // Fixed step (mask bit 2): every stream's timer runs down and fires from
    // the shooter's position each time it reaches 0.
    void Update(float timeStep, uint8_t mask) override;

    ZArray<Stream> streams;

private:
    // One bullet of the stream from (x, y); null when none could be made.
    KorvEntity* Fire(const Stream& stream, float x, float y);
};
