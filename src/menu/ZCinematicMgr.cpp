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

bool ZCinematicMgr::Play(ZCinematic* const cinematic, ZHashedString name, int32_t priority) {
    if (cinematic == nullptr) {
        return false;
    }
    if (m_walkDepth > 0) {
        m_pending.PushBack(ZCinematicRecord{cinematic, name, priority, false});
        return true;
    }
    if (IsEmptyName(name)) {
        name = cinematic->name;
    }
    if (priority < 0) {
        priority = cinematic->priority;
    }
    if (IsEmptyName(name) || IsPlaying(name)) {
        return false;
    }
    const bool active = cinematic->IsActive();
    // Its Start may stop it, or stop everything: that must wait until it returns.
    BeginWalk();
    if (active) {
        m_running.PushBack(new ZCinematicRecord{cinematic, name, priority, false});
        m_running.QuickSort(ByPriority, nullptr);
    }
    cinematic->Start();
    if (!active) {
        cinematic->End();
        delete cinematic;
    }
    EndWalk();
    return true;
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
        // The caller gave it away when it asked: refused now, it is freed
        // unstarted.
        if (!Play(record.cinematic, record.name, record.priority)) {
            delete record.cinematic;
        }
    }
}

void ZCinematicMgr::EndWalk() {
    if (--m_walkDepth > 0) {
        return;
    }
    RemoveStopped();
    PlayPending();
}

void ZCinematicMgr::RemoveStopped() {
    ++m_walkDepth;
    // One at a time off the list, so that nothing an End does sees a freed
    // record; an End may stop more, which this loop then finds.
    for (uint32_t i = 0; i < m_running.Count();) {
        ZCinematicRecord* record = m_running[i];
        if (!record->stopping) {
            ++i;
            continue;
        }
        m_running.RemoveAt(i);
        Free(record);
        i = 0;
    }
    --m_walkDepth;
}

void ZCinematicMgr::Stop(const ZHashedString name) {
    for (ZCinematicRecord* record : m_running) {
        if (record->name == name && !record->stopping) {
            record->stopping = true;
            break;
        }
    }
    BeginWalk();
    EndWalk();
}

void ZCinematicMgr::StopAll() {
    for (ZCinematicRecord* record : m_running) {
        record->stopping = true;
    }
    BeginWalk();
    EndWalk();
}

void ZCinematicMgr::Walk(const float clock, const float timeStep, const bool gameTime) {
    BeginWalk();
    for (uint32_t i = 0; i < m_running.Count();) {
        ZCinematicRecord* record = m_running[i];
        if (record->stopping || record->cinematic->runsOnGameTime != gameTime) {
            ++i;
            continue;
        }
        record->cinematic->Update(clock, timeStep);
        if (record->cinematic->done) {
            record->stopping = true;
        }
        if (record->stopping && m_walkDepth == 1) {
            // The outermost walk ends it at once; the next record moves into
            // this place: visit the index again.
            m_running.RemoveAt(i);
            Free(record);
        } else {
            ++i;
        }
    }
    EndWalk();
}

void ZCinematicMgr::Update(const float clock, const float timeStep) { Walk(clock, timeStep, false); }
void ZCinematicMgr::FixedUpdate(const float clock, const float timeStep) { Walk(clock, timeStep, true); }

bool ZCinematicMgr::IsInputBlocked() const {
    for (const ZCinematicRecord* record : m_running) {
        if (!record->stopping && record->cinematic->blocksInput) {
            return true;
        }
    }
    return false;
}

bool ZCinematicMgr::IsPlaying(const ZHashedString name) const {
    for (const ZCinematicRecord* record : m_running) {
        if (record->name == name && !record->stopping) {
            return true;
        }
    }
    return false;
}
