#pragma once

#include <cstdint>
#include <functional>

#include "menu/ConfirmationMenu.h"

// Asks, after the video page applied new values, whether to keep them. No,
// Cancel, or no answer within the time given, puts the previous values back:
// a mode the display cannot show never leaves the player without a picture.
class VideoKeepMenu : public ConfirmationMenu {
public:
    // The values in use before the change, as SetAllVideoOptions takes them.
    struct Settings {
        int32_t width = 0;
        int32_t height = 0;
        bool vsync = false;
        bool fullscreen = false;
        bool fullscreenWindowed = false;
        bool stretch = false;
        int32_t fxaa = 0;
        int32_t tate = 0;
    };
    static constexpr float kSeconds = 15.0f;

    explicit VideoKeepMenu(const Settings& previous);

    void HandleAction(const ZMenuEvent& event, ZMenuMouseState* mouse) override;
    // The values the base game uses now.
    static Settings CurrentSettings();
    // Puts the previous values back (once).
    void Revert();
    int32_t GetSecondsLeft() const { return secondsLeft; }
    bool HasReverted() const { return reverted; }

    // Seconds of the clock the count-down runs on (the engine timer).
    std::function<double()> clock;

private:
    void ShowSecondsLeft();

    Settings previous;
    double deadline = -1.0;  // set on the first tick
    int32_t secondsLeft = 0;
    bool reverted = false;
    bool answered = false;
};
