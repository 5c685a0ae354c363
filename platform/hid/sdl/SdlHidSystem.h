#pragma once

#include <memory>

#include "platform/hid/hid.h"

namespace platform::hid {

// HID through SDL's HID functions; monitors from the kernel's DRM connectors.
std::unique_ptr<HidSystem> CreateSdlHidSystem();

}  // namespace platform::hid
