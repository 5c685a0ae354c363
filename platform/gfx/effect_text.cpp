#include "platform/gfx/effect_text.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <string_view>

namespace gfx::fx {

namespace {

struct NameValue {
    const char* name;
    uint32_t value;
};

constexpr NameValue kBools[] = {{"true", 1}, {"false", 0}, {"1", 1}, {"0", 0}};
constexpr NameValue kCulls[] = {{"None", 1}, {"CW", 2}, {"CCW", 3}};
constexpr NameValue kFills[] = {{"Point", 1}, {"Wireframe", 2}, {"Solid", 3}};
constexpr NameValue kCompares[] = {{"Never", 1},   {"Less", 2},     {"Equal", 3},        {"LessEqual", 4},
                                   {"Greater", 5}, {"NotEqual", 6}, {"GreaterEqual", 7}, {"Always", 8}};
constexpr NameValue kBlends[] = {{"Zero", 1},         {"One", 2},          {"SrcColor", 3},     {"InvSrcColor", 4},
                                 {"SrcAlpha", 5},     {"InvSrcAlpha", 6},  {"DestAlpha", 7},    {"InvDestAlpha", 8},
                                 {"DestColor", 9},    {"InvDestColor", 10}, {"SrcAlphaSat", 11}, {"BlendFactor", 14},
                                 {"InvBlendFactor", 15}};
constexpr NameValue kBlendOps[] = {{"Add", 1}, {"Subtract", 2}, {"RevSubtract", 3}, {"Min", 4}, {"Max", 5}};
constexpr NameValue kAddresses[] = {{"Wrap", 1}, {"Mirror", 2}, {"Clamp", 3}, {"Border", 4}, {"MirrorOnce", 5}};
constexpr NameValue kFilters[] = {{"None", 0}, {"Point", 1}, {"Linear", 2}, {"Anisotropic", 3}};

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

template <size_t N>
bool LookUp(const NameValue (&table)[N], std::string_view word, uint32_t* value) {
    for (const NameValue& nv : table) {
        if (EqualNoCase(nv.name, word)) {
            *value = nv.value;
            return true;
        }
    }
    return false;
}

bool IsIdentifier(std::string_view s) {
    if (s.empty() || s.size() > kMaxNameBytes) return false;
    const auto alpha = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; };
    if (!alpha(s[0])) return false;
    for (char c : s) {
        if (!alpha(c) && !(c >= '0' && c <= '9')) return false;
    }
    return true;
}

bool ParseUnsigned(std::string_view s, uint32_t* value) {
    int base = 10;
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        base = 16;
        s.remove_prefix(2);
    }
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), *value, base);
    return ec == std::errc() && end == s.data() + s.size() && !s.empty();
}

bool ParseInt(std::string_view s, int32_t* value) {
    bool negative = false;
    if (!s.empty() && (s[0] == '-' || s[0] == '+')) {
        negative = s[0] == '-';
        s.remove_prefix(1);
    }
    uint32_t magnitude = 0;
    if (!ParseUnsigned(s, &magnitude)) return false;
    if (negative ? magnitude > 0x80000000u : magnitude > 0x7FFFFFFFu) return false;
    *value = negative ? static_cast<int32_t>(0u - magnitude) : static_cast<int32_t>(magnitude);
    return true;
}

bool ParseFloat(std::string_view s, float* value) {
    if (!s.empty() && s[0] == '+') s.remove_prefix(1);
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), *value, std::chars_format::general);
    return ec == std::errc() && end == s.data() + s.size() && !s.empty() && std::isfinite(*value);
}

