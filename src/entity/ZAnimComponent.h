#pragma once

#include <cstdint>

#include "entity/ZSerialComponent.h"
#include "foundation/ZArray.h"
#include "foundation/ZDefNode.h"
#include "foundation/ZMap.h"
#include "foundation/ZMatrix4.h"
#include "foundation/ZUpdatable.h"
#include "foundation/ZVector2.h"

// A rectangle of the sprite sheet in texture coordinates.
struct AnimFrame {
    float u = 0.0f;
    float v = 0.0f;
    float w = 0.0f;
    float h = 0.0f;
    bool operator==(const AnimFrame&) const = default;
};

// An offset added to the frame while the entity moves within a direction.
struct AnimMod {
    float nx = 0.0f;
    float ny = 0.0f;
    float dot = 0.0f;  // applies when (nx, ny) . direction is at least this
    float ox = 0.0f;
    float oy = 0.0f;
    bool operator==(const AnimMod&) const = default;
};

struct AnimSequence {
    ZArray<AnimFrame> frames;
    ZArray<AnimMod> mods;
    float duration = 0.0f;  // one pass over every frame, seconds
    uint8_t loop = 0;
    ZArray<ZDefNode> finished;  // "Finished" elements, run at each end
};

// The "Anim" component: named frame sequences cut from the entity's sprite
// sheet. The current sequence advances by the frame time; the sprite draws
// its current frame. Each end runs the finished callback and the sequence's
// "Finished" actions; a sequence that does not loop stops there.
class ZAnimComponent : public ZSerialComponent, public ZUpdatable {
    Z_RTTI(ZAnimComponent, ZSerialComponent)

public:
    using FinishedCallback = void (*)(ZEntity* owner);
    using DirectionHook = void (*)(ZEntity* owner, ZVector2& direction);

    ZAnimComponent() : ZUpdatable(6) {}

    ZHashedString GetSerialName() const override {
        static const ZHashedString kind("Anim");
        return kind;
    }
    // The "Sequence" children. Frames and mods need the sprite's sheet size:
    // read before the entity has a sheet, sequences keep no frames.
    void ReadDefinition(const ZDefNode& element) override;

    // Plays the named sequence from its start.
    void Play(ZHashedString sequence);
    void AddMod(ZHashedString sequence, float nx, float ny, float dot, float ox, float oy);

    int32_t GetFrameCount() const;
    float GetDuration() const;
    // 0 when the sequence has no duration or no frames.
    int32_t GetFrameIndex() const;
    ZVector2 GetFrameOffset() const;
    ZVector2 GetFrameSize() const;
    // Maps the unit quad's texture coordinates onto the current frame; the
    // identity when there is no frame to show.
    ZMatrix4 GetUVMatrix() const;

    void SetFinishedCallback(const FinishedCallback callback) { finishedCallback = callback; }
    FinishedCallback GetFinishedCallback() const { return finishedCallback; }
    void SetDirectionHook(const DirectionHook hook) { directionHook = hook; }
    DirectionHook GetDirectionHook() const { return directionHook; }

    // Per frame (mask bit 4): advances the playing sequence.
    void Update(float timeStep, uint8_t mask) override;

    uint8_t playing = 0;
    ZHashedString currentSequence;
    float elapsed = 0.0f;
    ZMap<ZHashedString, AnimSequence> sequences;
    FinishedCallback finishedCallback = nullptr;
    DirectionHook directionHook = nullptr;

private:
    const AnimSequence* Current() const;
    const AnimFrame* CurrentFrame() const;
};
