#include "audio/ZMultiSynthSound.h"

#include "audio/ZMultiSynthVoice.h"

ZVoice* ZMultiSynthSound::CreateVoice() {
    return StartVoice(new ZMultiSynthVoice());
}
