#pragma once

#include <cstdint>
#include <cstdio>

#include "audio/ZSoundData.h"
#include "foundation/ZString.h"

// The canonical RIFF header fields of a WAV file.
struct ZWavHeader {
    uint32_t riffId = 0;
    uint32_t riffSize = 0;
    uint32_t waveId = 0;
    uint32_t fmtId = 0;
    uint32_t fmtSize = 0;
    uint16_t audioFormat = 0;
    uint16_t channels = 0;
    uint32_t sampleRate = 0;
    uint32_t byteRate = 0;
    uint16_t blockAlign = 0;
    uint16_t bitsPerSample = 0;
    uint32_t dataId = 0;
    uint32_t dataSize = 0;
};

// A WAV file: played whole from a pool of duplicated buffers, or streamed
// through a looping buffer by the music thread. Samples run from the data
// chunk to the end of the file or package entry.
class ZWavSound : public ZSoundData {
public:
    ~ZWavSound() override;

    bool Load(const char* fileName) override;
    void WriteData(void* ptr1, uint32_t bytes1, void* ptr2, uint32_t bytes2) override;
    void Unlock(void* ptr1, uint32_t bytes1, void* ptr2, uint32_t bytes2) override;
    ZVoice* CreateVoice() override;
    uint32_t GetTotalBytes() const override;

    // Reads the header from the file's position, never past limit (the end of
    // the file or entry): chunks before "fmt " and between "fmt " and "data"
    // are skipped by their sizes, a longer fmt payload is skipped past its
    // first 16 bytes. False, with what was wrong in problem, when the end comes
    // first or the format is not 8- or 16-bit PCM in 1 or 2 channels. On
    // success the file stands at the first sample byte.
    static bool ReadWavHeader(std::FILE* file, int64_t limit, ZWavHeader* header, ZString* problem);
    // Opens path at the entry and reads the header; the open file goes to
    // outFile (else it is closed). False, logged, when either fails.
    bool OpenWavFile(std::FILE** outFile);
    // Fills n bytes at d from f, wrapping to dataStart at the end unless
    // stopAtEnd. True when it reached the end and stopped; the rest of d is
    // then silence. A read that comes up short (a file cut under us) or data of
    // no length ends the fill the same way, so a loop never spins. outData,
    // when given, gets the bytes of sound written before the silence.
    bool FillFromWav(uint8_t* d, uint32_t n, bool stopAtEnd, std::FILE* f, uint32_t* outData = nullptr) const;
    // Silence in this sound's format.
    void FillSilence(uint8_t* d, uint32_t n) const;

    ZWavHeader header;
    std::FILE* file = nullptr;
};
