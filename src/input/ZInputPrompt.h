#pragma once

#include <cstdint>

#include "foundation/ZHashedString.h"
#include "foundation/ZString.h"
#include "framework/ZLocListener.h"
#include "input/ZInputBinding.h"

// On-screen text that names the input of a control ("press [Space] to
// talk"). FormatInputPrompt rebuilds the text only when the binding to show
// changes (another device class, another binding of it) or the language does.
class ZInputPrompt : public ZLocListener {
public:
    ZInputPrompt() = default;
    ZInputPrompt(ZHashedString groupName, ZHashedString controlName, bool bracket)
        : group(groupName), control(controlName), bracketed(bracket ? 1 : 0) {}

    // The next FormatInputPrompt fetches the text in the new language.
    void OnLanguageChanged() override { shownBinding = ZInputBinding(); }

    ZHashedString group;
    ZHashedString control;
    uint8_t bracketed = 0;  // keyboard and mouse inputs show as "[" text "]"
    ZString text;
    ZInputBinding shownBinding;  // the binding text was built from
};

// The prompt's text for the binding the player most likely uses now; changed
// is true when the text was rebuilt (callers then lay it out again).
const ZString& FormatInputPrompt(ZInputPrompt& prompt, bool& changed);
