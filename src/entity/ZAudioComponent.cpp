#include "entity/ZAudioComponent.h"

#include "audio/ZAudioMgr.h"

ZAudioComponent::~ZAudioComponent() {
    if (ZAudioMgr* audio = GetAudioMgr()) {
        for (const ZHashedString name : sounds) {
            audio->ReleaseSound(name);
        }
    }
    sounds.Clear();
    delete tables;
    tables = nullptr;
}
