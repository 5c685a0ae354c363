#pragma once

#include <cstdint>

#include "foundation/ZArray.h"
#include "foundation/ZColor32.h"
#include "foundation/ZHashedString.h"

struct ZRenderGroup;
struct ZRenderTarget;

// One render pass: where it draws (its targets, or the renderer's default
// target), what it clears, the part of the target it covers, and the groups it
// draws in order. The renderer's pass list owns its descriptions
// (ZRenderer::AddRenderPass); targets and groups are only referred to.
struct ZRenderPassDesc {
    using PrePassCallback = void (*)(int32_t);

    explicit ZRenderPassDesc(ZHashedString passName) : name(passName) {}
    ZRenderPassDesc(const ZRenderPassDesc&) = delete;
    ZRenderPassDesc& operator=(const ZRenderPassDesc&) = delete;

    // Appends the group unless it is already listed (null is ignored).
    void AddGroup(ZRenderGroup* group);
    // Sets the target at a slot, growing the list with null entries (the back
    // buffer) as needed; slots from gfx::kMaxTargets on are ignored.
    void SetTarget(uint32_t slot, ZRenderTarget* target);
    // The clear colour from a packed ARGB value.
    void SetClearColor(uint32_t argb) { clearColorValue = ZColor32::FromARGB(argb); }

    // Simultaneous targets by slot. Empty: the default target (the override a
    // default-target pass set, else the back buffer). A null entry is the back buffer.
    ZArray<ZRenderTarget*> targets;
    bool clearColor = false;
    bool clearDepth = true;  // depth and stencil together
    ZColor32 clearColorValue{0, 0, 0, 0};
    float clearDepthValue = 1.0f;
    // Clears even when the targets are those already bound (normally only a
    // pass that re-binds, or the frame's first pass, clears).
    bool clearAlways = false;
    // When set, target 0 (or whatever is bound at slot 0) is copied into this
    // target's surface, whole to whole with linear filtering, after the pass.
    ZRenderTarget* resolveTarget = nullptr;
    // A default-target pass draws nothing: it makes defaultTarget (null: the
    // back buffer) the target of every later pass without targets.
    bool switchTarget = false;
    ZRenderTarget* defaultTarget = nullptr;
    // False: the pass draws into whatever is bound, without binding or clearing.
    bool bindTargets = true;
    // False: the pass is skipped whole (its callback included).
    bool enabled = true;
    // False: the pass draws with no depth-stencil surface bound (after its
    // clears), for passes whose effects neither test nor write depth. llvmpipe
    // then copies and filters full-screen quads on its fast paths, which it
    // never takes with a depth surface bound; those paths misplace channels
    // that a program reorders (vec4(c.rgb, 1.0) swaps red and blue), so only
    // passes whose programs are plain fetches, scaled, go without.
    bool depthStencil = true;
    // Relative to target 0; a headset's eye narrows it to its half.
    float viewportX = 0.0f;
    float viewportY = 0.0f;
    float viewportWidth = 1.0f;
    float viewportHeight = 1.0f;
    float minZ = 0.0f;
    float maxZ = 1.0f;
    // Called with 0 when the pass begins, before anything else of it.
    PrePassCallback prePass = nullptr;
    // Drawn in this order.
    ZArray<ZRenderGroup*> groups;
    ZHashedString name;
};
