#pragma once

#include <cstdint>

#include "foundation/ZString.h"
#include "platform/sound/sound.h"

class ZVoice;

// One sound: its PCM format, its buffer description and buffer, where its file
// lies, and how to fill the buffer. The audio manager drives every kind through
// the same sequence (Load, InitBufferDesc, buffer, Lock, WriteData, Unlock,
// CreateVoice); the voice then owns the sound data.
class ZSoundData {
public:
    ZSoundData() = default;
    // Releases the buffer.
    virtual ~ZSoundData();
    ZSoundData(const ZSoundData&) = delete;
    ZSoundData& operator=(const ZSoundData&) = delete;

    // Finds where the file lies (the plain file, or the package holding it).
    // False, with a log line, when there is nothing to play: the manager then
    // refuses the sound.
    virtual bool Load(const char* fileName);
    // Describes the buffer: streamed sounds hold streamLength seconds.
    virtual void InitBufferDesc(bool streamed);
    // Locks the whole buffer; false (both regions empty) without a buffer.
    virtual bool Lock(void** outPtr1, uint32_t* outBytes1, void** outPtr2, uint32_t* outBytes2);
    virtual void WriteData(void* /*ptr1*/, uint32_t /*bytes1*/, void* /*ptr2*/, uint32_t /*bytes2*/) {}
    // Unlocks and puts the play position back to 0.
    virtual void Unlock(void* ptr1, uint32_t bytes1, void* ptr2, uint32_t bytes2);
    virtual ZVoice* CreateVoice() { return nullptr; }
    virtual uint32_t GetBufferBytes() const;
    virtual uint32_t GetStreamBufferBytes() const;
    virtual uint32_t GetTotalBytes() const { return 0; }

    // Bytes of one frame (all channels).
    uint32_t FrameBytes() const { return format.blockAlign; }

    platform::sound::WaveFormat format;
    platform::sound::BufferDesc description;
    platform::sound::SoundBuffer* buffer = nullptr;  // owned
    uint32_t bufferBytes = 0;                        // the buffer's size, from its caps
    uint32_t dataSize = 0;                           // the whole file or package entry
    uint32_t dataOffset = 0;                         // where that lies in path
    ZString path;                                    // the file that holds the data
    ZString fileName;                                // the name it was loaded by, for logs
    uint32_t dataStart = 0;                          // WAV: first sample byte in path
    uint32_t dataLength = 0;                         // WAV: bytes from dataStart to the end
    bool streamed = false;
    bool endWritten = false;  // WriteData reached the end: the whole sound is in the buffer
    uint32_t referenceCount = 0;
};
