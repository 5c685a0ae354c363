#include <algorithm>
#include <atomic>
#include <cstring>

#include "platform/gfx/effect.h"
#include "platform/gfx/effect_runtime.h"

namespace gfx {

namespace {

// Serials make handles of different effects differ, so a handle used on the
// wrong effect is refused instead of naming some other parameter.
std::atomic<uint32_t> g_nextSerial{1};

// Floats given to int parameters saturate (NaN gives 0) rather than overflow.
int32_t ToInt(float f) {
    if (!(f == f)) return 0;
    if (f >= 2147483647.0f) return INT32_MAX;
    if (f <= -2147483648.0f) return INT32_MIN;
    return static_cast<int32_t>(f);
}

// Stores component `k` of a numeric parameter in the parameter's own type: a
// float as given, an int as read from it, a bool as whether the float is non-zero.
void StoreNumber(EffectParam& e, size_t k, float f, int32_t i) {
    if (e.desc.type == ParamType::Float) {
        e.floats[k] = f;
    } else if (e.desc.type == ParamType::Int) {
        e.ints[k] = i;
    } else {
        e.ints[k] = f != 0.0f ? 1 : 0;
    }
}

ParamDesc DescOf(const fx::Param& p, const char* name) {
    ParamDesc d;
    d.name = name;
    d.paramClass = p.paramClass;
    d.type = p.type;
    d.rows = p.rows;
    d.columns = p.columns;
    d.elements = p.elements;
    d.annotations = static_cast<uint32_t>(p.annotations.size());
    d.structMembers = static_cast<uint32_t>(p.members.size());
    d.bytes = fx::IsNumeric(p.type) ? p.Components() * 4 : 4 * (p.elements ? p.elements : 1);
    return d;
}

}  // namespace

const char* ParamClassName(ParamClass c) {
    switch (c) {
        case ParamClass::Scalar: return "scalar";
        case ParamClass::Vector: return "vector";
        case ParamClass::MatrixRows: return "matrix (rows)";
        case ParamClass::MatrixColumns: return "matrix (columns)";
        case ParamClass::Object: return "object";
        case ParamClass::Struct: return "struct";
    }
    return "?";
}

const char* ParamTypeName(ParamType t) {
    switch (t) {
        case ParamType::Void: return "void";
        case ParamType::Bool: return "bool";
        case ParamType::Int: return "int";
        case ParamType::Float: return "float";
        case ParamType::String: return "string";
        case ParamType::Texture: return "texture";
        case ParamType::Texture1D: return "texture1D";
        case ParamType::Texture2D: return "texture2D";
        case ParamType::Texture3D: return "texture3D";
        case ParamType::TextureCube: return "textureCUBE";
        case ParamType::Sampler: return "sampler";
        case ParamType::Sampler1D: return "sampler1D";
        case ParamType::Sampler2D: return "sampler2D";
        case ParamType::Sampler3D: return "sampler3D";
        case ParamType::SamplerCube: return "samplerCUBE";
    }
    return "?";
}

EffectRuntime::EffectRuntime(Device* device, fx::EffectText text)
    : m_device(device), m_text(std::move(text)), m_serial(g_nextSerial.fetch_add(1)) {
    m_device->AddRef();
    for (const fx::Param& p : m_text.params) AddParam(p, -1, "");
    // Samplers take texture stages in order and find their texture parameter.
    uint32_t stage = 0;
    for (EffectParam& p : m_params) {
        if (!fx::IsSamplerType(p.desc.type)) continue;
        p.stage = stage++;
        for (const fx::Param& source : m_text.params) {
            if (source.name == p.name) p.samplerTexture = FindParam(source.texture);
        }
    }
    // Names point into the table's own strings, which stay put from now on.
    for (EffectParam& p : m_params) p.desc.name = p.name.c_str();
    for (size_t t = 0; t < m_text.techniques.size(); ++t) {
        const fx::Technique& tech = m_text.techniques[t];
        m_techniqueAnnotations.push_back(static_cast<uint32_t>(m_annotations.size()));
        for (const fx::Param& a : tech.annotations) m_annotations.push_back({DescOf(a, a.name.c_str()), &a});
        m_firstPass.push_back(static_cast<uint32_t>(m_passes.size()));
        for (size_t p = 0; p < tech.passes.size(); ++p) {
            m_passes.push_back({static_cast<uint32_t>(t), static_cast<uint32_t>(p)});
            m_passAnnotations.push_back(static_cast<uint32_t>(m_annotations.size()));
            for (const fx::Param& a : tech.passes[p].annotations) {
                m_annotations.push_back({DescOf(a, a.name.c_str()), &a});
            }
        }
    }
    if (!m_text.techniques.empty()) m_technique = 0;
}

void EffectRuntime::AddParam(const fx::Param& p, int parent, const std::string& prefix) {
    const int index = static_cast<int>(m_params.size());
    m_params.emplace_back();
    {
        EffectParam& e = m_params.back();
        e.name = p.name;
        e.fullName = prefix + p.name;
        e.parent = parent;
        e.text = p.text;
        e.samplerStates = p.samplerStates;
        const uint32_t n = fx::IsNumeric(p.type) ? p.Components() : 0;
        if (p.type == ParamType::Float) {
            e.floats = p.floats.empty() ? std::vector<float>(n, 0.0f) : p.floats;
        } else if (fx::IsNumeric(p.type)) {
            e.ints = p.ints.empty() ? std::vector<int32_t>(n, 0) : p.ints;
        }
        e.firstAnnotation = static_cast<uint32_t>(m_annotations.size());
    }
    for (const fx::Param& a : p.annotations) m_annotations.push_back({DescOf(a, a.name.c_str()), &a});
    if (parent < 0) m_topLevel.push_back(index);
    for (const fx::Param& m : p.members) {
        const int child = static_cast<int>(m_params.size());
        AddParam(m, index, p.name + ".");
        m_params[index].members.push_back(child);
    }
    m_params[index].desc = DescOf(p, nullptr);
}

EffectRuntime::~EffectRuntime() {
    if (m_backend) m_backend->Detach();
    for (EffectParam& p : m_params) {
        if (p.texture) p.texture->Release();
    }
    m_backend.reset();
    m_device->Release();
}

int EffectRuntime::FindParam(const std::string& fullName) const {
    for (size_t i = 0; i < m_params.size(); ++i) {
        if (m_params[i].fullName == fullName) return static_cast<int>(i);
    }
    return -1;
}

Handle EffectRuntime::MakeHandle(Kind kind, size_t index) const {
    return static_cast<Handle>(m_serial) << 32 | static_cast<Handle>(kind) << 24 | static_cast<Handle>(index + 1);
}

int EffectRuntime::Decode(Handle h, Kind kind) const {
    if (h >> 32 != m_serial || ((h >> 24) & 0xFF) != kind) return -1;
    const size_t index = static_cast<size_t>(h & 0xFFFFFF);
    size_t count = 0;
    switch (kind) {
        case kParam: count = m_params.size(); break;
        case kAnnotation: count = m_annotations.size(); break;
        case kTechnique: count = m_text.techniques.size(); break;
        case kPass: count = m_passes.size(); break;
    }
    return index >= 1 && index <= count ? static_cast<int>(index - 1) : -1;
}

EffectDesc EffectRuntime::GetDesc() const {
    EffectDesc d;
    d.parameters = static_cast<uint32_t>(m_topLevel.size());
    d.techniques = static_cast<uint32_t>(m_text.techniques.size());
    d.functions = static_cast<uint32_t>(m_text.code.size());
    return d;
}

Handle EffectRuntime::GetParameter(Handle parent, uint32_t index) const {
    if (parent == 0) return index < m_topLevel.size() ? MakeHandle(kParam, m_topLevel[index]) : 0;
    const int p = Decode(parent, kParam);
    if (p < 0 || index >= m_params[p].members.size()) return 0;
    return MakeHandle(kParam, m_params[p].members[index]);
}

Handle EffectRuntime::GetParameterByName(Handle parent, const char* name) const {
    if (!name) return 0;
    if (parent == 0) {
        for (int i : m_topLevel) {
            if (m_params[i].name == name) return MakeHandle(kParam, i);
        }
        // "struct.member" reaches a member directly.
        const int i = FindParam(name);
        return i >= 0 ? MakeHandle(kParam, i) : 0;
    }
    const int p = Decode(parent, kParam);
    if (p < 0) return 0;
    for (int m : m_params[p].members) {
        if (m_params[m].name == name) return MakeHandle(kParam, m);
    }
    return 0;
}

Result EffectRuntime::GetParameterDesc(Handle h, ParamDesc* desc) const {
    if (!desc) return Result::InvalidCall;
    const int p = Decode(h, kParam);
    if (p >= 0) {
        *desc = m_params[p].desc;
        return Result::Ok;
    }
    const int a = Decode(h, kAnnotation);
    if (a < 0) return Result::InvalidCall;
    *desc = m_annotations[a].desc;
    return Result::Ok;
}

int EffectRuntime::FirstAnnotationOf(Handle object, uint32_t* count) const {
    if (const int p = Decode(object, kParam); p >= 0) {
        *count = m_params[p].desc.annotations;
        return static_cast<int>(m_params[p].firstAnnotation);
    }
    if (const int t = Decode(object, kTechnique); t >= 0) {
        *count = static_cast<uint32_t>(m_text.techniques[t].annotations.size());
        return static_cast<int>(m_techniqueAnnotations[t]);
    }
    if (const int p = Decode(object, kPass); p >= 0) {
        const PassRef& ref = m_passes[p];
        *count = static_cast<uint32_t>(m_text.techniques[ref.technique].passes[ref.pass].annotations.size());
        return static_cast<int>(m_passAnnotations[p]);
    }
    return -1;
}

Handle EffectRuntime::GetAnnotation(Handle object, uint32_t index) const {
    uint32_t count = 0;
    const int first = FirstAnnotationOf(object, &count);
    if (first < 0 || index >= count) return 0;
    return MakeHandle(kAnnotation, first + index);
}

Handle EffectRuntime::GetAnnotationByName(Handle object, const char* name) const {
    uint32_t count = 0;
    const int first = FirstAnnotationOf(object, &count);
    if (first < 0 || !name) return 0;
    for (uint32_t i = 0; i < count; ++i) {
        if (m_annotations[first + i].source->name == name) return MakeHandle(kAnnotation, first + i);
    }
    return 0;
}

Handle EffectRuntime::GetTechnique(uint32_t index) const {
    return index < m_text.techniques.size() ? MakeHandle(kTechnique, index) : 0;
}

Handle EffectRuntime::GetTechniqueByName(const char* name) const {
    if (!name) return 0;
    for (size_t i = 0; i < m_text.techniques.size(); ++i) {
        if (m_text.techniques[i].name == name) return MakeHandle(kTechnique, i);
    }
    return 0;
}

Result EffectRuntime::GetTechniqueDesc(Handle h, TechniqueDesc* desc) const {
    const int t = Decode(h, kTechnique);
    if (t < 0 || !desc) return Result::InvalidCall;
    const fx::Technique& tech = m_text.techniques[t];
    desc->name = tech.name.c_str();
    desc->passes = static_cast<uint32_t>(tech.passes.size());
    desc->annotations = static_cast<uint32_t>(tech.annotations.size());
    return Result::Ok;
}

Handle EffectRuntime::GetPass(Handle technique, uint32_t index) const {
    const int t = Decode(technique, kTechnique);
    if (t < 0 || index >= m_text.techniques[t].passes.size()) return 0;
    return MakeHandle(kPass, m_firstPass[t] + index);
}

Result EffectRuntime::GetPassDesc(Handle h, PassDesc* desc) const {
    const int p = Decode(h, kPass);
    if (p < 0 || !desc) return Result::InvalidCall;
    const fx::Pass& pass = m_text.techniques[m_passes[p].technique].passes[m_passes[p].pass];
    desc->name = pass.name.c_str();
    desc->annotations = static_cast<uint32_t>(pass.annotations.size());
    return Result::Ok;
}

const EffectRuntime::Annotation* EffectRuntime::AnnotationOf(Handle h) const {
    const int a = Decode(h, kAnnotation);
    return a < 0 ? nullptr : &m_annotations[a];
}

Result EffectRuntime::SetNumbers(Handle h, const float* f, const int32_t* i, uint32_t count, const char* call) {
    const int p = Decode(h, kParam);
    if (p < 0 || (!f && !i)) return Result::InvalidCall;
    EffectParam& e = m_params[p];
    if (!fx::IsNumeric(e.desc.type)) return Result::InvalidCall;
    const size_t n = std::min<size_t>(count, e.floats.size() + e.ints.size());
    // A bool reads the float, which for an int is zero exactly when the int is.
    for (size_t k = 0; k < n; ++k) StoreNumber(e, k, f ? f[k] : static_cast<float>(i[k]), i ? i[k] : ToInt(f[k]));
    e.dirty = true;
    Record(std::string(call) + "(" + e.fullName + ")");
    return Result::Ok;
}

Result EffectRuntime::SetVectors(Handle h, const float* v4, uint32_t count, const char* call) {
    const int p = Decode(h, kParam);
    if (p < 0 || !v4) return Result::InvalidCall;
    EffectParam& e = m_params[p];
    if (!fx::IsNumeric(e.desc.type) || (e.desc.paramClass != ParamClass::Scalar && e.desc.paramClass != ParamClass::Vector)) {
        return Result::InvalidCall;
    }
    const uint32_t columns = e.desc.columns;
    const uint32_t elements = std::min(count, e.desc.elements ? e.desc.elements : 1u);
    for (uint32_t el = 0; el < elements; ++el) {
        for (uint32_t c = 0; c < columns; ++c) {
            const float v = v4[el * 4 + c];
            StoreNumber(e, el * columns + c, v, ToInt(v));
        }
    }
    e.dirty = true;
    Record(std::string(call) + "(" + e.fullName + ")");
    return Result::Ok;
}

Result EffectRuntime::SetMatrices(Handle h, const float* m16, uint32_t count, const char* call) {
    const int p = Decode(h, kParam);
    if (p < 0 || !m16) return Result::InvalidCall;
    EffectParam& e = m_params[p];
    if (e.desc.type != ParamType::Float ||
        (e.desc.paramClass != ParamClass::MatrixRows && e.desc.paramClass != ParamClass::MatrixColumns)) {
        return Result::InvalidCall;
    }
    const uint32_t rows = e.desc.rows, columns = e.desc.columns;
    const uint32_t elements = std::min(count, e.desc.elements ? e.desc.elements : 1u);
    for (uint32_t el = 0; el < elements; ++el) {
        for (uint32_t r = 0; r < rows; ++r) {
            for (uint32_t c = 0; c < columns; ++c) e.floats[(el * rows + r) * columns + c] = m16[el * 16 + r * 4 + c];
        }
    }
    e.dirty = true;
    Record(std::string(call) + "(" + e.fullName + ")");
    return Result::Ok;
}

Result EffectRuntime::SetTexture(Handle h, BaseTexture* texture) {
    const int p = Decode(h, kParam);
    if (p < 0) return Result::InvalidCall;
    EffectParam& e = m_params[p];
    if (!fx::IsTextureType(e.desc.type) || e.desc.elements != 0) return Result::InvalidCall;
    if (texture) texture->AddRef();
    if (e.texture) e.texture->Release();
    e.texture = texture;
    e.dirty = true;
    Record("SetTexture(" + e.fullName + (texture ? ")" : ", null)"));
    return Result::Ok;
}

Result EffectRuntime::GetNumbers(Handle h, float* f, int32_t* i, uint32_t count) const {
    const std::vector<float>* floats = nullptr;
    const std::vector<int32_t>* ints = nullptr;
    if (const int p = Decode(h, kParam); p >= 0) {
        floats = &m_params[p].floats;
        ints = &m_params[p].ints;
        if (!fx::IsNumeric(m_params[p].desc.type)) return Result::InvalidCall;
    } else if (const Annotation* a = AnnotationOf(h)) {
        if (!fx::IsNumeric(a->desc.type)) return Result::InvalidCall;
        floats = &a->source->floats;
        ints = &a->source->ints;
    } else {
        return Result::InvalidCall;
    }
    for (uint32_t k = 0; k < count; ++k) {
        float fv = 0.0f;
        int32_t iv = 0;
        if (k < floats->size()) {
            fv = (*floats)[k];
            iv = ToInt(fv);
        } else if (k < ints->size()) {
            iv = (*ints)[k];
            fv = static_cast<float>(iv);
        }
        if (f) f[k] = fv;
        if (i) i[k] = iv;
    }
    return Result::Ok;
}

Result EffectRuntime::GetVector(Handle h, float* v4) const {
    const int p = Decode(h, kParam);
    if (p < 0 || !v4) return Result::InvalidCall;
    const EffectParam& e = m_params[p];
    if (e.desc.paramClass != ParamClass::Scalar && e.desc.paramClass != ParamClass::Vector) return Result::InvalidCall;
    float values[4] = {};
    const Result r = GetNumbers(h, values, nullptr, e.desc.columns);
    std::memcpy(v4, values, sizeof values);
    return r;
}

Result EffectRuntime::GetMatrix(Handle h, float* m16) const {
    const int p = Decode(h, kParam);
    if (p < 0 || !m16) return Result::InvalidCall;
    const EffectParam& e = m_params[p];
    if (e.desc.paramClass != ParamClass::MatrixRows && e.desc.paramClass != ParamClass::MatrixColumns) {
        return Result::InvalidCall;
    }
    for (uint32_t k = 0; k < 16; ++k) m16[k] = 0.0f;
    for (uint32_t r = 0; r < e.desc.rows; ++r) {
        for (uint32_t c = 0; c < e.desc.columns; ++c) m16[r * 4 + c] = e.floats[r * e.desc.columns + c];
    }
    return Result::Ok;
}

Result EffectRuntime::GetString(Handle h, const char** value) const {
    if (!value) return Result::InvalidCall;
    if (const int p = Decode(h, kParam); p >= 0 && m_params[p].desc.type == ParamType::String) {
        *value = m_params[p].text.c_str();
        return Result::Ok;
    }
    if (const Annotation* a = AnnotationOf(h); a && a->desc.type == ParamType::String) {
        *value = a->source->text.c_str();
        return Result::Ok;
    }
    return Result::InvalidCall;
}

Result EffectRuntime::GetTexture(Handle h, BaseTexture** texture) const {
    const int p = Decode(h, kParam);
    if (p < 0 || !texture || !fx::IsTextureType(m_params[p].desc.type)) return Result::InvalidCall;
    *texture = m_params[p].texture;
    if (*texture) (*texture)->AddRef();
    return Result::Ok;
}

Result EffectRuntime::SetTechnique(Handle h) {
    const int t = Decode(h, kTechnique);
    if (t < 0 || m_begun) return Result::InvalidCall;
    m_technique = t;
    Record("SetTechnique(" + m_text.techniques[t].name + ")");
    return Result::Ok;
}

Handle EffectRuntime::GetCurrentTechnique() const { return m_technique < 0 ? 0 : MakeHandle(kTechnique, m_technique); }

Result EffectRuntime::Begin(uint32_t* passes, uint32_t /*flags*/) {
    if (m_begun || m_technique < 0) return Result::InvalidCall;
    m_begun = true;
    if (passes) *passes = static_cast<uint32_t>(m_text.techniques[m_technique].passes.size());
    Record("Begin");
    return Result::Ok;
}

void EffectRuntime::ApplySamplers(bool all) {
    for (const EffectParam& s : m_params) {
        const int texture = s.samplerTexture;
        if (texture < 0) continue;
        if (all || m_params[texture].dirty) m_device->SetTexture(s.stage, m_params[texture].texture);
        if (all) {
            for (const auto& [state, value] : s.samplerStates) m_device->SetSamplerState(s.stage, state, value);
        }
    }
}

Result EffectRuntime::BeginPass(uint32_t pass) {
    if (!m_begun || m_pass >= 0 || pass >= m_text.techniques[m_technique].passes.size()) return Result::InvalidCall;
    m_pass = static_cast<int>(pass);
    Record("BeginPass(" + std::to_string(pass) + ")");
    const fx::Pass& p = m_text.techniques[m_technique].passes[pass];
    if (m_backend) m_backend->ApplyPass(static_cast<uint32_t>(m_technique), pass);
    for (const auto& [state, value] : p.states) m_device->SetRenderState(state, value);
    ApplySamplers(true);
    if (m_backend) m_backend->Upload(*this, true);
    for (EffectParam& e : m_params) e.dirty = false;
    return Result::Ok;
}

Result EffectRuntime::CommitChanges() {
    if (m_pass < 0) return Result::InvalidCall;
    Record("CommitChanges");
    ApplySamplers(false);
    if (m_backend) m_backend->Upload(*this, false);
    for (EffectParam& e : m_params) e.dirty = false;
    return Result::Ok;
}

Result EffectRuntime::EndPass() {
    if (m_pass < 0) return Result::InvalidCall;
    m_pass = -1;
    Record("EndPass");
    return Result::Ok;
}

Result EffectRuntime::End() {
    if (!m_begun) return Result::InvalidCall;
    m_pass = -1;
    m_begun = false;
    Record("End");
    return Result::Ok;
}

Result EffectRuntime::Notify(const char* call) {
    Record(call);
    return Result::Ok;
}

void EffectRuntime::Record(const std::string& call) {
    if (m_backend && m_backend->Recording()) m_backend->Record(call);
}

std::unique_ptr<EffectRuntime> BuildEffectRuntime(Device* device, const void* data, size_t size,
                                                  std::optional<std::string>* errors) {
    fx::EffectText text;
    std::string error;
    if (!data || !fx::ParseEffectText(static_cast<const char*>(data), size, &text, &error)) {
        if (errors) *errors = data ? error : std::string("no effect text was given");
        return nullptr;
    }
    return std::make_unique<EffectRuntime>(device, std::move(text));
}

// Effect forwards to its runtime.

Effect::Effect(EffectRuntime* runtime) : m_runtime(runtime) {}
Effect::~Effect() { delete m_runtime; }

EffectDesc Effect::GetDesc() const { return m_runtime->GetDesc(); }
Handle Effect::GetParameter(Handle parent, uint32_t index) const { return m_runtime->GetParameter(parent, index); }
Handle Effect::GetParameterByName(Handle parent, const char* name) const {
    return m_runtime->GetParameterByName(parent, name);
}
Result Effect::GetParameterDesc(Handle h, ParamDesc* desc) const { return m_runtime->GetParameterDesc(h, desc); }
Handle Effect::GetAnnotation(Handle object, uint32_t index) const { return m_runtime->GetAnnotation(object, index); }
Handle Effect::GetAnnotationByName(Handle object, const char* name) const {
    return m_runtime->GetAnnotationByName(object, name);
}
Handle Effect::GetTechnique(uint32_t index) const { return m_runtime->GetTechnique(index); }
Handle Effect::GetTechniqueByName(const char* name) const { return m_runtime->GetTechniqueByName(name); }
Result Effect::GetTechniqueDesc(Handle h, TechniqueDesc* desc) const { return m_runtime->GetTechniqueDesc(h, desc); }
Handle Effect::GetPass(Handle technique, uint32_t index) const { return m_runtime->GetPass(technique, index); }
Result Effect::GetPassDesc(Handle h, PassDesc* desc) const { return m_runtime->GetPassDesc(h, desc); }

Result Effect::SetBool(Handle h, bool value) {
    const int32_t v = value ? 1 : 0;
    return m_runtime->SetNumbers(h, nullptr, &v, 1, "SetBool");
}
Result Effect::SetBoolArray(Handle h, const bool* values, uint32_t count) {
    if (!values) return Result::InvalidCall;
    std::vector<int32_t> v(values, values + count);
    return m_runtime->SetNumbers(h, nullptr, v.data(), count, "SetBoolArray");
}
Result Effect::SetInt(Handle h, int32_t value) { return m_runtime->SetNumbers(h, nullptr, &value, 1, "SetInt"); }
Result Effect::SetIntArray(Handle h, const int32_t* values, uint32_t count) {
    return m_runtime->SetNumbers(h, nullptr, values, count, "SetIntArray");
}
Result Effect::SetFloat(Handle h, float value) { return m_runtime->SetNumbers(h, &value, nullptr, 1, "SetFloat"); }
Result Effect::SetFloatArray(Handle h, const float* values, uint32_t count) {
    return m_runtime->SetNumbers(h, values, nullptr, count, "SetFloatArray");
}
Result Effect::SetVector(Handle h, const float* vector4) { return m_runtime->SetVectors(h, vector4, 1, "SetVector"); }
Result Effect::SetVectorArray(Handle h, const float* vectors4, uint32_t count) {
    return m_runtime->SetVectors(h, vectors4, count, "SetVectorArray");
}
Result Effect::SetMatrix(Handle h, const float* matrix16) { return m_runtime->SetMatrices(h, matrix16, 1, "SetMatrix"); }
Result Effect::SetMatrixArray(Handle h, const float* matrices16, uint32_t count) {
    return m_runtime->SetMatrices(h, matrices16, count, "SetMatrixArray");
}
Result Effect::SetTexture(Handle h, BaseTexture* texture) { return m_runtime->SetTexture(h, texture); }

Result Effect::GetBool(Handle h, bool* value) const {
    int32_t v = 0;
    const Result r = m_runtime->GetNumbers(h, nullptr, &v, 1);
    if (value && Succeeded(r)) *value = v != 0;
    return value ? r : Result::InvalidCall;
}
Result Effect::GetInt(Handle h, int32_t* value) const {
    return value ? m_runtime->GetNumbers(h, nullptr, value, 1) : Result::InvalidCall;
}
Result Effect::GetFloat(Handle h, float* value) const {
    return value ? m_runtime->GetNumbers(h, value, nullptr, 1) : Result::InvalidCall;
}
Result Effect::GetFloatArray(Handle h, float* values, uint32_t count) const {
    return values ? m_runtime->GetNumbers(h, values, nullptr, count) : Result::InvalidCall;
}
Result Effect::GetVector(Handle h, float* vector4) const { return m_runtime->GetVector(h, vector4); }
Result Effect::GetMatrix(Handle h, float* matrix16) const { return m_runtime->GetMatrix(h, matrix16); }
Result Effect::GetString(Handle h, const char** value) const { return m_runtime->GetString(h, value); }
Result Effect::GetTexture(Handle h, BaseTexture** texture) const { return m_runtime->GetTexture(h, texture); }

Result Effect::SetTechnique(Handle h) { return m_runtime->SetTechnique(h); }
Handle Effect::GetCurrentTechnique() const { return m_runtime->GetCurrentTechnique(); }
Result Effect::Begin(uint32_t* passes, uint32_t flags) { return m_runtime->Begin(passes, flags); }
Result Effect::BeginPass(uint32_t pass) { return m_runtime->BeginPass(pass); }
Result Effect::CommitChanges() { return m_runtime->CommitChanges(); }
Result Effect::EndPass() { return m_runtime->EndPass(); }
Result Effect::End() { return m_runtime->End(); }
Result Effect::OnLostDevice() { return m_runtime->Notify("OnLostDevice"); }
Result Effect::OnResetDevice() { return m_runtime->Notify("OnResetDevice"); }

}  // namespace gfx
