#include "game/display/CompositeShader.h"

#include "framework/ZBaseGame.h"
#include "foundation/ZVector4.h"
#include "game/display/DisplayShaderSupport.h"
#include "game/display/DisplayState.h"
#include "renderer/ZCamera.h"
#include "renderer/ZEffectParameter.h"

namespace {
const char* const kEffectName = "Composite Shader";
const char* const kHackTexture = "NTSCHackTex";
}  // namespace

CompositeShader::CompositeShader() {
    LoadDisplayEffect(*this, "composite.fxo", ZHashedString(kEffectName), "Composite");
    LoadDisplayTexture("ntschack.bmp", ZHashedString(kHackTexture));
}

CompositeShader::~CompositeShader() {
    ReleaseDisplayEffect(ZHashedString(kEffectName));
    ReleaseDisplayTexture(ZHashedString(kHackTexture));
}

bool CompositeShader::SetParameters(ZEffectParameter* binding, const ZHashedString passName, ZParameterSource* source) {
    static const ZHashedString kCur("curFrameMap");
    static const ZHashedString kPrev("prevFrameMap");
    static const ZHashedString kHack("NTSCHackTex");
    static const ZHashedString kNear("nearPlaneDepth");
    static const ZHashedString kInvRange("invNearFarPlaneDepth");
    static const ZHashedString kSharp("Tuning_Sharp");
    static const ZHashedString kPersistence("Tuning_Persistence");
    static const ZHashedString kBleed("Tuning_Bleed");
    static const ZHashedString kNTSC("Tuning_NTSC");
    static const ZHashedString kLerp("NTSCLerp");
    if (binding == nullptr) return false;
    const DisplayState* display = PeekDisplayState();
    const DisplaySettings defaults;
    const DisplaySettings& s = display != nullptr ? display->Settings() : defaults;
    const ZHashedString name = binding->name;
    if (name == kCur) {
        binding->SetTexture(ZHashedString("NTSC Frame"));
    } else if (name == kPrev) {
        binding->SetTexture(ZHashedString(parity ? "Composite Frame 1" : "Composite Frame 2"));
    } else if (name == kHack) {
        binding->SetTexture(ZHashedString(kHackTexture));
    } else if (name == kNear || name == kInvRange) {
        if (const ZCamera* camera = GetDisplayCamera()) {
            binding->SetFloat(name == kNear ? camera->nearPlane : InverseDepthRange(*camera));
        }
    } else if (name == kSharp) {
        binding->SetFloat(s.sharp);
    } else if (name == kPersistence) {
        if (display != nullptr && display->staticActive && !display->crtMenuOpen) {
            const float k = static_cast<float>(0.25 + 0.7250000238418579 * GetDisplayOverlayOpacity());
            binding->SetVector(ZVector4(k, k, k, 1.0f));
        } else {
            binding->SetVector(ZVector4(s.persColor[0] * s.pers, s.persColor[1] * s.pers, s.persColor[2] * s.pers,
                                        s.persColor[3] * s.pers));
        }
    } else if (name == kBleed) {
        binding->SetFloat(s.bleed);
    } else if (name == kNTSC) {
        binding->SetFloat(s.ntsc);
    } else if (name == kLerp) {
        // Alternate frames blend towards opposite ends, so the dot pattern of
        // two frames cancels, but only when frames really alternate at the
        // display's rate and no screenshot catches one of them alone.
        const ZBaseGame* game = ZBaseGame::PeekInstance();
        const bool vsync = game != nullptr && game->m_vsync;
        const bool screenshot = game != nullptr && game->IsScreenshotRequested();
        if (!screenshot && vsync) {
            const float t = parity ? 0.0f : 1.0f;
            binding->SetFloat(t + (0.5f - t) * s.ntscBlend);
        } else {
            binding->SetFloat(0.5f);
        }
    } else {
        return ZShader::SetParameters(binding, passName, source);
    }
    return true;
}
