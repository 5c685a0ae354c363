#pragma once

#include "menu/ZMenu.h"

class ZQuadRenderable;

// The engine's title screen: the title picture above New Game, Options and
// Exit (only New Game in demo mode). It fades the scene in over 1.5 s after
// it is made, shows the picture only while it is the top menu, asks before
// quitting, and cannot be cancelled.
class TitleMenu : public ZMenu {
public:
    TitleMenu();
    // Takes the title picture out of its group and frees it.
    ~TitleMenu() override;

    void HandleAction(const ZMenuEvent& event, ZMenuMouseState* mouse) override;
    bool IsTitleMenu() const override { return true; }
    bool FadesBackdropOnOpen() const override { return !backdropFlagA; }
    bool FadesBackdropOnClose() const override { return true; }
    // Opened forward it does not slide in.
    bool KeepsPositionDuringTransition(int32_t direction, int32_t state) const override {
        return direction == 0 && state == 1 && !backdropFlagB;
    }

    // The exit confirmation's yes answer; context is the title menu.
    static void OnConfirmExit(void* context);

    // One tick of the scene's fade-in: the timer (seconds left, negative once
    // over) runs down by the frame time; the brightness, 0..1.
    static float StepFade(float& timer, float frameTime);

    ZQuadRenderable* GetTitleCard() const { return m_titleCard; }
    bool IsExitRequested() const { return m_exitRequested; }
    float GetFadeTimer() const { return m_fadeTimer; }

private:
    void Build();
    void ShowTitleCard(bool show);
    void FadeInScene();
    void DrawTextTitle();

    ZQuadRenderable* m_titleCard = nullptr;  // owned, with its shader
    bool m_exitRequested = false;
    float m_fadeTimer = 0.0f;  // seconds of the scene's fade-in left
};
