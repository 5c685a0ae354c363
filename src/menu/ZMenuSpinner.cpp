#include "menu/ZMenuSpinner.h"

#include <cstdio>
#include <cstring>

#include "foundation/ZLog.h"
#include "framework/ZConfigVar.h"

void ZMenuSpinner::OnSelected() {
    if (helpItem != nullptr) {
        helpItem->SetText(helpText);
    }
}

ZString ZMenuSpinner::FormatValue() const {
    char text[17] = {};
    // The format was checked when the row was built; it formats one double.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    std::snprintf(text, sizeof text, valueFormat.GetText(), static_cast<double>(GetValue()));
#pragma GCC diagnostic pop
    return ZString(text);
}

void ZMenuSpinner::SnapKnob(const int32_t mode) {
    ZMenuSlider::SnapKnob(mode);
    const ZString text = FormatValue();
    if (valueItem != nullptr) {
        valueItem->SetText(text);
    }
    if (!variable.IsNone()) {
        ZConfigVar::SetFromString(text.GetText(), section, variable);
    }
}

ZString ZMenuSpinner::CheckValueFormat(const char* format) {
    // A printf format comes from menu code or data: anything but one
    // floating-point conversion would read arguments that are not there.
    int32_t conversions = 0;
    bool valid = format != nullptr;
    for (const char* p = format; valid && *p != '\0'; ++p) {
        if (*p != '%') {
            continue;
        }
        ++p;
        if (*p == '%') {
            continue;
        }
        p += std::strspn(p, "-+ #0");
        p += std::strspn(p, "0123456789");
        if (*p == '.') {
            ++p;
            p += std::strspn(p, "0123456789");
        }
        if (*p == '\0' || std::strchr("fFeEgGaA", *p) == nullptr) {
            valid = false;
        } else {
            ++conversions;
        }
    }
    if (valid && conversions == 1) {
        return ZString(format);
    }
    ZLog::Printf("Value row: format \"%s\" is not one number conversion; using \"%%.2f\".",
                 format != nullptr ? format : "(null)");
    return ZString("%.2f");
}
