#pragma once

// A shader of the game's on the fake device: the test makes a game, which
// takes over as the application description, and asks the shader for its
// parameters with its effect current.

#include "RendererFixture.h"
#include "framework/ZBaseGame.h"
#include "renderer/ZEffect.h"
#include "renderer/ZEffectParameter.h"
#include "renderer/ZShader.h"

namespace rtest {

class GameShaderTest : public RendererTest {
protected:
    void TearDown() override {
        // The game was the application description; the fixture's takes over again.
        ZBaseGame::DestroyInstance();
        gAppInfo.store(&appInfo);
        RendererTest::TearDown();
    }

    // Hands the parameter of that name to the shader with the effect current.
    static bool Answer(ZShader& shader, const char* name) {
        ZEffect* effect = shader.GetDefaultPassBinding()->effect;
        GetRenderer()->currentEffect = effect->GetEffect();
        for (ZEffectParameterList& list : effect->GetRenderInstanceDef()->lists) {
            for (uint32_t i = 0; i < list.Count(); ++i) {
                if (list[i]->name == ZHashedString(name))
                    return shader.SetParameters(list[i], ZHashedString(), &shader);
            }
        }
        ADD_FAILURE() << "no binding " << name;
        return false;
    }
    static gfx::Effect* Fx(ZShader& shader) { return shader.GetDefaultPassBinding()->effect->GetEffect(); }
};

}  // namespace rtest
