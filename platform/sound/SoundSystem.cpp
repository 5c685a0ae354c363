#include <algorithm>
#include <mutex>

#include "platform/sound/Mixer.h"
#include "platform/sound/fake/FakeSoundSystem.h"
#include "platform/sound/sdl/SdlSoundSystem.h"
#include "platform/sound/sound.h"

namespace platform::sound {

namespace {

std::mutex gSystemMutex;
std::unique_ptr<SoundSystem> gSystem;

struct ResultText {
    Result result;
    const char* name;
    const char* description;
};

const ResultText kResultTexts[] = {
    {DS_OK, "DS_OK", "The call succeeded."},
    {DSERR_GENERIC, "DSERR_GENERIC", "An undetermined error occurred inside the sound subsystem."},
    {DSERR_INVALIDPARAM, "DSERR_INVALIDPARAM", "An invalid parameter was passed to the returning function."},
    {DSERR_OUTOFMEMORY, "DSERR_OUTOFMEMORY", "Not enough free memory is available to complete the operation."},
    {DSERR_ALLOCATED, "DSERR_ALLOCATED",
     "The call failed because resources (such as a priority level) were already being used by another caller."},
    {DSERR_INVALIDCALL, "DSERR_INVALIDCALL", "This function is not valid for the current state of this object."},
    {DSERR_BADFORMAT, "DSERR_BADFORMAT", "The specified wave format is not supported."},
    {DSERR_NODRIVER, "DSERR_NODRIVER",
     "No sound driver is available for use, or the given device is no longer valid."},
    {DSERR_UNINITIALIZED, "DSERR_UNINITIALIZED", "The sound device has not been initialized."},
};

const ResultText* FindText(const Result result) {
    for (const ResultText& text : kResultTexts) {
        if (text.result == result) {
            return &text;
        }
    }
    return nullptr;
}

bool FormatUsable(const WaveFormat& f) {
    return f.formatTag == WAVE_FORMAT_PCM && (f.channels == 1 || f.channels == 2) &&
           (f.bitsPerSample == 8 || f.bitsPerSample == 16) && f.samplesPerSec >= 100 &&
           f.samplesPerSec <= 200000 && f.blockAlign == f.channels * f.bitsPerSample / 8;
}

}  // namespace

const char* ResultName(const Result result) {
    const ResultText* text = FindText(result);
    return text != nullptr ? text->name : "Unknown";
}

const char* ResultDescription(const Result result) {
    const ResultText* text = FindText(result);
    return text != nullptr ? text->description : "n/a";
}

// --- SoundBuffer -----------------------------------------------------------

SoundBuffer::SoundBuffer(std::shared_ptr<Mixer> mixer, std::shared_ptr<BufferState> state)
    : m_mixer(std::move(mixer)), m_state(std::move(state)) {}

SoundBuffer::~SoundBuffer() { m_mixer->Forget(m_state.get()); }

void SoundBuffer::Release() { delete this; }

Result SoundBuffer::GetCaps(std::uint32_t* outBytes, std::uint32_t* outFlags) const {
    const std::lock_guard<std::mutex> lock(m_mixer->Guard());
    if (outBytes != nullptr) {
        *outBytes = m_state->data ? static_cast<std::uint32_t>(m_state->data->size()) : 0;
    }
    if (outFlags != nullptr) {
        *outFlags = m_state->flags;
    }
    return DS_OK;
}

Result SoundBuffer::GetFormat(WaveFormat* out) const {
    if (out == nullptr) {
        return DSERR_INVALIDPARAM;
    }
    const std::lock_guard<std::mutex> lock(m_mixer->Guard());
    *out = m_state->format;
    return DS_OK;
}

Result SoundBuffer::Lock(std::uint32_t offset, std::uint32_t bytes, void** outPtr1, std::uint32_t* outBytes1,
                         void** outPtr2, std::uint32_t* outBytes2, const std::uint32_t flags) {
    if (outPtr1 == nullptr || outBytes1 == nullptr) {
        return DSERR_INVALIDPARAM;
    }
    *outPtr1 = nullptr;
    *outBytes1 = 0;
    if (outPtr2 != nullptr) {
        *outPtr2 = nullptr;
    }
    if (outBytes2 != nullptr) {
        *outBytes2 = 0;
    }
    const std::lock_guard<std::mutex> lock(m_mixer->Guard());
    BufferState& s = *m_state;
    if (s.primary || !s.data) {
        return DSERR_INVALIDCALL;
    }
    const auto size = static_cast<std::uint32_t>(s.data->size());
    if ((flags & DSBLOCK_ENTIREBUFFER) != 0) {
        offset = 0;
        bytes = size;
    } else if ((flags & DSBLOCK_FROMWRITECURSOR) != 0) {
        const auto play = static_cast<std::uint32_t>(s.position) * s.format.blockAlign;
        offset = s.playing ? (play + m_mixer->LatencyBytes(s)) % size : play;
    }
    if (offset >= size || bytes == 0 || bytes > size) {
        return DSERR_INVALIDPARAM;
    }
    std::uint8_t* base = s.data->data();
    const std::uint32_t first = std::min(bytes, size - offset);
    *outPtr1 = base + offset;
    *outBytes1 = first;
    if (first < bytes) {
        if (outPtr2 == nullptr || outBytes2 == nullptr) {
            *outPtr1 = nullptr;
            *outBytes1 = 0;
            return DSERR_INVALIDPARAM;
        }
        *outPtr2 = base;
        *outBytes2 = bytes - first;
    }
    return DS_OK;
}

Result SoundBuffer::Unlock(void*, std::uint32_t, void*, std::uint32_t) {
    // The regions point into the buffer itself: nothing to copy back.
    return DS_OK;
}

Result SoundBuffer::Play(const std::uint32_t flags) {
    const std::lock_guard<std::mutex> lock(m_mixer->Guard());
    m_state->playing = true;
    m_state->looping = (flags & DSBPLAY_LOOPING) != 0;
    return DS_OK;
}

Result SoundBuffer::Stop() {
    const std::lock_guard<std::mutex> lock(m_mixer->Guard());
    m_state->playing = false;
    return DS_OK;
}

Result SoundBuffer::GetStatus(std::uint32_t* outStatus) const {
    if (outStatus == nullptr) {
        return DSERR_INVALIDPARAM;
    }
    const std::lock_guard<std::mutex> lock(m_mixer->Guard());
    *outStatus = 0;
    if (m_state->playing) {
        *outStatus = DSBSTATUS_PLAYING | (m_state->looping ? DSBSTATUS_LOOPING : 0);
    }
    return DS_OK;
}

Result SoundBuffer::GetCurrentPosition(std::uint32_t* outPlay, std::uint32_t* outWrite) const {
    const std::lock_guard<std::mutex> lock(m_mixer->Guard());
    const BufferState& s = *m_state;
    if (s.primary || !s.data || s.data->empty()) {
        return DSERR_INVALIDCALL;
    }
    const auto size = static_cast<std::uint32_t>(s.data->size());
    const std::uint32_t play = static_cast<std::uint32_t>(s.position) * s.format.blockAlign;
    if (outPlay != nullptr) {
        *outPlay = play;
    }
    if (outWrite != nullptr) {
        *outWrite = s.playing ? (play + m_mixer->LatencyBytes(s)) % size : play;
    }
    return DS_OK;
}

Result SoundBuffer::SetCurrentPosition(const std::uint32_t position) {
    const std::lock_guard<std::mutex> lock(m_mixer->Guard());
    BufferState& s = *m_state;
    if (s.primary) {
        return DSERR_INVALIDCALL;
    }
    if (s.format.blockAlign == 0 || !s.data || position >= s.data->size()) {
        return DSERR_INVALIDPARAM;
    }
    s.position = static_cast<double>(position / s.format.blockAlign);
    return DS_OK;
}

Result SoundBuffer::SetVolume(const std::int32_t volume) {
    if (volume < DSBVOLUME_MIN || volume > DSBVOLUME_MAX) {
        return DSERR_INVALIDPARAM;
    }
    const std::lock_guard<std::mutex> lock(m_mixer->Guard());
    m_state->volume = volume;
    if (m_state->primary) {
        m_mixer->SetMasterVolume(volume);
    }
    return DS_OK;
}

Result SoundBuffer::GetVolume(std::int32_t* outVolume) const {
    if (outVolume == nullptr) {
        return DSERR_INVALIDPARAM;
    }
    const std::lock_guard<std::mutex> lock(m_mixer->Guard());
    *outVolume = m_state->volume;
    return DS_OK;
}

Result SoundBuffer::SetPan(const std::int32_t pan) {
    if (pan < DSBPAN_LEFT || pan > DSBPAN_RIGHT) {
        return DSERR_INVALIDPARAM;
    }
    const std::lock_guard<std::mutex> lock(m_mixer->Guard());
    m_state->pan = pan;
    return DS_OK;
}

Result SoundBuffer::GetPan(std::int32_t* outPan) const {
    if (outPan == nullptr) {
        return DSERR_INVALIDPARAM;
    }
    const std::lock_guard<std::mutex> lock(m_mixer->Guard());
    *outPan = m_state->pan;
    return DS_OK;
}

Result SoundBuffer::SetFrequency(const std::uint32_t frequency) {
    if (frequency < 100 || frequency > 200000) {
        return DSERR_INVALIDPARAM;
    }
    const std::lock_guard<std::mutex> lock(m_mixer->Guard());
    if (m_state->primary) {
        return DSERR_INVALIDCALL;
    }
    m_state->frequency = frequency;
    return DS_OK;
}

Result SoundBuffer::GetFrequency(std::uint32_t* outFrequency) const {
    if (outFrequency == nullptr) {
        return DSERR_INVALIDPARAM;
    }
    const std::lock_guard<std::mutex> lock(m_mixer->Guard());
    *outFrequency = m_state->frequency;
    return DS_OK;
}

// --- SoundSystem -----------------------------------------------------------

SoundSystem::SoundSystem() : m_mixer(std::make_shared<Mixer>()) {}

SoundSystem::~SoundSystem() = default;

Result SoundSystem::CreateSoundBuffer(const BufferDesc& desc, SoundBuffer** outBuffer) {
    if (outBuffer == nullptr) {
        return DSERR_INVALIDPARAM;
    }
    *outBuffer = nullptr;
    if (!m_open) {
        return DSERR_UNINITIALIZED;
    }
    auto state = std::make_shared<BufferState>();
    state->flags = desc.flags;
    if ((desc.flags & DSBCAPS_PRIMARYBUFFER) != 0) {
        if (desc.bufferBytes != 0 || desc.format != nullptr) {
            return DSERR_INVALIDPARAM;
        }
        state->primary = true;
        state->format.channels = 2;
        state->format.bitsPerSample = 16;
        state->format.blockAlign = 4;
        state->format.samplesPerSec = GetDeviceRate();
        state->format.avgBytesPerSec = state->format.samplesPerSec * 4;
        state->frequency = state->format.samplesPerSec;
    } else {
        if (desc.format == nullptr || desc.bufferBytes == 0 || desc.bufferBytes > 0x0FFFFFFF) {
            return DSERR_INVALIDPARAM;
        }
        if (!FormatUsable(*desc.format)) {
            return DSERR_BADFORMAT;
        }
        state->format = *desc.format;
        state->frequency = desc.format->samplesPerSec;
        // Whole frames only; silence is the format's zero.
        const std::uint32_t bytes = desc.bufferBytes - desc.bufferBytes % desc.format->blockAlign;
        if (bytes == 0) {
            return DSERR_INVALIDPARAM;
        }
        const std::uint8_t silence = desc.format->bitsPerSample == 8 ? 0x80 : 0x00;
        state->data = std::make_shared<std::vector<std::uint8_t>>(bytes, silence);
    }
    *outBuffer = m_mixer->NewBuffer(m_mixer, std::move(state));
    return DS_OK;
}

Result SoundSystem::DuplicateSoundBuffer(SoundBuffer* source, SoundBuffer** outBuffer) {
    if (outBuffer == nullptr) {
        return DSERR_INVALIDPARAM;
    }
    *outBuffer = nullptr;
    if (!m_open) {
        return DSERR_UNINITIALIZED;
    }
    if (source == nullptr) {
        return DSERR_INVALIDPARAM;
    }
    auto state = std::make_shared<BufferState>();
    {
        const std::lock_guard<std::mutex> lock(m_mixer->Guard());
        const BufferState& from = *source->m_state;
        if (from.primary) {
            return DSERR_INVALIDCALL;
        }
        state->data = from.data;
        state->format = from.format;
        state->flags = from.flags;
        state->frequency = from.frequency;
        state->volume = from.volume;
        state->pan = from.pan;
    }
    *outBuffer = m_mixer->NewBuffer(m_mixer, std::move(state));
    return DS_OK;
}

void SoundSystem::SetAppFocused(const bool focused) { m_mixer->SetFocused(focused); }

std::uint32_t SoundSystem::GetBufferCount() const { return m_mixer->GetBufferCount(); }

std::unique_ptr<SoundSystem> CreateSoundSystem(const Backend backend) {
    switch (backend) {
        case Backend::Sdl:
            return std::make_unique<SdlSoundSystem>();
        case Backend::Fake:
            return std::make_unique<FakeSoundSystem>();
    }
    return nullptr;
}

SoundSystem* GetSoundSystem() {
    const std::lock_guard<std::mutex> lock(gSystemMutex);
    return gSystem.get();
}

void SetSoundSystem(std::unique_ptr<SoundSystem> system) {
    std::unique_ptr<SoundSystem> old;
    {
        const std::lock_guard<std::mutex> lock(gSystemMutex);
        old = std::move(gSystem);
        gSystem = std::move(system);
    }
    if (old) {
        old->Close();
    }
}

}  // namespace platform::sound
