#include "framework/ZPlatformGlue.h"

#include <atomic>
#include <string>

#include "entity/ZCommandRunner.h"
#include "entity/ZEntityState.h"
#include "foundation/ZAppInfo.h"
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
#include "input/ZControlMgr.h"
#include "input/ZInputHandler.h"
#include "menu/ZCinematicMgr.h"
#include "menu/ZMenuMgr.h"
#include "platform/os/files.h"
#include "renderer/ZGlyphSheetMgr.h"
#include "renderer/ZRenderer.h"
#include "renderer/ZShaderMgr.h"
#include "renderer/ZTextureMgr.h"
#include "hmd/ZHMDMgr.h"

namespace {

std::atomic<bool> gShuttingDown{false};

// Continuation byte i of the sequence at text, or -1 when it is missing (the
// end, the terminator) or is no continuation byte.
int32_t Continuation(const char* text, const char* end, int32_t i) {
    if (end != nullptr && end - text <= i) {
        return -1;
    }
    const uint8_t b = static_cast<uint8_t>(text[i]);
    return (b & 0xC0) == 0x80 ? (b & 0x3F) : -1;
}

uint16_t Decode(const char* text, const char* end, int32_t* outLength) {
    int32_t length = 0;
    uint16_t character = 0;
    if (text != nullptr && (end == nullptr || end > text)) {
        const uint8_t b = static_cast<uint8_t>(text[0]);
        const ZAppInfo* info = ZAppInfo::GetInstance();
        if (info != nullptr && !info->UsesUTF8()) {
            length = 1;
            character = b;
        } else if (b < 0x80) {
            length = 1;
            character = b;
        } else {
            int32_t need = 0;
            uint32_t value = 0;
            if ((b & 0xE0) == 0xC0) {
                need = 2;
                value = b & 0x1F;
            } else if ((b & 0xF0) == 0xE0) {
                need = 3;
                value = b & 0x0F;
            } else if ((b & 0xF8) == 0xF0) {
                need = 4;
                value = b & 0x07;
            }
            // Each continuation byte is looked at only once the one before it
            // was a continuation byte, so a terminator stops the read.
            for (int32_t i = 1; i < need; ++i) {
                const int32_t bits = Continuation(text, end, i);
                if (bits < 0) {
                    need = 0;
                    break;
                }
                value = (value << 6) | static_cast<uint32_t>(bits);
            }
            if (need > 0) {
                length = need;
                character = static_cast<uint16_t>(value & 0xFFFF);
            }
        }
    }
    if (outLength != nullptr) {
        *outLength = length;
    }
    return character;
}

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
        ZLog::DestroyInstance();
    }
    ZLocMgr::DestroyInstance();
    ZLocListener::DestroyRegistry();
    // [the base game's marker object]
    ShutdownStdinConsole();
    ZThreadTagger::DestroyInstance();  // refused while other threads are registered
}

uint16_t DecodeChar(const char* text, int32_t* outLength) {
    return Decode(text, nullptr, outLength);
}

uint16_t DecodeChar(const char* text, const char* end, int32_t* outLength) {
    return Decode(text, end, outLength);
}
