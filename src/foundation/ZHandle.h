#pragma once

#include <compare>
#include <cstdint>

#include "foundation/ZHandleRegistry.h"

// A reference to an engine object by its handle, for holders that must not
// keep a dangling pointer: ask for the object each time it is needed.
class ZHandle {
public:
    constexpr ZHandle() = default;
    constexpr explicit ZHandle(const uint32_t handle) : value(handle) {}

    constexpr uint32_t GetValue() const { return value; }
    constexpr bool IsNone() const { return value == 0; }
    // The object, or null when there is none or it is gone.
    ZRTTIBase* GetObject() const { return FindObjectByHandle(value); }

    constexpr bool operator==(const ZHandle& other) const = default;
    constexpr std::strong_ordering operator<=>(const ZHandle& other) const = default;

private:
    uint32_t value = 0;  // 0: no object
};
