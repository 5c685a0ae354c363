#pragma once

#include <cstdio>

#include "audio/ZBufferedVoice.h"

class ZWavSound;

// Streams a WAV file through a looping buffer; the music thread refills it.
class ZWavStreamVoice : public ZBufferedVoice {
public:
    explicit ZWavStreamVoice(ZWavSound* wav);
    ~ZWavStreamVoice() override;

    // Opens its own handle on the file, past the first buffer-full.
    void OpenStream() override;
    void CloseStream() override;
    void FillFromStart(uint8_t* region, uint32_t bytes) override;
    void ThreadUpdate() override;
    // Only a Stop starts a WAV stream that has run out over again.
    bool RestartsWhenRanOut() const override { return false; }

private:
    bool FillStream(uint8_t* d, uint32_t n, uint32_t* outData) override;

    ZWavSound* m_wav;
    std::FILE* m_file = nullptr;
};
