#include "audio/ZAudioMgr.h"

#include <cstdio>
#include <cstring>

#include "audio/ZBufferedVoice.h"
#include "audio/ZMultiSynthSound.h"
#include "audio/ZOggSound.h"
#include "audio/ZPCSpeakerSound.h"
#include "audio/ZSoundData.h"
#include "audio/ZVoice.h"
#include "audio/ZWavSound.h"
#include "foundation/ZAppInfo.h"
#include "foundation/ZLog.h"
#include "foundation/ZMath.h"
#include "foundation/ZTimer.h"
#include "platform/window/window.h"

namespace {

ZAudioMgr* g_audioMgr = nullptr;

const char* NameText(const ZHashedString name) {
    const char* text = name.GetText();
    return text != nullptr ? text : "?";
}

// The kind of sound a file name or built-in name stands for; null when none.
// The extension test is on the exact last four bytes, so it is case-sensitive.
ZSoundData* NewSoundData(const char* fileName, const ZHashedString soundName) {
    if (fileName != nullptr) {
        const size_t length = std::strlen(fileName);
        if (length >= 4 && std::memcmp(fileName + length - 4, ".wav", 4) == 0) {
            return new ZWavSound();
        }
        if (length >= 4 && std::memcmp(fileName + length - 4, ".ogg", 4) == 0) {
            return new ZOggSound();
        }
        ZLog::Printf("CreateSound \"%s\": \"%s\" is neither a .wav nor a .ogg file", NameText(soundName), fileName);
        return nullptr;
    }
    if (soundName == ZHashedString("PCSpeaker")) {
        return new ZPCSpeakerSound();
    }
    if (soundName == ZHashedString("MultiSynth")) {
        return new ZMultiSynthSound();
    }
    ZLog::Printf("CreateSound \"%s\": no file and no built-in sound of that name", NameText(soundName));
    return nullptr;
}

}  // namespace

ZAudioMgr* GetAudioMgr() { return GetOrCreateManager(g_audioMgr); }

void DestroyAudioMgr() { DestroyManager(g_audioMgr); }

ZAudioMgr::~ZAudioMgr() {
    Shutdown();
    m_groups.Clear();
    m_sounds.Clear();
}

void ZAudioMgr::Init(platform::window::WindowSystem* /*window*/) {
    if (m_system != nullptr) {
        ZLog::Printf("ZAudioMgr::Init: the audio is running already");
        return;
    }
    if (InitDevice()) {
        StartMusicThread();
    }
}

bool ZAudioMgr::InitDevice() {
    platform::sound::SoundSystem* system = platform::sound::GetSoundSystem();
    if (system == nullptr) {
        ZLog::Printf("ZAudioMgr::Init: no sound system installed; the game runs without sound");
        lastResult = platform::sound::DSERR_NODRIVER;
        return false;
    }
    lastResult = system->Open();
    if (platform::sound::Failed(lastResult)) {
        char text[1024];
        std::snprintf(text, sizeof(text), "%s: %s\r\n\r\n%s\r\n\r\n%s\r\n\r\nFile: %s\r\nLine: %d",
                      "DirectSound Initialization Error", platform::sound::ResultName(lastResult),
                      platform::sound::ResultDescription(lastResult), "Unable to proceed.", ".\\src\\ZAudioMgr", 75);
        platform::window::MessageBox("DirectSound Initialization Error", text,
                                     platform::window::MB_OK | platform::window::MB_ICONERROR);
        return false;
    }
    ZLog::Printf("ZAudioMgr::Init: %s", system->GetOpenNote().c_str());
    m_system = system;
    return true;
}

void ZAudioMgr::Shutdown() {
    for (auto& node : m_groups) {
        for (ZVoice* voice : node.value->voices) {
            voice->group = nullptr;
        }
        delete node.value;
    }
    m_groups.Clear();
    StopMusicThread();

    // The thread has ended (or never ran): what it still held is freed here.
    ZArray<ZBufferedVoice*> held;
    {
        const std::lock_guard<os::Mutex> lock(m_mutex);
        for (ZArray<ZBufferedVoice*>* list : {&m_pending, &m_active, &m_toRemove}) {
            for (ZBufferedVoice* voice : *list) {
                held.AddUnique(voice);
            }
            list->Clear();
        }
    }
    for (auto& node : m_sounds) {
        if (node.value->GetThreadVoice() == nullptr) {
            delete node.value;
        } else {
            held.AddUnique(node.value->GetThreadVoice());
        }
    }
    m_sounds.Clear();
    for (ZBufferedVoice* voice : held) {
        delete voice;
    }

    if (m_system != nullptr) {
        m_system->Close();
        m_system = nullptr;
    }
    // A start gate still held (start-up cut short) is let go.
    while (m_mutex.IsOwnedByCurrentThread()) {
        m_mutex.Unlock();
    }
}