// A colour-write mask: a number up to 15, or the letters R, G, B and A in either case.
bool ParseColorWrite(std::string_view w, uint32_t* value) {
    if (ParseUnsigned(w, value)) return *value <= colorwrite::kAll;
    if (w.empty()) return false;
    for (char c : w) {
        const char* const letters = "RGBA";
        const char* hit = std::strchr(letters, c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
        if (!hit || c == 0) return false;
        *value |= 1u << (hit - letters);
    }
    return true;
}

struct Token {
    std::string text;
    bool quoted = false;
};

// Splits a line into words, "=" and quoted strings; commas separate like spaces.
bool Tokenize(std::string_view line, std::vector<Token>* tokens, std::string* why) {
    tokens->clear();
    size_t i = 0;
    while (i < line.size()) {
        const char c = line[i];
        if (c == ' ' || c == '\t' || c == ',') {
            ++i;
        } else if (c == '#' || (c == '/' && i + 1 < line.size() && line[i + 1] == '/')) {
            break;
        } else if (c == '=') {
            tokens->push_back({"=", false});
            ++i;
        } else if (c == '"') {
            Token t{"", true};
            ++i;
            bool closed = false;
            while (i < line.size()) {
                char d = line[i++];
                if (d == '"') {
                    closed = true;
                    break;
                }
                if (d == '\\' && i < line.size()) {
                    const char e = line[i++];
                    d = e == 'n' ? '\n' : e == 't' ? '\t' : e;
                }
                if (t.text.size() >= kMaxStringBytes) {
                    *why = "string is too long";
                    return false;
                }
                t.text.push_back(d);
            }
            if (!closed) {
                *why = "string has no closing quote";
                return false;
            }
            tokens->push_back(std::move(t));
        } else {
            const size_t start = i;
            while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != ',' && line[i] != '=' &&
                   line[i] != '"' && line[i] != '#' && !(line[i] == '/' && i + 1 < line.size() && line[i + 1] == '/')) {
                ++i;
            }
            tokens->push_back({std::string(line.substr(start, i - start)), false});
        }
    }
    return true;
}

// Reads a type word such as "float", "float3", "float4x4", "int2", "string", "texture".
bool ParseType(std::string_view word, Param* p) {
    struct Base {
        const char* name;
        ParamType type;
    };
    static constexpr Base kObjects[] = {{"string", ParamType::String},       {"texture", ParamType::Texture},
                                        {"texture1D", ParamType::Texture1D}, {"texture2D", ParamType::Texture2D},
                                        {"texture3D", ParamType::Texture3D}, {"textureCUBE", ParamType::TextureCube}};
    for (const Base& b : kObjects) {
        if (EqualNoCase(word, b.name)) {
            p->paramClass = ParamClass::Object;
            p->type = b.type;
            p->rows = p->columns = 1;
            return true;
        }
    }
    static constexpr Base kNumeric[] = {{"float", ParamType::Float}, {"int", ParamType::Int}, {"bool", ParamType::Bool}};
    for (const Base& b : kNumeric) {
        const size_t n = std::strlen(b.name);
        if (word.size() < n || word.substr(0, n) != b.name) continue;
        const std::string_view rest = word.substr(n);
        p->type = b.type;
        if (rest.empty()) {
            p->paramClass = ParamClass::Scalar;
            p->rows = p->columns = 1;
            return true;
        }
        if (rest.size() == 1 && rest[0] >= '2' && rest[0] <= '4') {
            p->paramClass = ParamClass::Vector;
            p->rows = 1;
            p->columns = static_cast<uint32_t>(rest[0] - '0');
            return true;
        }
        if (b.type == ParamType::Float && rest.size() == 3 && rest[1] == 'x' && rest[0] >= '2' && rest[0] <= '4' &&
            rest[2] >= '2' && rest[2] <= '4') {
            p->paramClass = ParamClass::MatrixRows;
            p->rows = static_cast<uint32_t>(rest[0] - '0');
            p->columns = static_cast<uint32_t>(rest[2] - '0');
            return true;
        }
        return false;
    }
    return false;
}

class Parser {
public:
    Parser(EffectText* out, std::string* error) : m_out(out), m_error(error) {}

