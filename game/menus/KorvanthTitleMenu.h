#pragma once

#include <cstdint>

#include "foundation/ZString.h"
#include "input/ZInputPrompt.h"
#include "menu/ZMenu.h"
#include "renderer/ZParameterSource.h"

class ZQuadRenderable;

// The game's title screen. The press-start page shows one prompt line under
// the title picture; accept or cancel there turns to the main page:
// Continue (when a save can be continued), New Game, Options (not in demo
// mode) and Exit. Cancel on the main page goes back to the press-start page.
// The press-start page also listens for a hidden sequence of inputs, which
// plays the stinger and marks the code as entered. The menu animates the
// page changes, fades the screen in after it is built and never closes on
// Cancel. It answers the title picture's own effect parameters (the
// picture's quad hands them on to it): "ExtraScaleMat" zooms the picture from
// 1.35 on the press-start page to 1.15 on the main page, "ExtraTransMat",
// "BackdropColor" and "TimeIn".
class KorvanthTitleMenu : public ZMenu, public ZParameterSource {
public:
    // Inputs the sequence tracker records.
    enum Input : int32_t { kUp = 1, kDown = 2, kLeft = 3, kRight = 4, kCancel = 5, kAccept = 6 };
    static constexpr int32_t kCodeLength = 10;
    static constexpr float kFadeSeconds = 1.5f;
    static constexpr float kPageSeconds = 0.5f;

    explicit KorvanthTitleMenu(bool startOnMainPage);
    ~KorvanthTitleMenu() override;

    void HandleAction(const ZMenuEvent& event, ZMenuMouseState* mouse) override;
    bool IsTitleMenu() const override { return true; }
    bool FadesBackdropOnOpen() const override { return !backdropFlagA; }
    bool FadesBackdropOnClose() const override { return true; }
    // Opened forward over no dark backdrop, the menu does not slide in.
    bool KeepsPositionDuringTransition(int32_t direction, int32_t state) const override {
        return direction == 0 && state == 1 && !backdropFlagB;
    }
    void AdjustBackdropOpacity(float* opacity) override;
    void AdjustSlideY(float* slide) override;
    void AdjustTitleOffset(float* offset) override;
    void AdjustTransitionProgress(float* progress) override;

    // The randomizer setup's completion: the new game in the only campaign,
    // or the campaign select menu when there are several.
    static void StartNewGame(void* owner, bool randomized, const ZString& seed);
    // The exit confirmation's yes answer; context is the title menu.
    static void OnConfirmExit(void* context);
    // The new-game confirmation's yes answer: the randomizer setup.
    static void OpenRandomizerSetup(void* context);

    // The sequence tracker.
    void RecordInput(int32_t code);
    bool MatchesCode(int32_t count) const;
    static const int32_t* GetCode();
    // Entered the whole code once (the stinger played).
    bool IsCodeEntered() const { return m_codeEntered; }

    // The picture's parameters above; others go on to the attached source.
    bool SetParameters(ZEffectParameter* binding, ZHashedString passName, ZParameterSource* source) override;

    // The backdrop's emphasis: 1 on the press-start page, 0 on the main page,
    // eased between them during a page change; and the picture's scale from it.
    float GetBackdropEmphasis();
    float GetBackdropScale() { return 1.15f + 0.20000005f * GetBackdropEmphasis(); }
    float GetTimeOpen() const { return m_timeOpen; }

    bool IsOnPressStartPage() const { return m_onPressStart; }
    bool IsExitPending() const { return m_exitPending; }
    float GetPageTransition() const { return m_pageTransition; }
    float GetTitleFade() const { return m_titleFade; }
    float GetTitleY() const { return m_titleY; }
    ZMenuItem* GetPressStartItem() const { return m_pressStart; }
    ZQuadRenderable* GetBackdrop() const { return m_backdrop; }

private:
    // A save that could not be read at start-up: the notice that says so and
    // where its copy was kept, over the title at rest, once.
    void ShowDamagedSaveNotice();
    void BuildPressStartPage();
    void BuildMainPage(bool fromPressStart);
    void RefreshPressStartText(bool force);
    void ReturnToPressStart();
    void LeaveForMainPage();
    void OnAccept(ZHashedString name);
    void OnContinue();
    void ShowBackdrop(bool show);
    void Tick();

    ZQuadRenderable* m_backdrop = nullptr;  // owned, with its shader
    float m_timeOpen = 0.0f;
    float m_titleY = 0.0f;
    bool m_exitPending = false;
    bool m_onPressStart = false;
    bool m_codeEntered = false;
    ZMenuItem* m_pressStart = nullptr;  // owned through the item list
    ZInputPrompt m_prompt;
    float m_pageTransition = 0.0f;  // > 0: main page coming in, < 0: press-start page coming back
    float m_titleFade = 0.0f;       // seconds of the fade-in left
    int32_t m_history[kCodeLength] = {};
    int32_t m_code[kCodeLength] = {};
};
