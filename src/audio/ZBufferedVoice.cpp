#include "audio/ZBufferedVoice.h"

#include <bit>
#include <climits>
#include <cstdint>
#include <cstring>
#include <mutex>

#include "audio/ZAudioMgr.h"
#include "audio/ZSoundData.h"

namespace {

uint32_t FloatBits(const float value) { return std::bit_cast<uint32_t>(value); }
float BitsFloat(const uint32_t bits) { return std::bit_cast<float>(bits); }

}  // namespace

os::Mutex& ZBufferedVoice::VoiceMutex() {
    static os::Mutex* mutex = new os::Mutex();  // kept for the life of the process
    return *mutex;
}

ZBufferedVoice::ZBufferedVoice() {
    VoiceMutex();
    m_queue.SetFixed(true);
}

void ZBufferedVoice::Post(const uint32_t kind, const uint32_t value) {
    const std::lock_guard<os::Mutex> lock(VoiceMutex());
    m_queue.PushBack(Command{kind, value});
}

ZVoice* ZBufferedVoice::Play(const bool loop) {
    Post(kPlay, loop ? 1u : 0u);
    ApplyVolume();
    ApplyPan();
    return this;
}

void ZBufferedVoice::Pause() { Post(kPause, 0); }

void ZBufferedVoice::Stop() { Post(kStop, 0); }

void ZBufferedVoice::SetVolume(const float v) {
    volume = v;
    ApplyVolume();
}

void ZBufferedVoice::ApplyVolume() { Post(kVolume, FloatBits(GetEffectiveVolume() * volume)); }

void ZBufferedVoice::SetPan(const float p) {
    pan = p;
    ApplyPan();
}

void ZBufferedVoice::ApplyPan() { Post(kPan, FloatBits(pan)); }

void ZBufferedVoice::SetReverb(const uint32_t reverb) { Post(kSynth, reverb); }

void ZBufferedVoice::Lock() { VoiceMutex().Lock(); }

void ZBufferedVoice::Unlock() { VoiceMutex().Unlock(); }

void ZBufferedVoice::ProcessCommands() {
    const std::lock_guard<os::Mutex> lock(VoiceMutex());
    for (const Command& command : m_queue) {
        switch (command.kind) {
            case kPlay:
                // A fresh fill made for the other looping mode, or a stream
                // that has run out (where the voice restarts one), starts
                // again from the beginning.
                if ((m_freshFill && m_fillOnce == (command.value != 0)) || (RestartsWhenRanOut() && RanOut())) {
                    playOnce = command.value == 0;
                    Rewind();
                }
                StartBuffer(command.value != 0, false);
                break;
            case kPause:
                StopBuffer();
                break;
            case kStop:
                Rewind();
                break;
            case kVolume:
                SetBufferVolume(BitsFloat(command.value));
                break;
            case kPan:
                SetBufferPan(BitsFloat(command.value));
                break;
            case kSynth:
                ApplySynthCommand(command.value);
                break;
            default:
                break;  // unknown kinds are skipped
        }
    }
    m_queue.Resize(0);  // the storage stays: the music thread allocates nothing per pass
}

bool ZBufferedVoice::RanOut() {
    if (!finishing || sound == nullptr || sound->buffer == nullptr) {
        return false;
    }
    uint32_t status = 0;
    uint32_t play = 1;
    sound->buffer->GetStatus(&status);
    sound->buffer->GetCurrentPosition(&play, nullptr);
    return (status & platform::sound::DSBSTATUS_PLAYING) == 0 && play == 0;
}

bool ZBufferedVoice::IsStopped() {
    const std::lock_guard<os::Mutex> lock(VoiceMutex());
    if (sound == nullptr || sound->buffer == nullptr) {
        return true;
    }
    uint32_t status = 0;
    sound->buffer->GetStatus(&status);
    return (status & platform::sound::DSBSTATUS_PLAYING) == 0;
}

void ZBufferedVoice::StartBuffer(const bool loop, const bool once) {
    playOnce = !loop;
    m_freshFill = false;
    bool looping = !once;
    if (wholeInBuffer && playOnce) {
        // A stream shorter than its buffer: play the buffer out once.
        looping = false;
        finishing = true;
        m_toEnd = UINT32_MAX;  // the buffer stops by itself
    }
    const std::lock_guard<os::Mutex> lock(VoiceMutex());
    if (sound != nullptr && sound->buffer != nullptr) {
        sound->buffer->Play(looping ? platform::sound::DSBPLAY_LOOPING : 0u);
    }
}

void ZBufferedVoice::StopBuffer() {
    const std::lock_guard<os::Mutex> lock(VoiceMutex());
    if (sound != nullptr && sound->buffer != nullptr) {
        sound->buffer->Stop();
    }
}

