#pragma once

#include <cmath>
#include <cstddef>

// Single-precision float helpers shared by the math types. Everything here is
// float arithmetic: the transforms, colours and physics are all float.
namespace ZMath {

inline float Cos(const float a) { return std::cos(a); }
inline float Sin(const float a) { return std::sin(a); }
inline float Tan(const float a) { return std::tan(a); }
inline float ACos(const float a) { return std::acos(a); }
inline float ATan(const float a) { return std::atan(a); }
inline float Sqrt(const float a) { return std::sqrt(a); }
inline float Abs(const float a) { return std::fabs(a); }
inline float Floor(const float a) { return std::floor(a); }
inline float Max(const float a, const float b) { return a > b ? a : b; }
inline float Min(const float a, const float b) { return a < b ? a : b; }
// The value clamped to [0, 1]; NaN gives 0.
inline float Clamp01(const float v) { return v > 1.0f ? 1.0f : v > 0.0f ? v : 0.0f; }

// Byte channel from a float already scaled to 0..255: truncated toward zero,
// then clamped. Clamping happens in float so that huge values and NaN never
// reach an out-of-range integer conversion (NaN gives 0).
inline int TruncateToByte(const float scaled) {
    if (!(scaled > 0.0f)) {
        return 0;
    }
    if (scaled >= 255.0f) {
        return 255;
    }
    return static_cast<int>(scaled);
}

}  // namespace ZMath

// True when |a - b| <= epsilon * min(|a|, |b|). The tolerance is relative to
// the smaller magnitude, so zero equals only zero.
bool FloatNearlyEqual(float a, float b, float epsilon);

// Up to four decimal numbers separated by runs of spaces; the ones not given
// stay 0 and a fifth is ignored. Numbers are read in the C locale. A null text
// gives four zeros. The counted form never reads past text + length.
void ParseFloat4(const char* text, float out[4]);
void ParseFloat4(const char* text, size_t length, float out[4]);
