#pragma once

#include <cstdint>
#include <memory>

#include "foundation/ZColor32.h"
#include "foundation/ZVector4.h"
#include "game/display/DisplaySettings.h"

class DisplayChain;
struct MinimapView;
class ZRenderable;
class ZTexture;

// What the display pipeline keeps of the game between frames: the settings,
// the anaglyph eye state that the clear passes set each frame, the room's
// background colour, the composite frame parity, the state of the overlays
// that change the chain's look (TV static, the CRT tuning menu, the menus'
// dimming), and the chain itself once it is set up. One per process, made on
// first use; main thread only.
class DisplayState {
public:
    DisplayState();
    ~DisplayState();
    DisplayState(const DisplayState&) = delete;
    DisplayState& operator=(const DisplayState&) = delete;

    // The eye state as the anaglyph text and world materials read it: the
    // state the clear passes set while Anaglyph3D is on, neutral values while
    // it is off.
    float GetAnaglyphDistance() const { return Settings().anaglyph3D ? eyeDistance : 0.0f; }
    float GetAnaglyphDistanceOffset() const { return Settings().anaglyph3D ? distanceOffset : 0.0f; }
    ZVector4 GetAnaglyphColor() const { return Settings().anaglyph3D ? eyeColor : ZVector4(1.0f, 1.0f, 1.0f, 1.0f); }
    float GetAnaglyphDesaturation() const {
        return Settings().anaglyph3D ? 1.0f - Settings().anaglyphDesaturation : 1.0f;
    }
    ZVector4 GetAnaglyphGamma() const;

    // The display settings: the game's configuration variables while the
    // game runs (their one home), else the state's own (programs without the
    // game, such as the display harness, register those).
    DisplaySettings& Settings();
    const DisplaySettings& Settings() const;
    DisplaySettings& OwnSettings() { return m_ownSettings; }

    // The chain set up by SetUpDisplayChain, or null.
    DisplayChain* GetChain() const { return m_chain.get(); }
    void SetChain(std::unique_ptr<DisplayChain> chain);
    // Releases the chain (scene shutdown); safe without one.
    void ReleaseChain();

    // Anaglyph eye state (clear-pass callbacks).
    float eyeDistance = 0.0f;
    float distanceOffset = 0.0f;
    ZVector4 eyeColor{1.0f, 1.0f, 1.0f, 1.0f};
    // Set when a room loads.
    ZColor32 roomBackground{0, 0, 0, 255};

    // Which composite frame is current; flipped once per frame.
    bool compositeParity = false;
    // The TV static effect is showing, and how far its attract pictures have
    // blended in (0..1); the static shader of the overlays sets these.
    bool staticActive = false;
    float staticAttractBlend = 0.0f;
    // The CRT tuning menu is open (its tuner shows the unaltered persistence).
    bool crtMenuOpen = false;
    // "NTSC_LUT_Texture" while the chain holds it (the chain makes and
    // releases it), else null.
    ZTexture* ntscLookup = nullptr;
    // The current map's minimap images are loaded.
    bool minimapAvailable = false;
    // The three minimap quads (back, content, indicator), made by the scene
    // set-up; not owned.
    ZRenderable* minimapQuads[3] = {nullptr, nullptr, nullptr};
    // Told after the clear passes set the eye (the game keeps its own copy
    // for the world's materials); null: nobody listens.
    void (*onEyeChanged)(const DisplayState& state) = nullptr;
    // Fills the minimap's view of the player and the map; false or null: no
    // player yet (the player's minimap fills it once the player exists).
    bool (*minimapView)(MinimapView& out) = nullptr;

private:
    std::unique_ptr<DisplayChain> m_chain;
    DisplaySettings m_ownSettings;
};

// The display state, made on first use.
DisplayState* GetDisplayState();
// The display state when it exists, else null (setting callbacks before the game).
DisplayState* PeekDisplayState();
// Frees it; the next GetDisplayState makes a new one.
void DestroyDisplayState();
