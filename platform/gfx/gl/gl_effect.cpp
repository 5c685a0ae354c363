#include "platform/gfx/gl/gl_effect.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "platform/gfx/effect_runtime.h"
#include "platform/gfx/gl/gl_device.h"

namespace gfx::gl {

namespace {

// Vertex inputs by name, at the slots vertex declarations feed.
struct Input {
    const char* name;
    DeclUsage usage;
    uint32_t index;
};
constexpr Input kInputs[] = {
    {"a_Position", DeclUsage::Position, 0},   {"a_Normal", DeclUsage::Normal, 0},
    {"a_Tangent", DeclUsage::Tangent, 0},     {"a_Binormal", DeclUsage::Binormal, 0},
    {"a_Color", DeclUsage::Color, 0},         {"a_TexCoord0", DeclUsage::TexCoord, 0},
    {"a_TexCoord1", DeclUsage::TexCoord, 1},  {"a_TexCoord2", DeclUsage::TexCoord, 2},
    {"a_TexCoord3", DeclUsage::TexCoord, 3},  {"a_TexCoord4", DeclUsage::TexCoord, 4},
    {"a_TexCoord5", DeclUsage::TexCoord, 5},  {"a_TexCoord6", DeclUsage::TexCoord, 6},
    {"a_TexCoord7", DeclUsage::TexCoord, 7},  {"a_BlendIndices", DeclUsage::BlendIndices, 0},
    {"a_BlendWeight", DeclUsage::BlendWeight, 0},
};

// The effect's main becomes a function; the real main moves pixel centres onto
// integer coordinates, turns y around for the top-first framebuffers and maps
// depth from 0..1 to GL's -1..1.
constexpr const char* kVertexPrologue = "#version 330 core\n#define main gfx_EffectMain\n";
constexpr const char* kVertexEpilogue =
    "#line 1000000\n"
    "#undef main\n"
    "uniform vec4 gfx_PixelFix;\n"
    "void main() {\n"
    "    gfx_EffectMain();\n"
    "    gl_Position.x += gfx_PixelFix.x * gl_Position.w;\n"
    "    gl_Position.y = gfx_PixelFix.y * gl_Position.w - gl_Position.y;\n"
    "    gl_Position.z = 2.0 * gl_Position.z - gl_Position.w;\n"
    "}\n";
constexpr const char* kFragmentPrologue = "#version 330 core\n";

// The GL type a parameter's uniform must have, or 0 when it has none.
GLenum UniformTypeOf(const ParamDesc& d) {
    static constexpr GLenum kFloat[] = {GL_FLOAT, GL_FLOAT_VEC2, GL_FLOAT_VEC3, GL_FLOAT_VEC4};
    static constexpr GLenum kInt[] = {GL_INT, GL_INT_VEC2, GL_INT_VEC3, GL_INT_VEC4};
    static constexpr GLenum kBool[] = {GL_BOOL, GL_BOOL_VEC2, GL_BOOL_VEC3, GL_BOOL_VEC4};
    // [columns - 2][rows - 2]: a matrix of R rows and C columns is GLSL's matCxR.
    static constexpr GLenum kMatrix[3][3] = {{GL_FLOAT_MAT2, GL_FLOAT_MAT2x3, GL_FLOAT_MAT2x4},
                                             {GL_FLOAT_MAT3x2, GL_FLOAT_MAT3, GL_FLOAT_MAT3x4},
                                             {GL_FLOAT_MAT4x2, GL_FLOAT_MAT4x3, GL_FLOAT_MAT4}};
    if (d.type == ParamType::Sampler2D) return GL_SAMPLER_2D;
    if (d.type == ParamType::SamplerCube) return GL_SAMPLER_CUBE;
    const uint32_t c = d.columns;
    if (c < 1 || c > 4) return 0;
    switch (d.paramClass) {
        case ParamClass::Scalar:
        case ParamClass::Vector:
            if (d.type == ParamType::Float) return kFloat[c - 1];
            if (d.type == ParamType::Int) return kInt[c - 1];
            if (d.type == ParamType::Bool) return kBool[c - 1];
            return 0;
        case ParamClass::MatrixRows:
        case ParamClass::MatrixColumns:
            if (d.type != ParamType::Float || c < 2 || d.rows < 2 || d.rows > 4) return 0;
            return kMatrix[c - 2][d.rows - 2];
        default: return 0;
    }
}

std::string DeclaredAs(const ParamDesc& d) {
    std::string s = ParamTypeName(d.type);
    if (d.paramClass == ParamClass::Vector) s += std::to_string(d.columns);
    if (d.paramClass == ParamClass::MatrixRows || d.paramClass == ParamClass::MatrixColumns) {
        s += std::to_string(d.rows);
        s += 'x';
        s += std::to_string(d.columns);
    }
    if (d.elements) {
        s += '[';
        s += std::to_string(d.elements);
        s += ']';
    }
    return s;
}

class GlEffectBackend final : public EffectBackend {
public:
    explicit GlEffectBackend(GlDevice* device) : m_device(device) {}
    ~GlEffectBackend() override { Detach(); }

