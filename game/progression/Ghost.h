#pragma once

#include <cstdint>

#include "entity/ZActorEntity.h"

class SpeedrunComponent;

// The speedrun ghost: the raced run replayed beside the player. Its owner (the
// player's speedrun component) makes it on entering a course and deletes it
// when the course is left or the run ends; every update pass it takes the
// raced run's pose at the course time from the owner. It draws as a small
// sprite of three frames cycling at 6 per second (a second row for facing
// left) in the world sprites' group, and is hidden while no run is raced.
class Ghost : public ZActorEntity {
    Z_RTTI(Ghost, ZActorEntity)

public:
    // Frames of the sheet as fractions of the texture: three across, the
    // row for facing left starting halfway down.
    static constexpr float kFrameWidth = 0.25f;
    static constexpr float kFrameHeight = 0.375f;
    static constexpr float kLeftRow = 0.5f;
    static constexpr float kFramesPerSecond = 6.0f;
    static constexpr int32_t kFrameCount = 3;

    // Renderable, spatial, physics, camera, facing and anaglyph components,
    // and the sprite in the world sprites' group (when there is one).
    Ghost();
    // The sprite leaves its groups and goes, then the components.
    ~Ghost() override;

    void SetOwner(SpeedrunComponent* owner) { m_owner = owner; }
    SpeedrunComponent* GetOwner() const { return m_owner; }

    // Nothing in the first pass: the pose follows in the second.
    void Update(float /*timeStep*/, uint8_t /*mask*/) override {}
    // Both passes: the pose of the raced run at the owner's course time.
    void PostUpdate(float timeStep, uint8_t mask) override;
    // The sprite's place, frame and anaglyph values.
    bool SetParameters(ZEffectParameter* binding, ZHashedString passName, ZParameterSource* source) override;

    // The sheet's frame shown at a running time (seconds) for a facing value:
    // its corner (u, v) in the texture.
    static void SelectFrame(float runningTime, int32_t facing, float& u, float& v);

private:
    SpeedrunComponent* m_owner = nullptr;  // not owned
};
