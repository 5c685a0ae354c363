#include "audio/ZSynthVoice.h"

#include <cmath>
#include <cstring>

#include "audio/ZAudioMgr.h"
#include "audio/ZSoundData.h"

void ZSynthVoice::FillFromStart(uint8_t* region, const uint32_t bytes) {
    if (region != nullptr) {
        std::memset(region, 0, bytes);
    }
}

int16_t ZSynthVoice::ToSample(const float x) {
    const double t = std::trunc(-65535.0 * (static_cast<double>(x) + 1.0) * 0.5);
    const double s = -32768.0 - t;
    if (!(s >= -32768.0)) {
        return -32768;  // NaN too
    }
    return s > 32767.0 ? int16_t{32767} : static_cast<int16_t>(s);
}

uint32_t ZSynthVoice::RingDistance(const uint32_t a, const uint32_t b, const uint32_t n) {
    return b >= a ? b - a : n - a + b;
}

uint32_t ZSynthVoice::BufferSize() const {
    uint32_t size = 0;
    sound->buffer->GetCaps(&size, nullptr);
    return size & ~1u;
}

bool ZSynthVoice::ReadCursors(const uint32_t size, uint32_t& play, uint32_t& write) const {
    if (platform::sound::Failed(sound->buffer->GetCurrentPosition(&play, &write))) {
        return false;
    }
    play = (play % size) & ~1u;
    write = (write % size) & ~1u;
    return true;
}

uint32_t ZSynthVoice::DueLength(const uint32_t size, const uint32_t play, const uint32_t write) const {
    const uint32_t consumed = RingDistance(position % size, play, size);
    const uint32_t ahead = RingDistance(play, write, size);
    const uint32_t length = 2 * consumed < size - ahead ? 2 * consumed : size - ahead;
    const auto threshold =
        static_cast<uint32_t>(static_cast<float>(size) * GetAudioMgr()->GetStreamUpdatePart());
    return length <= threshold ? 0 : length;
}

void ZSynthVoice::WriteSamples(const std::vector<int16_t>& samples, const uint32_t size, const uint32_t write,
                               const uint32_t length, const uint32_t play) {
    platform::sound::SoundBuffer* buffer = sound->buffer;
    void* p1 = nullptr;
    void* p2 = nullptr;
    uint32_t n1 = 0;
    uint32_t n2 = 0;
    if (!platform::sound::Failed(buffer->Lock(write, length, &p1, &n1, &p2, &n2, 0))) {
        const uint32_t frames = size / 2;
        void* const regions[2] = {p1, p2};
        const uint32_t counts[2] = {n1, n2};
        uint32_t k = write / 2;
        for (int r = 0; r < 2; ++r) {
            auto* out = static_cast<uint8_t*>(regions[r]);
            for (uint32_t b = 0; out != nullptr && b + 1 < counts[r]; b += 2) {
                std::memcpy(out + b, &samples[k], 2);
                k = k + 1 < frames ? k + 1 : 0;
            }
        }
        buffer->Unlock(p1, n1, p2, n2);
    }
    position = play;
}
