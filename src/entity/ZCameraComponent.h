#pragma once

#include <cstdint>

#include "entity/ZSerialComponent.h"
#include "foundation/ZMatrix4.h"
#include "foundation/ZUpdatable.h"
#include "foundation/ZVector3.h"

class ZCamera;

// The program-wide screen shake: a shake command raises the intensity, the
// camera components' fixed-step updates let it decay towards 0, at most once
// per interval, and pick a new random direction each time.
struct ZCameraShake {
    float lastTime = -1.0f;
    float interval = 0.0f;
    ZVector3 direction;
    float intensity = 0.0f;
    float decay = 3.0f;  // per second
};
ZCameraShake& GetCameraShake();

// a + (b - a) * clamp(t * scale, 0, 1).
float LerpClamped(float a, float b, float scale, float t);
// Sine from a 256-entry table, interpolated between neighbouring entries.
float TableSin(float x);

// The "Camera" component: links an entity to the game's camera, runs the
// shake update and gives the view-projection with shake that sprites draw
// with.
class ZCameraComponent : public ZSerialComponent, public ZUpdatable {
    Z_RTTI(ZCameraComponent, ZSerialComponent)

public:
    ZCameraComponent() : ZUpdatable(6) {}

    ZHashedString GetSerialName() const override {
        static const ZHashedString kind("Camera");
        return kind;
    }
    // Events, then the game's current camera.
    void ReadDefinition(const ZDefNode& element) override;

    void Update(float /*timeStep*/, uint8_t /*mask*/) override {}
    // The shake update, on the fixed step (mask bit 2).
    void PostUpdate(float timeStep, uint8_t mask) override { UpdateShake(timeStep, mask); }
    // Decays the shake by the game time since the last update; now is the
    // game's time.
    static void UpdateShakeAt(float now);
    void UpdateShake(float timeStep, uint8_t mask);

    // The camera's view-projection, shifted in view space by the shake; the
    // identity without a camera.
    ZMatrix4 GetShakenViewProjection() const;

    ZCamera* camera = nullptr;
};
