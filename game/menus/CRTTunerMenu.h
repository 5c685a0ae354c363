#pragma once

#include "menu/ZMenu.h"

// A page of CRT tuner value rows: each row a slider on one picture setting
// with its label, its value and a description line, changing the setting at
// once while the picture stays undimmed behind it. Back or Cancel closes it.
// The three pages differ only in their rows.
class CRTTunerMenu : public ZMenu {
public:
    // One row: the variable (its name is also the text key) and how its value shows.
    struct Row {
        const char* section;  // "" for the general section
        const char* variable;
        const char* format;
        float extraMark;      // a second mark at this value; NaN for none
    };

    // Builds Back, the description line, the rows and the panel; called once,
    // before the page opens.
    void BuildItems();
    void HandleAction(const ZMenuEvent& event, ZMenuMouseState* mouse) override;
    void AdjustBackdropOpacity(float* opacity) override { *opacity = 0.0f; }

protected:
    virtual const Row* GetRows(int32_t& count) const = 0;
};

class CRTTunerShapeMenu : public CRTTunerMenu {
protected:
    const Row* GetRows(int32_t& count) const override;
};

class CRTTunerColorMenu : public CRTTunerMenu {
protected:
    const Row* GetRows(int32_t& count) const override;
};

class CRTTunerLightingMenu : public CRTTunerMenu {
protected:
    const Row* GetRows(int32_t& count) const override;
};
