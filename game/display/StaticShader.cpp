#include "game/display/StaticShader.h"

#include <cmath>
#include <cstdio>

#include "foundation/ZVector4.h"
#include "framework/ZRuntimeRand.h"
#include "game/display/DisplayShaderSupport.h"
#include "game/display/DisplayState.h"
#include "renderer/ZEffectParameter.h"

namespace {

const char* const kEffectName = "Static Shader";

struct NamedTexture {
    const char* file;
    const char* name;
};
const NamedTexture kTextures[] = {
    {"static.dds", "Texture_Static"},
    {"static_line.dds", "Texture_Static_Line"},
    {"crt_dist_1.dds", "Texture_CRT_Dist"},
};

ZHashedString AttractTextureName(const int32_t number) {
    char name[32];
    std::snprintf(name, sizeof name, "Texture_Attract_%d", static_cast<int>(number));
    return ZHashedString(name);
}

// 0..1, both ends included.
float Random01() { return static_cast<float>(RuntimeRand()) * (1.0f / 32767.0f); }

}  // namespace

int32_t StaticShader::RandomFirstPicture() {
    const double r = static_cast<double>(RuntimeRand());
    const int32_t picture = static_cast<int32_t>((r + 0.5) * (1.0 / 32768.0) * kAttractPictures);
    return picture < kAttractPictures ? picture : kAttractPictures - 1;
}

StaticShader::StaticShader() {
    m_firstAttract = RandomFirstPicture();
    m_currentAttract = m_firstAttract;
    m_startTime = GetDisplayRunningTime();
    LoadDisplayEffect(*this, "static.fxo", ZHashedString(kEffectName), "StaticTech");
    for (const NamedTexture& t : kTextures) LoadDisplayTexture(t.file, ZHashedString(t.name));
    for (int32_t i = 1; i <= kAttractPictures; ++i) {
        char file[32];
        std::snprintf(file, sizeof file, "demo_attr_%d.bmp", static_cast<int>(i));
        LoadDisplayTexture(file, AttractTextureName(i));
    }
}

StaticShader::~StaticShader() {
    ReleaseDisplayEffect(ZHashedString(kEffectName));
    for (const NamedTexture& t : kTextures) ReleaseDisplayTexture(ZHashedString(t.name));
    for (int32_t i = 1; i <= kAttractPictures; ++i) ReleaseDisplayTexture(AttractTextureName(i));
}

void StaticShader::RestartAttractCycle() {
    m_startTime = GetDisplayRunningTime();
    m_firstAttract = RandomFirstPicture();
    m_currentAttract = m_firstAttract;
}

void StaticShader::SetAttractStart(const int32_t firstPicture, const float startTime) {
    m_firstAttract = ((firstPicture % kAttractPictures) + kAttractPictures) % kAttractPictures;
    m_currentAttract = m_firstAttract;
    m_startTime = startTime;
}

StaticShader::AttractState StaticShader::AttractAt(const int32_t firstPicture, const float seconds) {
    // A clock that went backwards (a new game's timer) counts as the start.
    const float t = seconds > 0.0f && std::isfinite(seconds) ? seconds : 0.0f;
    const float slots = t / kAttractSlot;
    const float whole = std::floor(slots);
    const int64_t slot = static_cast<int64_t>(whole);
    AttractState state{};
    state.picture = static_cast<int32_t>((firstPicture + slot) % kAttractPictures);
    const float s = (slots - whole) * kAttractSlot;
    if (s < 7.5f) {
        state.flag = false;
        state.blend = s <= 5.5f ? 1.0f : (7.5f - s) * 0.5f;
    } else {
        state.flag = true;
        state.blend = s <= 13.0f ? 0.0f : (s - 13.0f) * 0.5f;
    }
    return state;
}

float StaticShader::UpdateAttractCycle(bool& flag) {
    const AttractState state = AttractAt(m_firstAttract, GetDisplayRunningTime() - m_startTime);
    m_currentAttract = state.picture;
    flag = state.flag;
    return state.blend;
}

