#include "game/display/DisplayShaderSupport.h"

#include <cmath>

#include "foundation/ZMatrix4.h"
#include "foundation/ZVector3.h"
#include "framework/ZBaseGame.h"
#include "game/display/DisplayState.h"
#include "menu/ZMenuMgr.h"
#include "renderer/ZCamera.h"
#include "renderer/ZEffect.h"
#include "renderer/ZShader.h"
#include "renderer/ZShaderMgr.h"
#include "renderer/ZTextureMgr.h"

void LoadDisplayEffect(ZShader& shader, const char* fileName, const ZHashedString effectName, const char* technique) {
    ZEffect* effect = ZShaderMgr::GetInstance()->LoadEffect(fileName, effectName);
    if (effect == nullptr) return;
    if (ZPassBinding* binding = effect->FindTechnique(ZHashedString(technique))) {
        shader.SetDefaultPassBinding(binding);
    }
}

void ReleaseDisplayEffect(const ZHashedString effectName) {
    if (ZShaderMgr* shaders = ZShaderMgr::PeekInstance()) shaders->ReleaseEffect(effectName);
}

void LoadDisplayTexture(const char* fileName, const ZHashedString textureName) {
    ZTextureMgr::GetInstance()->LoadTexture(fileName, textureName, nullptr);
}

void ReleaseDisplayTexture(const ZHashedString textureName) {
    // The texture cache has no peek; it is made on first use and is cheap.
    ZTextureMgr::GetInstance()->ReleaseTexture(textureName);
}

ZCamera* GetDisplayCamera() {
    const ZBaseGame* game = ZBaseGame::PeekInstance();
    return game != nullptr ? game->GetCamera() : nullptr;
}

float InverseDepthRange(const ZCamera& camera) {
    const float range = camera.farPlane - camera.nearPlane;
    return range != 0.0f && std::isfinite(range) ? 1.0f / range : 0.0f;
}

float GetDisplayOverlayOpacity() {
    const ZMenuMgr* menus = PeekMenuMgr();
    return menus != nullptr ? menus->GetOverlayOpacity() : 0.0f;
}

float GetDisplayBloomScalar() {
    const DisplayState* display = PeekDisplayState();
    const DisplaySettings defaults;
    const DisplaySettings& s = display != nullptr ? display->Settings() : defaults;
    const ZBaseGame* game = ZBaseGame::PeekInstance();
    const bool editing = game != nullptr && game->IsEditMode();
    return s.crtSim && !editing ? s.bloom : 0.0f;
}

float GetDisplayBloomPower() {
    const DisplayState* display = PeekDisplayState();
    return display != nullptr ? display->Settings().bloomPower : DisplaySettings().bloomPower;
}

int32_t GetDisplayScreenWidth() {
    const ZBaseGame* game = ZBaseGame::PeekInstance();
    return game != nullptr ? game->GetScreenWidth() : 0;
}

int32_t GetDisplayScreenHeight() {
    const ZBaseGame* game = ZBaseGame::PeekInstance();
    return game != nullptr ? game->GetScreenHeight() : 0;
}

float SafeReciprocal(const float value) {
    return value != 0.0f && std::isfinite(value) ? 1.0f / value : 0.0f;
}

ZMatrix4 FramePlacementMatrix(const ZVector3& position, const ZVector3& scale) {
    return ZMatrix4::MakeScale(scale) * ZMatrix4::Translation(position) *
           ZMatrix4::Translation(ZVector3(-128.0f, -112.0f, 0.0f)) * ZMatrix4::Translation(ZVector3(-0.5f, 0.5f, 0.0f)) *
           ZMatrix4::MakeScale(ZVector3(1.0f / 128.0f, 1.0f / 112.0f, 1.0f));
}

float GetDisplayRunningTime() {
    const ZBaseGame* game = ZBaseGame::PeekInstance();
    return game != nullptr ? game->GetTotalEngineTime() : 0.0f;
}

float GetDisplayRenderTime() {
    const ZBaseGame* game = ZBaseGame::PeekInstance();
    return game != nullptr ? game->GetRenderTime() : 0.0f;
}
