#pragma once

#include "foundation/ZHashedString.h"
#include "foundation/ZVector4.h"

class ZCamera;
class ZShader;
struct ZMatrix4;
struct ZVector3;

// What the game's post-process shaders share: loading their effect by name
// and the values several of them answer.

// Loads the effect file under the name through the shader manager and makes
// the technique the shader's default pass binding when the effect has it
// (a missing technique leaves none, without a message).
void LoadDisplayEffect(ZShader& shader, const char* fileName, ZHashedString effectName, const char* technique);
// Releases one reference to the effect (safe after the manager is gone).
void ReleaseDisplayEffect(ZHashedString effectName);
// Loads a texture under the name, or releases one (both safe late).
void LoadDisplayTexture(const char* fileName, ZHashedString textureName);
void ReleaseDisplayTexture(ZHashedString textureName);

// The base game's current camera, or null.
ZCamera* GetDisplayCamera();
// 1 / (far - near), 0 for planes that do not enclose a depth range.
float InverseDepthRange(const ZCamera& camera);
// The menus' dimming (0..1) as the chain reads it.
float GetDisplayOverlayOpacity();
// The bloom's strength: the Bloom setting with the CRT simulation on and the
// game not in edit mode, else 0.
float GetDisplayBloomScalar();
// The bloom's power (BloomPower).
float GetDisplayBloomPower();
// The screen's size in pixels (0 before there is a game).
int32_t GetDisplayScreenWidth();
int32_t GetDisplayScreenHeight();
// 1 / value, 0 for 0 (a setting slid to its end never makes an infinity).
float SafeReciprocal(float value);

// The overlays' placement of a unit quad in the 256 x 224 frame (y up):
// Scale(scale) x Translation(position) x Translation(-128, -112, 0) x
// Translation(-0.5, 0.5, 0) x Scale(1/128, 1/112, 1), for row vectors.
ZMatrix4 FramePlacementMatrix(const ZVector3& position, const ZVector3& scale);
// The base game's running time (the sum of the frame times) and its render
// time, in seconds (0 before there is a game).
float GetDisplayRunningTime();
float GetDisplayRenderTime();
