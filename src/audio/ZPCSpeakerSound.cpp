#include "audio/ZPCSpeakerSound.h"

#include "audio/ZPCSpeakerVoice.h"

ZVoice* ZPCSpeakerSound::CreateVoice() {
    return StartVoice(new ZPCSpeakerVoice());
}
