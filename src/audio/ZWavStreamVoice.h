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

private:
    bool FillStream(uint8_t* d, uint32_t n, uint32_t* outData) override;

    ZWavSound* m_wav;
    std::FILE* m_file = nullptr;
};
