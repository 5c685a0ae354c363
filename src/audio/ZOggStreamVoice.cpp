#include "audio/ZOggStreamVoice.h"

#include <cstring>

#include "audio/ZOggSound.h"
#include "foundation/ZLog.h"
#include "platform/os/files.h"

ZOggStreamVoice::ZOggStreamVoice(ZOggSound* ogg) : m_ogg(ogg) {
    sound = ogg;
    wholeInBuffer = ogg->endWritten;
}

ZOggStreamVoice::~ZOggStreamVoice() { CloseStream(); }

void ZOggStreamVoice::OpenStream() {
    CloseStream();
    m_source = ZOggSource();
    m_source.file = os::OpenFile(m_ogg->path.GetText(), "rb");
    if (m_source.file == nullptr) {
        ZLog::Printf("Sound \"%s\": %s does not open for streaming", m_ogg->fileName.GetText(),
                     m_ogg->path.GetText());
        return;
    }
    m_source.offset = m_ogg->dataOffset;
    m_source.size = m_ogg->dataSize;
    m_open = ZOggSound::OpenOggStream(&m_vf, &m_source, m_ogg->fileName.GetText());
    if (!m_open) {
        CloseStream();
        return;
    }
    const uint32_t frameBytes = m_ogg->FrameBytes();
    const int64_t first = frameBytes > 0 ? m_ogg->bufferBytes / frameBytes : 0;
    if (!SeekToSample(first)) {
        // Shorter than the buffer: the first fill held it all.
        ov_pcm_seek(&m_vf, ov_pcm_total(&m_vf, -1));
    }
}

bool ZOggStreamVoice::SeekToSample(const int64_t sample) {
    if (!m_open || sample < 0 || sample > ov_pcm_total(&m_vf, -1)) {
        return false;
    }
    return ov_pcm_seek(&m_vf, sample) == 0;
}

void ZOggStreamVoice::CloseStream() {
    if (m_open) {
        ov_clear(&m_vf);
        m_open = false;
    }
    if (m_source.file != nullptr) {
        std::fclose(m_source.file);
        m_source.file = nullptr;
    }
}

bool ZOggStreamVoice::FillStream(uint8_t* d, const uint32_t n, uint32_t* outData) {
    if (!m_open) {
        std::memset(d, 0, n);
        if (outData != nullptr) {
            *outData = 0;
        }
        return true;
    }
    return ZOggSound::FillFromOgg(d, n, &m_vf, playOnce, m_ogg->fileName.GetText(), outData);
}

void ZOggStreamVoice::FillFromStart(uint8_t* region, const uint32_t bytes) {
    if (region == nullptr) {
        return;
    }
    if (m_open && ov_raw_seek(&m_vf, 0) != 0) {
        ZLog::Printf("Sound \"%s\": the stream cannot go back to its start", m_ogg->fileName.GetText());
    }
    if (FillStream(region, bytes, nullptr)) {
        wholeInBuffer = true;  // the next play-once play runs the buffer out once
    }
}

void ZOggStreamVoice::ThreadUpdate() {
    ProcessCommands();
    if (!IsStopped()) {
        RefillConsumed();
        return;
    }
    if (finishing && sound != nullptr && sound->buffer != nullptr) {
        uint32_t play = 1;
        uint32_t write = 1;
        sound->buffer->GetCurrentPosition(&play, &write);
        if (play == 0 && write == 0) {
            Rewind();
        }
    }
}