    bool Build(const EffectRuntime& effect, std::string* errors);
    void ApplyPass(uint32_t technique, uint32_t pass) override {
        m_current = m_programs[m_firstPass[technique] + pass].get();
        m_device->UseProgram(m_current);
    }
    void Upload(const EffectRuntime& effect, bool all) override;
    void Detach() override;

private:
    GLuint Compile(const EffectRuntime& effect, int code, std::string* errors);
    bool Link(const EffectRuntime& effect, const fx::Technique& tech, const fx::Pass& pass, GlProgram* program,
              std::string* errors);

    GlDevice* m_device;
    std::vector<GLuint> m_shaders;  // per code block, 0 until compiled
    std::vector<std::unique_ptr<GlProgram>> m_programs;
    std::vector<size_t> m_firstPass;
    GlProgram* m_current = nullptr;
};

GLuint GlEffectBackend::Compile(const EffectRuntime& effect, int index, std::string* errors) {
    if (m_shaders[index]) return m_shaders[index];
    const Api& gl = m_device->GL();
    const fx::EffectText& text = effect.Text();
    const fx::Code& code = text.code[index];
    const bool vertex = code.stage == fx::Stage::Vertex;
    std::string source = vertex ? kVertexPrologue : kFragmentPrologue;
    // Shared code first; #line keeps the driver's messages on the file's lines.
    for (const fx::Code& common : text.code) {
        if (common.stage != fx::Stage::Common) continue;
        source += "#line " + std::to_string(common.firstLine) + "\n" + common.text;
    }
    source += "#line " + std::to_string(code.firstLine) + "\n" + code.text;
    if (vertex) source += kVertexEpilogue;
    const GLuint shader = gl.CreateShader(vertex ? GL_VERTEX_SHADER : GL_FRAGMENT_SHADER);
    const char* sources[] = {source.c_str()};
    gl.ShaderSource(shader, 1, sources, nullptr);
    gl.CompileShader(shader);
    GLint ok = GL_FALSE, length = 0;
    gl.GetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        gl.GetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
        std::string log(static_cast<size_t>(std::max(length, 1)), '\0');
        gl.GetShaderInfoLog(shader, static_cast<GLsizei>(log.size()), nullptr, log.data());
        log.resize(std::strlen(log.c_str()));
        *errors = std::string(vertex ? "Vertex" : "Fragment") + " code '" + code.name + "' failed to compile:\n" + log;
        gl.DeleteShader(shader);
        return 0;
    }
    m_shaders[index] = shader;
    return shader;
}

bool GlEffectBackend::Link(const EffectRuntime& effect, const fx::Technique& tech, const fx::Pass& pass,
                           GlProgram* program, std::string* errors) {
    const Api& gl = m_device->GL();
    const std::string where = "Pass '" + pass.name + "' of technique '" + tech.name + "'";
    const GLuint vs = Compile(effect, pass.vertex, errors);
    if (!vs) return false;
    const GLuint fs = Compile(effect, pass.fragment, errors);
    if (!fs) return false;
    program->name = gl.CreateProgram();
    gl.AttachShader(program->name, vs);
    gl.AttachShader(program->name, fs);
    for (const Input& in : kInputs) {
        gl.BindAttribLocation(program->name, static_cast<GLuint>(AttributeSlot(in.usage, in.index)), in.name);
    }
    gl.LinkProgram(program->name);
    GLint ok = GL_FALSE;
    gl.GetProgramiv(program->name, GL_LINK_STATUS, &ok);
    if (!ok) {
        GLint length = 0;
        gl.GetProgramiv(program->name, GL_INFO_LOG_LENGTH, &length);
        std::string log(static_cast<size_t>(std::max(length, 1)), '\0');
        gl.GetProgramInfoLog(program->name, static_cast<GLsizei>(log.size()), nullptr, log.data());
        log.resize(std::strlen(log.c_str()));
        *errors = where + " failed to link:\n" + log;
        return false;
    }
    // Every uniform the code uses must be a declared parameter of the same type.
    GLint count = 0;
    gl.GetProgramiv(program->name, GL_ACTIVE_UNIFORMS, &count);
    std::vector<std::pair<GLint, uint32_t>> samplerUnits;
    for (GLint i = 0; i < count; ++i) {
        char buffer[256];
        GLsizei length = 0;
        GLint size = 0;
        GLenum type = 0;
        gl.GetActiveUniform(program->name, static_cast<GLuint>(i), sizeof buffer, &length, &size, &type, buffer);
        std::string name(buffer, static_cast<size_t>(std::max(length, 0)));
        const GLint location = gl.GetUniformLocation(program->name, name.c_str());
        const bool array = name.size() > 3 && name.compare(name.size() - 3, 3, "[0]") == 0;
        if (array) name.resize(name.size() - 3);
        if (name == "gfx_PixelFix") {
            program->pixelFix = location;
            continue;
        }
        const int param = effect.FindParam(name);
        if (param < 0) {
            *errors = where + ": uniform '" + name + "' is not declared as a parameter";
            return false;
        }
        const ParamDesc& desc = effect.Params()[param].desc;
        const GLenum expected = UniformTypeOf(desc);
        const bool sizeFits = desc.elements ? (array && static_cast<uint32_t>(size) <= desc.elements) : (!array && size == 1);
        if (expected == 0 || expected != type || !sizeFits) {
            *errors = where + ": uniform '" + name + "' does not match its declaration as " + DeclaredAs(desc);
            return false;
        }
        if (type == GL_SAMPLER_2D || type == GL_SAMPLER_CUBE) {
            samplerUnits.emplace_back(location, effect.Params()[param].stage);
        } else {
            program->uniforms.push_back({param, location, size});
        }
    }
    // Samplers read the texture stage their declaration order gave them.
    GlProgram* previous = m_device->CurrentProgram();
    m_device->UseProgram(program);
    for (const auto& [location, unit] : samplerUnits) gl.Uniform1i(location, static_cast<GLint>(unit));
    m_device->UseProgram(previous);
    return true;
}

bool GlEffectBackend::Build(const EffectRuntime& effect, std::string* errors) {
    const fx::EffectText& text = effect.Text();
    m_shaders.assign(text.code.size(), 0);
    for (const fx::Technique& tech : text.techniques) {
        m_firstPass.push_back(m_programs.size());
        for (const fx::Pass& pass : tech.passes) {
            m_programs.push_back(std::make_unique<GlProgram>());
            if (!Link(effect, tech, pass, m_programs.back().get(), errors)) return false;
        }
    }
    return true;
}

void GlEffectBackend::Upload(const EffectRuntime& effect, bool all) {
    if (!m_current) return;
    const Api& gl = m_device->GL();
    m_device->MakeCurrent();
    if (m_device->CurrentProgram() != m_current) m_device->UseProgram(m_current);
    for (const GlUniform& u : m_current->uniforms) {
        const EffectParam& p = effect.Params()[u.param];
        if (!all && !p.dirty) continue;
        const ParamDesc& d = p.desc;
        const GLsizei n = u.count;
        if (d.paramClass == ParamClass::MatrixRows || d.paramClass == ParamClass::MatrixColumns) {
            // Rows of the engine's matrices become rows in GLSL: vector * matrix works as written.
            const float* v = p.floats.data();
            switch ((d.columns - 2) * 3 + (d.rows - 2)) {
                case 0: gl.UniformMatrix2fv(u.location, n, GL_TRUE, v); break;
                case 1: gl.UniformMatrix2x3fv(u.location, n, GL_TRUE, v); break;
                case 2: gl.UniformMatrix2x4fv(u.location, n, GL_TRUE, v); break;
                case 3: gl.UniformMatrix3x2fv(u.location, n, GL_TRUE, v); break;
                case 4: gl.UniformMatrix3fv(u.location, n, GL_TRUE, v); break;
                case 5: gl.UniformMatrix3x4fv(u.location, n, GL_TRUE, v); break;
                case 6: gl.UniformMatrix4x2fv(u.location, n, GL_TRUE, v); break;
                case 7: gl.UniformMatrix4x3fv(u.location, n, GL_TRUE, v); break;
                case 8: gl.UniformMatrix4fv(u.location, n, GL_TRUE, v); break;
                default: break;
            }
        } else if (d.type == ParamType::Float) {
            const float* v = p.floats.data();
            switch (d.columns) {
                case 1: gl.Uniform1fv(u.location, n, v); break;
                case 2: gl.Uniform2fv(u.location, n, v); break;
                case 3: gl.Uniform3fv(u.location, n, v); break;
                case 4: gl.Uniform4fv(u.location, n, v); break;
                default: break;
            }
        } else {
            const GLint* v = p.ints.data();
            switch (d.columns) {
                case 1: gl.Uniform1iv(u.location, n, v); break;
                case 2: gl.Uniform2iv(u.location, n, v); break;
                case 3: gl.Uniform3iv(u.location, n, v); break;
                case 4: gl.Uniform4iv(u.location, n, v); break;
                default: break;
            }
        }
    }
}

void GlEffectBackend::Detach() {
    if (m_programs.empty() && m_shaders.empty()) return;
    const Api& gl = m_device->GL();
    m_device->MakeCurrent();
    for (auto& program : m_programs) {
        m_device->ForgetProgram(program.get());
        if (program->name) gl.DeleteProgram(program->name);
    }
    for (GLuint shader : m_shaders) {
        if (shader) gl.DeleteShader(shader);
    }
    m_programs.clear();
    m_shaders.clear();
    m_current = nullptr;
}

}  // namespace

Result CreateGlEffect(GlDevice* device, const void* data, size_t size, Effect** effect,
                      std::optional<std::string>* errors) {
    if (errors) errors->reset();
    if (!effect) return Result::InvalidCall;
    *effect = nullptr;
    std::unique_ptr<EffectRuntime> runtime = BuildEffectRuntime(device, data, size, errors);
    if (!runtime) return Result::CompileFailed;
    auto backend = std::make_unique<GlEffectBackend>(device);
    std::string text;
    if (!backend->Build(*runtime, &text)) {
        if (errors) *errors = text;
        return Result::CompileFailed;
    }
    runtime->SetBackend(std::move(backend));
    *effect = new Effect(runtime.release());
    return Result::Ok;
}

}  // namespace gfx::gl
