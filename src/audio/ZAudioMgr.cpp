#include "audio/ZAudioMgr.h"

#include "foundation/ZAppInfo.h"

namespace {

ZAudioMgr* g_audioMgr = nullptr;

}  // namespace

ZAudioMgr* GetAudioMgr() { return GetOrCreateManager(g_audioMgr); }

void DestroyAudioMgr() { DestroyManager(g_audioMgr); }

ZAudioMgr::~ZAudioMgr() {
    for (auto& node : m_groups) {
        delete node.value;
    }
    m_groups.Clear();
    // A mutex still held from Init (start-up cut short) is let go here.
    while (m_mutex.IsOwnedByCurrentThread()) {
        m_mutex.Unlock();
    }
}

void ZAudioMgr::Init(platform::window::WindowSystem* /*window*/) {
    // Taken as the streaming thread's start gate; no thread exists yet.
    m_mutex.Lock();
}

void ZAudioMgr::StopMusicThread() {}

ZSoundGroup* ZAudioMgr::CreateSoundGroup(const ZHashedString name) {
    if (ZSoundGroup* existing = FindSoundGroup(name)) {
        return existing;
    }
    ZSoundGroup* group = new ZSoundGroup();
    group->name = name;
    m_groups.Insert(name, group);
    return group;
}

ZSoundGroup* ZAudioMgr::FindSoundGroup(const ZHashedString name) const {
    const auto* node = m_groups.Find(name);
    return node != nullptr ? node->value : nullptr;
}