    bool Run(const char* data, size_t size);

private:
    bool Fail(const std::string& what) {
        *m_error = "line " + std::to_string(m_line) + ": " + what;
        return false;
    }
    bool Line(std::string_view line);
    bool CodeLine(std::string_view line);
    bool TopLine(const std::vector<Token>& t);
    bool StructLine(const std::vector<Token>& t);
    bool SamplerLine(const std::vector<Token>& t);
    bool TechniqueLine(const std::vector<Token>& t);
    bool Declaration(const std::vector<Token>& t, size_t first, bool allowArray, bool allowObjects, Param* p);
    bool Values(const std::vector<Token>& t, size_t first, Param* p);
    bool Annotation(const std::vector<Token>& t);
    bool RenderStateLine(const std::vector<Token>& t, Pass* pass);
    bool SamplerStateLine(const std::vector<Token>& t, Param* sampler);
    // Reads "<name> [=] <value>" into `states` once the line's keyword named state
    // `s`: `parse` turns the value's word into a number; a state is given once.
    template <class State, class Parse>
    bool StateValue(const std::vector<Token>& t, State s, const char* name, Parse parse,
                    std::vector<std::pair<State, uint32_t>>* states) {
        size_t at = 1;
        if (at < t.size() && t[at].text == "=" && !t[at].quoted) ++at;
        if (at + 1 != t.size() || t[at].quoted) return Fail(std::string(name) + " takes one value");
        const std::string& w = t[at].text;
        uint32_t value = 0;
        if (!parse(w, &value)) return Fail("'" + w + "' is not a value of " + name);
        for (auto& existing : *states) {
            if (existing.first == s) return Fail(std::string(name) + " is given twice");
        }
        states->emplace_back(s, value);
        return true;
    }
    bool CountParameter();
    bool Finish();

    enum class Block { Top, Struct, Sampler, Technique, Code };

    EffectText* m_out;
    std::string* m_error;
    int m_line = 0;
    bool m_versionSeen = false;
    Block m_block = Block::Top;
    int m_blockLine = 0;
    std::vector<Param>* m_annotations = nullptr;  // where an annotation line goes
    uint32_t m_parameterCount = 0;
    std::vector<Token> m_tokens;
    std::vector<std::pair<std::string, std::string>> m_passCode;  // per pass, in order: vertex and fragment names
};

bool Parser::Run(const char* data, size_t size) {
    if (size > kMaxFileBytes) {
        *m_error = "line 0: the file is larger than " + std::to_string(kMaxFileBytes) + " bytes";
        return false;
    }
    if (std::memchr(data, 0, size)) {
        *m_error = "line 0: the file contains a NUL byte";
        return false;
    }
    size_t pos = 0;
    while (pos < size) {
        const char* nl = static_cast<const char*>(std::memchr(data + pos, '\n', size - pos));
        const size_t end = nl ? static_cast<size_t>(nl - data) : size;
        std::string_view line(data + pos, end - pos);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        ++m_line;
        if (line.size() > kMaxLineBytes) return Fail("line is longer than " + std::to_string(kMaxLineBytes) + " bytes");
        if (!Line(line)) return false;
        pos = end + 1;
    }
    return Finish();
}

bool Parser::Line(std::string_view line) {
    if (m_block == Block::Code) return CodeLine(line);
    std::string why;
    if (!Tokenize(line, &m_tokens, &why)) return Fail(why);
    if (m_tokens.empty()) return true;
    if (!m_versionSeen) {
        if (m_tokens.size() != 2 || m_tokens[0].text != "effect" || m_tokens[0].quoted) {
            return Fail("the file must begin with \"effect 1\"");
        }
        if (m_tokens[1].text != "1") return Fail("effect version " + m_tokens[1].text + " is not supported");
        m_versionSeen = true;
        return true;
    }
    if (m_tokens[0].quoted) return Fail("a line must begin with a keyword");
    switch (m_block) {
        case Block::Top: return TopLine(m_tokens);
        case Block::Struct: return StructLine(m_tokens);
        case Block::Sampler: return SamplerLine(m_tokens);
        case Block::Technique: return TechniqueLine(m_tokens);
        case Block::Code: break;
    }
    return true;
}

