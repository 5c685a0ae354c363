#pragma once

#include <cstdint>

#include "foundation/ZHashedString.h"

class KorvanthGame;
class ZFont;
class ZSpriteBatch;

// What the game asks of its neighbours: the synthesizer voice that plays the
// game's tunes (SynthGameVoice, made at init) and the game's display chain
// (render passes, groups, scene set-up, world tile layers). Without a voice
// the game plays nothing; until a display is installed the null one below
// stands in, so every call is safe.

// The game's synthesizer voice ("MultiSynth").
class GameVoice {
public:
    virtual ~GameVoice() = default;
    // Linear voice volume: 0.35 while paused, 1.0 otherwise.
    virtual void SetVolume(float volume) = 0;
    // Loads the tune file with its loader value and plays it on the channel.
    virtual void PlayTune(const char* fileName, int32_t value, ZHashedString channel) = 0;
    virtual void StopChannel(ZHashedString channel) = 0;
    // A script's sound effect: the tune file at a priority. A unique name
    // that is still playing keeps the tune from starting again (the empty
    // name never does); mode is the volume class (1 music, 2 sound); a stomp
    // silences its channels in every tune of lower priority. A voice that
    // has no more than plain channels plays it on the unique name.
    virtual void PlayEffect(const char* fileName, int32_t priority, ZHashedString unique, int32_t /*mode*/,
                            bool /*stomp*/) {
        PlayTune(fileName, priority, unique);
    }
    // The packed reverb word; 0 switches reverb off.
    virtual void SetReverb(uint32_t word) = 0;
    // How many tunes play now (the console's "multisynth").
    virtual int32_t CountPlayingTunes() const { return 0; }
};

// The game's display chain.
class GameDisplay {
public:
    virtual ~GameDisplay() = default;
    // Each runs the base game's version of the operation at its place.
    virtual void CreateRenderPasses(KorvanthGame& game) = 0;
    virtual void CreateRenderGroups(KorvanthGame& game) = 0;
    virtual void AssignGroupsToPasses(KorvanthGame& game) = 0;
    // The scene's holders, at the end of init and at shutdown.
    virtual void SetUpGameScene(KorvanthGame& game) = 0;
    virtual void ShutdownGameScene(KorvanthGame& game) = 0;
    // Once per frame before the engine's update: the composite pass draws into
    // the second of its two targets when secondTarget is set, else the first.
    virtual void SelectCompositeTarget(KorvanthGame& game, bool secondTarget) = 0;
    // Gives the item icon sheet its shader and render group.
    virtual void AttachItemSheet(KorvanthGame& game, ZSpriteBatch& sheet) = 0;
    // The game's own fonts and glyph sheets, made once while the engine's
    // assets load (before the item sheet) and freed by ShutdownGameScene.
    virtual void LoadGameFonts(KorvanthGame& game) = 0;
    // The pixel font drawn into the game's picture (dialogs, prompts, the
    // speedrun timer); none before the fonts load.
    virtual ZFont* GetHUDFont() const { return nullptr; }
    // The game's menu font, or null while the display has none.
    virtual ZFont* GetMenuFont() const { return nullptr; }
    // Drops the world tile layers' meshes before the atlas is rebuilt.
    virtual void ReleaseWorldLayers(KorvanthGame& game) = 0;
    // Rebuilds the world tile layers' meshes.
    virtual void SetUpWorldLayerMeshes(KorvanthGame& game) = 0;
    // Configuration changes the display reacts to.
    virtual void ApplyPaletteSetting(KorvanthGame& game) = 0;
    virtual void ApplyCRTPasses(KorvanthGame& game, bool on) = 0;
    virtual void ApplyAnaglyphPasses(KorvanthGame& game, bool on) = 0;
    virtual void ApplyMinimapSetting(KorvanthGame& game, bool on) = 0;
    virtual void ApplyBorderSetting(KorvanthGame& game, bool on) = 0;
};

// Stand-in: does nothing and says so in the log.
class NullGameDisplay : public GameDisplay {
public:
    void CreateRenderPasses(KorvanthGame& game) override;
    void CreateRenderGroups(KorvanthGame&) override {}
    void AssignGroupsToPasses(KorvanthGame& game) override;
    void SetUpGameScene(KorvanthGame&) override;
    void ShutdownGameScene(KorvanthGame&) override {}
    void SelectCompositeTarget(KorvanthGame&, bool) override {}
    void AttachItemSheet(KorvanthGame&, ZSpriteBatch&) override {}
    void LoadGameFonts(KorvanthGame&) override {}
    void ReleaseWorldLayers(KorvanthGame&) override {}
    void SetUpWorldLayerMeshes(KorvanthGame&) override {}
    void ApplyPaletteSetting(KorvanthGame&) override {}
    void ApplyCRTPasses(KorvanthGame&, bool) override {}
    void ApplyAnaglyphPasses(KorvanthGame&, bool) override {}
    void ApplyMinimapSetting(KorvanthGame&, bool) override {}
    void ApplyBorderSetting(KorvanthGame&, bool) override {}
};
