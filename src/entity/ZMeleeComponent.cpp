#include "entity/ZMeleeComponent.h"

#include <algorithm>
#include <cmath>

#include "entity/ZCollisionSphere.h"
#include "entity/ZEntity.h"
#include "entity/ZEntityMotion.h"
#include "entity/ZSpatialComponent.h"
#include "renderer/ZEffectParameter.h"

namespace {

ZMatrix4 Then(const ZMatrix4& first, const ZMatrix4& second) {
    ZMatrix4 result;
    ZMatrix4::Multiply(result, first, second);
    return result;
}

}  // namespace

ZMeleeComponent::ZMeleeComponent() : hitShape(new ZCollisionSphere(0.8f)) {
    hitShape->responseKind = ZCollisionInterface::kPushOut;
}

ZMeleeComponent::~ZMeleeComponent() { delete hitShape; }

ZMatrix4 ZMeleeComponent::SwingMatrix(const float swingTime, const float swingDuration, const int32_t swingState,
                                      const ZVector3& scale, const ZQuaternion& rotation, const ZVector3& position) {
    constexpr float kTwoPi = 6.2831853f;
    float t = swingTime / swingDuration;
    t = std::isnan(t) ? 0.0f : std::clamp(t, 0.0f, 1.0f);  // a zero duration is the swing's start
    const float s = 2.0f * std::pow(t, 0.75f) - 1.0f;
    const float angle = s * kTwoPi * 0.15f;
    const float pulse = std::sqrt(1.0f - std::fabs(s)) * 0.65f + 0.35f;
    const float visible = swingState == kSwinging ? 1.0f : 0.0f;
    ZMatrix4 m = ZMatrix4::MakeScale(scale);
    m = Then(m, ZMatrix4::Translation(ZVector3(1.0f, 0.0f, 0.0f)));
    m = Then(m, ZMatrix4::MakeScale(ZVector3(2.0f, 0.8f, 0.8f)));
    m = Then(m, ZMatrix4::MakeUniformScale(visible));
    m = Then(m, ZMatrix4::MakeUniformScale(pulse));
    m = Then(m, ZMatrix4::Translation(ZVector3(1.0f, 0.0f, 0.0f)));
    m = Then(m, ZMatrix4::Transpose(ZMatrix4::RotationZ(angle)));  // row-vector form
    m = Then(m, ZQuaternion::ToMatrix(rotation, true));
    return Then(m, ZMatrix4::Translation(position));
}

bool ZMeleeComponent::SetParameters(ZEffectParameter* binding, const ZHashedString passName,
                                    ZParameterSource* source) {
    static const ZHashedString kWvp("wvpMat");
    if (binding != nullptr && binding->name == kWvp) {
        // The swing goes with the entity as it is drawn this frame.
        ZSpatialState drawn;
        if (const ZSpatialComponent* spatial = GetComponent<ZSpatialComponent>(GetOwner())) {
            drawn = spatial->interpolated;
        }
        ZMatrix4 matrix =
            SwingMatrix(swingTime, swingDuration, swingState, drawn.scale, drawn.rotation, drawn.position);
        ZMatrix4 viewProjection;
        if (GetEntityViewProjection(GetOwner(), viewProjection)) {
            ZMatrix4::Multiply(matrix, matrix, viewProjection);
        }
        binding->SetMatrix(matrix);
        return true;
    }
    ZParameterSource* attached = GetAttachedSource();
    return attached != nullptr && attached->SetParameters(binding, passName, source);
}
