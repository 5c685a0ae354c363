#include "audio/ZWavStreamVoice.h"

#include "audio/ZWavSound.h"
#include "foundation/ZLog.h"
#include "platform/os/files.h"

ZWavStreamVoice::ZWavStreamVoice(ZWavSound* wav) : m_wav(wav) {
    sound = wav;
    wholeInBuffer = wav->endWritten;
}

ZWavStreamVoice::~ZWavStreamVoice() { CloseStream(); }

void ZWavStreamVoice::OpenStream() {
    CloseStream();
    m_file = os::OpenFile(m_wav->path.GetText(), "rb");
    if (m_file == nullptr) {
        ZLog::Printf("Sound \"%s\": %s does not open for streaming", m_wav->fileName.GetText(),
                     m_wav->path.GetText());
        return;
    }
    // The first buffer-full was written at creation; a sound shorter than the
    // buffer starts over at its data.
    uint32_t skip = m_wav->bufferBytes;
    if (m_wav->dataLength > 0) {
        skip %= m_wav->dataLength;
    }
    std::fseek(m_file, static_cast<long>(m_wav->dataStart + skip), SEEK_SET);
}

void ZWavStreamVoice::CloseStream() {
    if (m_file != nullptr) {
        std::fclose(m_file);
        m_file = nullptr;
    }
}

void ZWavStreamVoice::FillFromStart(uint8_t* region, const uint32_t bytes) {
    if (m_file != nullptr) {
        std::fseek(m_file, static_cast<long>(m_wav->dataStart), SEEK_SET);
    }
    if (region != nullptr && m_wav->FillFromWav(region, bytes, playOnce, m_file)) {
        wholeInBuffer = true;  // the next play-once play runs the buffer out once
    }
}

bool ZWavStreamVoice::FillStream(uint8_t* d, const uint32_t n, uint32_t* outData) {
    return m_wav->FillFromWav(d, n, playOnce, m_file, outData);
}

void ZWavStreamVoice::ThreadUpdate() {
    ProcessCommands();
    if (!IsStopped()) {
        RefillConsumed();
    }
}
