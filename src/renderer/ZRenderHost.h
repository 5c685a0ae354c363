#pragma once

#include <cstdint>

#include "foundation/ZHashedString.h"
#include "foundation/ZVector4.h"

class ZRenderable;
class ZResolutionListener;
class ZShader;

// What the renderer asks of the program that runs it: the screen's size, the
// display settings its shaders read, the backdrop's group and objects, and the
// list of objects that follow the render size. The base game is the host; it
// registers itself when made and leaves when deleted. Without a host (tools,
// some tests) every renderer object falls back to the values noted here.
// Main thread only.
class ZRenderHost {
public:
    ZRenderHost() = default;
    virtual ~ZRenderHost() = default;
    ZRenderHost(const ZRenderHost&) = delete;
    ZRenderHost& operator=(const ZRenderHost&) = delete;

    // The host, or null while none is registered.
    static ZRenderHost* Get();
    // Makes host the one the renderer asks; null leaves none. A host that is
    // not the registered one leaving changes nothing.
    static void Register(ZRenderHost* host);
    static void Unregister(ZRenderHost* host);

    // The screen (back buffer) size in pixels (0 without a host).
    virtual int32_t GetScreenWidth() const = 0;
    virtual int32_t GetScreenHeight() const = 0;
    // The size the scene renders at, which resolution listeners follow.
    virtual int32_t GetRenderWidth() const = 0;
    virtual int32_t GetRenderHeight() const = 0;
    // Screen rotation in quarter turns (0..3) and the brightness offset the
    // final pass applies (0 without a host).
    virtual int32_t GetTateSetting() const = 0;
    virtual float GetBrightnessSetting() const = 0;
    // The fade to black the pre-HUD pass applies, 0..1 (0 without a host).
    virtual float GetFadeOut() const = 0;
    // The dialog boxes' backdrop is opaque (false without a host).
    virtual bool GetOpaqueDialogBoxes() const = 0;
    // The anaglyph settings the backdrop shader reads. Without a host:
    // distance 0, offset 0, white, desaturation 1, gamma 1.
    virtual float GetAnaglyphDistance() const = 0;
    virtual float GetAnaglyphDistanceOffset() const = 0;
    virtual ZVector4 GetAnaglyphColor() const = 0;
    virtual float GetAnaglyphDesaturation() const = 0;
    virtual ZVector4 GetAnaglyphGamma() const = 0;
    // The depth backdrop's render group, its quad and its shader (the
    // caller owns what the factories make; null when the host makes none).
    virtual ZHashedString GetDefaultBackdropGroupName() const = 0;
    virtual ZRenderable* CreateBackdropQuad() = 0;
    virtual ZShader* CreateDepthBackdropShader() = 0;
    // Joins and leaves the objects told of every render size change.
    virtual void AddResolutionListener(ZResolutionListener* listener) = 0;
    virtual void RemoveResolutionListener(ZResolutionListener* listener) = 0;
};
