#include "input/ZInputPrompt.h"

#include <cmath>

#include "input/ZControlMgr.h"

namespace {

constexpr float kDirectionEpsilon = 0.00001f;

int DirectionSign(const float direction) {
    return direction > kDirectionEpsilon ? 1 : direction < -kDirectionEpsilon ? -1 : 0;
}

bool SamePrompt(const ZInputBinding& a, const ZInputBinding& b) {
    if (a.kind != b.kind) {
        return false;
    }
    if (a.kind == ZInputBinding::kButton) {
        return a.device == b.device && a.code == b.code;
    }
    if (a.kind == ZInputBinding::kAxis) {
        return a.device == b.device && DirectionSign(a.direction) == DirectionSign(b.direction);
    }
    return true;
}

}  // namespace

const ZString& FormatInputPrompt(ZInputPrompt& prompt, bool& changed) {
    changed = false;
    const ZControlMgr* manager = GetControlMgr();
    const ZInputBinding binding = manager->GetPromptBinding(prompt.group, prompt.control);
    if (SamePrompt(binding, prompt.shownBinding)) {
        return prompt.text;
    }
    prompt.shownBinding = binding;
    changed = true;
    bool isPad = false;
    prompt.text = manager->GetBindingDisplayText(isPad, prompt.group, prompt.control);
    if (isPad) {
        prompt.text = prompt.text.EncodeImageTags();
    } else if (prompt.bracketed != 0) {
        prompt.text = ZString("[") + prompt.text + "]";
    }
    return prompt.text;
}
