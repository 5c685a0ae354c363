#pragma once

#include <atomic>
#include <cstdint>
#include <new>

// The application description: everything that names the running program on
// disk and on screen, and the logging switch. The base game derives from it,
// so once a game object exists it is the description; before that (or in a
// program without one) a default object answers with the engine's defaults.
//
// Folder names end in a backslash; the user-folder code joins them as they are.
// Every text returned is static and owned by the program.
class ZAppInfo {
public:
    ZAppInfo() = default;
    virtual ~ZAppInfo() = default;
    ZAppInfo(const ZAppInfo&) = delete;
    ZAppInfo& operator=(const ZAppInfo&) = delete;

    // gAppInfo when set; otherwise a default object made now and stored there,
    // unless the game has exited (gAppInfoDestroyed), which gives null. Ask at
    // every use: never keep the result.
    static ZAppInfo* GetInstance();
    // Frees the default object when it is the one GetInstance made, and clears
    // gAppInfo either way (a game object is owned by whoever made it).
    static void DestroyInstance();

    virtual const char* GetConfigFolder() const { return "Config\\"; }
    virtual const char* GetLocalizationFolder() const { return "Localization\\"; }
    virtual const char* GetContentDumpFolder() const { return "Content Dump\\"; }
    virtual const char* GetLogsFolder() const { return "Logs\\"; }
    virtual const char* GetModsFolder() const { return "Mods\\"; }
    virtual const char* GetScreenshotsFolder() const { return "Screenshots\\"; }
    virtual const char* GetGameFolderName() const { return "ZORP Core"; }
    virtual const char* GetMakerFolderName() const { return "Korvanth Works"; }
    virtual const char* GetMyGamesFolderName() const { return "My Games"; }
    virtual bool AllowsHeadset() const { return false; }
    virtual bool UsesUTF8() const { return true; }
    // Asked by the INI text reader before it looks for a byte-order mark.
    virtual bool UsesUTF8Alt() const { return true; }
    // Kept so that derived descriptions have the same operations in the same order.
    virtual void SpareHook1() {}
    virtual void SpareHook2() {}
    virtual bool IsLogging() const { return false; }
    virtual void SetLogging(bool /*on*/) {}
    // Writes a diagnostic text into buffer (size bytes); false when there is none.
    virtual bool CheckStack(char* /*buffer*/, uint32_t /*size*/) { return false; }
    virtual void StopAudio() {}
};

// The one description. The accessor that makes the game object stores it here.
extern std::atomic<ZAppInfo*> gAppInfo;
// Set from the game's exit on: the description may no longer be asked for.
extern std::atomic<bool> gAppInfoDestroyed;

// The shape of every manager accessor: made on the first call, kept until
// shutdown releases it with DestroyManager. Main thread only, so no lock.
// A failed allocation stores and returns null.
template <typename T>
T* GetOrCreateManager(T*& slot) {
    if (slot == nullptr) {
        slot = new (std::nothrow) T();
    }
    return slot;
}

template <typename T>
void DestroyManager(T*& slot) {
    delete slot;
    slot = nullptr;
}
