// Map sources for the map builder from untrusted text: the parser refuses
// what it cannot use with a line number, and a map it accepts prints as a
// source that parses back to the same print.

#include <cstddef>
#include <cstdint>
#include <string>

#include "mapbuild/MapText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 1 << 16) return 0;
    const std::string text(reinterpret_cast<const char*>(data), size);
    MapSource map;
    std::string error;
    if (!ParseMapText(text, map, error)) {
        if (error.rfind("line ", 0) != 0) __builtin_trap();
        return 0;
    }
    std::string printed;
    if (!PrintMapText(map, printed, error)) return 0;  // more kinds of cell than legend characters
    MapSource back;
    std::string again;
    if (!ParseMapText(printed, back, error) || !PrintMapText(back, again, error) || again != printed) __builtin_trap();
    return 0;
}
