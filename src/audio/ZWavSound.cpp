#include "audio/ZWavSound.h"

#include <cstring>

#include "audio/ZAudioMgr.h"
#include "audio/ZVoicePool.h"
#include "audio/ZWavStreamVoice.h"
#include "foundation/ZLog.h"
#include "platform/os/files.h"
#include "foundation/ZLittleEndian.h"

namespace {

constexpr uint32_t FourCC(const char (&text)[5]) {
    return static_cast<uint32_t>(static_cast<uint8_t>(text[0])) |
           (static_cast<uint32_t>(static_cast<uint8_t>(text[1])) << 8) |
           (static_cast<uint32_t>(static_cast<uint8_t>(text[2])) << 16) |
           (static_cast<uint32_t>(static_cast<uint8_t>(text[3])) << 24);
}

// Reads fixed-size little-endian fields, never past the limit.
class BoundedReader {
public:
    BoundedReader(std::FILE* file, const int64_t limit) : m_file(file), m_limit(limit) {}

    bool U32(uint32_t* out) {
        uint8_t b[4];
        if (!Bytes(b, 4)) {
            return false;
        }
        *out = LoadLE32(b);
        return true;
    }
    bool U16(uint16_t* out) {
        uint8_t b[2];
        if (!Bytes(b, 2)) {
            return false;
        }
        *out = LoadLE16(b);
        return true;
    }
    bool Skip(const uint32_t bytes) {
        const int64_t here = std::ftell(m_file);
        if (here < 0 || static_cast<int64_t>(bytes) > m_limit - here) {
            return false;
        }
        return std::fseek(m_file, static_cast<long>(here + bytes), SEEK_SET) == 0;
    }

private:
    bool Bytes(uint8_t* out, const int64_t n) {
        const int64_t here = std::ftell(m_file);
        if (here < 0 || n > m_limit - here) {
            return false;
        }
        return std::fread(out, 1, static_cast<size_t>(n), m_file) == static_cast<size_t>(n);
    }