bool Parser::CodeLine(std::string_view line) {
    std::string_view trimmed = line;
    while (!trimmed.empty() && (trimmed.front() == ' ' || trimmed.front() == '\t')) trimmed.remove_prefix(1);
    while (!trimmed.empty() && (trimmed.back() == ' ' || trimmed.back() == '\t')) trimmed.remove_suffix(1);
    if (trimmed == "endcode") {
        m_block = Block::Top;
        return true;
    }
    if (trimmed.substr(0, 1) == "#") {
        std::string_view directive = trimmed.substr(1);
        while (!directive.empty() && (directive.front() == ' ' || directive.front() == '\t')) directive.remove_prefix(1);
        if (directive.substr(0, 7) == "version") return Fail("code must not declare #version; the loader adds it");
    }
    Code& code = m_out->code.back();
    code.text.append(line);
    code.text.push_back('\n');
    return true;
}

bool Parser::CountParameter() {
    if (++m_parameterCount > kMaxParameters) {
        return Fail("more than " + std::to_string(kMaxParameters) + " parameters");
    }
    return true;
}

// "<type> <name>[count]" from token `first` on; the rest is left to Values.
bool Parser::Declaration(const std::vector<Token>& t, size_t first, bool allowArray, bool allowObjects, Param* p) {
    bool columnMajor = false, majorGiven = false;
    if (first < t.size() && (t[first].text == "row_major" || t[first].text == "column_major")) {
        columnMajor = t[first].text == "column_major";
        majorGiven = true;
        ++first;
    }
    if (first + 1 >= t.size()) return Fail("expected a type and a name");
    if (t[first].quoted || !ParseType(t[first].text, p)) return Fail("unknown type '" + t[first].text + "'");
    if (p->paramClass == ParamClass::Object && !allowObjects) return Fail("type '" + t[first].text + "' is not allowed here");
    if (majorGiven) {
        if (p->paramClass != ParamClass::MatrixRows) return Fail("row_major and column_major apply to matrices only");
        if (columnMajor) p->paramClass = ParamClass::MatrixColumns;
    }
    std::string_view name = t[first + 1].text;
    if (t[first + 1].quoted) return Fail("a name must not be quoted");
    const size_t bracket = name.find('[');
    if (bracket != std::string_view::npos) {
        if (!allowArray) return Fail("arrays are not allowed here");
        if (name.back() != ']') return Fail("expected ']' after the element count");
        uint32_t count = 0;
        if (!ParseUnsigned(name.substr(bracket + 1, name.size() - bracket - 2), &count) || count < 1 ||
            count > kMaxElements) {
            return Fail("element count must be 1 to " + std::to_string(kMaxElements));
        }
        if (p->type == ParamType::String) return Fail("arrays of strings are not supported");
        p->elements = count;
        name = name.substr(0, bracket);
    }
    if (!IsIdentifier(name)) return Fail("'" + std::string(name) + "' is not a valid name");
    if (name.substr(0, 3) == "gl_" || name.substr(0, 4) == "gfx_") {
        return Fail("names beginning with gl_ or gfx_ are reserved");
    }
    if (p->Components() > kMaxComponents) return Fail("the parameter has too many components");
    p->name = std::string(name);
    p->line = m_line;
    return true;
}