bool StaticShader::SetParameters(ZEffectParameter* binding, const ZHashedString passName, ZParameterSource* source) {
    static const ZHashedString kDiffuse("DiffuseMap");
    static const ZHashedString kLine("DiffuseMapLine");
    static const ZHashedString kAttract("DiffuseMapAttract");
    static const ZHashedString kDist("DiffuseMapDist");
    static const ZHashedString kTexScale("TexScale");
    static const ZHashedString kTexOffset("TexOffset");
    static const ZHashedString kTexScaleLine("TexScaleLine");
    static const ZHashedString kTexOffsetLine("TexOffsetLine");
    static const ZHashedString kScalar("StaticScalar");
    static const ZHashedString kRoll("Roll");
    static const ZHashedString kGlobalAmp("GlobalAmp");
    static const ZHashedString kImageLerp("ImageLerp");
    static const ZHashedString kVertOffset("VertOffset");
    static const ZHashedString kDistance("AnaglyphDistance");
    static const ZHashedString kDistanceOffset("AnaglyphDistanceOffset");
    static const ZHashedString kColor("AnaglyphColor");
    static const ZHashedString kSilhFix("AnaglyphSilhFix");
    static const ZHashedString kDesat("AnaglyphDesat");
    static const ZHashedString kGamma("AnaglyphGamma");
    if (binding == nullptr) return false;
    const DisplayState* display = PeekDisplayState();
    const ZHashedString name = binding->name;
    bool flag = false;
    if (name == kDiffuse) {
        binding->SetTexture(ZHashedString("Texture_Static"));
    } else if (name == kLine) {
        binding->SetTexture(ZHashedString("Texture_Static_Line"));
    } else if (name == kAttract) {
        binding->SetTexture(AttractTextureName(m_currentAttract + 1));
    } else if (name == kDist) {
        binding->SetTexture(ZHashedString("Texture_CRT_Dist"));
    } else if (name == kTexScale) {
        binding->SetVector(ZVector4(1.0f, 1.75f, 0.0f, 0.0f));
    } else if (name == kTexOffset) {
        const float u = Random01();
        const float v = Random01();
        binding->SetVector(ZVector4(u, v, 0.0f, 0.0f));
    } else if (name == kTexScaleLine) {
        const float w = (Random01() * 1.875f + 0.125f) * 1.75f;
        binding->SetVector(ZVector4(w, w, 0.0f, 0.0f));
    } else if (name == kTexOffsetLine) {
        binding->SetVector(ZVector4(0.0f, 2.0f * Random01() - 1.0f, 0.0f, 0.0f));
    } else if (name == kScalar) {
        binding->SetFloat(1.0f);
    } else if (name == kRoll) {
        binding->SetFloat(GetDisplayRunningTime() - m_startTime);
    } else if (name == kGlobalAmp) {
        binding->SetFloat(UpdateAttractCycle(flag));
    } else if (name == kImageLerp) {
        binding->SetFloat(1.0f - UpdateAttractCycle(flag));
    } else if (name == kVertOffset) {
        const float blend = UpdateAttractCycle(flag);
        const float offset = blend * blend * 8.0f;
        binding->SetFloat(flag ? -offset : offset);
    } else if (name == kDistance) {
        binding->SetFloat(0.0f);
    } else if (name == kDistanceOffset) {
        binding->SetFloat(display != nullptr ? display->GetAnaglyphDistanceOffset() : 0.0f);
    } else if (name == kColor) {
        binding->SetVector(display != nullptr ? display->GetAnaglyphColor() : ZVector4(1.0f, 1.0f, 1.0f, 1.0f));
    } else if (name == kSilhFix) {
        binding->SetFloat(0.0f);
    } else if (name == kDesat) {
        binding->SetFloat(display != nullptr ? display->GetAnaglyphDesaturation() : 1.0f);
    } else if (name == kGamma) {
        binding->SetVector(display != nullptr ? display->GetAnaglyphGamma() : ZVector4(1.0f, 1.0f, 1.0f, 1.0f));
    } else {
        return ZShader::SetParameters(binding, passName, source);
    }
    return true;
}
