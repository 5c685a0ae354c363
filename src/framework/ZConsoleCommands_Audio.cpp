// Built-in console command on the audio: lets a modder hear a sound file
// from any mounted source without a game object that plays it.

#include <cstring>

#include "audio/ZAudioMgr.h"
#include "audio/ZMultiSynthTune.h"
#include "audio/ZMultiSynthVoice.h"
#include "audio/ZVoice.h"
#include "framework/ZBaseGame.h"
#include "framework/ZConsoleCommands.h"

// "sound FILE" plays a .wav or .ogg once through the effects group;
// "sound loop FILE" loops it (streamed) through the music group;
// "sound stop" stops and releases every sound. A .zms tune plays on the
// "MultiSynth" sound (made on first use), as the game plays its effects.
namespace {

void PlayTuneFile(ZConsole& console, ZAudioMgr* audio, const char* file) {
    const ZHashedString synthName("MultiSynth");
    const bool fresh = audio->FindSound(synthName) == nullptr;
    ZVoice* voice = audio->CreateSound(nullptr, synthName, ZHashedString::None(), true);
    if (voice == nullptr) {
        console.Printf("Cannot play \"%s\" (see the log)", file);
        return;
    }
    if (!fresh) {
        audio->ReleaseSound(synthName);  // keep one reference
    }
    voice->Play(true);
    const ZMultiSynthTune tune(file, 100);
    if (tune.events.Count() == 0) {
        console.Printf("Cannot play \"%s\" (see the log)", file);
        return;
    }
    auto* synth = static_cast<ZMultiSynthVoice*>(voice);
    synth->StopTune(ZHashedString(file));
    synth->PlayTune(tune, ZHashedString(file), 0, false);
    console.Printf("Playing tune \"%s\" on the MultiSynth", file);
}

}  // namespace

void CmdSound(const ZConsoleWordList& words, uintptr_t /*argument*/) {
    ZBaseGame* game = ZBaseGame::PeekInstance();
    if (game == nullptr) {
        return;
    }
    ZConsole& console = game->GetConsole();
    ZAudioMgr* audio = GetAudioMgr();
    if (words.Count() >= 2 && words[1].EqualsNoCase("stop")) {
        audio->StopAllSounds();
        audio->ReleaseAllSounds();
        console.Print("Sounds stopped");
        return;
    }
    const bool loop = words.Count() >= 3 && words[1].EqualsNoCase("loop");
    const uint32_t fileWord = loop ? 2 : 1;
    if (words.Count() <= fileWord) {
        console.Print("usage: sound FILE | sound loop FILE | sound stop");
        return;
    }
    if (!audio->IsRunning()) {
        console.Print("Sound is off: no audio device was started");
        return;
    }
    const char* file = words[fileWord].GetText();
    const size_t length = std::strlen(file);
    if (length > 4 && std::strcmp(file + length - 4, ".zms") == 0) {
        PlayTuneFile(console, audio, file);
        return;
    }
    const ZHashedString name(file);
    const ZHashedString group = loop ? game->GetBGMAudioGroupName() : game->GetSFXAudioGroupName();
    const bool fresh = audio->FindSound(name) == nullptr;
    ZVoice* voice = audio->CreateSound(file, name, group, loop);
    if (voice == nullptr) {
        console.Printf("Cannot play \"%s\" (see the log)", file);
        return;
    }
    if (!fresh) {
        audio->ReleaseSound(name);  // keep one reference per name
    }
    voice->Play(loop);
    console.Printf("Playing \"%s\"%s", file, loop ? " (looping)" : "");
}
