#pragma once

#include "menu/ZMenu.h"

// The anaglyph (red/blue stereo) page: the output and the eye swap as
// switches, the five colour settings as value rows, and a confirmed reset of
// the anaglyph settings. Changes apply at once; the picture behind stays
// undimmed outside the manager's transitions.
class AnaglyphMenu : public ZMenu {
public:
    AnaglyphMenu();

    void HandleAction(const ZMenuEvent& event, ZMenuMouseState* mouse) override;
    void AdjustBackdropOpacity(float* opacity) override;

    // The reset's yes answer: the "Anaglyph" section back to its defaults
    // (Anaglyph3D, in "Video", stays), then the page closes.
    static void ResetAnaglyphSettings(void* context);

private:
    ZString SwitchLine(const char* labelKey, bool on) const;
    void ToggleAnaglyph3D();
    void ToggleEyeSwap();

    bool m_anaglyph3D = false;
    bool m_eyeSwap = false;
};
