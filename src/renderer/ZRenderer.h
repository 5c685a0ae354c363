#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "foundation/ZArray.h"
#include "foundation/ZColor32.h"
#include "foundation/ZHashedString.h"
#include "foundation/ZMap.h"
#include "platform/gfx/gfx.h"

namespace platform::window {
class WindowSystem;
}
namespace gfx {
class Effect;
}

class ZDynamicResource;
class ZEffect;
class ZIndexBuffer;
class ZParameterSource;
class ZRenderable;
class ZVertexBuffer;
struct ZPassBinding;
struct ZParameterBlock;
struct ZRenderGroup;
struct ZRenderPassDesc;
struct ZRenderPassSet;
struct ZRenderTarget;

// The video options the renderer starts and resets with, in the order the
// base game hands them over.
struct ZRenderVideoSettings {
    bool vsync = false;
    bool fullscreen = false;
    bool fullscreenWindowed = false;
    bool fullscreenWindowedStretch = false;
    int32_t fxaa = 0;
};

// The graphics device for the whole program: start-up with its capability
// checks, the back buffer and a default depth-stencil surface, presentation
// that never lets the processor run more than one frame ahead, recovery from
// a lost device by releasing and re-creating everything in video memory, and
// shutdown.
//
// Without a device (start-up failed, or the window has none to give) every
// operation here does nothing: nothing ever draws through a missing device.
// Main thread only.
class ZRenderer {
public:
    using Callback = void (*)();

    ZRenderer() = default;
    ~ZRenderer();
    ZRenderer(const ZRenderer&) = delete;
    ZRenderer& operator=(const ZRenderer&) = delete;

    // The graphics system the next InitRenderer starts its device on; the
    // renderer takes over the caller's reference. Without one, InitRenderer
    // starts OpenGL on the window's native window.
    void UseSystem(gfx::System* system);

    // --- The device ---------------------------------------------------------
    gfx::System* GetSystem() const { return m_system; }
    gfx::Device* GetDevice() const { return m_device; }
    const gfx::Caps& GetCaps() const { return m_caps; }
    // A device that is not lost: drawing may go on.
    bool IsReady() const { return m_device != nullptr && !deviceLost; }
    // Stores a device call's result as the last result and hands it back.
    gfx::Result Check(gfx::Result result) {
        lastResult = result;
        return result;
    }

    // Re-creates the swap chain at the size with the options, or after a loss.
    // exclusive comes back false when exclusive full screen was refused (the
    // display has no such mode, or the window refused it). The outcome is
    // left in deviceLost.
    void reset(platform::window::WindowSystem* window, int32_t& width, int32_t& height,
               const ZRenderVideoSettings& video, bool& exclusive);
    // Shows the frame and waits until the device has finished the one before.
    void present();
    void TryRenewDynamicResourcesAndFullscreen();
    void RenewDynamicResources();

    // The frame bracket: BeginScene only while no scene is open, the last
    // frame was presented and the device is ready; EndScene only while one is open.
    bool BeginScene();
    void EndScene();
    // Clears what is bound: flags are gfx::clear bits (target 1, depth 2, stencil 4).
    void Clear(uint32_t flags, ZColor32 color, float depth);
    // The colour target and/or depth and stencil (stencil to 0); the colour is
    // packed ARGB. With a headset only the current eye's rectangle is cleared.
    void Clear(bool clearTarget, bool clearDepthStencil, uint32_t argb, float z);
    // True when the pass will draw the renderable (a quad over its whole
    // target) this frame: the pass is on with the whole target as its viewport,
    // an enabled group of it holds the renderable, which is visible, and the
    // renderable's shader has a loaded effect for the pass. A target that such
    // a quad covers needs no clear of its colour first.
    static bool DrawsOverWholeTarget(const ZRenderPassDesc* pass, ZRenderable* quad);
    // Draws every render pass in list order (with the none name: the default list).
    void DrawRenderPasses(ZHashedString name) { RenderFrame(name); }

    void AddPreResetCallback(Callback callback) { m_preReset.PushBack(callback); }
    void AddPostResetCallback(Callback callback) { m_postReset.PushBack(callback); }
    void AddLostDeviceCallback(Callback callback) { m_lostDevice.PushBack(callback); }

