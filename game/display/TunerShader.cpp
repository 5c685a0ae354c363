#include "game/display/TunerShader.h"

#include <cmath>

#include "foundation/ZMatrix4.h"
#include "game/display/DisplayShaderSupport.h"
#include "renderer/ZEffectParameter.h"

namespace {

const char* const kEffectName = "Tuner Shader";
const char* const kBackName = "Tuner Texture (Back)";
const char* const kBallName = "Tuner Texture (Ball)";

struct SineTable {
    float values[256];
    SineTable() {
        for (int k = 0; k < 256; ++k) values[k] = static_cast<float>(std::sin(2.0 * 3.14159265358979323846 * k / 256.0));
    }
};

}  // namespace

TunerShader::TunerShader() {
    LoadDisplayEffect(*this, "tuner.fxo", ZHashedString(kEffectName), "TunerTech");
    LoadDisplayTexture("crttuner_back.bmp", ZHashedString(kBackName));
    LoadDisplayTexture("crttuner_ball.bmp", ZHashedString(kBallName));
}

TunerShader::~TunerShader() {
    ReleaseDisplayEffect(ZHashedString(kEffectName));
    ReleaseDisplayTexture(ZHashedString(kBackName));
    ReleaseDisplayTexture(ZHashedString(kBallName));
}

float TunerShader::FastSin(const float x) {
    static const SineTable table;
    const float scaled = x * 40.7437f;
    if (!std::isfinite(scaled)) return 0.0f;
    // Whole turns are dropped first, so a long-running clock stays in range.
    const double wrapped = std::fmod(static_cast<double>(scaled), 256.0);
    const double positive = wrapped < 0.0 ? wrapped + 256.0 : wrapped;
    const int32_t i = static_cast<int32_t>(positive);
    const float f = static_cast<float>(positive - i);
    return table.values[i & 255] * (1.0f - f) + table.values[(i + 1) & 255] * f;
}

bool TunerShader::SetParameters(ZEffectParameter* binding, const ZHashedString passName, ZParameterSource* source) {
    static const ZHashedString kWvp("wvpMat");
    static const ZHashedString kDiffuse("DiffuseMap");
    if (binding == nullptr) return false;
    if (binding->name == kWvp) {
        binding->SetMatrix(FramePlacementMatrix(position, scale));
    } else if (binding->name == kDiffuse) {
        binding->SetTexture(textureName);
    } else {
        return ZShader::SetParameters(binding, passName, source);
    }
    return true;
}
