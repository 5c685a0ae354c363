#pragma once

#include "foundation/ZUpdatable.h"
#include "game/display/TunerShader.h"

// The tuner's ball: "Tuner Texture (Ball)", 16 x 16 pixels, moved every frame
// (update list 1) along a figure over the dial plate. It leaves the update
// registry before the shader goes.
class TunerBallTexture : public TunerShader, public ZUpdatable {
public:
    TunerBallTexture();

    void Update(float timeStep, uint8_t mask) override;

    // Where the ball is t seconds into the running time.
    static ZVector3 BallPosition(float t);
};