    void AddDynamicResource(ZDynamicResource* resource) { m_dynamicResources.AddUnique(resource); }
    void RemoveDynamicResource(ZDynamicResource* resource) { m_dynamicResources.Remove(resource); }

    // --- Render targets -----------------------------------------------------
    // Creates the target's texture, surface and (when asked) depth-stencil
    // surface; registers it for re-creation after resets unless told not to.
    // False when there is no device or a creation failed.
    bool initRenderTarget(ZRenderTarget& target, bool keepUnregistered);
    // Releases the three objects; leaves the list unless told to keep the target in it.
    void FreeRenderTarget(ZRenderTarget& target, bool keepRegistered);
    // initRenderTarget, then publishes the texture under the given name (or
    // the target's own when the given one is none).
    bool CreateRenderTarget(ZRenderTarget& target, ZHashedString textureName);
    // A 256 x 224 X8R8G8B8 target with depth, no mipmaps: the game's native screen.
    bool CreateNativeResolutionTarget(ZRenderTarget& target, ZHashedString textureName);
    // Binds the target at the index (null: the back buffer at 0, nothing at
    // others) with its depth-stencil surface or the default one.
    void SetRenderTarget(uint32_t index, ZRenderTarget* target);
    const ZArray<ZRenderTarget*>& GetRegisteredTargets() const { return m_targets; }

    // --- Render passes and groups --------------------------------------------
    // One frame: one view, or with a headset one view per eye (left, then
    // right). finalView is set only for the last view; the dump request is
    // cleared at the end. The none name draws the default pass list.
    void RenderFrame(ZHashedString passSetName);
    // One view: the passes of the named set (the default list when the name is
    // none or no set has it), each binding and clearing its targets when they
    // change, then drawing its enabled groups.
    void RenderPasses(ZHashedString passSetName);

    // The first description of that name in the default pass list, or null.
    ZRenderPassDesc* FindRenderPass(ZHashedString name) const;
    // Appends the description to the default pass list unless it is already
    // there; the list owns it from then on.
    void AddRenderPass(ZRenderPassDesc* pass);
    // FindRenderPass, else a new description of that name appended to the list.
    ZRenderPassDesc* CreateRenderPass(ZHashedString name);
    // The first pass set of that name, or null.
    ZRenderPassSet* FindPassSet(ZHashedString name) const;
    // FindPassSet, else a new empty set (owned by the renderer).
    ZRenderPassSet* CreatePassSet(ZHashedString name);
    // The group of that name, else a new one (enabled, empty) appended to the list.
    ZRenderGroup* CreateRenderGroup(ZHashedString name);
    // The first group of that name, or null.
    ZRenderGroup* FindRenderGroup(ZHashedString name) const;
    // Removes the first occurrence of the renderable from the named group;
    // nothing when either is absent.
    void RemoveFromRenderGroup(ZHashedString name, ZRenderable* renderable);
    // Removes the first occurrence from every group (a renderable that goes away).
    void RemoveFromAllRenderGroups(ZRenderable* renderable);
    // Frees every description of the default pass list and of the pass sets
    // (each once) and the sets; empties the lists.
    void DeleteRenderPasses();
    // Frees every group (not its renderables) and empties the list.
    void DeleteRenderGroups();

    // Written by a dump: "RENDER_TARGET_OUTPUT_%04d.bmp" with dumpCounter.
    static constexpr const char* kDumpFileFormat = "RENDER_TARGET_OUTPUT_%04d.bmp";

    // --- Geometry -----------------------------------------------------------
    // Binds the buffer's declaration and streams unless it is current or empty.
    void SetVertexBuffer(ZVertexBuffer* buffer);
    // Binds the index buffer unless it is current or empty.
    void SetIndexBuffer(ZIndexBuffer* buffer);

