#pragma once

#include <cstdint>

#include "renderer/ZShader.h"

// The title screen's TV static: noise scrolled at random every frame, a
// rolling bright band, the tube's wobble, and an attract slideshow of seven
// pictures that cross-fade through the static on a 15-second cycle.
class StaticShader : public ZShader {
public:
    static constexpr int32_t kAttractPictures = 7;
    static constexpr float kAttractSlot = 15.0f;

    // Loads "static.fxo" and the noise, band, wobble and attract textures;
    // the cycle starts now on a random picture.
    StaticShader();
    // Releases the effect and every texture the constructor loaded.
    ~StaticShader() override;
    StaticShader(const StaticShader&) = delete;
    StaticShader& operator=(const StaticShader&) = delete;

    bool SetParameters(ZEffectParameter* binding, ZHashedString passName, ZParameterSource* source) override;

    // A new start time (now) and a new random first picture.
    void RestartAttractCycle();
    // The attract blend now (1: the picture, 0: the static); flag is set in
    // the slot's second half, while the next picture fades in. Stores the
    // current picture.
    float UpdateAttractCycle(bool& flag);

    // The cycle seconds after its start: picture shown, blend and flag.
    struct AttractState {
        int32_t picture;
        float blend;
        bool flag;
    };
    static AttractState AttractAt(int32_t firstPicture, float seconds);

    int32_t GetCurrentAttractPicture() const { return m_currentAttract; }
    int32_t GetFirstAttractPicture() const { return m_firstAttract; }
    // Tests and the title screen's restart pick the start.
    void SetAttractStart(int32_t firstPicture, float startTime);

private:
    static int32_t RandomFirstPicture();

    int32_t m_currentAttract = 0;
    int32_t m_firstAttract = 0;
    float m_startTime = 0.0f;
};
