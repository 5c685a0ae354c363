#include "menu/ZCinematicMgr.h"

#include "foundation/ZAppInfo.h"
#include "menu/ZCinematic.h"

namespace {

ZCinematicMgr* g_cinematicMgr = nullptr;

}  // namespace

ZCinematicMgr* GetCinematicMgr() { return GetOrCreateManager(g_cinematicMgr); }

void DestroyCinematicMgr() {
    if (g_cinematicMgr != nullptr) {
        g_cinematicMgr->Shutdown();
    }
    DestroyManager(g_cinematicMgr);
}

ZCinematicMgr::~ZCinematicMgr() { StopAll(); }

void ZCinematicMgr::Play(ZCinematic* const cinematic, ZHashedString /*name*/, int32_t /*priority*/) {
    if (cinematic != nullptr) {
        m_playing.PushBack(cinematic);
    }
}

void ZCinematicMgr::StopAll() {
    for (ZCinematic* cinematic : m_playing) {
        delete cinematic;
    }
    m_playing.Clear();
}

void ZCinematicMgr::Update(const float timeStep) {
    // By index: an ended cinematic leaves the list at once.
    for (uint32_t i = 0; i < m_playing.Count();) {
        if (m_playing[i]->Update(timeStep)) {
            ++i;
        } else {
            delete m_playing[i];
            m_playing.RemoveAt(i);
        }
    }
}

void ZCinematicMgr::FixedUpdate(float /*timeStep*/) {}

bool ZCinematicMgr::IsInputBlocked() const {
    for (const ZCinematic* cinematic : m_playing) {
        if (cinematic->BlocksInput()) {
            return true;
        }
    }
    return false;
}
