#pragma once

// The backend-independent part of an effect: reflection, parameter storage,
// handles, the begin/pass/commit/end sequence and the device state a pass sets.
// A backend supplies the programs (EffectBackend).

#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/effect.h"
#include "platform/gfx/effect_text.h"

namespace gfx {

// One parameter or structure member with its current value.
struct EffectParam {
    ParamDesc desc{};
    std::string name;      // own name
    std::string fullName;  // uniform name: "member" or "struct.member"
    int parent = -1;       // structure it belongs to
    std::vector<int> members;
    uint32_t firstAnnotation = 0;
    std::vector<float> floats;  // numeric values of float parameters
    std::vector<int32_t> ints;  // of int and bool parameters
    std::string text;
    BaseTexture* texture = nullptr;  // referenced
    // Samplers.
    int samplerTexture = -1;  // parameter index
    uint32_t stage = 0;
    std::vector<std::pair<SamplerState, uint32_t>> samplerStates;
    bool dirty = true;
};

class EffectRuntime;

class EffectBackend {
public:
    virtual ~EffectBackend() = default;
    // Makes the pass's program the one the device draws with.
    virtual void ApplyPass(uint32_t technique, uint32_t pass) = 0;
    // Sends parameter values to the current pass's program: all, or the dirty ones.
    virtual void Upload(const EffectRuntime& effect, bool all) = 0;
    // The effect is going away: the device must stop drawing with its programs.
    virtual void Detach() = 0;
    // The fake records calls; others ignore them.
    virtual bool Recording() const { return false; }
    virtual void Record(const std::string& /*call*/) {}
};

class EffectRuntime {
public:
    // Builds the parameter table from parsed text; the device is referenced.
    EffectRuntime(Device* device, fx::EffectText text);
    ~EffectRuntime();

    void SetBackend(std::unique_ptr<EffectBackend> backend) { m_backend = std::move(backend); }
    const fx::EffectText& Text() const { return m_text; }
    const std::vector<EffectParam>& Params() const { return m_params; }
    int FindParam(const std::string& fullName) const;

    // Effect's operations (see effect.h).
    EffectDesc GetDesc() const;
    Handle GetParameter(Handle parent, uint32_t index) const;
    Handle GetParameterByName(Handle parent, const char* name) const;
    Result GetParameterDesc(Handle h, ParamDesc* desc) const;
    Handle GetAnnotation(Handle object, uint32_t index) const;
    Handle GetAnnotationByName(Handle object, const char* name) const;
    Handle GetTechnique(uint32_t index) const;
    Handle GetTechniqueByName(const char* name) const;
    Result GetTechniqueDesc(Handle h, TechniqueDesc* desc) const;
    Handle GetPass(Handle technique, uint32_t index) const;
    Result GetPassDesc(Handle h, PassDesc* desc) const;

    // Writes `count` numbers into a parameter's components from `first` on.
    Result SetNumbers(Handle h, const float* f, const int32_t* i, uint32_t count, const char* call);
    Result SetVectors(Handle h, const float* v4, uint32_t count, const char* call);
    Result SetMatrices(Handle h, const float* m16, uint32_t count, const char* call);
    Result SetTexture(Handle h, BaseTexture* texture);
    Result GetNumbers(Handle h, float* f, int32_t* i, uint32_t count) const;
    Result GetVector(Handle h, float* v4) const;
    Result GetMatrix(Handle h, float* m16) const;
    Result GetString(Handle h, const char** value) const;
    Result GetTexture(Handle h, BaseTexture** texture) const;

    Result SetTechnique(Handle h);
    Handle GetCurrentTechnique() const;
    Result Begin(uint32_t* passes, uint32_t flags);
    Result BeginPass(uint32_t pass);
    Result CommitChanges();
    Result EndPass();
    Result End();
    Result Notify(const char* call);

private:
    enum Kind : uint32_t { kParam = 1, kAnnotation = 2, kTechnique = 3, kPass = 4 };
    struct Annotation {
        ParamDesc desc{};
        const fx::Param* source = nullptr;
    };
    struct PassRef {
        uint32_t technique;
        uint32_t pass;
    };

    Handle MakeHandle(Kind kind, size_t index) const;
    // Index of the object a handle names, or -1 when it is not one of this effect's.
    int Decode(Handle h, Kind kind) const;
    const Annotation* AnnotationOf(Handle h) const;
    int FirstAnnotationOf(Handle object, uint32_t* count) const;
    void AddParam(const fx::Param& p, int parent, const std::string& prefix);
    void ApplySamplers(bool all);
    void Record(const std::string& call);

    Device* m_device;
    fx::EffectText m_text;
    std::unique_ptr<EffectBackend> m_backend;
    uint32_t m_serial;
    std::vector<EffectParam> m_params;
    std::vector<int> m_topLevel;
    std::vector<Annotation> m_annotations;
    std::vector<uint32_t> m_techniqueAnnotations;  // first annotation of each technique
    std::vector<PassRef> m_passes;
    std::vector<uint32_t> m_passAnnotations;
    std::vector<uint32_t> m_firstPass;  // of each technique, into m_passes
    int m_technique = -1;
    bool m_begun = false;
    int m_pass = -1;
};

// Parses and builds the runtime, or fills `errors` with the parser's message.
std::unique_ptr<EffectRuntime> BuildEffectRuntime(Device* device, const void* data, size_t size,
                                                  std::optional<std::string>* errors);

}  // namespace gfx
