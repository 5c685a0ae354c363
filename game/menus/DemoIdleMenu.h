#pragma once

#include "foundation/ZUpdatable.h"
#include "menu/ZMenu.h"

class ZMenuLabel;

// The demo mode's countdown for an unattended machine: asks whether anyone
// is still there and counts the seconds down. Answering goes back to what
// was on screen; when the count runs out the saved state is reloaded and the
// title's press-start page comes back. Without the prompt (the demo reset)
// it cannot be dismissed.
class DemoIdleMenu : public ZMenu, public ZUpdatable {
public:
    // A duration of 0 or less means 15.99 s.
    DemoIdleMenu(float duration, bool noPrompt);

    void HandleAction(const ZMenuEvent& event, ZMenuMouseState* mouse) override;
    void Update(float timeStep, uint8_t mask) override;
    void PostUpdate(float timeStep, uint8_t mask) override;

    float GetRemaining() const { return m_remaining; }
    ZMenuLabel* GetCountdownLabel() const { return m_countdown; }
    // The countdown line for a whole number of seconds: the localised
    // "Countdown" text with its first "%d" replaced by the number.
    static ZString CountdownText(int32_t seconds);

private:
    void UpdateCountdown();
    void Dismiss();

    float m_remaining = 0.0f;
    ZMenuLabel* m_countdown = nullptr;  // owned through the item list
    bool m_expired = false;
};

// Nobody playing in demo mode, for the player's idle timer (its only
// opener besides the demo reset): past 15 s while a menu is open or about to
// open, 45 s while none is, the count goes back to 0 and the countdown opens.
// True when it opened.
bool OpenDemoIdleWhenDue(float& idleSeconds);

// The demo reset (Ctrl+Shift+R in demo mode): every menu closes and a short
// countdown without the prompt leads back to the title. Nothing while one
// already counts.
void StartDemoReset();