// Reads "= values" from token `first` on (nothing at all leaves zeros).
bool Parser::Values(const std::vector<Token>& t, size_t first, Param* p) {
    if (first == t.size()) return true;
    if (t[first].text != "=" || t[first].quoted) return Fail("expected '=' after '" + p->name + "'");
    ++first;
    const size_t given = t.size() - first;
    if (p->type == ParamType::String) {
        if (given != 1 || !t[first].quoted) return Fail("a string value must be one quoted text");
        p->text = t[first].text;
        return true;
    }
    if (!IsNumeric(p->type)) return Fail("'" + p->name + "' cannot have a value");
    if (given != p->Components()) {
        return Fail("'" + p->name + "' needs " + std::to_string(p->Components()) + " values, not " +
                    std::to_string(given));
    }
    for (size_t i = first; i < t.size(); ++i) {
        if (t[i].quoted) return Fail("a number must not be quoted");
        const std::string& w = t[i].text;
        if (p->type == ParamType::Float) {
            float f = 0;
            if (!ParseFloat(w, &f)) return Fail("'" + w + "' is not a number");
            p->floats.push_back(f);
        } else if (p->type == ParamType::Int) {
            int32_t v = 0;
            if (!ParseInt(w, &v)) return Fail("'" + w + "' is not an integer");
            p->ints.push_back(v);
        } else {
            uint32_t v = 0;
            if (!LookUp(kBools, w, &v)) return Fail("'" + w + "' is not true or false");
            p->ints.push_back(static_cast<int32_t>(v));
        }
    }
    return true;
}

bool Parser::Annotation(const std::vector<Token>& t) {
    if (!m_annotations) return Fail("an annotation must follow a parameter, sampler, technique or pass");
    if (m_annotations->size() >= kMaxAnnotations) return Fail("too many annotations");
    Param a;
    if (!Declaration(t, 1, false, true, &a)) return false;
    if (a.type != ParamType::String && !IsNumeric(a.type)) return Fail("annotations hold numbers or strings only");
    if (t.size() < 4) return Fail("annotation '" + a.name + "' needs a value");
    if (!Values(t, 3, &a)) return false;
    for (const Param& other : *m_annotations) {
        if (other.name == a.name) return Fail("annotation '" + a.name + "' is given twice");
    }
    m_annotations->push_back(std::move(a));
    return true;
}

