#pragma once

#include <cstdint>

#include "foundation/ZHashedString.h"
#include "platform/gfx/effect.h"

class ZEffect;
struct ZMatrix4;
struct ZVector4;

// One automatic binding of an effect parameter: the handle found by the
// parameter's name in its effect, the hashed name providers compare, the kind
// and the element count. The setters act on the renderer's current effect
// (the one whose technique is open), never on the effect the binding came
// from, and do nothing while no effect is current.
class ZEffectParameter {
public:
    enum Kind : int32_t { kInt = 1, kFloat = 2, kVector = 3, kMatrix = 4, kBool = 5, kTexture = 6 };

    ZEffectParameter(const ZEffect* effect, const char* parameterName, int32_t type, uint32_t elements);
    virtual ~ZEffectParameter() = default;

    virtual void SetBool(bool value);
    virtual void SetBoolArray(const bool* values, uint32_t count);
    virtual void SetInt(int32_t value);
    virtual void SetIntArray(const int32_t* values, uint32_t count);
    virtual void SetFloat(float value);
    virtual void SetFloatArray(const float* values, uint32_t count);
    virtual void SetVector(const ZVector4& value);
    virtual void SetVectorArray(const ZVector4* values, uint32_t count);
    virtual void SetMatrix(const ZMatrix4& value);
    virtual void SetMatrixArray(const ZMatrix4* values, uint32_t count);
    // Binds the cached texture of that name (none: no texture).
    virtual void SetTexture(ZHashedString textureName);
    // A texture binding sets no texture on the current effect; others do nothing.
    virtual void Unbind();
    virtual ZEffectParameter* Clone() const;

    gfx::Handle handle = 0;
    ZHashedString name;
    int32_t type = 0;
    uint32_t elements = 0;

private:
    ZEffectParameter() = default;
};

// Binds a texture of the texture cache to a parameter of the current effect.
// Nothing without a current effect; the none name sets no texture; an unknown
// name changes nothing.
void SetEffectTexture(gfx::Handle parameter, ZHashedString textureName);
