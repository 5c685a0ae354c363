#include "game/player/PlayerControls.h"

#include <algorithm>
#include <cmath>

float SideViewInput(const float moveRight, const float moveLeft, const float enter, const float jumpDown) {
    const float x = std::clamp(moveRight - moveLeft, -1.0f, 1.0f);
    const float v = std::min(0.9f, std::max(enter, jumpDown));
    const float magnitude = std::max(0.0f, std::fabs(x) - v) / (1.0f - v);
    return x > 0.0f ? magnitude : (x < 0.0f ? -magnitude : 0.0f);
}

float BlendForcedInput(const float h, const float forced, const float remaining, const float duration) {
    const float w = duration > 0.0f ? std::sqrt(std::max(remaining, 0.0f) / duration) : 0.0f;
    return h + w * (forced - h);
}

float AdvanceWalkPhase(float phase, const float h, const float y, const bool underwater, const float dt) {
    float rate = std::max(std::fabs(h), std::fabs(y)) * 9.0f;
    if (underwater) {
        rate *= 0.5f;
    }
    phase += rate * dt;
    while (phase >= 6.0f) {
        phase -= 6.0f;
    }
    return phase;
}

float SmoothGroundSpeed(float smoothed, const float wanted, const float rate, const float dt) {
    const float f = std::clamp(rate * dt, 0.0f, 1.0f);
    smoothed += f * (wanted - smoothed);
    if (std::fabs(smoothed) < 4.0f && std::fabs(wanted) < 0.01f) {
        smoothed = 0.0f;
    }
    return smoothed;
}
