#pragma once

// Sound output shaped like the device the audio code was written for: one
// device, a primary buffer (the master volume) and secondary buffers that each
// hold PCM bytes in a ring and play at their own rate. Our own mixer adds the
// playing buffers in float and clips once at the end; the backends only decide
// who pulls the mixed frames (SDL's audio callback, or a test by hand).
//
// Volumes are hundredths of a decibel in [-10000, 0], pans in [-10000, 10000]
// (positive attenuates the left channel). A buffer plays from its current
// position; Stop keeps the position; a non-looping buffer that reaches its end
// stops and both of its cursors read 0.

#include <cstdint>
#include <memory>
#include <string>

namespace platform::sound {

using Result = std::int32_t;
constexpr Result DS_OK = 0;
constexpr Result DSERR_GENERIC = static_cast<Result>(0x80004005);
constexpr Result DSERR_INVALIDPARAM = static_cast<Result>(0x80070057);
constexpr Result DSERR_OUTOFMEMORY = static_cast<Result>(0x8007000E);
constexpr Result DSERR_ALLOCATED = static_cast<Result>(0x8878000A);
constexpr Result DSERR_INVALIDCALL = static_cast<Result>(0x88780032);
constexpr Result DSERR_BADFORMAT = static_cast<Result>(0x88780064);
constexpr Result DSERR_NODRIVER = static_cast<Result>(0x88780078);
constexpr Result DSERR_UNINITIALIZED = static_cast<Result>(0x887800AA);

inline bool Failed(const Result result) { return result < 0; }
// The code's name ("DSERR_NODRIVER") and a sentence saying what it means.
const char* ResultName(Result result);
const char* ResultDescription(Result result);

// Buffer description flags.
constexpr std::uint32_t DSBCAPS_PRIMARYBUFFER = 0x00000001;
constexpr std::uint32_t DSBCAPS_CTRLFREQUENCY = 0x00000020;
constexpr std::uint32_t DSBCAPS_CTRLPAN = 0x00000040;
constexpr std::uint32_t DSBCAPS_CTRLVOLUME = 0x00000080;
constexpr std::uint32_t DSBCAPS_GLOBALFOCUS = 0x00008000;
constexpr std::uint32_t DSBCAPS_GETCURRENTPOSITION2 = 0x00010000;
// Play, status and lock flags.
constexpr std::uint32_t DSBPLAY_LOOPING = 0x00000001;
constexpr std::uint32_t DSBSTATUS_PLAYING = 0x00000001;
constexpr std::uint32_t DSBSTATUS_LOOPING = 0x00000004;
constexpr std::uint32_t DSBLOCK_FROMWRITECURSOR = 0x00000001;
constexpr std::uint32_t DSBLOCK_ENTIREBUFFER = 0x00000002;
constexpr std::int32_t DSBVOLUME_MIN = -10000;
constexpr std::int32_t DSBVOLUME_MAX = 0;
constexpr std::int32_t DSBPAN_LEFT = -10000;
constexpr std::int32_t DSBPAN_RIGHT = 10000;
constexpr std::uint16_t WAVE_FORMAT_PCM = 1;

// The PCM format of a buffer: 1 or 2 channels of 8-bit unsigned or 16-bit
// signed little-endian samples.
struct WaveFormat {
    std::uint16_t formatTag = WAVE_FORMAT_PCM;
    std::uint16_t channels = 0;
    std::uint32_t samplesPerSec = 0;
    std::uint32_t avgBytesPerSec = 0;
    std::uint16_t blockAlign = 0;
    std::uint16_t bitsPerSample = 0;
    std::uint16_t extraSize = 0;
};

struct BufferDesc {
    std::uint32_t size = 36;
    std::uint32_t flags = 0;
    std::uint32_t bufferBytes = 0;  // 0 for the primary buffer
    std::uint32_t reserved = 0;
    const WaveFormat* format = nullptr;  // null for the primary buffer
};

class Mixer;
struct BufferState;

// A primary or secondary buffer. Made by SoundSystem::CreateSoundBuffer or
// DuplicateSoundBuffer and freed by Release. A buffer may outlive its system:
// its calls keep working and nothing more is heard.
class SoundBuffer {
public:
    SoundBuffer(const SoundBuffer&) = delete;
    SoundBuffer& operator=(const SoundBuffer&) = delete;

