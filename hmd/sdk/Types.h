#pragma once
// Plain data shared by the SDK's devices: device and message types, vectors,
// quaternions, colours, the messages and the device descriptions.

#include <cmath>
#include <cstdint>
#include <vector>

namespace HSK {

enum DeviceType : uint32_t {
    Device_None = 0,
    Device_Manager = 1,
    Device_HMD = 2,
    Device_Sensor = 3,
    Device_LatencyTester = 4,
    Device_All = 0xFF,
};

enum MessageType : uint32_t {
    Message_DeviceAdded = 0x100,
    Message_DeviceRemoved = 0x101,
    Message_BodyFrame = 0x300,
    Message_LatencyTestSamples = 0x400,
    Message_LatencyTestColorDetected = 0x401,
    Message_LatencyTestStarted = 0x402,
    Message_LatencyTestButton = 0x403,
};

struct Vector3f {
    float x = 0, y = 0, z = 0;
    Vector3f() = default;
    Vector3f(float ax, float ay, float az) : x(ax), y(ay), z(az) {}
    Vector3f operator+(const Vector3f& b) const { return {x + b.x, y + b.y, z + b.z}; }
    Vector3f operator*(float s) const { return {x * s, y * s, z * s}; }
    float Dot(const Vector3f& b) const { return x * b.x + y * b.y + z * b.z; }
    float Length() const { return std::sqrt(x * x + y * y + z * z); }
};

struct Quatf {
    float x = 0, y = 0, z = 0, w = 1;
    Quatf() = default;
    Quatf(float ax, float ay, float az, float aw) : x(ax), y(ay), z(az), w(aw) {}
    // The product a x b, a on the left.
    Quatf operator*(const Quatf& b) const {
        return {w * b.x + x * b.w + y * b.z - z * b.y, w * b.y - x * b.z + y * b.w + z * b.x,
                w * b.z + x * b.y - y * b.x + z * b.w, w * b.w - x * b.x - y * b.y - z * b.z};
    }
    Quatf Inverted() const { return {-x, -y, -z, w}; }
    Quatf Normalized() const {
        const float l = std::sqrt(x * x + y * y + z * z + w * w);
        return l > 0 ? Quatf(x / l, y / l, z / l, w / l) : Quatf();
    }
    // v rotated by this (unit) quaternion: q v q^-1.
    Vector3f Rotate(const Vector3f& v) const {
        const Quatf r = (*this) * Quatf(v.x, v.y, v.z, 0) * Inverted();
        return {r.x, r.y, r.z};
    }
};

struct Color {
    uint8_t r = 0, g = 0, b = 0, a = 0;
    bool operator==(const Color&) const = default;
};

class DeviceBase;
class DeviceDescriptor;

struct Message {
    MessageType type;
    DeviceBase* device;
};

// Device added or removed; the descriptor stays valid for the call only.
struct MessageDeviceStatus : Message {
    DeviceDescriptor* descriptor;
};

struct MessageBodyFrame : Message {
    Vector3f acceleration;   // m/s^2
    Vector3f rotationRate;   // rad/s
    Vector3f magneticField;  // gauss
    float temperature = 0;   // degrees Celsius
    float timeDelta = 0;     // seconds
};

struct MessageLatencyTestSamples : Message {
    std::vector<Color> samples;
};

struct MessageLatencyTestColorDetected : Message {
    uint16_t elapsed = 0;  // ms
    Color detectedValue;
    Color targetValue;
};

struct MessageLatencyTestStarted : Message {
    Color targetValue;
};

struct MessageLatencyTestButton : Message {};

// Device descriptions: infoClassType says which of them the caller passes.
struct DeviceInfo {
    DeviceType infoClassType = Device_None;
    DeviceType type = Device_None;
    char productName[32] = {};
    char manufacturer[32] = {};
    uint32_t version = 0;
};

struct SensorInfo : DeviceInfo {
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    float maxAcceleration = 0;  // m/s^2
    float maxRotationRate = 0;  // rad/s
    float maxMagneticField = 0; // gauss
    char serialNumber[20] = {};
};

struct LatencyTestInfo : DeviceInfo {
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    char serialNumber[20] = {};
};

struct HMDInfo : DeviceInfo {
    uint32_t horizontalResolution = 0;
    uint32_t verticalResolution = 0;
    float screenWidth = 0;  // metres, as the figures below
    float screenHeight = 0;
    float screenCentreY = 0;
    float eyeToScreenDistance = 0;
    float lensSeparation = 0;
    float interpupillaryDistance = 0;
    float distortionK[4] = {};
    int32_t desktopX = 0;
    int32_t desktopY = 0;
    char displayDeviceName[32] = {};
    uint32_t displayId = 0;
};

// Copies text into a fixed field, cut to fit and always terminated.
template <size_t N>
void CopyField(char (&field)[N], const char* text) {
    size_t i = 0;
    for (; text != nullptr && text[i] != 0 && i + 1 < N; ++i) field[i] = text[i];
    field[i] = 0;
}

}  // namespace HSK