ZVoice* ZAudioMgr::CreateSound(const char* fileName, const ZHashedString soundName, const ZHashedString groupName,
                               bool streamed) {
    ZVoice* voice = FindSound(soundName);
    if (voice == nullptr) {
        if (m_system == nullptr) {
            return nullptr;
        }
        ZSoundData* data = NewSoundData(fileName, soundName);
        if (data == nullptr) {
            return nullptr;
        }
        if (!data->Load(fileName)) {
            ZLog::Printf("CreateSound \"%s\": the sound is not created", NameText(soundName));
            delete data;
            return nullptr;
        }
        // Kinds that cannot be held whole (Ogg) always stream.
        streamed = streamed || data->GetTotalBytes() == 0;
        data->InitBufferDesc(streamed);
        data->buffer = CreateSoundBuffer(data->description);
        void* p1 = nullptr;
        void* p2 = nullptr;
        uint32_t n1 = 0;
        uint32_t n2 = 0;
        if (data->Lock(&p1, &n1, &p2, &n2)) {
            data->WriteData(p1, n1, p2, n2);
        }
        data->Unlock(p1, n1, p2, n2);
        voice = data->CreateVoice();
        if (voice == nullptr) {
            delete data;
            return nullptr;
        }
        voice->sound = data;
        voice->SetVolume(1.0f);
        voice->SetPan(0.0f);
        m_sounds.Insert(soundName, voice);
        if (!groupName.IsNone()) {
            ZSoundGroup* group = FindSoundGroup(groupName);
            if (group == nullptr) {
                group = CreateSoundGroup(groupName);
            }
            group->AddVoice(voice);
        }
    }
    if (voice->sound != nullptr) {
        ++voice->sound->referenceCount;
    }
    return voice;
}

ZVoice* ZAudioMgr::FindSound(const ZHashedString name) const {
    const auto* node = m_sounds.Find(name);
    return node != nullptr ? node->value : nullptr;
}

ZVoice* ZAudioMgr::PlaySound(const ZHashedString name) {
    ZVoice* voice = FindSound(name);
    return voice != nullptr ? voice->Play(false) : nullptr;
}

void ZAudioMgr::StopAllSounds() {
    for (auto& node : m_sounds) {
        node.value->Stop();
    }
}

void ZAudioMgr::DisposeVoice(ZVoice* voice) {
    // Leaving the group here, on the main thread, keeps the music thread away
    // from the groups when it deletes the voice.
    if (voice->group != nullptr) {
        RemoveVoiceFromGroup(voice->group->GetName(), voice);
    }
    if (ZBufferedVoice* threadVoice = voice->GetThreadVoice()) {
        QueueVoiceForRemoval(threadVoice);
    } else {
        delete voice;
    }
}

void ZAudioMgr::ReleaseSound(const ZHashedString name) {
    ZVoice* voice = FindSound(name);
    if (voice == nullptr) {
        return;
    }
    if (voice->sound != nullptr && voice->sound->referenceCount > 0) {
        --voice->sound->referenceCount;
    }
    if (voice->sound == nullptr || voice->sound->referenceCount == 0) {
        m_sounds.Remove(name);
        DisposeVoice(voice);
    }
}

void ZAudioMgr::ReleaseAllSounds() {
    // Every sound goes, whatever its count: the table is emptied, and a voice
    // left out of it could never be released again.
    for (auto& node : m_sounds) {
        DisposeVoice(node.value);
    }
    m_sounds.Clear();
}

void ZAudioMgr::Update() {
    if (m_system != nullptr) {
        const platform::window::WindowSystem* window = platform::window::GetWindowSystem();
        m_system->SetAppFocused(window == nullptr || window->HasKeyboardFocus());
    }
    for (auto& node : m_sounds) {
        node.value->Update();
    }
}

void ZAudioMgr::SetMasterVolume(const float volume) {
    masterVolume = volume;
    for (auto& node : m_sounds) {
        node.value->ApplyVolume();
    }
}

ZSoundGroup* ZAudioMgr::CreateSoundGroup(const ZHashedString name) {
    if (ZSoundGroup* existing = FindSoundGroup(name)) {
        return existing;
    }
    ZSoundGroup* group = new ZSoundGroup(name);
    m_groups.Insert(name, group);
    return group;
}

ZSoundGroup* ZAudioMgr::FindSoundGroup(const ZHashedString name) const {
    const auto* node = m_groups.Find(name);
    return node != nullptr ? node->value : nullptr;
}

void ZAudioMgr::RemoveVoiceFromGroup(const ZHashedString groupName, ZVoice* voice) {
    if (ZSoundGroup* group = FindSoundGroup(groupName)) {
        group->RemoveVoice(voice);
    }
    if (voice->group != nullptr && voice->group->GetName() == groupName) {
        voice->group = nullptr;
    }
}

platform::sound::SoundBuffer* ZAudioMgr::CreateSoundBuffer(const platform::sound::BufferDesc& desc) {
    if (m_system == nullptr) {
        return nullptr;
    }
    platform::sound::SoundBuffer* buffer = nullptr;
    lastResult = m_system->CreateSoundBuffer(desc, &buffer);
    if (platform::sound::Failed(lastResult)) {
        ZLog::Printf("ZAudioMgr::CreateSoundBuffer: %s (%u bytes); the sound stays silent",
                     platform::sound::ResultName(lastResult), desc.bufferBytes);
        return nullptr;
    }
    return buffer;
}

platform::sound::SoundBuffer* ZAudioMgr::DuplicateSoundBuffer(platform::sound::SoundBuffer* source) {
    if (m_system == nullptr || source == nullptr) {
        return nullptr;
    }
    platform::sound::SoundBuffer* buffer = nullptr;
    lastResult = m_system->DuplicateSoundBuffer(source, &buffer);
    if (platform::sound::Failed(lastResult)) {
        ZLog::Printf("ZAudioMgr::DuplicateSoundBuffer: %s", platform::sound::ResultName(lastResult));
        return nullptr;
    }
    return buffer;
}

double ZAudioMgr::GetTime() const { return m_timeSource ? m_timeSource() : gTimer.GetElapsed(); }

float ZAudioMgr::GetStreamUpdatePart() const { return ZMath::Clamp01(streamUpdatePercent.load()); }

float ZAudioMgr::GetStreamWriteDelay() const {
    const float delay = streamWriteDelay.load();
    if (!(delay > 0.0f)) {
        return 0.0f;
    }
    return delay < kMaxStreamWriteDelay ? delay : kMaxStreamWriteDelay;
}
