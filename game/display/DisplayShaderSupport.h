#pragma once

#include "foundation/ZHashedString.h"
#include "foundation/ZVector4.h"

class ZCamera;
class ZShader;

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
// The screen's size in pixels (0 before there is a game).
int32_t GetDisplayScreenWidth();
int32_t GetDisplayScreenHeight();
// 1 / value, 0 for 0 (a setting slid to its end never makes an infinity).
float SafeReciprocal(float value);
