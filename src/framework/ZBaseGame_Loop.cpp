// The main loop: the message pump, frame timing, fixed steps, the per-frame
// update and the frame's drawing.

#include <csignal>
#include <cstdio>

#include "audio/ZAudioMgr.h"
#include "foundation/ZLog.h"
#include "foundation/ZTempStringPool.h"
#include "foundation/ZUpdateRegistry.h"
#include "framework/ZBaseGame.h"
#include "framework/ZInputRecorder.h"
#include "framework/ZLocMgr.h"
#include "input/ZControlMgr.h"
#include "input/ZInputHandler.h"
#include "menu/ZCinematicMgr.h"
#include "menu/ZMenuMgr.h"
#include "platform/os/threads.h"
#include "platform/window/keycodes.h"
#include "renderer/ZRenderer.h"

namespace {

// The recorder steps exactly this long while it records or plays.
constexpr float kRecorderStep = 0.0166667f;

// Set by the signal handler, read by the pump: the only thing a handler may
// safely do is write a lock-free flag.
volatile std::sig_atomic_t g_signalQuit = 0;

extern "C" void OnQuitSignal(int) { g_signalQuit = 1; }

// Installs the quit handlers for SIGINT and SIGTERM while it lives and puts
// back the previous ones afterwards.
class QuitSignalScope {
public:
    QuitSignalScope() {
        g_signalQuit = 0;
        m_previousInt = std::signal(SIGINT, OnQuitSignal);
        m_previousTerm = std::signal(SIGTERM, OnQuitSignal);
    }
    ~QuitSignalScope() {
        std::signal(SIGINT, m_previousInt == SIG_ERR ? SIG_DFL : m_previousInt);
        std::signal(SIGTERM, m_previousTerm == SIG_ERR ? SIG_DFL : m_previousTerm);
    }
    QuitSignalScope(const QuitSignalScope&) = delete;
    QuitSignalScope& operator=(const QuitSignalScope&) = delete;

private:
    void (*m_previousInt)(int) = SIG_DFL;
    void (*m_previousTerm)(int) = SIG_DFL;
};

}  // namespace

bool ZBaseGame::TakeSignalQuitRequest() {
    if (g_signalQuit == 0) {
        return false;
    }
    g_signalQuit = 0;
    return true;
}

void ZBaseGame::Run(ZBaseGame* game, const uintptr_t instance, const uintptr_t previousInstance,
                    const char* commandLine, const int32_t showCommand) {
    if (game == nullptr) {
        return;
    }
    // From the first moment: a signal during start-up ends the run at its first pump.
    QuitSignalScope signals;
    game->m_instance = instance;
    game->m_previousInstance = previousInstance;
    game->m_commandLine = commandLine != nullptr ? commandLine : "";
    game->m_showCommand = showCommand;
    game->preinit();
    game->init();
    game->postinit();
    game->RunMainLoop();
}

void ZBaseGame::RunMainLoop() {
    while (RunFrame()) {
    }
    shutdown();
}

bool ZBaseGame::RunFrame() {
    if (!PumpMessages()) {
        return false;
    }
    UpdateTiming();
    if (IsNotMinimized()) {
        for (int32_t i = 0; i < m_stepCount; ++i) {
            m_fixedTime += m_stepLength;
            FixedUpdate();
        }
        if (!GetInputRecorder()->IsIdle()) {
            m_renderTime = m_fixedTime + m_leftoverFraction * kRecorderStep;
        } else if (m_fixedGameStep > 0.0f) {
            m_renderTime = m_fixedTime + m_leftoverFraction * m_fixedGameStep;
        } else {
            m_renderTime = m_fixedTime;
        }
        Update();
        TickUpdateRegistry();
        PreRender();
        Render();
        PostRender();
    }
    os::YieldThread();
    return true;
}

bool ZBaseGame::PumpMessages() {
    bool keep = !IsExiting();
    if (TakeSignalQuitRequest()) {
        ZLog::Printf("Quit requested by a signal");
        RequestQuit();
    }
    platform::window::WindowSystem* system = platform::window::GetWindowSystem();
    if (system == nullptr) {
        return keep && !IsExiting();
    }
    platform::window::Message message;
    while (system->PeekMessage(message)) {
        if (message.id == platform::window::WM_QUIT) {
            Exit();
            keep = false;
        }
        system->TranslateMessage(message);
        system->DispatchMessage(message);
    }
    return keep;
}

bool ZBaseGame::IsNotMinimized() {
    platform::window::WindowSystem* system = GetWindowSystem();
    return system == nullptr || !system->IsMinimized();
}

