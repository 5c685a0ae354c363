#pragma once

#include <cstdint>

#include "foundation/ZString.h"
#include "menu/ZMenu.h"

// The video settings: resolution, windowing mode and vertical sync, kept in
// the menu until the player leaves it and confirms; then every value goes to
// ZBaseGame::SetAllVideoOptions at once. A button opens the brightness page.
class VideoMenu : public ZMenu {
public:
    VideoMenu();

    void HandleAction(const ZMenuEvent& event, ZMenuMouseState* mouse) override;
    // delta -1 or +1 on the selected row; marks the menu changed whatever the row.
    void ChangeValue(int32_t delta);
    // Closes at once without changes; otherwise asks whether to keep them.
    void RequestClose();
    // The confirmation's Yes: passes every value on, then closes the menu.
    static void ApplyChanges(void* menu);
    void FindCurrentResolution();
    ZString FormatResolutionText() const;

    bool HasChangesPending() const { return changesPending; }
    int32_t GetResolutionIndex() const { return resolutionIndex; }
    int32_t GetWindowingMode() const { return windowingMode; }
    bool GetVSync() const { return vsync; }

private:
    ZString WindowingText() const;
    ZString VSyncText() const;

    bool changesPending = false;
    int32_t resolutionIndex = -1;
    int32_t windowingMode = 0;  // 0 window, 1 exclusive, 2 full-screen window stretched, 3 not stretched
    int32_t fxaa = 0;
    bool vsync = false;
    int32_t tate = 0;
};

uint32_t GreatestCommonDivisor(uint32_t a, uint32_t b);
// A confirmation callback that closes the top menu (the one under the confirmation).
void CloseMenuCallback(void* context);
