#pragma once

// The effect text format (documented in data/engine/effects/README.md), parsed
// into plain records. The parser is bounded: every count, name and line has a
// limit, and any fault gives one error line instead of a partial effect.

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/gfx/effect.h"

namespace gfx::fx {

constexpr size_t kMaxFileBytes = 4u << 20;
constexpr size_t kMaxLineBytes = 8192;
constexpr size_t kMaxNameBytes = 128;
constexpr size_t kMaxStringBytes = 1024;
constexpr uint32_t kMaxParameters = 1024;  // top-level parameters and structure members together
constexpr uint32_t kMaxAnnotations = 64;   // per object
constexpr uint32_t kMaxMembers = 64;
constexpr uint32_t kMaxElements = 4096;
constexpr uint32_t kMaxComponents = 16384;
constexpr uint32_t kMaxSamplers = 16;
constexpr uint32_t kMaxTechniques = 256;
constexpr uint32_t kMaxPasses = 32;
constexpr uint32_t kMaxCodeBlocks = 256;

enum class Stage : uint8_t { Common, Vertex, Fragment };

// A parameter, a structure member or an annotation.
struct Param {
    std::string name;
    ParamClass paramClass = ParamClass::Scalar;
    ParamType type = ParamType::Void;
    uint32_t rows = 1;
    uint32_t columns = 1;
    uint32_t elements = 0;
    // Default value, one entry per component: floats for float types, ints
    // (0 or 1 for bool) otherwise. Empty means zeros.
    std::vector<float> floats;
    std::vector<int32_t> ints;
    std::string text;  // value of a string
    std::vector<Param> annotations;
    std::vector<Param> members;
    // Samplers: the texture parameter they read and the states they set.
    std::string texture;
    std::vector<std::pair<SamplerState, uint32_t>> samplerStates;
    int line = 0;

    uint32_t Components() const { return rows * columns * (elements ? elements : 1); }
};

struct Pass {
    std::string name;
    std::vector<Param> annotations;
    std::vector<std::pair<RenderState, uint32_t>> states;
    int vertex = -1;  // code block indices
    int fragment = -1;
    int line = 0;
};

struct Technique {
    std::string name;
    std::vector<Param> annotations;
    std::vector<Pass> passes;
    int line = 0;
};

struct Code {
    std::string name;
    Stage stage = Stage::Common;
    std::string text;
    int firstLine = 0;  // file line of the first line of text
};

struct EffectText {
    std::vector<Param> params;  // in file order: parameters, structures and samplers
    std::vector<Technique> techniques;
    std::vector<Code> code;
};

// Parses and checks an effect. On failure returns false and sets `error` to
// "line N: what is wrong".
bool ParseEffectText(const char* data, size_t size, EffectText* out, std::string* error);

// True for the numeric parameter types (bool, int, float).
inline bool IsNumeric(ParamType t) { return t == ParamType::Bool || t == ParamType::Int || t == ParamType::Float; }
inline bool IsTextureType(ParamType t) {
    return t == ParamType::Texture || t == ParamType::Texture1D || t == ParamType::Texture2D ||
           t == ParamType::Texture3D || t == ParamType::TextureCube;
}
inline bool IsSamplerType(ParamType t) {
    return t == ParamType::Sampler || t == ParamType::Sampler1D || t == ParamType::Sampler2D ||
           t == ParamType::Sampler3D || t == ParamType::SamplerCube;
}

}  // namespace gfx::fx
