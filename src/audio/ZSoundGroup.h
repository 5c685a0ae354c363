#pragma once

#include "foundation/ZArray.h"
#include "foundation/ZHashedString.h"

class ZVoice;

// A named volume that its member voices multiply into their own. The group
// lists its voices (not owned); each voice points back at its group. Main
// thread only.
class ZSoundGroup {
public:
    ZSoundGroup() = default;
    explicit ZSoundGroup(ZHashedString groupName) : name(groupName) {}

    // The voice joins this group (its group pointer is set, it is appended).
    void AddVoice(ZVoice* voice);
    // Clears the voice's group pointer and removes its first entry.
    void RemoveVoice(ZVoice* voice);
    ZHashedString GetName() const { return name; }
    // volume := v, then every member re-applies its volume.
    void SetVolume(float v);

    ZHashedString name;
    float volume = 1.0f;
    ZArray<ZVoice*> voices;
};
