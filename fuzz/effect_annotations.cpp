// Effect files as the renderer loads them: the annotation reader files every
// parameter's binding by scope, and every technique gets its pass binding.
// Whatever the text, loading either gives an effect whose bindings all name a
// parameter, or an empty effect; releasing it leaves nothing behind.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "driver/FakeRenderer.h"
#include "renderer/ZEffect.h"
#include "renderer/ZShaderMgr.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 1 << 16) {
        return 0;
    }
    fuzzrender::WriteFile("fuzz.fxo", data, size);
    ZShaderMgr* shaders = ZShaderMgr::GetInstance();
    ZEffect* effect = shaders->LoadEffect("fuzz.fxo", ZHashedString("fuzz"));
    if (effect != nullptr) {
        if (ZParameterBlock* block = effect->GetRenderInstanceDef()) {
            for (ZEffectParameterList& list : block->lists) {
                for (uint32_t i = 0; i < list.Count(); ++i) {
                    if (list[i] == nullptr) {
                        std::abort();
                    }
                }
            }
        }
        (void)effect->FindTechnique(ZHashedString("Main"));
        effect->ClearTextureBindings();
        effect->UnbindAllTextures();
    }
    shaders->ReleaseEffect(ZHashedString("fuzz"));
    return 0;
}