bool Parser::TopLine(const std::vector<Token>& t) {
    const std::string& key = t[0].text;
    const auto nameTaken = [this](const std::string& name) {
        for (const Param& p : m_out->params) {
            if (p.name == name) return true;
        }
        return false;
    };
    if (key == "parameter") {
        Param p;
        if (!CountParameter() || !Declaration(t, 1, true, true, &p)) return false;
        const size_t valueAt = (t[1].text == "row_major" || t[1].text == "column_major") ? 4 : 3;
        if (!Values(t, valueAt, &p)) return false;
        if (nameTaken(p.name)) return Fail("'" + p.name + "' is declared twice");
        m_out->params.push_back(std::move(p));
        m_annotations = &m_out->params.back().annotations;
        return true;
    }
    if (key == "struct") {
        if (t.size() != 2 || !IsIdentifier(t[1].text)) return Fail("expected: struct <name>");
        if (t[1].text.substr(0, 3) == "gl_" || t[1].text.substr(0, 4) == "gfx_") {
            return Fail("names beginning with gl_ or gfx_ are reserved");
        }
        if (!CountParameter()) return false;
        if (nameTaken(t[1].text)) return Fail("'" + t[1].text + "' is declared twice");
        Param p;
        p.name = t[1].text;
        p.paramClass = ParamClass::Struct;
        p.type = ParamType::Void;
        p.line = m_line;
        m_out->params.push_back(std::move(p));
        m_annotations = &m_out->params.back().annotations;
        m_block = Block::Struct;
        m_blockLine = m_line;
        return true;
    }
    if (key == "sampler") {
        if (t.size() != 3) return Fail("expected: sampler <sampler2D|samplerCUBE> <name>");
        Param p;
        p.paramClass = ParamClass::Object;
        if (EqualNoCase(t[1].text, "sampler2D")) {
            p.type = ParamType::Sampler2D;
        } else if (EqualNoCase(t[1].text, "samplerCUBE")) {
            p.type = ParamType::SamplerCube;
        } else {
            return Fail("unknown sampler type '" + t[1].text + "'");
        }
        if (!IsIdentifier(t[2].text)) return Fail("'" + t[2].text + "' is not a valid name");
        if (t[2].text.substr(0, 3) == "gl_" || t[2].text.substr(0, 4) == "gfx_") {
            return Fail("names beginning with gl_ or gfx_ are reserved");
        }
        if (!CountParameter()) return false;
        if (nameTaken(t[2].text)) return Fail("'" + t[2].text + "' is declared twice");
        uint32_t samplers = 0;
        for (const Param& other : m_out->params) samplers += IsSamplerType(other.type) ? 1 : 0;
        if (samplers >= kMaxSamplers) return Fail("more than " + std::to_string(kMaxSamplers) + " samplers");
        p.name = t[2].text;
        p.line = m_line;
        m_out->params.push_back(std::move(p));
        m_annotations = &m_out->params.back().annotations;
        m_block = Block::Sampler;
        m_blockLine = m_line;
        return true;
    }
    if (key == "technique") {
        if (t.size() != 2 || !IsIdentifier(t[1].text)) return Fail("expected: technique <name>");
        if (m_out->techniques.size() >= kMaxTechniques) return Fail("too many techniques");
        for (const Technique& other : m_out->techniques) {
            if (other.name == t[1].text) return Fail("technique '" + t[1].text + "' is declared twice");
        }
        m_out->techniques.push_back({t[1].text, {}, {}, m_line});
        m_annotations = &m_out->techniques.back().annotations;
        m_block = Block::Technique;
        m_blockLine = m_line;
        return true;
    }
    if (key == "code") {
        if (t.size() != 3 || !IsIdentifier(t[2].text)) return Fail("expected: code <vertex|fragment|common> <name>");
        Code code;
        if (t[1].text == "vertex") {
            code.stage = Stage::Vertex;
        } else if (t[1].text == "fragment") {
            code.stage = Stage::Fragment;
        } else if (t[1].text == "common") {
            code.stage = Stage::Common;
        } else {
            return Fail("code stage must be vertex, fragment or common");
        }
        if (m_out->code.size() >= kMaxCodeBlocks) return Fail("too many code blocks");
        for (const Code& other : m_out->code) {
            if (other.name == t[2].text) return Fail("code '" + t[2].text + "' is declared twice");
        }
        code.name = t[2].text;
        code.firstLine = m_line + 1;
        m_out->code.push_back(std::move(code));
        m_annotations = nullptr;
        m_block = Block::Code;
        m_blockLine = m_line;
        return true;
    }
    if (key == "annotation") return Annotation(t);
    if (key == "end") return Fail("'end' without an open block");
    return Fail("unknown keyword '" + key + "'");
}

bool Parser::StructLine(const std::vector<Token>& t) {
    Param& s = m_out->params.back();
    const std::string& key = t[0].text;
    if (key == "member") {
        if (s.members.size() >= kMaxMembers) return Fail("too many members");
        Param m;
        if (!CountParameter() || !Declaration(t, 1, true, false, &m)) return false;
        const size_t valueAt = (t[1].text == "row_major" || t[1].text == "column_major") ? 4 : 3;
        if (!Values(t, valueAt, &m)) return false;
        for (const Param& other : s.members) {
            if (other.name == m.name) return Fail("member '" + m.name + "' is declared twice");
        }
        s.members.push_back(std::move(m));
        m_annotations = &s.members.back().annotations;
        return true;
    }
    if (key == "annotation") return Annotation(t);
    if (key == "end") {
        if (t.size() != 1) return Fail("'end' takes nothing after it");
        if (s.members.empty()) return Fail("struct '" + s.name + "' has no members");
        m_block = Block::Top;
        m_annotations = nullptr;
        return true;
    }
    return Fail("unknown keyword '" + key + "' in a struct");
}

