#pragma once

#include <cstdint>
#include <cstdio>

#include <vorbis/vorbisfile.h>

#include "audio/ZOggSource.h"
#include "audio/ZSoundData.h"

// An Ogg Vorbis file, always streamed: the buffer's first fill is decoded at
// creation, the voice decodes the rest on the music thread from its own pass
// over the file. Decoded as 16-bit signed little-endian at the stream's
// channels (1 or 2) and rate.
class ZOggSound : public ZSoundData {
public:
    ~ZOggSound() override;

    // False, logged, when the file is missing or not an Ogg Vorbis stream of
    // one or two channels.
    bool Load(const char* fileName) override;
    void WriteData(void* ptr1, uint32_t bytes1, void* ptr2, uint32_t bytes2) override;
    ZVoice* CreateVoice() override;

    // Opens the decoder over source (positioned range) and, with logging on,
    // logs the stream's comments, layout, length and encoder. False, logged,
    // when the bytes are not a usable stream.
    static bool OpenOggStream(OggVorbis_File* vf, ZOggSource* source, const char* name);
    // Decodes n bytes into d, starting over from the stream's start at its end
    // unless stopAtEnd. True when it stopped at the end, or on a decode error
    // (logged): the rest of d is then silence. A stream that yields nothing
    // over a whole pass stops the same way, so a loop never spins. outData,
    // when given, gets the bytes of sound written before the silence.
    static bool FillFromOgg(uint8_t* d, uint32_t n, OggVorbis_File* vf, bool stopAtEnd, const char* name,
                            uint32_t* outData = nullptr);

    OggVorbis_File vf{};
    vorbis_info* info = nullptr;
    ZOggSource source;
    bool open = false;

private:
    void Close();
};