    // --- Read-back ----------------------------------------------------------
    // Copies an 8-bit colour target into width x height packed pixels (top row
    // first), converting its rows by their pitch. With a key the system-memory
    // copy is kept for the next call with that key. False when it cannot.
    bool ReadRenderTargetPixels(gfx::Surface* surface, uint32_t* pixels, ZHashedString cacheKey);
    void ReleaseReadbackSurfaces();
    // Fills width x height 4-byte pixels (pre-filled opaque black by the
    // caller) with the back buffer; without a device the buffer stays as it was.
    void ReadBackBuffer(uint32_t* pixels) const;
    // The back buffer as width x height packed pixels (opaque black where it
    // cannot be read), for screenshots; empty, with both sizes 0, when the
    // back buffer has no pixels.
    std::vector<uint32_t> CaptureBackBuffer(int32_t& width, int32_t& height) const;
    // Writes a width x height image (packed pixels, top row first) as a 24-bit
    // BMP file; false when it cannot.
    static bool WriteBMP(const char* path, const uint32_t* pixels, int32_t width, int32_t height);

    int32_t GetBackBufferWidth() const { return m_backBufferWidth; }
    int32_t GetBackBufferHeight() const { return m_backBufferHeight; }
    int32_t GetCurrentTargetWidth() const { return m_targetWidth; }
    int32_t GetCurrentTargetHeight() const { return m_targetHeight; }
    gfx::Surface* GetBackBufferSurface() const { return m_backBuffer; }
    gfx::Surface* GetDefaultDepthStencil() const { return m_defaultDepthStencil; }

    // --- Fields other parts read or write -----------------------------------
    bool hasDevice = false;  // start-up succeeded
    bool deviceLost = false;
    bool sceneOpen = false;
    bool framePresented = true;
    bool finalView = true;
    bool dumpRenderTargets = false;  // write every target to a BMP at the next frame
    int32_t dumpCounter = 0;
    gfx::Result lastResult = gfx::Result::Ok;
    uint32_t lastReleaseCount = 0;
    // The effect whose technique is open; parameter setters act on it.
    gfx::Effect* currentEffect = nullptr;
    uint32_t techniquePassCount = 0;
    uint32_t currentVertexCount = 0;
    uint32_t currentIndexCount = 0;
    ZVertexBuffer* currentVertexBuffer = nullptr;
    ZIndexBuffer* currentIndexBuffer = nullptr;

    // Drawn in order by every frame; owned (AddRenderPass, CreateRenderPass).
    ZArray<ZRenderPassDesc*> renderPasses;
    // Owned; each group's renderables belong to their owners.
    ZArray<ZRenderGroup*> renderGroups;
    // Owned (CreatePassSet).
    ZArray<ZRenderPassSet*> passSets;
    // The target of passes without targets, set by default-target passes; null:
    // the back buffer. It persists from frame to frame. Not owned.
    ZRenderTarget* defaultTarget = nullptr;

private:
    friend void InitRenderer(platform::window::WindowSystem*, int32_t&, int32_t&, const ZRenderVideoSettings&,
                             ZArray<ZHashedString>&, bool&);
    friend void ShutdownRenderer();
    // Releases the surfaces, the query, the device and the system (ShutdownRenderer).
    void Shutdown();

    // Fills the presentation parameters; clears exclusive when the display
    // has no mode of that size at the desktop's depth.
    gfx::PresentParams setParams(void* window, int32_t width, int32_t height, bool vsync, bool& exclusive) const;
    void setDefaultState();
    void ReleaseBackBuffer();
    void CreateDefaultDepthStencil(uint32_t side);
    void ReleaseDefaultDepthStencil();
    void CreateFrameQuery();
    void ReleaseFrameQuery();
    // Runs the device-lost callbacks on the change from not lost to lost.
    void MarkDeviceLost();
    void RunCallbacks(const ZArray<Callback>& callbacks);
    // Releases one reference and logs the count left.
    template <typename T>
    uint32_t ReleaseObject(T*& object);

    gfx::System* m_system = nullptr;
    gfx::Device* m_device = nullptr;
    gfx::Caps m_caps;
    // --- The view being drawn (ZRenderer_Passes.cpp) ---
    // Binds a pass's targets where they differ from the bound ones.
    void BindPassTargets(const ZRenderPassDesc& pass);
    // Unbinds the depth-stencil surface for a pass drawn without one, and binds
    // it again (RestorePassDepth) before anything else is bound or cleared.
    void SetPassWithoutDepth();
    void RestorePassDepth();
    // Binds one slot: a target, or the back buffer for null (nothing at slot > 0
    // when unbind is set).
    void BindTargetSlot(uint32_t slot, ZRenderTarget* target, bool unbind);
    void SetPassViewport(const ZRenderPassDesc& pass, bool force);
    void DrawGroup(const ZRenderPassDesc& pass, ZRenderGroup& group);
    // Fills the four scopes for one renderable and draws it.
    void DrawRenderable(ZRenderable& renderable, const ZRenderPassDesc& pass, const ZParameterBlock* block);
    void EndTechnique();
    void CopyToResolveTarget(const ZRenderPassDesc& pass);
    // Writes each target of the list to a numbered BMP file.
    void DumpTargets(const ZArray<ZRenderTarget*>& targets);
    void UnbindTextures();