bool Parser::SamplerStateLine(const std::vector<Token>& t, Param* sampler) {
    static constexpr SamplerState kStates[] = {SamplerState::AddressU,  SamplerState::AddressV,
                                               SamplerState::AddressW,  SamplerState::BorderColor,
                                               SamplerState::MagFilter, SamplerState::MinFilter,
                                               SamplerState::MipFilter, SamplerState::MaxAnisotropy};
    for (SamplerState s : kStates) {
        if (!EqualNoCase(t[0].text, SamplerStateName(s))) continue;
        const auto parse = [s](const std::string& w, uint32_t* value) {
            switch (s) {
                case SamplerState::AddressU:
                case SamplerState::AddressV:
                case SamplerState::AddressW: return LookUp(kAddresses, w, value);
                case SamplerState::MagFilter:
                case SamplerState::MinFilter:
                case SamplerState::MipFilter: return LookUp(kFilters, w, value);
                case SamplerState::BorderColor: return ParseUnsigned(w, value);
                case SamplerState::MaxAnisotropy: return ParseUnsigned(w, value) && *value >= 1 && *value <= 16;
                case SamplerState::Count: break;
            }
            return false;
        };
        return StateValue(t, s, SamplerStateName(s), parse, &sampler->samplerStates);
    }
    return Fail("unknown keyword '" + t[0].text + "' in a sampler");
}

bool Parser::SamplerLine(const std::vector<Token>& t) {
    Param& s = m_out->params.back();
    const std::string& key = t[0].text;
    if (key == "texture") {
        if (t.size() != 2 || !IsIdentifier(t[1].text)) return Fail("expected: texture <parameter>");
        if (!s.texture.empty()) return Fail("the sampler already has a texture");
        s.texture = t[1].text;
        return true;
    }
    if (key == "annotation") return Annotation(t);
    if (key == "end") {
        if (t.size() != 1) return Fail("'end' takes nothing after it");
        if (s.texture.empty()) return Fail("sampler '" + s.name + "' names no texture");
        m_block = Block::Top;
        m_annotations = nullptr;
        return true;
    }
    return SamplerStateLine(t, &s);
}

bool Parser::RenderStateLine(const std::vector<Token>& t, Pass* pass) {
    for (uint32_t i = 0; i < static_cast<uint32_t>(RenderState::Count); ++i) {
        const RenderState s = static_cast<RenderState>(i);
        if (!EqualNoCase(t[0].text, RenderStateName(s))) continue;
        const auto parse = [s](const std::string& w, uint32_t* value) {
            switch (s) {
                case RenderState::ZEnable:
                case RenderState::ZWriteEnable:
                case RenderState::AlphaBlendEnable:
                case RenderState::Lighting:
                case RenderState::ScissorTestEnable:
                case RenderState::SeparateAlphaBlendEnable: return LookUp(kBools, w, value);
                case RenderState::FillMode: return LookUp(kFills, w, value);
                case RenderState::CullMode: return LookUp(kCulls, w, value);
                case RenderState::ZFunc: return LookUp(kCompares, w, value);
                case RenderState::SrcBlend:
                case RenderState::DestBlend:
                case RenderState::SrcBlendAlpha:
                case RenderState::DestBlendAlpha: return LookUp(kBlends, w, value);
                case RenderState::BlendOp:
                case RenderState::BlendOpAlpha: return LookUp(kBlendOps, w, value);
                case RenderState::BlendFactor: return ParseUnsigned(w, value);
                case RenderState::ColorWriteEnable: return ParseColorWrite(w, value);
                case RenderState::Count: break;
            }
            return false;
        };
        return StateValue(t, s, RenderStateName(s), parse, &pass->states);
    }
    return Fail("unknown keyword '" + t[0].text + "' in a technique");
}

