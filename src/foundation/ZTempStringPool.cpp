#include "foundation/ZTempStringPool.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <new>

namespace {

std::atomic<ZTempStringPool*> g_pool{nullptr};
std::mutex g_poolCreation;

}  // namespace

const char* FormatTempString(const char* format, ...) {
    if (format == nullptr) {
        return nullptr;
    }
    va_list args;
    va_start(args, format);
    va_list measure;
    va_copy(measure, args);
    const int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (length < 0) {
        va_end(args);
        return nullptr;
    }
    char* text = new (std::nothrow) char[static_cast<size_t>(length) + 1];
    if (text == nullptr) {
        va_end(args);
        return nullptr;
    }
    std::vsnprintf(text, static_cast<size_t>(length) + 1, format, args);
    va_end(args);
    return ZTempStringPool::GetInstance()->Add(text);
}

ZTempStringPool* ZTempStringPool::GetInstance() {
    ZTempStringPool* pool = g_pool.load();
    if (pool != nullptr) {
        return pool;
    }
    std::lock_guard<std::mutex> lock(g_poolCreation);
    pool = g_pool.load();
    if (pool == nullptr) {
        pool = new ZTempStringPool();
        g_pool.store(pool);
    }
    return pool;
}

void ZTempStringPool::DestroyInstance() {
    std::lock_guard<std::mutex> lock(g_poolCreation);
    delete g_pool.exchange(nullptr);
}

void ZTempStringPool::FreeThreadTexts(os::ThreadId thread) {
    std::lock_guard<std::mutex> lock(g_poolCreation);
    if (ZTempStringPool* pool = g_pool.load()) {
        pool->FreeOwnedBy(thread, false);
    }
}

ZTempStringPool::~ZTempStringPool() { FreeOwnedBy(0, true); }

const char* ZTempStringPool::Add(char* text) {
    std::lock_guard<os::Mutex> lock(m_mutex);
    m_texts.PushBack(Entry{text, os::CurrentThreadId()});
    return text;
}

void ZTempStringPool::FreeAll() { FreeOwnedBy(os::CurrentThreadId(), false); }

void ZTempStringPool::FreeOwnedBy(os::ThreadId thread, bool everyThread) {
    std::lock_guard<os::Mutex> lock(m_mutex);
    uint32_t kept = 0;
    for (uint32_t i = 0; i < m_texts.Count(); ++i) {
        Entry& entry = m_texts[i];
        if (everyThread || entry.owner == thread) {
            delete[] entry.text;
            entry.text = nullptr;
        } else {
            m_texts[kept++] = entry;
        }
    }
    for (uint32_t i = kept; i < m_texts.Count(); ++i) {
        m_texts[i] = Entry();
    }
    if (kept == 0) {
        m_texts.Clear();
    } else {
        m_texts.Resize(kept);
    }
}

uint32_t ZTempStringPool::GetCount() const {
    std::lock_guard<os::Mutex> lock(m_mutex);
    return m_texts.Count();
}

uint32_t ZTempStringPool::GetCapacity() const {
    std::lock_guard<os::Mutex> lock(m_mutex);
    return m_texts.Capacity();
}
