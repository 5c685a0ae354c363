#pragma once

#include <cstdint>

#include "foundation/ZArray.h"
#include "platform/os/threads.h"

// Printf-style text that the caller never frees: it joins a process-wide pool
// and lives until the thread that made it empties its texts. For the main
// thread that is the frame timing's FreeAll, once per frame, so a text is
// valid until the end of the frame in which it was made. Null when the
// format cannot be formatted.
//
// Any thread may format. The pool remembers which thread made each text and
// FreeAll frees only the calling thread's texts, so the main thread's
// end-of-frame free never pulls a text from under another thread. A thread
// made through the thread registry has its remaining texts freed when its
// function returns; one that formats in a long loop calls FreeAll at a point
// in its loop where it holds no such text.
const char* FormatTempString(const char* format, ...) __attribute__((format(printf, 1, 2)));

class ZTempStringPool {
public:
    // Made on first use.
    static ZTempStringPool* GetInstance();
    // Frees every text of every thread and the pool itself (shutdown, once no
    // other thread formats).
    static void DestroyInstance();
    // Frees the texts thread made; does nothing when there is no pool.
    static void FreeThreadTexts(os::ThreadId thread);

    // Takes ownership of a text made with new[] and returns it.
    const char* Add(char* text);
    // Frees the calling thread's texts. When none are left the pool holds no
    // storage until the next text is made.
    void FreeAll();

    uint32_t GetCount() const;
    uint32_t GetCapacity() const;

    ZTempStringPool(const ZTempStringPool&) = delete;
    ZTempStringPool& operator=(const ZTempStringPool&) = delete;

private:
    struct Entry {
        char* text = nullptr;
        os::ThreadId owner = 0;
    };

    ZTempStringPool() = default;
    ~ZTempStringPool();
    void FreeOwnedBy(os::ThreadId thread, bool everyThread);

    ZArray<Entry> m_texts;
    mutable os::Mutex m_mutex;
};
