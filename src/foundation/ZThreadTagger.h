#pragma once

#include <cstdint>

#include "foundation/ZHashedString.h"
#include "foundation/ZMap.h"
#include "foundation/ZString.h"
#include "platform/os/threads.h"

// The function a registered thread runs; its result is the exit code.
using ZThreadFunction = uint32_t (*)(uintptr_t argument);

struct ZThreadRecord {
    static constexpr uint32_t kNameSize = 64;

    os::ThreadId threadId = 0;
    os::Thread thread;  // not started for the main thread
    ZThreadFunction function = nullptr;
    uintptr_t argument = 0;
    char name[kNameSize] = {};  // "<name> [<id>]", cut to fit
};

// The registry every thread of the program is created through: it names them,
// lets shutdown wait until only the main thread is left, and lets the console
// list them. A thread's record exists from before its function runs until
// that function returns.
//
// One mutex guards the registry. It is taken before the hashed-name table's
// when both are needed, never after.
class ZThreadTagger {
public:
    // Names and runs function(argument) on a new thread, which does not start
    // its function before its record is registered. A null name becomes
    // "Unnamed Thread". Returns the new thread's id, or 0 when no thread could
    // be started.
    os::ThreadId CreateNamedThread(const char* name, ZThreadFunction function, uintptr_t argument);

    // The calling thread's registered name as a hashed name (ignoring case);
    // the none name for a thread without a record.
    ZHashedString GetCurrentThreadName() const;
    // One line per thread in id order: its name, " (MAIN)" for the main thread,
    // " (CURRENT)" for the calling one, then "\n".
    void ListThreads(ZString& out) const;
    // Registered threads, the main thread included.
    uint32_t GetThreadCount() const;
    // The id of the thread that made the registry.
    os::ThreadId GetMainThreadId() const { return m_main->threadId; }

    // The shutdown report: "Thread tagger:" then "\n<name>" for every thread
    // still registered; "Thread tagger: Shut down." when the registry is gone.
    // It grows with the number of threads, so no name is ever cut off.
    static ZString Shutdown();

    // Frees the registry; the next use makes a new one with the calling thread
    // as its main thread. Refused (false, nothing freed) while other threads
    // are still registered: they will still remove their records when their
    // functions return.
    static bool DestroyInstance();

    ZThreadTagger(const ZThreadTagger&) = delete;
    ZThreadTagger& operator=(const ZThreadTagger&) = delete;

private:
    friend ZThreadTagger* GetThreadTagger();
    ZThreadTagger();
    ~ZThreadTagger();

    static uint32_t ThreadEntry(ZThreadTagger* tagger, ZThreadRecord* record);
    const ZThreadRecord* FindCurrent() const;

    ZMap<os::ThreadId, ZThreadRecord*> m_threads;
    ZThreadRecord* m_main = nullptr;
};

// The registry, made on first use; the thread that makes it is the main thread.
ZThreadTagger* GetThreadTagger();
