#include "foundation/ZColor32.h"

#include "foundation/ZColor.h"
#include "foundation/ZMath.h"

namespace {

uint8_t ModulateChannel(const uint8_t byte, const float factor) {
    return static_cast<uint8_t>(ZMath::TruncateToByte(static_cast<float>(byte) * factor));
}

int HexDigit(const char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return 0;
}

}  // namespace

ZColor32 ZColor32::Modulate(const ZColor32& c, const ZColor& by) {
    return {ModulateChannel(c.r, by.r), ModulateChannel(c.g, by.g), ModulateChannel(c.b, by.b),
            ModulateChannel(c.a, by.a)};
}

ZColor32 ZColor32::FromHexString(const char* const text) {
    return FromHexString(text ? std::string_view(text) : std::string_view());
}

ZColor32 ZColor32::FromHexString(std::string_view text) {
    if (!text.empty() && text.front() == '#') {
        text.remove_prefix(1);
    }
    // The text ends at a terminator too, as a C text would.
    text = text.substr(0, text.find('\0'));
    uint8_t channels[4] = {0, 0, 0, 255};  // R, G, B, A
    size_t pos = 0;
    for (int i = 0; i < 4 && pos < text.size(); ++i) {
        const int high = HexDigit(text[pos++]);
        const int low = pos < text.size() ? HexDigit(text[pos++]) : 0;
        channels[i] = static_cast<uint8_t>(high * 16 + low);
    }
    return {channels[0], channels[1], channels[2], channels[3]};
}
