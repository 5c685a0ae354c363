#pragma once

#include <memory>

#include "renderer/ZIndexBuffer.h"
#include "renderer/ZRenderTarget.h"
#include "renderer/ZRenderable.h"
#include "renderer/ZVertexBuffer.h"

class AnaglyphShader;
class CompositeShader;
class MonitorShader;
class NTSCShader;
class NoCRTShader;
class PostProcessShader;
class RoomFrameShader;
class SceneOverlays;
class ScreenShader;
class TubeQuad;
class ZCamera;
class ZScreenQuad;
class ZScreenRenderTarget;
class ZTexture;

// The post-process chain of the retro display: the low-resolution frame
// buffers, the bloom buffers, the NTSC lookup texture, and one quad with its
// shader per post-process step, placed in the groups of the game's passes.
// SetUpDisplayChain makes it and writes the pass descriptions; the game
// display owns it and the scene shutdown releases it.
//
// A frame: the world draws into "Clean Frame"; with anaglyph 3D the second
// eye draws into "Cln3D Frame" and the anaglyph pass merges it; with the CRT
// simulation the NTSC pass encodes the clean frame into "NTSC Frame", the
// composite pass blends it with the previous composite frame into the
// current one, and the CRT screen shows it through the tube in the default
// pass; without it the flat no-CRT quad shows the clean frame. Downsample and
// upsample passes then feed the bloom of the game's pre-HUD pass.
class DisplayChain {
public:
    DisplayChain();
    // Takes the quads out of their groups, the passes off the targets, then frees everything.
    ~DisplayChain();
    DisplayChain(const DisplayChain&) = delete;
    DisplayChain& operator=(const DisplayChain&) = delete;

    // Readies the next frame: the composite frame it writes (the second when
    // secondTarget is set), the overlays' inputs and the upsample pass. Once
    // per frame, before it draws; the game's per-frame update and the display
    // tests both come through here (PrepareGameDisplayFrame).
    void PrepareFrame(bool secondTarget);
    // Applies the current parity: points the composite pass at the frame it
    // writes and tells the composite, screen and monitor shaders.
    void ApplyParity();
    // Tells the post-process shaders, through the display state, whether the
    // static and the tuner show.
    void UpdateOverlayInputs();
    // The Upsample pass draws only for a pre-HUD effect that reads its buffer
    // ("UpsampledBuffer"); the game's own effects spread the downsampled
    // buffer with their bloom fetch and need no full-screen copy of it. Runs
    // at set-up and with every PrepareFrame, so a new anti-aliasing level
    // (or a mod's effect) is followed from the next frame on.
    void ApplyUpsamplePass();

    // The scene is set up (the no-CRT quad exists): the CRT switch acts.
    bool IsSetUp() const { return m_noCRTQuad != nullptr; }
    ZRenderable* GetMonitorRenderable();
    ZRenderable* GetScreenRenderable();
    ZRenderable* GetNoCRTRenderable();
    // The static, wipe, tuner and map quads (null before the set-up).
    SceneOverlays* GetOverlays() const { return m_overlays.get(); }

    // Two frame-buffer holders, one per eye: after the world's passes the
    // frame is copied into the front texture; the back one keeps the last
    // frame of the room being left while the camera pans into the next.
    struct RoomFrameHolder {
        ZRenderTarget textures[2];
        int32_t front = 0;
        ZRenderTarget& Front() { return textures[front]; }
        ZRenderTarget& Back() { return textures[1 - front]; }
    };
    // Swaps front and back of both holders: the frame drawn last (the old
    // room's, sprites and all) becomes readable, the next one is copied into
    // the other texture. The room-frame quad fetches the new back textures.
    void SwapRoomFrames();
    // Shows the old room's picture under the world, moved by (x, y) pixels
    // of the frame, or hides it.
    void ShowRoomFrame(bool shown, float x, float y);
    bool IsRoomFrameShown() const { return m_roomFrameQuad.renderable.visible; }
    RoomFrameShader* GetRoomFrameShader() const { return m_roomFrameShader.get(); }

    ZRenderTarget cleanFrame;
    ZRenderTarget clean3DFrame;
    ZRenderTarget ntscFrame;
    ZRenderTarget compositeFrame1;
    ZRenderTarget compositeFrame2;
    ZScreenRenderTarget* downsampledBuffer = nullptr;
    ZScreenRenderTarget* upsampledBuffer = nullptr;
    ZTexture* ntscLookup = nullptr;
    RoomFrameHolder roomFrames[2];
    // The 2D camera of the 256 x 224 frame, which the player's camera moves;
    // the tile layers and sprites draw with a room view around its centre
    // (KorvanthGame::GetRoomViewProjection).
    std::unique_ptr<ZCamera> worldCamera;

private:
    friend DisplayChain* SetUpGameDisplayChain();

    // A 256 x 224 full-frame quad with its shader.
    struct FrameQuad {
        ZRenderable renderable;
        ZVertexBuffer vertices;
        ZIndexBuffer indices;
    };

    std::unique_ptr<AnaglyphShader> m_anaglyphShader;
    std::unique_ptr<NTSCShader> m_ntscShader;
    std::unique_ptr<CompositeShader> m_compositeShader;
    std::unique_ptr<ScreenShader> m_screenShader;
    std::unique_ptr<MonitorShader> m_monitorShader;
    std::unique_ptr<NoCRTShader> m_noCRTShader;
    std::unique_ptr<PostProcessShader> m_downsampleShader;
    std::unique_ptr<PostProcessShader> m_upsampleShader;
    std::unique_ptr<RoomFrameShader> m_roomFrameShader;
    FrameQuad m_anaglyphQuad;
    FrameQuad m_ntscQuad;
    FrameQuad m_compositeQuad;
    FrameQuad m_roomFrameQuad;
    std::unique_ptr<SceneOverlays> m_overlays;
    // The CRT glass ("Screen.m3d"; a flat 4:3 quad without it).
    TubeQuad* m_screen = nullptr;
    // The monitor case ("Monitor2.m3d"; nothing without it).
    TubeQuad* m_monitor = nullptr;
    ZScreenQuad* m_noCRTQuad = nullptr;
    ZScreenQuad* m_downsampleQuad = nullptr;
    ZScreenQuad* m_upsampleQuad = nullptr;
};

// Makes the chain (the base game's screen size set, the passes and groups of CreateGameRenderPasses
// and CreateGameRenderGroups must exist), hands it to the display state, fills
// the lookup texture, writes the passes' targets, clears and hooks, and runs
// the display-setting appliers once so that the first frame follows the
// settings. Returns the chain (owned by the display state).
DisplayChain* SetUpGameDisplayChain();
// The game's per-frame update, before the frame draws: the composite frames
// take turns (secondTarget: the frame writes "Composite Frame 2") and the
// chain follows the overlays and the pre-HUD effect (nothing before the
// chain exists).
void PrepareGameDisplayFrame(bool secondTarget);
// Releases the chain (scene shutdown, while the renderer still exists).
void ShutdownGameDisplayChain();
