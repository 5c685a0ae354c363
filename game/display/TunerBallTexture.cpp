#include "game/display/TunerBallTexture.h"

#include "game/display/DisplayShaderSupport.h"

TunerBallTexture::TunerBallTexture() : ZUpdatable(1) {
    textureName = ZHashedString("Tuner Texture (Ball)");
    position = ZVector3(0.0f, 0.0f, 0.0f);
    scale = ZVector3(16.0f, 16.0f, 1.0f);
}

ZVector3 TunerBallTexture::BallPosition(const float t) {
    const float phaseX = t * 3.0f * 2.0f + 4.71238911151886f + 1.5707963705062866f;
    const float phaseY = t * 3.0f + 0.0f;
    return ZVector3(184.0f + 14.0f * FastSin(phaseX), 120.0f + 46.0f * FastSin(phaseY), 0.0f);
}

void TunerBallTexture::Update(float, const uint8_t mask) {
    if ((mask & 1) == 0) return;
    position = BallPosition(GetDisplayRunningTime());
}
