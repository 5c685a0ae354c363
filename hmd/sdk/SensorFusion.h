#pragma once

#include "hmd/sdk/MessageHandler.h"
#include "hmd/sdk/Types.h"

namespace HSK {

class SensorDevice;

// Turns the tracker's body frames into the headset's orientation: integrates
// the rotation rate, optionally predicts ahead, and pulls tilt towards gravity
// while the headset is nearly still.
class SensorFusion {
public:
    SensorFusion();
    ~SensorFusion();
    SensorFusion(const SensorFusion&) = delete;
    SensorFusion& operator=(const SensorFusion&) = delete;

    // Installs the fusion on sensor (null detaches it). False, changing
    // nothing, when the sensor already has another handler.
    bool AttachToSensor(SensorDevice* sensor);
    void Reset();
    // One message; anything but a body frame is ignored.
    void HandleMessage(const MessageBodyFrame& frame);

    // Copies under the handler lock.
    Quatf GetOrientation() const;
    Quatf GetPredictedOrientation() const;

    void SetDelegateMessageHandler(MessageHandler* handler);
    void SetGravityGain(float gain);
    void SetYawMultiplier(float factor);
    void SetGravityCorrection(bool on);
    void SetPrediction(float seconds, bool on = true);
    void SetSmoothing(bool on);
    MessageHandler* GetHandler() { return &m_handler; }

    static constexpr float kSmoothingWeights[8] = {0.41667f, 0.33333f, 0.25f,     0.16667f,
                                                   0.08333f, 0.0f,     -0.08333f, -0.16667f};

private:
    class BodyFrameHandler final : public MessageHandler {
    public:
        explicit BodyFrameHandler(SensorFusion* fusion) : m_fusion(fusion) {}
        void OnMessage(const Message& message) override;
        bool SupportsMessageType(MessageType type) const override { return type == Message_BodyFrame; }

    private:
        SensorFusion* m_fusion;
    };

    Vector3f SmoothedRate();

    Quatf m_orientation;
    Vector3f m_scaledAcceleration;
    Vector3f m_angularVelocity;
    BodyFrameHandler m_handler;
    MessageHandler* m_delegate = nullptr;
    float m_gravityGain = 0.05f;
    float m_yawFactor = 1.0f;
    bool m_gravityCorrection = true;
    bool m_prediction = false;
    bool m_smoothing = false;
    float m_predictionTime = 0;
    Quatf m_predictedOrientation;
    Vector3f m_rateHistory[8];
};

}  // namespace HSK