void ZBufferedVoice::Rewind() {
    finishing = false;
    wholeInBuffer = false;
    {
        const std::lock_guard<os::Mutex> lock(VoiceMutex());
        if (sound != nullptr && sound->buffer != nullptr) {
            platform::sound::SoundBuffer* buffer = sound->buffer;
            buffer->Stop();
            buffer->SetCurrentPosition(0);
            void* p1 = nullptr;
            void* p2 = nullptr;
            uint32_t n1 = 0;
            uint32_t n2 = 0;
            if (!platform::sound::Failed(
                    buffer->Lock(0, 0, &p1, &n1, &p2, &n2, platform::sound::DSBLOCK_ENTIREBUFFER))) {
                FillFromStart(static_cast<uint8_t*>(p1), n1);
                buffer->Unlock(p1, n1, p2, n2);
            }
        }
    }
    position = 0;
    m_freshFill = true;
    m_fillOnce = playOnce;
}

void ZBufferedVoice::SetBufferVolume(const float v) {
    const std::lock_guard<os::Mutex> lock(VoiceMutex());
    if (sound != nullptr && sound->buffer != nullptr) {
        sound->buffer->SetVolume(LinearToBufferVolume(v));
    }
}

void ZBufferedVoice::SetBufferPan(const float p) {
    const std::lock_guard<os::Mutex> lock(VoiceMutex());
    if (sound != nullptr && sound->buffer != nullptr) {
        sound->buffer->SetPan(PanToBufferPan(p));
    }
}

bool ZBufferedVoice::FillStream(uint8_t* d, const uint32_t n, uint32_t* outData) {
    std::memset(d, sound != nullptr && sound->format.bitsPerSample == 8 ? 0x80 : 0x00, n);
    if (outData != nullptr) {
        *outData = 0;
    }
    return true;
}

void ZBufferedVoice::RefillConsumed() {
    const std::lock_guard<os::Mutex> lock(VoiceMutex());
    if (sound == nullptr || sound->buffer == nullptr) {
        return;
    }
    platform::sound::SoundBuffer* buffer = sound->buffer;
    uint32_t size = 0;
    buffer->GetCaps(&size, nullptr);
    uint32_t play = 0;
    if (size == 0 || platform::sound::Failed(buffer->GetCurrentPosition(&play, nullptr))) {
        return;
    }
    uint32_t consumed = 0;
    if (play > position) {
        consumed = play - position;
    } else if (play < position) {
        consumed = size - position + play;
    }
    if (finishing) {
        // The stream's end is in the buffer, which keeps looping so that the
        // data past its wrap point is heard too; once the cursor has passed
        // the end the buffer stops with its cursors at 0, as a one-shot does.
        if (consumed >= m_toEnd) {
            buffer->Stop();
            buffer->SetCurrentPosition(0);
            position = 0;
            // What the buffer still holds has played: a play without a Stop
            // (or Rewind) first hears silence, not those old samples again.
            void* p1 = nullptr;
            void* p2 = nullptr;
            uint32_t n1 = 0;
            uint32_t n2 = 0;
            if (!platform::sound::Failed(buffer->Lock(0, 0, &p1, &n1, &p2, &n2, platform::sound::DSBLOCK_ENTIREBUFFER))) {
                ZBufferedVoice::FillStream(static_cast<uint8_t*>(p1), n1, nullptr);
                buffer->Unlock(p1, n1, p2, n2);
            }
        } else {
            m_toEnd -= consumed;
            position = play;
        }
        return;
    }
    const auto threshold = static_cast<uint32_t>(static_cast<float>(size) * GetAudioMgr()->GetStreamUpdatePart());
    if (consumed <= threshold) {
        return;
    }
    void* p1 = nullptr;
    void* p2 = nullptr;
    uint32_t n1 = 0;
    uint32_t n2 = 0;
    if (platform::sound::Failed(buffer->Lock(position % size, consumed, &p1, &n1, &p2, &n2, 0))) {
        return;
    }
    void* const regions[2] = {p1, p2};
    const uint32_t bytes[2] = {n1, n2};
    uint32_t offset = position % size;
    for (int i = 0; i < 2; ++i) {
        if (regions[i] == nullptr || bytes[i] == 0) {
            continue;
        }
        auto* region = static_cast<uint8_t*>(regions[i]);
        uint32_t data = 0;
        if (finishing) {
            ZBufferedVoice::FillStream(region, bytes[i], nullptr);  // silence after the end
        } else if (FillStream(region, bytes[i], &data)) {
            finishing = true;
            const uint32_t end = (offset + data) % size;
            m_toEnd = (end + size - play) % size;
            if (m_toEnd == 0) {
                m_toEnd = size;  // the sound runs right up to the cursor: a whole lap
            }
        }
        offset = (offset + bytes[i]) % size;
    }
    buffer->Unlock(p1, n1, p2, n2);
    position = play;
}