    // A renderable of the group being drawn with its sort key: the effect, the
    // pass binding, the unscoped, material-instance, renderable and
    // render-instance sources, compared in that order, each as the rank of
    // its first appearance in the group (never as an address), and last the
    // renderable's own place in the group.
    struct DrawEntry {
        uintptr_t key[7];
        ZRenderable* renderable;
        ZPassBinding* binding;
    };
    std::vector<DrawEntry> m_drawList;  // reused by every group
    std::vector<std::pair<uintptr_t, size_t>> m_keyOrder;  // one key column's values and their places
    ZArray<ZRenderTarget*> m_boundTargets;
    ZRenderTarget* m_slot0 = nullptr;  // bound at slot 0; null: the back buffer
    ZRenderTarget* m_boundOverride = nullptr;  // the override at the last binding
    float m_viewport[6] = {};
    bool m_viewportSet = false;
    ZPassBinding* m_openBinding = nullptr;  // the technique begun, on m_openEffect
    gfx::Effect* m_openEffect = nullptr;
    ZEffect* m_drawEffect = nullptr;  // the effect whose bindings are filled
    ZParameterSource* m_lastUnscoped = nullptr;
    ZParameterSource* m_lastRenderable = nullptr;
    // The depth-stencil surface a pass drawn without one took away (null: none taken).
    gfx::Surface* m_passDepth = nullptr;
    bool m_passDepthOff = false;

    gfx::Surface* m_backBuffer = nullptr;
    gfx::Surface* m_defaultDepthStencil = nullptr;
    gfx::Query* m_frameQuery = nullptr;
    void* m_window = nullptr;  // the native window the device presents into

    ZArray<Callback> m_preReset;
    ZArray<Callback> m_postReset;
    ZArray<Callback> m_lostDevice;
    ZArray<ZRenderTarget*> m_targets;
    ZArray<ZDynamicResource*> m_dynamicResources;
    ZMap<ZHashedString, gfx::Surface*> m_readbackSurfaces;

    int32_t m_backBufferWidth = 0;
    int32_t m_backBufferHeight = 0;
    int32_t m_targetWidth = 0;
    int32_t m_targetHeight = 0;
};

// The renderer, made on first use.
ZRenderer* GetRenderer();
// The renderer when it exists, else null (for release paths that run late).
ZRenderer* PeekRenderer();
// Frees it (shutdown, after ShutdownRenderer); the next GetRenderer makes a new one.
void DestroyRenderer();

// Starts the device for the window at the render size (in/out) with the video
// options; the names of missing capabilities (keys of "General"/"D3DInitWarnings")
// are appended to warnings. A failure shows the "Direct3D Initialization Error"
// box and leaves the renderer without a device.
void InitRenderer(platform::window::WindowSystem* window, int32_t& width, int32_t& height,
                  const ZRenderVideoSettings& video, ZArray<ZHashedString>& warnings);
// The same, handing back whether exclusive full screen was kept: exclusive
// goes in as the request and comes back false when the display offers no
// mode of that size, so that the caller's setting follows the device.
void InitRenderer(platform::window::WindowSystem* window, int32_t& width, int32_t& height,
                  const ZRenderVideoSettings& video, ZArray<ZHashedString>& warnings, bool& exclusive);
// Appends the names of missing capabilities to missing and sets the vertex
// processing flag in flags (software when the device has no hardware transform).
void ReadDeviceCaps(uint32_t& flags, const gfx::Caps& caps, ZArray<ZHashedString>& missing);
// Releases the device, its surfaces, targets and the graphics system.
void ShutdownRenderer();
