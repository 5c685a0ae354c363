#include "platform/sound/sdl/SdlSoundSystem.h"

#include <SDL.h>

#include <string>

#include "platform/sound/Mixer.h"

namespace platform::sound {

namespace {

void SDLCALL FillOutput(void* user, Uint8* stream, const int length) {
    auto* mixer = static_cast<Mixer*>(user);
    mixer->Mix(reinterpret_cast<std::int16_t*>(stream), static_cast<std::uint32_t>(length) / 4);
}

}  // namespace

SdlSoundSystem::~SdlSoundSystem() { Close(); }

bool SdlSoundSystem::OpenDevice() {
    SDL_AudioSpec want{};
    want.freq = 44100;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = 1024;
    want.callback = FillOutput;
    want.userdata = m_mixer.get();
    SDL_AudioSpec have{};
    m_device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE);
    if (m_device == 0) {
        return false;
    }
    m_rate = static_cast<std::uint32_t>(have.freq);
    m_mixer->SetDeviceRate(m_rate);
    m_mixer->SetLatencyFrames(have.samples);
    return true;
}

Result SdlSoundSystem::Open() {
    if (IsOpen()) {
        return DS_OK;
    }
    if (SDL_WasInit(SDL_INIT_AUDIO) == 0) {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
            m_note = std::string("no audio driver (") + SDL_GetError() + "); running silently";
            if (SDL_AudioInit("dummy") != 0) {
                return DSERR_NODRIVER;
            }
        }
        m_ownsSubsystem = true;
    }
    if (!OpenDevice()) {
        m_note = std::string("the default output did not open (") + SDL_GetError() + "); running silently";
        SDL_AudioQuit();
        if (SDL_AudioInit("dummy") != 0 || !OpenDevice()) {
            return DSERR_NODRIVER;
        }
    }
    SDL_PauseAudioDevice(m_device, 0);
    if (m_note.empty()) {
        const char* driver = SDL_GetCurrentAudioDriver();
        m_note = std::string("SDL audio driver ") + (driver != nullptr ? driver : "?") + ", " +
                 std::to_string(m_rate) + " Hz";
    }
    SetOpen(true);
    return DS_OK;
}

void SdlSoundSystem::Close() {
    if (m_device != 0) {
        // Closing waits for a running callback, so no mix runs after this.
        SDL_CloseAudioDevice(m_device);
        m_device = 0;
    }
    if (m_ownsSubsystem) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        m_ownsSubsystem = false;
    }
    SetOpen(false);
}

}  // namespace platform::sound