void ZBaseGame::UpdateTiming() {
    gTimer.Tick();
    m_trueAbsoluteTime = static_cast<float>(gTimer.GetElapsed());
    m_trueDelta = static_cast<float>(gTimer.GetDelta());

    m_engineFrameTime = m_fixedEngineStep > 0.0f ? m_fixedEngineStep : m_trueDelta;
    StartupThrottling(m_engineFrameTime);
    m_totalEngineTime += m_engineFrameTime;
    if (m_fixedEngineStep > 0.0f && m_engineFrameTime > 0.0f) {
        m_engineFrameTime = m_fixedEngineStep;
    }

    const bool recorderIdle = GetInputRecorder()->IsIdle();
    if (IsGamePaused()) {
        // One step of length 0: the game logic runs, no game time passes.
        m_frameGameTime = 0.0f;
        m_stepCount = 1;
        m_stepLength = 0.0f;
        m_gameFrameTime = 0.0f;
    } else {
        m_gameFrameTime = m_engineFrameTime;
        if (m_longestGameStep > 0.0f && m_longestGameStep < m_gameFrameTime) {
            m_gameFrameTime = m_longestGameStep;
        }
        m_gameFrameTime *= m_timeScales[0];
        m_gameFrameTime *= m_timeScales[1];
        m_frameGameTime = m_gameFrameTime;
        m_totalGameTime += m_gameFrameTime;

        const float step = recorderIdle ? m_fixedGameStep : kRecorderStep;
        if (recorderIdle && !(m_fixedGameStep > 0.0f)) {
            m_stepCount = 1;
            m_stepLength = m_gameFrameTime;
            m_accumulator = 0.0f;
            m_leftoverFraction = 1.0f;
        } else {
            m_stepLength = step;
            m_stepCount = 0;
            m_accumulator += m_gameFrameTime;
            while (m_accumulator >= step) {
                ++m_stepCount;
                m_accumulator -= step;
            }
            m_leftoverFraction = m_accumulator / step;
            if (m_stepCount == 0 && !(m_gameFrameTime > 0.0f)) {
                m_stepLength = 0.0f;
                m_stepCount = 1;
            }
        }
    }

    ZControlMgr* controls = GetControlMgr();
    GetInputHandler()->PollXInput(m_engineFrameTime, controls->GetActiveDeviceClass());
    controls->Update(m_engineFrameTime, m_totalEngineTime, 1);
    ZTempStringPool::GetInstance()->FreeAll();
    GetAudioMgr()->Update();
    UpdateList(1, m_engineFrameTime);
    GetCinematicMgr()->Update(m_totalEngineTime, m_engineFrameTime);
    GetMenuMgr()->UpdateTransitions(m_totalEngineTime);
}

void ZBaseGame::UpdateList(const uint8_t mask, const float timeStep) { GetUpdateRegistry()->Run(timeStep, mask); }

void ZBaseGame::StartupThrottling(float& engineFrameTime) {
    if (m_throttlingDone) {
        return;
    }
    const float average = GetAverageFrameRate();
    const bool deltaMet = m_trueDelta < 0.1f;
    const bool absoluteMet = m_trueAbsoluteTime > 5.0f;
    const bool averageMet = average > 10.0f;
    if (!((deltaMet && averageMet) || absoluteMet)) {
        engineFrameTime = 0.0f;
        return;
    }
    ZLog::Printf(
        "#### Startup throttling threshold reached.\r\n####     True delta: %f (%s)\r\n####     True absolute: %f "
        "(%s)\r\n####     Average FPS: %f (%s)",
        m_trueDelta, deltaMet ? "MET" : "not met", m_trueAbsoluteTime, absoluteMet ? "MET" : "not met", average,
        averageMet ? "MET" : "not met");
    m_throttlingDone = true;
    OnStartupThrottlingDone();
}

void ZBaseGame::FixedUpdate() {
    GetControlMgr()->Update(m_stepLength, m_fixedTime, 2);
    UpdateList(2, m_stepLength);
    GetCinematicMgr()->FixedUpdate(m_fixedTime, m_stepLength);
    ProcessDeferredDeletions();
    if (IsFreeCameraOn()) {
        StepFreeCamera();
    }
}

void ZBaseGame::TickUpdateRegistry() { UpdateList(4, m_frameGameTime); }

void ZBaseGame::Update() {
    const uint32_t rateLength = FrameRateHistoryLength();
    if (m_frameRateHistory != nullptr && rateLength > 0 && m_trueDelta > 0.0f) {
        m_frameRateSum -= m_frameRateHistory[m_frameRateIndex];
        m_frameRateHistory[m_frameRateIndex] = 1.0f / m_trueDelta;
        m_frameRateSum += m_frameRateHistory[m_frameRateIndex];
        m_frameRateIndex = (m_frameRateIndex + 1) % rateLength;
    }
    const uint32_t stepLength = GetStepCountHistoryLength();
    if (m_stepCountHistory != nullptr && stepLength > 0) {
        m_stepCountSum -= m_stepCountHistory[m_stepCountIndex];
        m_stepCountHistory[m_stepCountIndex] = static_cast<float>(m_stepCount);
        m_stepCountSum += m_stepCountHistory[m_stepCountIndex];
        m_stepCountIndex = (m_stepCountIndex + 1) % stepLength;
    }

    platform::window::WindowSystem* system = GetWindowSystem();
    if (system != nullptr && system->HasKeyboardFocus()) {
        HandleEngineKeys();
    }
    if (m_showFPS) {
        DrawFrameRate();
    }
    if (!GetInputRecorder()->IsIdle()) {
        DrawRecorderLabel();
    }
    if (m_console.IsOpen()) {
        m_console.Update();
    }
}

