#include "menu/ZCinematicMgr.h"

#include "foundation/ZAppInfo.h"
#include "menu/ZCinematic.h"

namespace {

ZCinematicMgr* g_cinematicMgr = nullptr;

// No name at all, or the name of the empty text: callers pass either.
bool IsEmptyName(const ZHashedString name) {
    if (name.IsNone()) {
        return true;
    }
    const char* text = name.GetText();
    return text == nullptr || text[0] == '\0';
}

int ByPriority(ZCinematicRecord* const& a, ZCinematicRecord* const& b, void* /*context*/) {
    return a->priority < b->priority ? -1 : (a->priority > b->priority ? 1 : 0);
}

}  // namespace

ZCinematicMgr* GetCinematicMgr() { return GetOrCreateManager(g_cinematicMgr); }
ZCinematicMgr* PeekCinematicMgr() { return g_cinematicMgr; }

void DestroyCinematicMgr() {
    if (g_cinematicMgr != nullptr) {
        g_cinematicMgr->Shutdown();
    }
    DestroyManager(g_cinematicMgr);
}

ZCinematicMgr::~ZCinematicMgr() {
    StopAll();
    // Plays still held were never started: they are the manager's all the same.
    for (ZCinematicRecord& record : m_pending) {
        delete record.cinematic;
    }
    m_pending.Clear();
}

void ZCinematicMgr::Play(ZCinematic* const cinematic, ZHashedString name, int32_t priority) {
    if (m_walking) {
        m_pending.PushBack(ZCinematicRecord{cinematic, name, priority});
        return;
    }
    if (cinematic == nullptr) {
        return;
    }
    if (IsEmptyName(name)) {
        name = cinematic->name;
    }
    if (priority < 0) {
        priority = cinematic->priority;
    }
    if (IsEmptyName(name) || IsPlaying(name)) {
        return;
    }
    const bool active = cinematic->IsActive();
    if (active) {
        m_running.PushBack(new ZCinematicRecord{cinematic, name, priority});
        m_running.QuickSort(ByPriority, nullptr);
    }
    cinematic->Start();
    if (!active) {
        cinematic->End();
        delete cinematic;
    }
}

void ZCinematicMgr::Free(ZCinematicRecord* const record) {
    record->cinematic->End();
    delete record->cinematic;
    delete record;
}

void ZCinematicMgr::PlayPending() {
    // A play from a started cinematic's Start may add to the list: take it first.
    ZArray<ZCinematicRecord> pending;
    pending.Assign(m_pending);
    m_pending.Clear();
    for (const ZCinematicRecord& record : pending) {
        Play(record.cinematic, record.name, record.priority);
    }
}

void ZCinematicMgr::Stop(const ZHashedString name) {
    m_walking = true;
    for (uint32_t i = 0; i < m_running.Count(); ++i) {
        if (m_running[i]->name == name) {
            ZCinematicRecord* record = m_running[i];
            m_running.RemoveAt(i);
            Free(record);
            break;
        }
    }
    m_walking = false;
    PlayPending();
}

void ZCinematicMgr::StopAll() {
    m_walking = true;
    // One at a time off the list, so that nothing an End does sees a freed record.
    while (!m_running.IsEmpty()) {
        ZCinematicRecord* record = m_running[0];
        m_running.RemoveAt(0);
        Free(record);
    }
    m_walking = false;
    PlayPending();
}

void ZCinematicMgr::Walk(const float clock, const float timeStep, const bool gameTime) {
    m_walking = true;
    for (uint32_t i = 0; i < m_running.Count();) {
        ZCinematicRecord* record = m_running[i];
        if (record->cinematic->runsOnGameTime != gameTime) {
            ++i;
            continue;
        }
        record->cinematic->Update(clock, timeStep);
        if (record->cinematic->done) {
            // The next record moves into this place: visit the index again.
            m_running.RemoveAt(i);
            Free(record);
        } else {
            ++i;
        }
    }
    m_walking = false;
    PlayPending();
}

void ZCinematicMgr::Update(const float clock, const float timeStep) { Walk(clock, timeStep, false); }
void ZCinematicMgr::FixedUpdate(const float clock, const float timeStep) { Walk(clock, timeStep, true); }

bool ZCinematicMgr::IsInputBlocked() const {
    for (const ZCinematicRecord* record : m_running) {
        if (record->cinematic->blocksInput) {
            return true;
        }
    }
    return false;
}

bool ZCinematicMgr::IsPlaying(const ZHashedString name) const {
    for (const ZCinematicRecord* record : m_running) {
        if (record->name == name) {
            return true;
        }
    }
    return false;
}
