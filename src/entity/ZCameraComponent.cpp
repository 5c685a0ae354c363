#include "entity/ZCameraComponent.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "framework/ZBaseGame.h"
#include "renderer/ZCamera.h"

namespace {

constexpr float kTwoPi = 6.28318530717958647692f;

}  // namespace

ZCameraShake& GetCameraShake() {
    static ZCameraShake shake;
    return shake;
}

float LerpClamped(const float a, const float b, const float scale, const float t) {
    return a + (b - a) * std::clamp(t * scale, 0.0f, 1.0f);
}

float TableSin(const float x) {
    static const auto table = [] {
        struct Table {
            float entries[256];
        } t{};
        for (int k = 0; k < 256; ++k) {
            t.entries[k] = std::sin(kTwoPi * static_cast<float>(k) / 256.0f);
        }
        return t;
    }();
    const float i = x * 256.0f / kTwoPi;
    if (!std::isfinite(i)) {
        return 0.0f;
    }
    const float whole = std::trunc(i);
    // fmod keeps huge arguments in range before the integer conversion.
    const int base = static_cast<int>(std::fmod(whole, 256.0f));
    const int i0 = ((base % 256) + 256) % 256;
    const int i1 = (i0 + 1) % 256;
    const float f = i - whole;
    return table.entries[i0] * (1.0f - f) + table.entries[i1] * f;
}

void ZCameraComponent::ReadDefinition(const ZDefNode& element) {
    ZDefinedComponent::ReadDefinition(element);
    const ZBaseGame* const game = ZBaseGame::PeekInstance();
    camera = game != nullptr ? game->GetCamera() : nullptr;
}

void ZCameraComponent::UpdateShakeAt(const float now) {
    ZCameraShake& shake = GetCameraShake();
    if (!(shake.lastTime + shake.interval < now)) {
        return;
    }
    const float dt = now - shake.lastTime;
    shake.lastTime = now;
    shake.intensity = LerpClamped(shake.intensity, 0.0f, shake.decay, dt);
    if (shake.intensity < 0.5f) {
        shake.intensity = 0.0f;
    }
    const float angle = static_cast<float>(std::rand() % 32768) * (1.0f / 32768.0f) * kTwoPi;
    shake.direction.x = TableSin(angle + kTwoPi / 4.0f);
    shake.direction.y = TableSin(angle);
}

void ZCameraComponent::UpdateShake(const float /*timeStep*/, const uint8_t mask) {
    if ((mask & 2) == 0) {
        return;
    }
    const ZBaseGame* const game = ZBaseGame::PeekInstance();
    UpdateShakeAt(game != nullptr ? game->GetTotalGameTime() : 0.0f);
}

ZMatrix4 ZCameraComponent::GetShakenViewProjection() const {
    if (camera == nullptr) {
        return ZMatrix4();
    }
    const ZCameraShake& shake = GetCameraShake();
    if (shake.intensity < 0.5f) {
        return camera->GetViewProjection();
    }
    const ZVector3 o = shake.direction * shake.intensity;
    ZMatrix4 view;
    ZMatrix4 projection;
    camera->GetView(view);
    camera->GetProjection(projection);
    return view * ZMatrix4::Translation(ZVector3(-o.x, o.y, -o.z)) * projection;
}
