// The effect text parser: what it reads, and the line it blames for what it refuses.

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/gfx/effect_text.h"

namespace {

using gfx::ParamClass;
using gfx::ParamType;

const char* const kFull = R"(effect 1
# parameters of every kind
parameter float4x4 wvpMat
annotation string Scope = "Renderable"
parameter row_major float4x3 bones[2]
parameter column_major float3x3 normalMat
parameter float brightness = 0.5   // trailing comment
annotation bool AutoGen = false
annotation float DefVal = 0.5
parameter float2 offsets[2] = 1 2, 3 4
parameter int mode = -3
parameter bool enabled = true
parameter int3 cells = 0x10 2 3
parameter string label = "say \"hi\""
parameter texture elemTex
annotation string Scope = "MatInst"
parameter textureCUBE envTex
struct light
    member float4 colour = 1 1 1 1
    annotation string Scope = "Instance"
    member float range
end
sampler sampler2D elemSampler
    texture elemTex
    MinFilter Linear
    AddressU = Clamp
    BorderColor 0xff00ff00
end
sampler samplerCUBE envSampler
    texture envTex
end
technique HUD
annotation int order = 2
    pass P0
    annotation string note = "first"
        vertex VS
        fragment FS
        AlphaBlendEnable true
        SrcBlend SrcAlpha
        DestBlend = InvSrcAlpha
        CullMode None
        ColorWriteEnable RGB
    pass P1
        vertex VS
        fragment FS
end
code common Shared
// shared
endcode
code vertex VS
void main() {}
endcode
code fragment FS
void main() {}
endcode
)";

TEST(EffectText, ReadsEveryKindOfDeclaration) {
    gfx::fx::EffectText fx;
    std::string error;
    ASSERT_TRUE(gfx::fx::ParseEffectText(kFull, std::strlen(kFull), &fx, &error)) << error;

    struct Case {
        const char* name;
        ParamClass paramClass;
        ParamType type;
        uint32_t rows, columns, elements, annotations, members;
    };
    const Case cases[] = {
        {"wvpMat", ParamClass::MatrixRows, ParamType::Float, 4, 4, 0, 1, 0},
        {"bones", ParamClass::MatrixRows, ParamType::Float, 4, 3, 2, 0, 0},
        {"normalMat", ParamClass::MatrixColumns, ParamType::Float, 3, 3, 0, 0, 0},
        {"brightness", ParamClass::Scalar, ParamType::Float, 1, 1, 0, 2, 0},
        {"offsets", ParamClass::Vector, ParamType::Float, 1, 2, 2, 0, 0},
        {"mode", ParamClass::Scalar, ParamType::Int, 1, 1, 0, 0, 0},
        {"enabled", ParamClass::Scalar, ParamType::Bool, 1, 1, 0, 0, 0},
        {"cells", ParamClass::Vector, ParamType::Int, 1, 3, 0, 0, 0},
        {"label", ParamClass::Object, ParamType::String, 1, 1, 0, 0, 0},
        {"elemTex", ParamClass::Object, ParamType::Texture, 1, 1, 0, 1, 0},
        {"envTex", ParamClass::Object, ParamType::TextureCube, 1, 1, 0, 0, 0},
        {"light", ParamClass::Struct, ParamType::Void, 1, 1, 0, 0, 2},
        {"elemSampler", ParamClass::Object, ParamType::Sampler2D, 1, 1, 0, 0, 0},
        {"envSampler", ParamClass::Object, ParamType::SamplerCube, 1, 1, 0, 0, 0},
    };
    ASSERT_EQ(fx.params.size(), std::size(cases));
    for (size_t i = 0; i < std::size(cases); ++i) {
        const gfx::fx::Param& p = fx.params[i];
        const Case& c = cases[i];
        EXPECT_EQ(p.name, c.name);
        EXPECT_EQ(p.paramClass, c.paramClass) << c.name;
        EXPECT_EQ(p.type, c.type) << c.name;
        EXPECT_EQ(p.rows, c.rows) << c.name;
        EXPECT_EQ(p.columns, c.columns) << c.name;
        EXPECT_EQ(p.elements, c.elements) << c.name;
        EXPECT_EQ(p.annotations.size(), c.annotations) << c.name;
        EXPECT_EQ(p.members.size(), c.members) << c.name;
    }
    EXPECT_EQ(fx.params[3].floats, std::vector<float>{0.5f});
    EXPECT_EQ(fx.params[4].floats, (std::vector<float>{1, 2, 3, 4}));
    EXPECT_EQ(fx.params[5].ints, std::vector<int32_t>{-3});
    EXPECT_EQ(fx.params[6].ints, std::vector<int32_t>{1});
    EXPECT_EQ(fx.params[7].ints, (std::vector<int32_t>{16, 2, 3}));
    EXPECT_EQ(fx.params[8].text, "say \"hi\"");
    EXPECT_EQ(fx.params[11].members[0].annotations[0].text, "Instance");
    EXPECT_EQ(fx.params[12].texture, "elemTex");
    EXPECT_EQ(fx.params[12].samplerStates.size(), 3u);

    ASSERT_EQ(fx.techniques.size(), 1u);
    const gfx::fx::Technique& hud = fx.techniques[0];
    EXPECT_EQ(hud.annotations[0].ints, std::vector<int32_t>{2});
    ASSERT_EQ(hud.passes.size(), 2u);
    EXPECT_EQ(hud.passes[0].annotations[0].text, "first");
    EXPECT_EQ(hud.passes[0].states.size(), 5u);
    EXPECT_EQ(hud.passes[0].states[4], std::make_pair(gfx::RenderState::ColorWriteEnable, 7u));
    EXPECT_EQ(hud.passes[1].vertex, 1);
    EXPECT_EQ(hud.passes[1].fragment, 2);
    ASSERT_EQ(fx.code.size(), 3u);
    EXPECT_EQ(fx.code[1].firstLine, 51);  // the line after "code vertex VS"
    EXPECT_EQ(fx.code[1].text, "void main() {}\n");
}

