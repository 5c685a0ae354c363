#pragma once

#include <vorbis/vorbisfile.h>

#include "audio/ZBufferedVoice.h"
#include "audio/ZOggSource.h"

class ZOggSound;

// Streams an Ogg Vorbis file through a looping buffer, decoding on the music
// thread from its own pass over the file.
class ZOggStreamVoice : public ZBufferedVoice {
public:
    explicit ZOggStreamVoice(ZOggSound* ogg);
    ~ZOggStreamVoice() override;

    // Opens its own decoder, past the first buffer-full.
    void OpenStream() override;
    void CloseStream() override;
    void FillFromStart(uint8_t* region, uint32_t bytes) override;
    // Refills; once a play-once stream has run out, rewinds for the next play.
    void ThreadUpdate() override;
    // Moves the decoder to a sample of the stream (thread side); false when
    // the stream is not open or the sample lies beyond its end.
    bool SeekToSample(int64_t sample);

private:
    bool FillStream(uint8_t* d, uint32_t n, uint32_t* outData) override;

    ZOggSound* m_ogg;
    ZOggSource m_source;
    OggVorbis_File m_vf{};
    bool m_open = false;
};
