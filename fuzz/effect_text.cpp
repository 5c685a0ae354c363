// Effect text: the parser must refuse anything malformed with a message, and
// whatever it accepts must reflect and run its passes on the fake device.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/gfx/effect.h"
#include "platform/gfx/effect_text.h"
#include "platform/gfx/fake/fake_gfx.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    gfx::fx::EffectText text;
    std::string error;
    if (!gfx::fx::ParseEffectText(reinterpret_cast<const char*>(data), size, &text, &error)) {
        if (error.rfind("line ", 0) != 0) __builtin_trap();
        return 0;
    }

    auto state = std::make_shared<gfx::fake::State>();
    gfx::Ref<gfx::System> system(gfx::fake::CreateSystem(state));
    gfx::PresentParams params;
    params.backBufferWidth = 16;
    params.backBufferHeight = 16;
    gfx::Ref<gfx::Device> device;
    if (gfx::Failed(system->CreateDevice(nullptr, 0, params, device.Out()))) __builtin_trap();
    gfx::Ref<gfx::Effect> effect;
    std::optional<std::string> errors;
    if (gfx::Failed(gfx::CreateEffect(device.Get(), data, size, effect.Out(), &errors))) __builtin_trap();

    // Walk everything it reflects and set every parameter.
    const float values[64] = {};
    const gfx::EffectDesc desc = effect->GetDesc();
    for (uint32_t i = 0; i < desc.parameters; ++i) {
        const gfx::Handle p = effect->GetParameter(0, i);
        gfx::ParamDesc d;
        if (gfx::Failed(effect->GetParameterDesc(p, &d)) || !d.name) __builtin_trap();
        for (uint32_t m = 0; m < d.structMembers; ++m) effect->SetFloatArray(effect->GetParameter(p, m), values, 64);
        for (uint32_t a = 0; a < d.annotations; ++a) {
            const char* s = nullptr;
            float f = 0;
            effect->GetString(effect->GetAnnotation(p, a), &s);
            effect->GetFloat(effect->GetAnnotation(p, a), &f);
        }
        effect->SetFloatArray(p, values, 64);
        effect->SetMatrixArray(p, values, 4);
        effect->SetVectorArray(p, values, 16);
    }
    for (uint32_t t = 0; t < desc.techniques; ++t) {
        const gfx::Handle technique = effect->GetTechnique(t);
        uint32_t passes = 0;
        effect->SetTechnique(technique);
        if (gfx::Failed(effect->Begin(&passes, 0))) __builtin_trap();
        for (uint32_t p = 0; p < passes; ++p) {
            effect->BeginPass(p);
            effect->CommitChanges();
            effect->EndPass();
        }
        effect->End();
    }
    return 0;
}
