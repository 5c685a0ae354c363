#include "foundation/ZThreadTagger.h"

#include <atomic>
#include <cstdio>
#include <mutex>

#include "foundation/ZLog.h"
#include "foundation/ZTempStringPool.h"

namespace {

std::atomic<ZThreadTagger*> g_tagger{nullptr};

// Process-wide and never destroyed, so a thread that outlives the registry
// can still take it on its way out.
os::Mutex& RegistryMutex() {
    static os::Mutex* const mutex = new os::Mutex();
    return *mutex;
}

void SetRecordName(ZThreadRecord& record, const char* name) {
    std::snprintf(record.name, sizeof(record.name), "%s [%d]", name, static_cast<int>(record.threadId));
}

}  // namespace

ZThreadTagger* GetThreadTagger() {
    ZThreadTagger* tagger = g_tagger.load();
    if (tagger != nullptr) {
        return tagger;
    }
    std::lock_guard<os::Mutex> lock(RegistryMutex());
    tagger = g_tagger.load();
    if (tagger == nullptr) {
        tagger = new ZThreadTagger();
        g_tagger.store(tagger);
    }
    return tagger;
}

ZThreadTagger::ZThreadTagger() {
    m_main = new ZThreadRecord();
    m_main->threadId = os::CurrentThreadId();
    SetRecordName(*m_main, "Main Thread");
    m_threads.Insert(m_main->threadId, m_main);
}

ZThreadTagger::~ZThreadTagger() {
    std::lock_guard<os::Mutex> lock(RegistryMutex());
    m_threads.Remove(m_main->threadId);
    delete m_main;
    m_main = nullptr;
}

bool ZThreadTagger::DestroyInstance() {
    std::lock_guard<os::Mutex> lock(RegistryMutex());
    ZThreadTagger* tagger = g_tagger.load();
    if (tagger == nullptr) {
        return true;
    }
    if (tagger->m_threads.Count() > 1) {
        return false;
    }
    g_tagger.store(nullptr);
    delete tagger;
    return true;
}

os::ThreadId ZThreadTagger::CreateNamedThread(const char* name, ZThreadFunction function, uintptr_t argument) {
    if (name == nullptr) {
        name = "Unnamed Thread";
    }
    if (function == nullptr) {
        return 0;
    }
    // Held across the start: the new thread takes it first, so it cannot run
    // its function (or remove its record) before the record is stored.
    std::lock_guard<os::Mutex> lock(RegistryMutex());
    ZThreadRecord* record = new ZThreadRecord();
    record->function = function;
    record->argument = argument;
    if (!record->thread.Start(name, [this, record] { return ThreadEntry(this, record); })) {
        delete record;
        ZLog::Printf("ZThreadTagger::CreateNamedThread: could not start thread \"%s\".", name);
        return 0;
    }
    record->threadId = record->thread.Id();
    SetRecordName(*record, name);
    m_threads.Insert(record->threadId, record);
    return record->threadId;
}

uint32_t ZThreadTagger::ThreadEntry(ZThreadTagger* tagger, ZThreadRecord* record) {
    RegistryMutex().Lock();
    RegistryMutex().Unlock();
    const uint32_t result = record->function(record->argument);
    // Temporary texts this thread made die with it; the main thread's
    // end-of-frame free never touches them.
    ZTempStringPool::FreeThreadTexts(os::CurrentThreadId());
    std::lock_guard<os::Mutex> lock(RegistryMutex());
    tagger->m_threads.Remove(record->threadId);
    delete record;
    return result;
}

const ZThreadRecord* ZThreadTagger::FindCurrent() const {
    const auto* node = m_threads.Find(os::CurrentThreadId());
    return node != nullptr ? node->value : nullptr;
}

ZHashedString ZThreadTagger::GetCurrentThreadName() const {
    std::lock_guard<os::Mutex> lock(RegistryMutex());
    const ZThreadRecord* record = FindCurrent();
    if (record == nullptr) {
        return ZHashedString::None();
    }
    return ZHashedString(record->name);
}

void ZThreadTagger::ListThreads(ZString& out) const {
    std::lock_guard<os::Mutex> lock(RegistryMutex());
    const os::ThreadId current = os::CurrentThreadId();
    out = "";
    for (const auto& node : m_threads) {
        out += node.value->name;
        if (node.value == m_main) {
            out += " (MAIN)";
        }
        if (node.key == current) {
            out += " (CURRENT)";
        }
        out += "\n";
    }
}

uint32_t ZThreadTagger::GetThreadCount() const {
    std::lock_guard<os::Mutex> lock(RegistryMutex());
    return m_threads.Count();
}

ZString ZThreadTagger::Shutdown() {
    std::lock_guard<os::Mutex> lock(RegistryMutex());
    ZString report("Thread tagger:");
    const ZThreadTagger* tagger = g_tagger.load();
    if (tagger == nullptr) {
        report += " Shut down.";
        return report;
    }
    for (const auto& node : tagger->m_threads) {
        report += "\n";
        report += node.value->name;
    }
    return report;
}
