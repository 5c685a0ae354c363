#pragma once

#include "foundation/ZHashedString.h"
#include "foundation/ZString.h"
#include "menu/ZMenuSlider.h"

// The slider of a value row (ZMenu::AddValueSpinner), bound to a
// configuration variable: every change of the knob formats the value,
// shows it in the value item and sets the variable from that same text, so
// the variable holds exactly what the row shows. Selecting it shows its help
// text in the help item.
class ZMenuSpinner : public ZMenuSlider {
public:
    void OnSelected() override;
    void SnapKnob(int32_t mode) override;

    // The text the value is shown as (at most 16 characters).
    ZString FormatValue() const;
    // The format when it is a printf format of exactly one floating-point
    // conversion; otherwise (with a log line) "%.2f".
    static ZString CheckValueFormat(const char* format);

    ZMenuItem* labelItem = nullptr;  // the row's label (owned by the menu)
    ZMenuItem* valueItem = nullptr;  // the value text, may be null
    ZMenuItem* helpItem = nullptr;   // receives the help text, may be null
    ZString labelText;
    ZString helpText;
    ZString valueFormat{"%.2f"};
    ZHashedString section;
    ZHashedString variable;
};