    // The buffer's size in bytes and its creation flags.
    Result GetCaps(std::uint32_t* outBytes, std::uint32_t* outFlags) const;
    Result GetFormat(WaveFormat* out) const;
    // Hands out the ring region [offset, offset + bytes): the second pointer is
    // non-null when the region wraps past the end. DSBLOCK_ENTIREBUFFER locks
    // everything, DSBLOCK_FROMWRITECURSOR starts at the write cursor.
    Result Lock(std::uint32_t offset, std::uint32_t bytes, void** outPtr1, std::uint32_t* outBytes1, void** outPtr2,
                std::uint32_t* outBytes2, std::uint32_t flags);
    Result Unlock(void* ptr1, std::uint32_t bytes1, void* ptr2, std::uint32_t bytes2);
    Result Play(std::uint32_t flags);
    Result Stop();
    Result GetStatus(std::uint32_t* outStatus) const;
    // The write cursor runs ahead of the play cursor by the device's latency
    // while playing and equals it while stopped.
    Result GetCurrentPosition(std::uint32_t* outPlay, std::uint32_t* outWrite) const;
    Result SetCurrentPosition(std::uint32_t position);
    Result SetVolume(std::int32_t volume);
    Result GetVolume(std::int32_t* outVolume) const;
    Result SetPan(std::int32_t pan);
    Result GetPan(std::int32_t* outPan) const;
    // Samples per second; the mixer resamples to the device's rate.
    Result SetFrequency(std::uint32_t frequency);
    Result GetFrequency(std::uint32_t* outFrequency) const;
    // Frees the buffer (this pointer is invalid afterwards).
    void Release();

private:
    friend class Mixer;
    friend class SoundSystem;
    SoundBuffer(std::shared_ptr<Mixer> mixer, std::shared_ptr<BufferState> state);
    ~SoundBuffer();

    std::shared_ptr<Mixer> m_mixer;
    std::shared_ptr<BufferState> m_state;
};

// The device. Open starts output on the backend; every call after a failed
// Open (or before any) fails with DSERR_UNINITIALIZED.
class SoundSystem {
public:
    virtual ~SoundSystem();

    virtual Result Open() = 0;
    virtual void Close() = 0;
    // Mixer rate in samples per second (the output is stereo 16-bit).
    virtual std::uint32_t GetDeviceRate() const = 0;

    Result CreateSoundBuffer(const BufferDesc& desc, SoundBuffer** outBuffer);
    // A buffer sharing the samples of source, with its own cursor, state,
    // volume and pan.
    Result DuplicateSoundBuffer(SoundBuffer* source, SoundBuffer** outBuffer);
    // Whether the game's window has the focus: buffers made without
    // DSBCAPS_GLOBALFOCUS are silent while it does not.
    void SetAppFocused(bool focused);
    // Buffers currently alive (secondary ones).
    std::uint32_t GetBufferCount() const;
    // What Open settled on, for the log (the driver, or why output is silent).
    const std::string& GetOpenNote() const { return m_note; }

    Mixer& GetMixer() { return *m_mixer; }

protected:
    SoundSystem();
    bool IsOpen() const { return m_open; }
    void SetOpen(bool open) { m_open = open; }
    std::shared_ptr<Mixer> m_mixer;
    std::string m_note;

private:
    bool m_open = false;
};

enum class Backend { Sdl, Fake };
std::unique_ptr<SoundSystem> CreateSoundSystem(Backend backend);

// The process-wide sound system, chosen at start-up; null until installed.
SoundSystem* GetSoundSystem();
// Installs a system (closing and destroying the previous one); null uninstalls.
void SetSoundSystem(std::unique_ptr<SoundSystem> system);

}  // namespace platform::sound
