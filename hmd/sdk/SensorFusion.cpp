#include "hmd/sdk/SensorFusion.h"

#include <algorithm>
#include <cmath>

#include "hmd/sdk/SensorDevice.h"

namespace HSK {

namespace {

// Angle between two vectors; the ratio is clamped so rounding never gives NaN.
float AngleBetween(const Vector3f& a, const Vector3f& b) {
    const float lengths = a.Length() * b.Length();
    if (!(lengths > 0)) return 0;
    const float ratio = std::clamp(a.Dot(b) / lengths, -1.0f, 1.0f);
    return std::acos(ratio);
}

}  // namespace

SensorFusion::SensorFusion() : m_handler(this) {}

SensorFusion::~SensorFusion() {
    m_handler.RemoveHandlerFromDevices();
}

void SensorFusion::BodyFrameHandler::OnMessage(const Message& message) {
    if (message.type == Message_BodyFrame) {
        m_fusion->HandleMessage(static_cast<const MessageBodyFrame&>(message));
    }
    if (m_fusion->m_delegate != nullptr) m_fusion->m_delegate->OnMessage(message);
}

bool SensorFusion::AttachToSensor(SensorDevice* const sensor) {
    const std::lock_guard<std::recursive_mutex> guard(m_handler.GetHandlerLock());
    if (sensor != nullptr) {
        MessageHandler* const current = sensor->GetMessageHandler();
        if (current == &m_handler) {
            Reset();
            return true;
        }
        if (current != nullptr) return false;
    }
    if (m_handler.IsHandlerInstalled()) m_handler.RemoveHandlerFromDevices();
    if (sensor != nullptr) sensor->SetMessageHandler(&m_handler);
    Reset();
    return true;
}

void SensorFusion::Reset() {
    const std::lock_guard<std::recursive_mutex> guard(m_handler.GetHandlerLock());
    m_orientation = Quatf();
    m_scaledAcceleration = Vector3f();
    m_predictedOrientation = Quatf();
    for (Vector3f& rate : m_rateHistory) rate = Vector3f();
}

Vector3f SensorFusion::SmoothedRate() {
    if (!m_smoothing) return m_angularVelocity;
    for (int i = 7; i > 0; --i) m_rateHistory[i] = m_rateHistory[i - 1];
    m_rateHistory[0] = m_angularVelocity;
    Vector3f sum;
    for (int i = 0; i < 8; ++i) sum = sum + m_rateHistory[i] * kSmoothingWeights[i];
    return sum;
}

void SensorFusion::HandleMessage(const MessageBodyFrame& frame) {
    if (frame.type != Message_BodyFrame) return;
    const std::lock_guard<std::recursive_mutex> guard(m_handler.GetHandlerLock());
    m_angularVelocity = Vector3f(frame.rotationRate.x, frame.rotationRate.y * m_yawFactor, frame.rotationRate.z);
    m_scaledAcceleration = frame.acceleration * frame.timeDelta;

    const Vector3f dV = m_angularVelocity * frame.timeDelta;
    const float angle = dV.Length();
    if (angle > 0) {
        const float halfa = angle * 0.5f;
        const float s = std::sin(halfa) / angle;
        m_orientation = m_orientation * Quatf(dV.x * s, dV.y * s, dV.z * s, std::cos(halfa));
        if (m_prediction) {
            const Vector3f w = SmoothedRate();
            const float l = w.Length();
            if (l <= 0.001f) {
                m_predictedOrientation = m_orientation;
            } else {
                const Vector3f axis = w * (1.0f / l);
                const float h = l * (m_predictionTime + frame.timeDelta) * 0.5f;
                const float sh = std::sin(h);
                m_predictedOrientation = m_orientation * Quatf(axis.x * sh, axis.y * sh, axis.z * sh, std::cos(h));
            }
        } else {
            m_predictedOrientation = m_orientation;
        }
    }

    if (m_gravityCorrection && std::fabs(frame.acceleration.Length() - 9.81f) < 0.4f &&
        m_angularVelocity.Length() < 3.0f) {
        const Vector3f up(0, 1, 0);
        const Vector3f aw = m_orientation.Rotate(frame.acceleration);
        const float g = m_gravityGain;
        const Quatf q1 = (Quatf(-aw.z * g, 0, aw.x * g, 1) * m_orientation).Normalized();
        const float a0 = AngleBetween(up, aw);
        const float a1 = AngleBetween(up, q1.Rotate(frame.acceleration));
        if (a1 < a0) {
            m_orientation = q1;
        } else {
            const Quatf q2 = (Quatf(aw.z * g, 0, -aw.x * g, 1) * m_orientation).Normalized();
            const float a2 = AngleBetween(up, q2.Rotate(frame.acceleration));
            if (a2 < a0) m_orientation = q2;
        }
    }
}

Quatf SensorFusion::GetOrientation() const {
    const std::lock_guard<std::recursive_mutex> guard(m_handler.GetHandlerLock());
    return m_orientation;
}

Quatf SensorFusion::GetPredictedOrientation() const {
    const std::lock_guard<std::recursive_mutex> guard(m_handler.GetHandlerLock());
    return m_predictedOrientation;
}

void SensorFusion::SetDelegateMessageHandler(MessageHandler* const handler) {
    const std::lock_guard<std::recursive_mutex> guard(m_handler.GetHandlerLock());
    m_delegate = handler;
}

void SensorFusion::SetGravityGain(const float gain) {
    const std::lock_guard<std::recursive_mutex> guard(m_handler.GetHandlerLock());
    m_gravityGain = gain;
}

void SensorFusion::SetYawMultiplier(const float factor) {
    const std::lock_guard<std::recursive_mutex> guard(m_handler.GetHandlerLock());
    m_yawFactor = factor;
}

void SensorFusion::SetGravityCorrection(const bool on) {
    const std::lock_guard<std::recursive_mutex> guard(m_handler.GetHandlerLock());
    m_gravityCorrection = on;
}

void SensorFusion::SetPrediction(const float seconds, const bool on) {
    const std::lock_guard<std::recursive_mutex> guard(m_handler.GetHandlerLock());
    m_predictionTime = seconds;
    m_prediction = on;
}

void SensorFusion::SetSmoothing(const bool on) {
    const std::lock_guard<std::recursive_mutex> guard(m_handler.GetHandlerLock());
    m_smoothing = on;
}

}  // namespace HSK