    std::FILE* m_file;
    int64_t m_limit;
};

// Skips chunks until one with the id; false at the end.
bool FindChunk(BoundedReader& reader, const uint32_t wanted, uint32_t* outId) {
    if (!reader.U32(outId)) {
        return false;
    }
    while (*outId != wanted) {
        uint32_t size = 0;
        // Chunks are padded to an even size.
        if (!reader.U32(&size) || !reader.Skip(size + (size & 1u)) || !reader.U32(outId)) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool ZWavSound::ReadWavHeader(std::FILE* f, const int64_t limit, ZWavHeader* h, ZString* problem) {
    *h = ZWavHeader();
    BoundedReader reader(f, limit);
    if (!reader.U32(&h->riffId) || !reader.U32(&h->riffSize) || !reader.U32(&h->waveId)) {
        *problem = "shorter than a RIFF header";
        return false;
    }
    if (!FindChunk(reader, FourCC("fmt "), &h->fmtId)) {
        *problem = "no \"fmt \" chunk before the end";
        return false;
    }
    if (!reader.U32(&h->fmtSize) || h->fmtSize < 16 || !reader.U16(&h->audioFormat) || !reader.U16(&h->channels) ||
        !reader.U32(&h->sampleRate) || !reader.U32(&h->byteRate) || !reader.U16(&h->blockAlign) ||
        !reader.U16(&h->bitsPerSample)) {
        *problem = "the \"fmt \" chunk is cut short";
        return false;
    }
    const uint32_t extra = h->fmtSize - 16 + (h->fmtSize & 1u);
    if (extra > 0 && !reader.Skip(extra)) {
        *problem = "the \"fmt \" chunk is cut short";
        return false;
    }
    if (!FindChunk(reader, FourCC("data"), &h->dataId) || !reader.U32(&h->dataSize)) {
        *problem = "no \"data\" chunk before the end";
        return false;
    }
    if (h->audioFormat != platform::sound::WAVE_FORMAT_PCM || (h->channels != 1 && h->channels != 2) ||
        (h->bitsPerSample != 8 && h->bitsPerSample != 16) || h->sampleRate < 100 || h->sampleRate > 200000) {
        char text[160];
        std::snprintf(text, sizeof(text), "unsupported format (tag %u, %u channels, %u bits, %u Hz)",
                      h->audioFormat, h->channels, h->bitsPerSample, h->sampleRate);
        *problem = text;
        return false;
    }
    return true;
}

ZWavSound::~ZWavSound() {
    if (file != nullptr) {
        std::fclose(file);
    }
}

bool ZWavSound::OpenWavFile(std::FILE** outFile) {
    std::FILE* f = os::OpenFile(path.GetText(), "rb");
    if (f == nullptr) {
        ZLog::Printf("Sound \"%s\": %s does not open", fileName.GetText(), path.GetText());
        return false;
    }
    ZString problem;
    const int64_t limit = static_cast<int64_t>(dataOffset) + dataSize;
    if (std::fseek(f, static_cast<long>(dataOffset), SEEK_SET) != 0 || !ReadWavHeader(f, limit, &header, &problem)) {
        if (problem.IsEmpty()) {
            problem = "cannot seek to the data";
        }
        ZLog::Printf("Sound \"%s\": not a usable WAV file: %s", fileName.GetText(), problem.GetText());
        std::fclose(f);
        return false;
    }
    if (outFile != nullptr) {
        *outFile = f;
    } else {
        std::fclose(f);
    }
    return true;
}

bool ZWavSound::Load(const char* name) {
    if (!ZSoundData::Load(name) || !OpenWavFile(&file)) {
        return false;
    }
    dataStart = static_cast<uint32_t>(std::ftell(file));
    dataLength = dataOffset + dataSize - dataStart;
    format.channels = header.channels;
    format.bitsPerSample = header.bitsPerSample;
    format.samplesPerSec = header.sampleRate;
    format.blockAlign = static_cast<uint16_t>(header.channels * header.bitsPerSample / 8);
    if (header.dataSize > dataLength) {
        ZLog::Printf("Sound \"%s\": the data chunk claims %u bytes, %u are there; playing those", fileName.GetText(),
                     header.dataSize, dataLength);
    }
    return true;
}

uint32_t ZWavSound::GetTotalBytes() const {
    // A data chunk that claims more than the file holds plays what is there.
    const uint32_t bytes = header.dataSize < dataLength ? header.dataSize : dataLength;
    return format.blockAlign != 0 ? bytes - bytes % format.blockAlign : bytes;
}

void ZWavSound::FillSilence(uint8_t* d, const uint32_t n) const {
    std::memset(d, format.bitsPerSample == 8 ? 0x80 : 0x00, n);
}

bool ZWavSound::FillFromWav(uint8_t* d, uint32_t n, const bool stopAtEnd, std::FILE* f, uint32_t* outData) const {
    const uint32_t total = n;
    if (outData != nullptr) {
        *outData = total;
    }
    if (f == nullptr) {
        FillSilence(d, n);
        if (outData != nullptr) {
            *outData = 0;
        }
        return true;
    }
    int emptyPasses = 0;
    while (n > 0) {
        const int64_t position = std::ftell(f);
        int64_t remaining = static_cast<int64_t>(dataStart) - position + dataLength;
        if (position < 0 || remaining < 0) {
            remaining = 0;
        }
        const uint32_t k = remaining < n ? static_cast<uint32_t>(remaining) : n;
        const size_t got = k > 0 ? std::fread(d, 1, k, f) : 0;
        if (got < k) {
            ZLog::Printf("Sound \"%s\": the file ends early; the sound stops there", fileName.GetText());
            FillSilence(d + got, n - static_cast<uint32_t>(got));
            std::fseek(f, static_cast<long>(dataStart), SEEK_SET);
            if (outData != nullptr) {
                *outData = total - n + static_cast<uint32_t>(got);
            }
            return true;
        }
        d += k;
        n -= k;
        emptyPasses = k == 0 ? emptyPasses + 1 : 0;
        if (k == remaining) {
            std::fseek(f, static_cast<long>(dataStart), SEEK_SET);
            // Data of no length would wrap for ever without filling anything.
            if (stopAtEnd || dataLength == 0 || emptyPasses > 1) {
                FillSilence(d, n);
                if (outData != nullptr) {
                    *outData = total - n;
                }
                return true;
            }
        }
    }
    return false;
}

void ZWavSound::WriteData(void* ptr1, const uint32_t bytes1, void*, uint32_t) {
    if (ptr1 != nullptr) {
        endWritten = FillFromWav(static_cast<uint8_t*>(ptr1), bytes1, true, file);
    }
}

void ZWavSound::Unlock(void* ptr1, const uint32_t bytes1, void* ptr2, const uint32_t bytes2) {
    ZSoundData::Unlock(ptr1, bytes1, ptr2, bytes2);
    if (file != nullptr) {
        std::fclose(file);
        file = nullptr;
    }
}

ZVoice* ZWavSound::CreateVoice() {
    if (streamed) {
        ZWavStreamVoice* voice = new ZWavStreamVoice(this);
        GetAudioMgr()->QueueVoiceForThread(voice);
        return voice;
    }
    return new ZVoicePool(this);
}