bool Parser::TechniqueLine(const std::vector<Token>& t) {
    Technique& tech = m_out->techniques.back();
    const std::string& key = t[0].text;
    if (key == "pass") {
        if (t.size() != 2 || !IsIdentifier(t[1].text)) return Fail("expected: pass <name>");
        if (tech.passes.size() >= kMaxPasses) return Fail("too many passes");
        for (const Pass& other : tech.passes) {
            if (other.name == t[1].text) return Fail("pass '" + t[1].text + "' is declared twice");
        }
        Pass pass;
        pass.name = t[1].text;
        pass.line = m_line;
        tech.passes.push_back(std::move(pass));
        m_passCode.emplace_back();
        m_annotations = &tech.passes.back().annotations;
        return true;
    }
    if (key == "annotation") return Annotation(t);
    if (key == "end") {
        if (t.size() != 1) return Fail("'end' takes nothing after it");
        if (tech.passes.empty()) return Fail("technique '" + tech.name + "' has no passes");
        m_block = Block::Top;
        m_annotations = nullptr;
        return true;
    }
    if (tech.passes.empty()) return Fail("'" + key + "' must be inside a pass");
    if (key == "vertex" || key == "fragment") {
        if (t.size() != 2 || !IsIdentifier(t[1].text)) return Fail("expected: " + key + " <code name>");
        std::string& slot = key == "vertex" ? m_passCode.back().first : m_passCode.back().second;
        if (!slot.empty()) return Fail("the pass already has " + key + " code");
        slot = t[1].text;
        return true;
    }
    return RenderStateLine(t, &tech.passes.back());
}

bool Parser::Finish() {
    if (!m_versionSeen) return Fail("the file must begin with \"effect 1\"");
    if (m_block != Block::Top) {
        m_line = m_blockLine;
        return Fail(m_block == Block::Code ? "code block has no 'endcode'" : "block has no 'end'");
    }
    // Samplers read a texture parameter of a matching kind.
    for (Param& s : m_out->params) {
        if (!IsSamplerType(s.type)) continue;
        const Param* texture = nullptr;
        for (const Param& p : m_out->params) {
            if (p.name == s.texture) texture = &p;
        }
        m_line = s.line;
        if (!texture || !IsTextureType(texture->type) || texture->elements != 0) {
            return Fail("sampler '" + s.name + "' reads '" + s.texture + "', which is not a texture parameter");
        }
        const bool fits = texture->type == ParamType::Texture ||
                          (s.type == ParamType::Sampler2D && texture->type == ParamType::Texture2D) ||
                          (s.type == ParamType::SamplerCube && texture->type == ParamType::TextureCube);
        if (!fits) return Fail("sampler '" + s.name + "' cannot read texture '" + s.texture + "' of another kind");
    }
    // Passes name code blocks of the right stage.
    size_t passIndex = 0;
    for (Technique& tech : m_out->techniques) {
        for (Pass& pass : tech.passes) {
            const auto& names = m_passCode[passIndex++];
            m_line = pass.line;
            const auto find = [this](const std::string& name, Stage stage) {
                for (size_t i = 0; i < m_out->code.size(); ++i) {
                    if (m_out->code[i].name == name && m_out->code[i].stage == stage) return static_cast<int>(i);
                }
                return -1;
            };
            if (names.first.empty() || names.second.empty()) {
                return Fail("pass '" + pass.name + "' needs vertex and fragment code");
            }
            pass.vertex = find(names.first, Stage::Vertex);
            if (pass.vertex < 0) return Fail("pass '" + pass.name + "': no vertex code '" + names.first + "'");
            pass.fragment = find(names.second, Stage::Fragment);
            if (pass.fragment < 0) return Fail("pass '" + pass.name + "': no fragment code '" + names.second + "'");
        }
    }
    return true;
}

}  // namespace

bool ParseEffectText(const char* data, size_t size, EffectText* out, std::string* error) {
    *out = EffectText{};
    std::string ignored;
    Parser parser(out, error ? error : &ignored);
    if (!parser.Run(data, size)) {
        *out = EffectText{};
        return false;
    }
    return true;
}

}  // namespace gfx::fx
