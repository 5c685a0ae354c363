#pragma once

#include "menu/ZMenu.h"

// The CRT simulation page: the simulation on or off, the three tuner pages
// (Shape, Color, Lighting) and a confirmed reset of every tuner setting.
// While it exists the tuner preview is shown and the game's tuner flag is
// set; outside the manager's transitions the picture behind it stays
// undimmed. The tuner buttons are selectable only while the simulation is on.
class KorvanthCRTMenu : public ZMenu {
public:
    KorvanthCRTMenu();
    ~KorvanthCRTMenu() override;

    void HandleAction(const ZMenuEvent& event, ZMenuMouseState* mouse) override;
    void AdjustBackdropOpacity(float* opacity) override;

    // The reset confirmation's yes answer: FOV and the sections CRT, NTSC and
    // Lighting back to their defaults (CRTSim stays).
    static void ResetCRTSettings(void* context);

private:
    void ToggleCRTSim();
    ZString SpinnerText() const;
    void SetTunerButtonsSelectable();

    ZMenuItem* m_buttons[4] = {};  // Shape, Color, Lighting, Reset (owned through the item list)
    bool m_crtSim = false;
};
