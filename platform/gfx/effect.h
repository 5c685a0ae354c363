#pragma once

// Effects: parameters, samplers and techniques of passes with render states
// and GLSL code, read from the effect text format (data/engine/effects/README.md)
// and reflected the way the renderer asks: parameters by name with their class,
// type, size and annotations, techniques by name, begin/pass/commit/end.
//
// Handles are plain numbers that name an object inside one effect; 0 is no
// object. A handle given to another effect is refused with InvalidCall.
//
// Values set on parameters reach the GPU at BeginPass and CommitChanges.
// Render states of a pass are set on the device at BeginPass and are not
// restored afterwards. Textures set on parameters are referenced until replaced.

#include <cstdint>
#include <string>

#include "platform/gfx/gfx.h"

namespace gfx {

using Handle = uint64_t;

enum class ParamClass : uint32_t { Scalar, Vector, MatrixRows, MatrixColumns, Object, Struct };
enum class ParamType : uint32_t {
    Void,
    Bool,
    Int,
    Float,
    String,
    Texture,  // the generic texture type
    Texture1D,
    Texture2D,
    Texture3D,
    TextureCube,
    Sampler,
    Sampler1D,
    Sampler2D,
    Sampler3D,
    SamplerCube,
};
const char* ParamClassName(ParamClass c);
const char* ParamTypeName(ParamType t);

struct EffectDesc {
    uint32_t parameters = 0;  // top-level parameters
    uint32_t techniques = 0;
    uint32_t functions = 0;  // code blocks
};

// Describes a parameter or an annotation. The name stays valid while the effect lives.
struct ParamDesc {
    const char* name = nullptr;
    ParamClass paramClass = ParamClass::Scalar;
    ParamType type = ParamType::Void;
    uint32_t rows = 0;
    uint32_t columns = 0;
    uint32_t elements = 0;  // 0 when the parameter is not an array
    uint32_t annotations = 0;
    uint32_t structMembers = 0;
    uint32_t bytes = 0;
};

struct TechniqueDesc {
    const char* name = nullptr;
    uint32_t passes = 0;
    uint32_t annotations = 0;
};

struct PassDesc {
    const char* name = nullptr;
    uint32_t annotations = 0;
};

// Flag of Begin: leave the device state as the passes set it (the only behaviour offered).
constexpr uint32_t kDoNotSaveState = 1u << 2;

class EffectRuntime;

class Effect : public Object {
public:
    // Reflection.
    EffectDesc GetDesc() const;
    // `parent` 0 walks the top-level parameters; a structure walks its members.
    Handle GetParameter(Handle parent, uint32_t index) const;
    Handle GetParameterByName(Handle parent, const char* name) const;
    Result GetParameterDesc(Handle parameterOrAnnotation, ParamDesc* desc) const;
    // Annotations of a parameter, technique or pass.
    Handle GetAnnotation(Handle object, uint32_t index) const;
    Handle GetAnnotationByName(Handle object, const char* name) const;
    Handle GetTechnique(uint32_t index) const;
    Handle GetTechniqueByName(const char* name) const;
    Result GetTechniqueDesc(Handle technique, TechniqueDesc* desc) const;
    Handle GetPass(Handle technique, uint32_t index) const;
    Result GetPassDesc(Handle pass, PassDesc* desc) const;

    // Values of parameters and annotations. Numeric values convert between
    // bool, int and float; array setters fill components in order and stop at
    // the parameter's size.
    Result SetBool(Handle parameter, bool value);
    Result SetBoolArray(Handle parameter, const bool* values, uint32_t count);
    Result SetInt(Handle parameter, int32_t value);
    Result SetIntArray(Handle parameter, const int32_t* values, uint32_t count);
    Result SetFloat(Handle parameter, float value);
    Result SetFloatArray(Handle parameter, const float* values, uint32_t count);
    // Four floats; a vector takes as many as it has columns.
    Result SetVector(Handle parameter, const float* vector4);
    Result SetVectorArray(Handle parameter, const float* vectors4, uint32_t count);
    // Sixteen floats row by row; a smaller matrix takes its top-left corner.
    Result SetMatrix(Handle parameter, const float* matrix16);
    Result SetMatrixArray(Handle parameter, const float* matrices16, uint32_t count);
    Result SetTexture(Handle parameter, BaseTexture* texture);

    Result GetBool(Handle parameter, bool* value) const;
    Result GetInt(Handle parameter, int32_t* value) const;
    Result GetFloat(Handle parameter, float* value) const;
    Result GetFloatArray(Handle parameter, float* values, uint32_t count) const;
    Result GetVector(Handle parameter, float* vector4) const;
    Result GetMatrix(Handle parameter, float* matrix16) const;
    Result GetString(Handle parameter, const char** value) const;
    // Adds a reference to the texture returned (null when none is set).
    Result GetTexture(Handle parameter, BaseTexture** texture) const;

    // Drawing.
    Result SetTechnique(Handle technique);
    Handle GetCurrentTechnique() const;
    Result Begin(uint32_t* passes, uint32_t flags);
    Result BeginPass(uint32_t pass);
    Result CommitChanges();
    Result EndPass();
    Result End();

    // Nothing lives in lost video memory, but the calls are accepted (and recorded by the fake).
    Result OnLostDevice();
    Result OnResetDevice();

    // Internal: made by the devices.
    explicit Effect(EffectRuntime* runtime);

protected:
    ~Effect() override;

private:
    EffectRuntime* m_runtime;
};

// Compiles an effect from its text. On failure `errors` receives the compiler's
// text (for the "Shader Compilation Error" box) and `*effect` stays null.
inline Result CreateEffect(Device* device, const void* data, size_t size, Effect** effect,
                           std::optional<std::string>* errors) {
    return device->CreateEffect(data, size, effect, errors);
}

}  // namespace gfx
