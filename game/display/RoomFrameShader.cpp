#include "game/display/RoomFrameShader.h"

#include <cstring>

#include "game/display/DisplayShaderSupport.h"
#include "renderer/ZEffectParameter.h"

namespace {
const char* const kEffectName = "Room Frame Shader";

bool IsSecondEyePass(const ZHashedString passName) {
    const char* const text = passName.GetTextOrEmpty();
    const size_t length = std::strlen(text);
    static const char kTwin[] = " (3D)";
    return length >= sizeof(kTwin) - 1 && std::strcmp(text + length - (sizeof(kTwin) - 1), kTwin) == 0;
}
}  // namespace

RoomFrameShader::RoomFrameShader() {
    LoadDisplayEffect(*this, "roomframe.fxo", ZHashedString(kEffectName), "RoomFrameTech");
}

RoomFrameShader::~RoomFrameShader() { ReleaseDisplayEffect(ZHashedString(kEffectName)); }

bool RoomFrameShader::SetParameters(ZEffectParameter* binding, const ZHashedString passName,
                                    ZParameterSource* source) {
    static const ZHashedString kMap("roomFrameMap");
    static const ZHashedString kOffset("Offset");
    if (binding == nullptr) return false;
    if (binding->name == kMap) {
        binding->SetTexture(pictures[IsSecondEyePass(passName) ? 1 : 0]);
        return true;
    }
    if (binding->name == kOffset) {
        binding->SetVector(offset);
        return true;
    }
    return ZShader::SetParameters(binding, passName, source);
}
