#include "renderer/ZEffectParameter.h"

#include <vector>

#include "foundation/ZMatrix4.h"
#include "foundation/ZVector4.h"
#include "renderer/ZEffect.h"
#include "renderer/ZRenderer.h"
#include "renderer/ZTexture.h"
#include "renderer/ZTextureMgr.h"

namespace {

// The current effect, or null; every setter goes through it.
gfx::Effect* Current() { return GetRenderer()->currentEffect; }

void Store(gfx::Result result) { GetRenderer()->lastResult = result; }

}  // namespace

ZEffectParameter::ZEffectParameter(const ZEffect* effect, const char* parameterName, const int32_t kind,
                                   const uint32_t count)
    : name(parameterName), type(kind), elements(count) {
    if (effect != nullptr && effect->GetEffect() != nullptr && parameterName != nullptr) {
        handle = effect->GetEffect()->GetParameterByName(0, parameterName);
    }
}

void ZEffectParameter::SetBool(const bool value) {
    if (gfx::Effect* e = Current()) Store(e->SetBool(handle, value));
}

void ZEffectParameter::SetBoolArray(const bool* values, const uint32_t count) {
    if (gfx::Effect* e = Current()) Store(e->SetBoolArray(handle, values, count));
}

void ZEffectParameter::SetInt(const int32_t value) {
    if (gfx::Effect* e = Current()) Store(e->SetInt(handle, value));
}

void ZEffectParameter::SetIntArray(const int32_t* values, const uint32_t count) {
    if (gfx::Effect* e = Current()) Store(e->SetIntArray(handle, values, count));
}

void ZEffectParameter::SetFloat(const float value) {
    if (gfx::Effect* e = Current()) Store(e->SetFloat(handle, value));
}

void ZEffectParameter::SetFloatArray(const float* values, const uint32_t count) {
    if (gfx::Effect* e = Current()) Store(e->SetFloatArray(handle, values, count));
}

void ZEffectParameter::SetVector(const ZVector4& value) {
    if (gfx::Effect* e = Current()) {
        const float v[4] = {value.x, value.y, value.z, value.w};
        Store(e->SetVector(handle, v));
    }
}

void ZEffectParameter::SetVectorArray(const ZVector4* values, const uint32_t count) {
    gfx::Effect* e = Current();
    if (e == nullptr || values == nullptr) {
        return;
    }
    std::vector<float> flat(4 * static_cast<size_t>(count));
    for (uint32_t i = 0; i < count; ++i) {
        flat[4 * i + 0] = values[i].x;
        flat[4 * i + 1] = values[i].y;
        flat[4 * i + 2] = values[i].z;
        flat[4 * i + 3] = values[i].w;
    }
    Store(e->SetVectorArray(handle, flat.data(), count));
}

void ZEffectParameter::SetMatrix(const ZMatrix4& value) {
    if (gfx::Effect* e = Current()) Store(e->SetMatrix(handle, value.m));
}

void ZEffectParameter::SetMatrixArray(const ZMatrix4* values, const uint32_t count) {
    gfx::Effect* e = Current();
    if (e == nullptr || values == nullptr) {
        return;
    }
    std::vector<float> flat(16 * static_cast<size_t>(count));
    for (uint32_t i = 0; i < count; ++i) {
        for (int j = 0; j < 16; ++j) flat[16 * i + static_cast<uint32_t>(j)] = values[i].m[j];
    }
    Store(e->SetMatrixArray(handle, flat.data(), count));
}

void ZEffectParameter::SetTexture(const ZHashedString textureName) { SetEffectTexture(handle, textureName); }

void ZEffectParameter::Unbind() {
    if (type != kTexture) {
        return;
    }
    if (gfx::Effect* e = Current()) Store(e->SetTexture(handle, nullptr));
}

ZEffectParameter* ZEffectParameter::Clone() const {
    auto* copy = new ZEffectParameter();
    copy->handle = handle;
    copy->name = name;
    copy->type = type;
    copy->elements = elements;
    return copy;
}

void SetEffectTexture(const gfx::Handle parameter, const ZHashedString textureName) {
    gfx::Effect* e = Current();
    if (e == nullptr) {
        return;
    }
    if (textureName.IsNone()) {
        Store(e->SetTexture(parameter, nullptr));
        return;
    }
    if (const ZTexture* texture = ZTextureMgr::GetInstance()->FindTexture(textureName)) {
        Store(e->SetTexture(parameter, texture->GetTexture()));
    }
}
