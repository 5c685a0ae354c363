#include "game/components/NPCShader.h"

#include "renderer/ZEffect.h"
#include "renderer/ZShaderMgr.h"

NPCShader::NPCShader() {
    ZEffect* const effect = ZShaderMgr::GetInstance()->LoadEffect("npc.fxo", ZHashedString("NPC Shader"));
    if (effect == nullptr) {
        return;
    }
    if (ZPassBinding* const binding = effect->FindTechnique(ZHashedString("NPCTech"))) {
        SetDefaultPassBinding(binding);
    }
}

NPCShader::~NPCShader() {
    if (ZShaderMgr* const shaders = ZShaderMgr::PeekInstance()) {
        shaders->ReleaseEffect(ZHashedString("NPC Shader"));
    }
}
