#include "foundation/ZString.h"
#include "foundation/ZMath.h"

#include <charconv>
#include <cfloat>
#include <cstring>
#include <system_error>

bool FloatNearlyEqual(const float a, const float b, const float epsilon) {
    return ZMath::Abs(a - b) <= epsilon * ZMath::Min(ZMath::Abs(a), ZMath::Abs(b));
}

namespace {

// Reads one number the way the C runtime's decimal conversion does (leading
// white space and a '+' allowed, out-of-range values become infinity or zero),
// but in the C locale and never past end. Returns where the number ended, or
// from (after white space) when there was none; value is 0 then.
const char* ReadFloat(const char* from, const char* const end, float& value) {
    value = 0.0f;
    while (from < end && IsSpaceChar(*from)) {
        ++from;
    }
    const char* digits = from;
    if (digits < end && *digits == '+' && digits + 1 < end && digits[1] != '-' && digits[1] != '+') {
        ++digits;
    }
    double parsed = 0.0;
    const std::from_chars_result r = std::from_chars(digits, end, parsed);
    if (r.ec == std::errc::invalid_argument) {
        return from;
    }
    if (r.ec == std::errc::result_out_of_range) {
        // Past the range of a double: a negative exponent means it underflowed.
        const bool negative = *digits == '-';
        bool tiny = false;
        for (const char* p = digits; p < r.ptr; ++p) {
            if (*p == 'e' || *p == 'E') {
                tiny = p + 1 < r.ptr && p[1] == '-';
                break;
            }
        }
        const float magnitude = tiny ? 0.0f : HUGE_VALF;
        value = negative ? -magnitude : magnitude;
        return r.ptr;
    }
    if (parsed > FLT_MAX) {
        value = HUGE_VALF;
    } else if (parsed < -FLT_MAX) {
        value = -HUGE_VALF;
    } else {
        value = static_cast<float>(parsed);
    }
    return r.ptr;
}

}  // namespace

void ParseFloat4(const char* const text, float out[4]) {
    ParseFloat4(text, text ? std::strlen(text) : 0, out);
}

void ParseFloat4(const char* const text, const size_t length, float out[4]) {
    for (int i = 0; i < 4; ++i) {
        out[i] = 0.0f;
    }
    if (!text) {
        return;
    }
    // A terminator inside the counted text ends it, as it would end a C text.
    const char* p = text;
    const void* const nul = std::memchr(text, '\0', length);
    const char* const end = nul ? static_cast<const char*>(nul) : text + length;
    for (int i = 0; i < 4 && p < end; ++i) {
        // The search for the separating space starts after the number just
        // read, so a leading space does not make the same number count twice.
        p = ReadFloat(p, end, out[i]);
        while (p < end && *p != ' ') {
            ++p;
        }
        while (p < end && *p == ' ') {
            ++p;
        }
    }
}