TEST(EffectText, RefusesMalformedTextNamingTheLine) {
    struct Case {
        std::string text;
        int line;
        const char* says;
    };
    const std::string pass = "technique T\n pass P\n  vertex V\n  fragment F\n";
    const std::string code = "code vertex V\nendcode\ncode fragment F\nendcode\n";
    std::string manySamplers = "effect 1\nparameter texture t\n";
    for (int i = 0; i < 17; ++i) manySamplers += "sampler sampler2D s" + std::to_string(i) + "\n texture t\nend\n";
    std::string manyParameters = "effect 1\n";
    for (int i = 0; i < 1025; ++i) manyParameters += "parameter float p" + std::to_string(i) + "\n";
    const Case cases[] = {
        {"", 0, "must begin with \"effect 1\""},
        {"# only a comment\n", 1, "must begin with \"effect 1\""},
        {"effect 2\n", 1, "version 2 is not supported"},
        {"effect 1\nparameter floot x\n", 2, "unknown type 'floot'"},
        {"effect 1\nparameter float3x1 m\n", 2, "unknown type"},
        {"effect 1\nparameter int2x2 m\n", 2, "unknown type"},
        {"effect 1\nparameter float x = 1 2\n", 2, "needs 1 values, not 2"},
        {"effect 1\nparameter float x =\n", 2, "needs 1 values, not 0"},
        {"effect 1\nparameter float4 x = 1 2 3 q\n", 2, "'q' is not a number"},
        {"effect 1\nparameter float x = nan\n", 2, "is not a number"},
        {"effect 1\nparameter int x = 2147483648\n", 2, "is not an integer"},
        {"effect 1\nparameter bool x = yes\n", 2, "is not true or false"},
        {"effect 1\nparameter texture t = 1\n", 2, "cannot have a value"},
        {"effect 1\nparameter float x\nparameter int x\n", 3, "declared twice"},
        {"effect 1\nparameter float gl_x\n", 2, "reserved"},
        {"effect 1\nparameter float x[0]\n", 2, "element count"},
        {"effect 1\nparameter float x[99999]\n", 2, "element count"},
        {"effect 1\nparameter float x[4\n", 2, "expected ']'"},
        {"effect 1\nparameter row_major float4 v\n", 2, "apply to matrices only"},
        {"effect 1\nannotation string Scope = \"x\"\n", 2, "must follow"},
        {"effect 1\nparameter float x\nannotation string s\n", 3, "needs a value"},
        {"effect 1\nparameter float x\nannotation texture t = 1\n", 3, "numbers or strings only"},
        {"effect 1\nparameter string s = \"abc\n", 2, "no closing quote"},
        {"effect 1\nparameter float x\nsampler sampler2D s\n texture x\nend\n", 3, "not a texture parameter"},
        {"effect 1\nparameter texture2D t\nsampler samplerCUBE s\n texture t\nend\n", 3, "of another kind"},
        {"effect 1\nsampler sampler2D s\nend\n", 3, "names no texture"},
        {"effect 1\nsampler sampler2D s\n texture t\n MinFilter Cubic\nend\n", 4, "not a value of MinFilter"},
        {manySamplers, 51, "more than 16 samplers"},
        {manyParameters, 1026, "more than 1024 parameters"},
        {"effect 1\n" + pass + "end\n", 3, "no vertex code 'V'"},
        {"effect 1\n" + pass + "end\ncode fragment V\nendcode\n", 3, "no vertex code 'V'"},
        {"effect 1\ntechnique T\nend\n", 3, "has no passes"},
        {"effect 1\ntechnique T\n pass P\n pass P\nend\n", 4, "declared twice"},
        {"effect 1\ntechnique T\n vertex V\nend\n", 3, "must be inside a pass"},
        {"effect 1\ntechnique T\n pass P\n  vertex V\n  vertex W\nend\n", 5, "already has vertex code"},
        {"effect 1\ntechnique T\n pass P\n  Glow true\nend\n", 4, "unknown keyword 'Glow'"},
        {"effect 1\ntechnique T\n pass P\n  CullMode Sideways\nend\n", 4, "not a value of CullMode"},
        {"effect 1\ntechnique T\n pass P\n  ColorWriteEnable RGBX\nend\n", 4, "not a value of ColorWriteEnable"},
        {"effect 1\ntechnique T\n pass P\n  ZEnable true\n  ZEnable false\nend\n", 5, "given twice"},
        {"effect 1\ntechnique T\n pass P\n", 2, "block has no 'end'"},
        {"effect 1\ncode vertex V\nvoid main(){}\n", 2, "no 'endcode'"},
        {"effect 1\ncode vertex V\n  # version 330\nendcode\n", 3, "must not declare #version"},
        {"effect 1\n" + code + "code vertex V\nendcode\n", 6, "declared twice"},
        {"effect 1\ncode geometry G\nendcode\n", 2, "vertex, fragment or common"},
        {"effect 1\nstruct s\nend\n", 3, "has no members"},
        {"effect 1\nstruct s\n member texture t\nend\n", 3, "not allowed here"},
        {"effect 1\nend\n", 2, "without an open block"},
        {"effect 1\n\"quoted\" x\n", 2, "must begin with a keyword"},
        {"effect 1\nbogus\n", 2, "unknown keyword 'bogus'"},
        {std::string("effect 1\nparameter float x\0", 27), 0, "NUL byte"},
        {"effect 1\n# " + std::string(9000, 'x') + "\n", 2, "longer than 8192 bytes"},
    };
    for (const Case& c : cases) {
        gfx::fx::EffectText fx;
        std::string error;
        EXPECT_FALSE(gfx::fx::ParseEffectText(c.text.data(), c.text.size(), &fx, &error)) << c.text;
        EXPECT_EQ(error.rfind("line " + std::to_string(c.line) + ": ", 0), 0u) << error;
        EXPECT_NE(error.find(c.says), std::string::npos) << error;
        EXPECT_TRUE(fx.params.empty() && fx.techniques.empty() && fx.code.empty()) << "nothing half-read is kept";
    }
}

TEST(EffectText, AcceptsCrLfLineEndsAndCaseFreeStateNames) {
    const std::string text =
        "effect 1\r\ntechnique T\r\n pass P\r\n  vertex V\r\n  fragment F\r\n  srcblend srcalpha\r\nend\r\n"
        "code vertex V\r\nx\r\nendcode\r\ncode fragment F\r\nendcode\r\n";
    gfx::fx::EffectText fx;
    std::string error;
    ASSERT_TRUE(gfx::fx::ParseEffectText(text.data(), text.size(), &fx, &error)) << error;
    EXPECT_EQ(fx.techniques[0].passes[0].states[0],
              std::make_pair(gfx::RenderState::SrcBlend, static_cast<uint32_t>(gfx::Blend::SrcAlpha)));
    EXPECT_EQ(fx.code[0].text, "x\n");
}

}  // namespace
