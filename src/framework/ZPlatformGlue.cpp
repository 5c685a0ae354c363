#include "framework/ZPlatformGlue.h"

#include <atomic>
#include <string>

#include "entity/ZCommandRunner.h"
#include "entity/ZEntityState.h"
#include "foundation/ZHashedStringTable.h"
#include "foundation/ZLog.h"
#include "foundation/ZStateStore.h"
#include "foundation/ZStreamMgr.h"
#include "foundation/ZTempStringPool.h"
#include "foundation/ZThreadTagger.h"
#include "foundation/ZTimer.h"
#include "foundation/ZUpdateRegistry.h"
#include "audio/ZAudioMgr.h"
#include "framework/ZInputRecorder.h"
#include "framework/ZLocListener.h"
#include "framework/ZLocMgr.h"
#include "framework/ZPlatformServices.h"
#include "input/ZControlMgr.h"
#include "input/ZInputHandler.h"
#include "menu/ZCinematicMgr.h"
#include "menu/ZMenuMgr.h"
#include "platform/os/files.h"
#include "platform/window/window.h"
#include "renderer/ZGlyphSheetMgr.h"
#include "renderer/ZRenderer.h"
#include "renderer/ZShaderMgr.h"
#include "renderer/ZTextureMgr.h"
#include "hmd/ZHMDMgr.h"

namespace {

std::atomic<bool> gShuttingDown{false};

}  // namespace

void SetWorkingDirToExe() {
    os::SetCurrentFolder(os::ExecutableFolder());
    ZStreamMgr::GetInstance()->AddDirectorySource("");
    gTimer.Start();
}

bool IsEngineShuttingDown() {
    return gShuttingDown.load(std::memory_order_relaxed);
}

void ShutdownStdinConsole() {}

void ShutdownEngine() {
    // A thread that outlived shutdown's wait may still log, intern names or
    // format temporary strings: what it shares stays alive for it.
    const bool threadsLive = GetThreadTagger()->GetThreadCount() > 1;
    if (threadsLive) {
        ZLog::Printf("ShutdownEngine: threads still running; keeping the shared managers.");
    }

    // Each line below deletes one singleton, in this order. Managers that do
    // not exist yet have their place marked; their deletion goes there.
    DestroyStateStore();
    DestroyEntityStateList();
    DestroyMenuMgr();
    // [registry of collision shapes]
    // [renderer's resource map]
    gShuttingDown.store(true, std::memory_order_relaxed);
    // The entity command table is a fixed table of functions; the texts still
    // queued for it go here.
    DestroyDeferredCommands();
    // Effects and textures go before the device they were made on.
    DestroyGlyphSheetMgr();
    ZShaderMgr::DestroyInstance();
    ZTextureMgr::DestroyInstance();
    ShutdownRenderer();
    DestroyRenderer();
    if (!threadsLive) {
        DestroyAudioMgr();
    }
    if (!threadsLive) {
        ZTempStringPool::DestroyInstance();
    }
    DestroyInputRecorder();
    DestroyUpdateRegistry();
    if (!threadsLive) {
        ZHashedStringTable::DestroyInstance();
    }
    DeleteControlMgr();
    DeleteInputHandler();
    // [the menu framework's two maps]
    ZStreamMgr::DestroyInstance();
    DestroyCinematicMgr();
    DestroyHMDManager();
    if (!threadsLive) {
        // A window-layer line after this would make a new log and empty Log.txt.
        platform::window::SetLogHook(nullptr);
        ZLog::DestroyInstance();
    }
    ZLocMgr::DestroyInstance();
    ZLocListener::DestroyRegistry();
    // [the base game's marker object]
    DestroyPlatformServices();
    ShutdownStdinConsole();
    ZThreadTagger::DestroyInstance();  // refused while other threads are registered
}

