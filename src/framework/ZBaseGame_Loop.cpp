// The main loop: the message pump, frame timing, fixed steps, the per-frame
// update and the frame's drawing.

#include <csignal>
#include <cstdio>

#include <typeinfo>

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
#include "platform/os/clock.h"
#include "platform/os/threads.h"
#include "platform/window/keycodes.h"
#include "foundation/ZColor32.h"
#include "foundation/ZVector4.h"
#include "renderer/ZFinalPassShader.h"
#include "renderer/ZRenderPassDesc.h"
#include "renderer/ZCamera.h"
#include "renderer/ZDepthBackdrop.h"
#include "renderer/ZScreenQuad.h"
#include "renderer/ZFont.h"
#include "renderer/ZRenderTarget.h"
#include "renderer/ZRenderer.h"
#include "renderer/ZScreenRenderTarget.h"

namespace {

// The recorder steps exactly this long while it records or plays.
constexpr float kRecorderStep = 0.0166667f;

// Set by the signal handler, read by the pump: the only thing a handler may
// safely do is write a lock-free flag.
volatile std::sig_atomic_t g_signalQuit = 0;

extern "C" void OnQuitSignal(int) { g_signalQuit = 1; }

// A shader's colour as the packed ARGB of a clear that stores the same 8-bit
// levels: each channel clamped to 0..1 and rounded to the nearest level, as
// the device converts a fragment's output (truncating would lose a level).
uint32_t ToClearColor(const ZVector4& color) {
    const auto level = [](const float c) {
        const float clamped = c > 0.0f ? (c < 1.0f ? c : 1.0f) : 0.0f;  // not-a-number: 0
        return static_cast<uint32_t>(clamped * 255.0f + 0.5f);
    };
    return level(color.w) << 24 | level(color.x) << 16 | level(color.y) << 8 | level(color.z);
}

// Installs the quit handlers for SIGINT, SIGTERM and SIGHUP (the terminal
// went away: end as for any other stop, saving the user's files) while it
// lives and puts back the previous ones afterwards.
class QuitSignalScope {
public:
    QuitSignalScope() {
        g_signalQuit = 0;
        for (size_t i = 0; i < kSignalCount; ++i) {
            m_previous[i] = std::signal(kSignals[i], OnQuitSignal);
        }
    }
    ~QuitSignalScope() {
        for (size_t i = 0; i < kSignalCount; ++i) {
            std::signal(kSignals[i], m_previous[i] == SIG_ERR ? SIG_DFL : m_previous[i]);
        }
    }
    QuitSignalScope(const QuitSignalScope&) = delete;
    QuitSignalScope& operator=(const QuitSignalScope&) = delete;

private:
    static constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
    static constexpr size_t kSignalCount = sizeof(kSignals) / sizeof(kSignals[0]);
    void (*m_previous[kSignalCount])(int) = {};
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
    m_framePresented = false;
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
    PaceFrame();
    os::YieldThread();
    return true;
}

uint32_t ZBaseGame::GetPacingRefreshRate() {
    if (m_pacingRefreshRate == 0) {
        platform::window::DisplayMode mode;
        platform::window::WindowSystem* system = platform::window::GetWindowSystem();
        // Rates beyond any display's would make the loop spin again.
        m_pacingRefreshRate = system != nullptr && system->GetDesktopDisplayMode(mode) && mode.refreshRate >= 24 &&
                                      mode.refreshRate <= 1000
                                  ? mode.refreshRate
                                  : kDefaultRefreshRate;
    }
    return m_pacingRefreshRate;
}

void ZBaseGame::PaceFrame() {
    uint64_t now = 0;
    uint64_t frequency = 0;
    if (!os::ReadCounter(now) || !os::ReadCounterFrequency(frequency) || frequency == 0) {
        return;
    }
    // A frame that presented with VSync off may run as fast as it likes; any
    // other frame (no device, VSync on, minimized, lost device) waits for the
    // display's next refresh instead of spinning.
    const bool mayRunFree = m_framePresented && !m_vsync && GetRenderer()->hasDevice;
    if (!m_framePacing || mayRunFree) {
        m_lastFrameEndNs = 0;
        return;
    }
    const uint64_t nowNs = static_cast<uint64_t>(static_cast<double>(now) * 1e9 / static_cast<double>(frequency));
    const uint64_t periodNs = 1000000000u / GetPacingRefreshRate();
    if (m_lastFrameEndNs != 0 && nowNs >= m_lastFrameEndNs && nowNs - m_lastFrameEndNs < periodNs) {
        const uint64_t wait = periodNs - (nowNs - m_lastFrameEndNs);
        os::SleepNs(wait);
        m_lastFrameEndNs = nowNs + wait;
        return;
    }
    m_lastFrameEndNs = nowNs;
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
    const double elapsed = gTimer.GetElapsed();
    m_trueAbsoluteTime = static_cast<float>(elapsed);
    m_trueDelta = static_cast<float>(gTimer.GetDelta());
    // The timer restarts at the end of start-up; a frame before that restart
    // (or none at all) gives no length.
    m_frameDuration = m_previousFrameElapsed >= 0.0 && elapsed >= m_previousFrameElapsed
                          ? static_cast<float>(elapsed - m_previousFrameElapsed)
                          : 0.0f;
    m_previousFrameElapsed = elapsed;

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

void ZBaseGame::StepFreeCamera() {
    using namespace platform;
    window::WindowSystem* system = GetWindowSystem();
    ZCamera* camera = GetViewCamera(0);
    if (system == nullptr || !system->HasKeyboardFocus() || IsGamePaused() || camera == nullptr) {
        return;
    }
    const ZInputHandler* input = GetInputHandler();
    const float s = m_stepLength;
    const float move = 3.0f * s;
    const float roll = 1.5f * s;
    struct Key {
        uint8_t code;
        void (ZCamera::*step)(float);
        float amount;
    };
    const Key keys[] = {
        {DIK_W, &ZCamera::MoveForward, move}, {DIK_S, &ZCamera::MoveForward, -move},
        {DIK_A, &ZCamera::MoveRight, move},   {DIK_D, &ZCamera::MoveRight, -move},
        {DIK_Q, &ZCamera::Roll, -roll},       {DIK_E, &ZCamera::Roll, roll},
        {DIK_SPACE, &ZCamera::MoveUp, move},  {DIK_LCONTROL, &ZCamera::MoveUp, -move},
    };
    for (const Key& key : keys) {
        if (input->IsKeyDown(key.code)) {
            (camera->*key.step)(key.amount);
        }
    }
    // The mouse moved once this frame, but this may be one of several steps:
    // each takes its share (s / frame time) of the turn.
    if (m_engineFrameTime > 0.0f) {
        const float scale = -0.001f * (s / m_engineFrameTime);
        const int32_t dx = input->GetMouseDeltaX();
        const int32_t dy = input->GetMouseDeltaY();
        if (dx != 0) {
            camera->Yaw(static_cast<float>(dx) * scale);
        }
        if (dy != 0) {
            camera->Pitch(static_cast<float>(dy) * scale);
        }
    }
}

void ZBaseGame::TickUpdateRegistry() { UpdateList(4, m_frameGameTime); }

void ZBaseGame::Update() {
    const uint32_t rateLength = FrameRateHistoryLength();
    // Each frame's own length: a log line during the frame shortens its true
    // delta, and the first frame has no frame before it, so either would put a
    // rate in the ring that no frame ran at.
    if (m_frameRateHistory != nullptr && rateLength > 0 && m_frameDuration > 0.0f) {
        m_frameRateSum -= m_frameRateHistory[m_frameRateIndex];
        m_frameRateHistory[m_frameRateIndex] = 1.0f / m_frameDuration;
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
        if (!m_demoMode || IsConsoleAllowed()) {
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
void ZBaseGame::DrawFrameRate() {
    ZFont* font = GetHUDFont();
    if (font == nullptr) {
        return;
    }
    const ZString text = GetFrameRateText();
    const ZColor32 white(255, 255, 255, 255);
    font->DrawText(text.GetText(), text.GetLength(), 8.0f, 8.0f, 1.0f, 1.0f, white, white);
}

void ZBaseGame::DrawRecorderLabel() {
    ZFont* font = GetHUDFont();
    if (font == nullptr) {
        return;
    }
    const ZString label = GetRecorderLabel();
    const ZColor32 white(255, 255, 255, 255);
    const float y = 8.0f + 2.0f * static_cast<float>(font->GetLineHeight());
    font->DrawText(label.GetText(), label.GetLength(), 8.0f, y, 1.0f, 1.0f, white, white);
}

ZRenderable* ZBaseGame::GetDepthBackdropQuad() const {
    const auto* entry = m_backdrops.Find(ZHashedString("Depth Backdrop"));
    const auto* backdrop = entry != nullptr ? dynamic_cast<ZDepthBackdrop*>(entry->value) : nullptr;
    return backdrop != nullptr ? backdrop->GetQuad() : nullptr;
}

// Every frame starts from cleared targets. The passes draw over what is there
// and clear only what their flags and viewports say, so without this an
// earlier frame shows through: a closed console, text from before "cls", the
// bars beside a fitted picture.
void ZBaseGame::ClearFrameTargets() {
    ZRenderer* renderer = GetRenderer();
    const uint32_t black = ZColor32(0, 0, 0, 255).ToARGB();
    // A target whose every pixel a pass draws over needs no clear of its
    // colour: the pre-HUD target under the depth backdrop (drawn by the
    // default pass wherever nothing nearer was, or cleared to its colour by
    // that pass, see DrawFrame), and the final target, or the back buffer
    // when the frame goes straight there, under the pre-HUD quad.
    const bool backdropCovers =
        ZRenderer::DrawsOverWholeTarget(renderer->FindRenderPass(GetDefaultPassName()), GetDepthBackdropQuad());
    const bool preHUDCovers = ZRenderer::DrawsOverWholeTarget(renderer->FindRenderPass(GetPreHUDPassName()), m_preHUDQuad);
    // The final target is not drawn into while the frame goes straight to the back buffer.
    ZRenderTarget* const targets[] = {
        m_preHUDTarget != nullptr && !backdropCovers ? &m_preHUDTarget->target : nullptr,
        m_finalTarget != nullptr && !m_finalPassSkipped && !preHUDCovers ? &m_finalTarget->target : nullptr};
    // Colour only: the screen targets share the default depth surface, which
    // the back buffer's clear resets once.
    for (ZRenderTarget* target : targets) {
        if (target != nullptr && target->surface != nullptr) {
            renderer->SetRenderTarget(0, target);
            renderer->Clear(true, false, black, 1.0f);
        }
    }
    renderer->SetRenderTarget(0, nullptr);
    renderer->Clear(!(m_finalPassSkipped && preHUDCovers), true, black, 1.0f);
}

void ZBaseGame::DrawFrame(const ZHashedString passSetName) {
    ZRenderer* renderer = GetRenderer();
    ChooseFinalTarget();
    ClearFrameTargets();
    // A depth backdrop of one plain colour costs a shaded fill of the whole
    // target behind the glass; the default pass's own clear, made to clear
    // the colour too when it binds its target, costs next to nothing. (A
    // clear among the frame's clears above would cost a pass over the target
    // of its own.) Both are changed for this frame's passes only: the quad's
    // flag is its owner's and the pass's clear is the game's.
    ZRenderPassDesc* pass = renderer->FindRenderPass(GetDefaultPassName());
    ZRenderable* const quad = GetDepthBackdropQuad();
    ZVector4 color;
    if (!ZDepthBackdrop::CanClearInstead(pass, quad, color)) {
        renderer->DrawRenderPasses(passSetName);
        return;
    }
    const ZColor32 clearValue = pass->clearColorValue;
    const bool clearAlways = pass->clearAlways;
    pass->clearColor = true;
    pass->clearColorValue = ZColor32::FromARGB(ToClearColor(color));
    // Even should the pass find its target bound already.
    pass->clearAlways = true;
    quad->visible = false;
    renderer->DrawRenderPasses(passSetName);
    quad->visible = true;
    pass->clearColor = false;
    pass->clearColorValue = clearValue;
    pass->clearAlways = clearAlways;
}

bool ZBaseGame::ChooseFinalTarget() {
    const ZRenderer* renderer = PeekRenderer();
    if (renderer == nullptr || m_finalTarget == nullptr) {
        return false;
    }
    ZRenderPassDesc* setter = renderer->FindRenderPass(GetFinalTargetSetterPassName());
    ZRenderPassDesc* finalPass = renderer->FindRenderPass(GetFinalPassName());
    if (setter == nullptr || finalPass == nullptr) {
        return false;
    }
    // A game's own final pass shader may change the picture (a fade of its
    // own): only the engine's shader is known to copy.
    const auto* shader = dynamic_cast<const ZFinalPassShader*>(m_finalPassShader);
    const bool copies = shader != nullptr && typeid(*shader) == typeid(ZFinalPassShader) && shader->CopiesPlainly();
    const ZRenderTarget& target = m_finalTarget->target;
    const bool whole = finalPass->viewportX == 0.0f && finalPass->viewportY == 0.0f &&
                       finalPass->viewportWidth == 1.0f && finalPass->viewportHeight == 1.0f && target.surface != nullptr &&
                       target.width == renderer->GetBackBufferWidth() &&
                       target.height == renderer->GetBackBufferHeight();
    const bool straight = copies && whole && (finalPass->enabled || m_finalPassSkipped);
    setter->defaultTarget = straight ? nullptr : &m_finalTarget->target;
    if (straight) {
        finalPass->enabled = false;
    } else if (m_finalPassSkipped) {
        finalPass->enabled = true;
    }
    m_finalPassSkipped = straight;
    return straight;
}

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
        m_framePresented = renderer->hasDevice;
    }
    if (renderer->BeginScene()) {
        DrawFrame(ZHashedString::None());
        renderer->EndScene();
    }
    if (!m_delayPresentation) {
        renderer->present();
        m_framePresented = renderer->hasDevice;
    }
    if (m_screenshotRequested) {
        TakeScreenshot();
        CancelScreenshot();
    }
}