void ZBaseGame::HandleEngineKeys() {
    static const ZHashedString general("General");
    static const ZHashedString utility("Utility");
    static const ZHashedString pause("Pause");
    static const ZHashedString openConsole("OpenConsole");
    static const ZHashedString screenshot("Screenshot");
    ZControlMgr* controls = GetControlMgr();

    const bool consolePressed = controls->WasPressed(utility, openConsole, 0.5f);
    const bool pausePressed = controls->WasPressed(general, pause, 0.5f);
    if ((consolePressed && !m_consoleLocked) || (pausePressed && m_console.IsOpen())) {
        if (!m_demoMode || AllowsConsoleInDemoMode()) {
            m_console.Toggle();
        }
    } else if (!IsGamePaused()) {
        if (pausePressed && !m_pauseSuppressed) {
            GetMenuMgr()->OpenMenu(CreatePauseMenu());
        }
    } else if (!m_console.IsOpen()) {
        GetMenuMgr()->Update();
    }
    m_pauseSuppressed = false;

    using namespace platform;
    ZInputHandler* input = GetInputHandler();
    const bool alt = input->IsKeyDown(DIK_LMENU) || input->IsKeyDown(DIK_RMENU);
    const bool ctrl = input->IsKeyDown(DIK_LCONTROL) || input->IsKeyDown(DIK_RCONTROL);
    if (alt && input->WasKeyPressed(DIK_F4)) {
        Exit();
    }
    if (alt && input->WasKeyPressed(DIK_E)) {
        SetEditMode();
    }
    if (m_devMode && ctrl && input->WasKeyPressed(DIK_R)) {
        GetInputRecorder()->ToggleRecording();
    }
    if (m_devMode && ctrl && input->WasKeyPressed(DIK_P)) {
        GetInputRecorder()->TogglePlayback();
    }
    if (alt && (input->WasKeyPressed(DIK_RETURN) || input->WasKeyPressed(DIK_NUMPADENTER))) {
        ZLog::Printf("************************** Alt + Enter **************************");
        ToggleFullscreen();
    }
    if (input->WasKeyPressed(DIK_LWIN) || input->WasKeyPressed(DIK_RWIN)) {
        ZLog::Printf("************************** Windows key **************************");
        if (!IsExclusiveFullscreen()) {
            input->UnacquireInputDevices();
        }
    }

    if (controls->WasPressed(utility, screenshot, 0.5f)) {
        RequestScreenshot();
    }
}

ZString ZBaseGame::GetFrameRateText() const {
    static ZString label;
    if (label.IsEmpty()) {
        label = ZLocMgr::GetInstance()->GetString(ZHashedString("General"), ZHashedString::None(),
                                                  ZHashedString("FPS"));
    }
    // No fixed buffer: the label is data a translator supplies.
    char number[32];
    std::snprintf(number, sizeof number, ": %d\n", static_cast<int32_t>(GetAverageFrameRate()));
    return label + number;
}

ZString ZBaseGame::GetRecorderLabel() const {
    static ZString recording;
    static ZString playing;
    const bool isRecording = GetInputRecorder()->GetState() == ZInputRecorder::kRecording;
    ZString& label = isRecording ? recording : playing;
    if (label.IsEmpty()) {
        label = ZLocMgr::GetInstance()->GetString(ZHashedString("General"), ZHashedString::None(),
                                                  ZHashedString(isRecording ? "RM_Rec" : "RM_Play"));
    }
    return label;
}

// The frame-rate text goes at (8, 8) and the recorder's label two lines
// lower, in white, with the HUD font; there is nothing to draw with until the
// engine's fonts exist.
void ZBaseGame::DrawFrameRate() {}

void ZBaseGame::DrawRecorderLabel() {}

void ZBaseGame::Render() {
    if (IsExiting()) {
        return;
    }
    ZRenderer* renderer = GetRenderer();
    if (renderer->deviceLost) {
        ZLog::Printf("### Resetting due to inability to render due to lost device");
        ResetRenderer();
        return;
    }
    if (m_delayPresentation) {
        renderer->present();
    }
    if (renderer->BeginScene()) {
        renderer->DrawRenderPasses(ZHashedString::None());
        renderer->EndScene();
    }
    if (!m_delayPresentation) {
        renderer->present();
    }
    if (m_screenshotRequested) {
        TakeScreenshot();
        CancelScreenshot();
    }
}
