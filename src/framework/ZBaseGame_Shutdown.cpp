// Shutdown: the user's files, the streaming thread, the thread watchdog and
// the release of the engine's singletons.

#include <cstdio>

#include "audio/ZAudioMgr.h"
#include "foundation/ZLog.h"
#include "foundation/ZThreadTagger.h"
#include "framework/ZBaseGame.h"
#include "framework/ZConfigVar.h"
#include "framework/ZPlatformGlue.h"
#include "framework/ZWindow.h"
#include "input/ZControlMgr.h"
#include "input/ZInputHandler.h"
#include "platform/os/threads.h"
#include "renderer/ZShaderMgr.h"

namespace {

// Threads of the web-request manager. This program has no such manager, so the
// count is always 0; it keeps its place in the wait and in the warning.
int32_t GetHttpThreadCount() { return 0; }

bool OtherThreadsRunning() { return GetHttpThreadCount() > 0 || GetThreadTagger()->GetThreadCount() > 1; }

}  // namespace

void ZBaseGame::shutdown() {
    ZLog::Printf("ZBaseGame::shutdown");

    // No effect may hold a texture while the entities and assets go.
    if (ZShaderMgr* shaders = ZShaderMgr::PeekInstance()) {
        shaders->ClearAllTextureBindings();
    }
    FlushEntityList(false);
    FlushEntityMap(false);
    ReleaseEngineAssets();
    FreeHistories();

    // The initial set-up is offered until one run has ended normally.
    if (m_showInitialSetup && !m_startupCancelled) {
        m_showInitialSetup = false;
    }

    const ZHashedString joystick = GetInputHandler()->GetSelectedJoystickName();
    m_controller = joystick.IsNone() ? ZHashedString("") : joystick;

    SaveConfigFile(UserConfigPath(GetConfigFileName()).GetText());
    GetControlMgr()->SaveBindings(UserConfigPath(GetControlBindingsFileName()).GetText());
    m_console.SaveMemory(UserConfigPath(GetConsoleMemoryFileName()).GetText());

    GetAudioMgr()->StopMusicThread();

    ZLog::Printf("Closing the log");
    GetLog()->CloseFile();

    RunThreadWatchdog();

    ShutdownEngine();
    // The log is gone: a line now would start a new Log.txt over this run's.
    SetLogging(false);

    delete m_window;
    m_window = nullptr;
}

void ZBaseGame::RunThreadWatchdog() {
    ZTimer timer;
    timer.Start();
    bool warned = false;
    while (OtherThreadsRunning() && !warned) {
        timer.Tick();
        if (m_deadlockCheckTime > 0.0f && timer.GetElapsed() > static_cast<double>(m_deadlockCheckTime)) {
            // Composed in a string of its own: the thread report has no size limit.
            ZString text("Possible deadlock waiting for threads to shut down.");
            char count[64];
            std::snprintf(count, sizeof count, "\n\nHTTP manager: Waiting for %d threads.\n\n", GetHttpThreadCount());
            text += count;
            text += ZThreadTagger::Shutdown();
            const char* title = GetGameTitle();
            if (title != nullptr) {
                platform::window::MessageBox(title, text.GetText(),
                                             platform::window::MB_OK | platform::window::MB_ICONWARNING);
            }
            warned = true;
        }
        os::YieldThread();
    }
}
