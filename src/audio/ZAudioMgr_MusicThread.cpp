// The "Music Thread": opens the voices handed to it, refills every active
// buffered voice once per pass, destroys the voices handed back, and sleeps
// for the rest of its refill period.

#include <cmath>
#include <mutex>

#include "audio/ZAudioMgr.h"
#include "audio/ZBufferedVoice.h"
#include "foundation/ZLog.h"
#include "foundation/ZThreadTagger.h"
#include "foundation/ZTimer.h"

void ZAudioMgr::StartMusicThread() {
    // The start gate: the thread's first pass waits until the caller has put
    // the settings in and released it.
    m_mutex.Lock();
    m_stop = false;
    m_done = false;
    m_threadStarted =
        GetThreadTagger()->CreateNamedThread("Music Thread", MusicThreadProc, reinterpret_cast<uintptr_t>(this)) != 0;
    if (!m_threadStarted) {
        ZLog::Printf("ZAudioMgr: the music thread did not start; streamed sounds stay silent");
    }
}

void ZAudioMgr::QueueVoiceForThread(ZBufferedVoice* voice) {
    const std::lock_guard<os::Mutex> lock(m_mutex);
    m_pending.PushBack(voice);
}

void ZAudioMgr::QueueVoiceForRemoval(ZBufferedVoice* voice) {
    const std::lock_guard<os::Mutex> lock(m_mutex);
    m_toRemove.PushBack(voice);
}

uint32_t ZAudioMgr::GetThreadVoiceCount() {
    const std::lock_guard<os::Mutex> lock(m_mutex);
    return m_pending.Count() + m_active.Count() + m_toRemove.Count();
}

bool ZAudioMgr::IsMusicThreadRunning() {
    const std::lock_guard<os::Mutex> lock(m_mutex);
    return m_threadStarted && !m_done;
}

void ZAudioMgr::RunMusicThreadPass() {
    OpenPendingVoices();
    UpdateActiveVoices();
    DestroyReleasedVoices();
    m_passes.fetch_add(1);
}

void ZAudioMgr::OpenPendingVoices() {
    const std::lock_guard<os::Mutex> lock(m_mutex);
    for (ZBufferedVoice* voice : m_pending) {
        voice->OpenStream();
        m_active.PushBack(voice);
    }
    m_pending.Clear();
}

void ZAudioMgr::UpdateActiveVoices() {
    const std::lock_guard<os::Mutex> lock(m_mutex);
    for (ZBufferedVoice* voice : m_active) {
        voice->ThreadUpdate();
    }
}

void ZAudioMgr::DestroyReleasedVoices() {
    const std::lock_guard<os::Mutex> lock(m_mutex);
    // A voice can be handed back before a pass has taken it from the pending
    // list (queued and released between two steps of a pass).
    for (ZBufferedVoice* voice : m_toRemove) {
        m_pending.Remove(voice);
        m_active.Remove(voice);
        voice->Rewind();
        voice->CloseStream();
        delete voice;
    }
    m_toRemove.Clear();
}

int32_t ZAudioMgr::MusicThreadSleepMs(const double streamLength, const double updatePercent, const double elapsed) {
    const double ms = (streamLength * updatePercent - elapsed) * 1000.0 - static_cast<double>(15.6f);
    if (!(ms > 0.0)) {
        return 0;
    }
    // However long a buffer the settings ask for, the thread answers a stop
    // within two seconds.
    return ms < 2000.0 ? static_cast<int32_t>(ms) : 2000;
}

uint32_t ZAudioMgr::MusicThreadProc(const uintptr_t manager) {
    auto* self = reinterpret_cast<ZAudioMgr*>(manager);
    ZTimer timer;
    timer.Start();
    for (;;) {
        self->RunMusicThreadPass();
        bool stop = false;
        {
            const std::lock_guard<os::Mutex> lock(self->m_mutex);
            stop = self->m_stop;
        }
        const double elapsed = timer.Tick();
        const int32_t sleepMs =
            MusicThreadSleepMs(self->streamLength.load(), self->GetStreamUpdatePart(), elapsed);
        if (sleepMs > 0) {
            os::SleepMs(static_cast<uint32_t>(sleepMs));
        }
        timer.Tick();  // the sleep is not counted in the next pass
        if (stop) {
            self->m_mutex.Lock();
            self->m_mutex.Unlock();
            const std::lock_guard<os::Mutex> lock(self->m_mutex);
            self->m_done = true;
            return 0;
        }
    }
}

void ZAudioMgr::StopMusicThread() {
    // A start gate the main thread still holds would keep the thread from
    // ever reaching its stop.
    while (m_mutex.IsOwnedByCurrentThread()) {
        m_mutex.Unlock();
    }
    {
        const std::lock_guard<os::Mutex> lock(m_mutex);
        if (!m_threadStarted) {
            return;  // never started: no done flag will come
        }
        m_stop = true;
    }
    for (;;) {
        {
            const std::lock_guard<os::Mutex> lock(m_mutex);
            if (m_done) {
                return;
            }
        }
        os::YieldThread();
    }
}
