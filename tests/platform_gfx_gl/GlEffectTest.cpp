// Effects compiled by the GL driver: the error texts for the "Shader Compilation
// Error" box, the check of uniforms against declared parameters, and every kind
// of parameter reaching the shader.

#include <filesystem>
#include <fstream>
#include <iterator>

#include "GlFixture.h"

using namespace gfxtest;

namespace {

std::string WithCode(const std::string& declarations, const std::string& vertex, const std::string& fragment) {
    return "effect 1\n" + declarations +
           "technique T\n    pass P\n        vertex VS\n        fragment FS\n        CullMode None\nend\n"
           "code vertex VS\n" + vertex + "endcode\ncode fragment FS\n" + fragment + "endcode\n";
}

const std::string kPlainVertex = "in vec3 a_Position;\nvoid main() { gl_Position = vec4(a_Position, 1.0); }\n";
const std::string kWhite = "out vec4 colour;\nvoid main() { colour = vec4(1.0); }\n";

}  // namespace

TEST_F(GlFixture, CompileErrorsGiveTheDriverLogOnTheFileLine) {
    // Line 1 effect, 2-7 technique, 8 "code vertex VS", so the code's second line is line 10.
    const std::string text = WithCode("", "in vec3 a_Position;\nvoid main() { gl_Position = oops; }\n", kWhite);
    const std::string errors = EffectErrors(text);
    EXPECT_NE(errors.find("Vertex code 'VS' failed to compile:"), std::string::npos) << errors;
    EXPECT_NE(errors.find(":10("), std::string::npos) << errors;
    EXPECT_NE(errors.find("oops"), std::string::npos) << errors;
}

TEST_F(GlFixture, UniformsMustMatchTheirDeclarations) {
    struct Case {
        const char* what;
        std::string declarations, fragment;
        const char* says;
    };
    const Case cases[] = {
        {"undeclared", "", "uniform vec4 ghost;\nout vec4 colour;\nvoid main() { colour = ghost; }\n",
         "uniform 'ghost' is not declared as a parameter"},
        {"other type", "parameter float4 tint\n", "uniform vec3 tint;\nout vec4 colour;\nvoid main() { colour = vec4(tint, 1); }\n",
         "does not match its declaration as float4"},
        {"int for float", "parameter float gain\n", "uniform int gain;\nout vec4 colour;\nvoid main() { colour = vec4(gain); }\n",
         "does not match its declaration as float"},
        {"longer array", "parameter float4 palette[2]\n",
         "uniform vec4 palette[3];\nout vec4 colour;\nvoid main() { colour = palette[2]; }\n",
         "does not match its declaration as float4[2]"},
        {"array for single", "parameter float4 tint\n",
         "uniform vec4 tint[2];\nout vec4 colour;\nvoid main() { colour = tint[1]; }\n", "does not match"},
        {"sampler of the other kind", "parameter texture t\nsampler sampler2D s\n    texture t\nend\n",
         "uniform samplerCube s;\nout vec4 colour;\nvoid main() { colour = texture(s, vec3(1)); }\n",
         "does not match its declaration as sampler2D"},
        {"transposed matrix", "parameter float4x3 bone\n",
         "uniform mat4x3 bone;\nout vec4 colour;\nvoid main() { colour = vec4(bone[0], 1); }\n", "does not match"},
    };
    for (const Case& c : cases) {
        const std::string errors = EffectErrors(WithCode(c.declarations, kPlainVertex, c.fragment));
        EXPECT_NE(errors.find("Pass 'P' of technique 'T'"), std::string::npos) << c.what << ": " << errors;
        EXPECT_NE(errors.find(c.says), std::string::npos) << c.what << ": " << errors;
    }
}

TEST_F(GlFixture, LinkErrorsNameThePass) {
    const std::string errors = EffectErrors(
        WithCode("", kPlainVertex, "out vec4 colour;\nvoid notMain() { colour = vec4(1.0); }\n"));
    EXPECT_NE(errors.find("Pass 'P' of technique 'T' failed to link:"), std::string::npos) << errors;
}

// Ints, bools, integer vectors, arrays, structure members and a 4x3 matrix all
// arrive where the code reads them.
TEST_F(GlFixture, EveryKindOfParameterReachesTheShader) {
    const std::string declarations = R"(parameter int mode
parameter bool flag
parameter int2 pair
parameter float2 offsets[2]
parameter float4x3 bone
struct light
    member float4 colour
end
)";
    const std::string fragment = R"(struct Light { vec4 colour; };
uniform int mode;
uniform bool flag;
uniform ivec2 pair;
uniform vec2 offsets[2];
uniform mat3x4 bone;
uniform Light light;
out vec4 colour;
void main() {
    float red = offsets[1].x + (vec4(0.0, 0.0, 0.0, 1.0) * bone).y;
    colour = vec4(red, float(mode + pair.y) / 4.0, flag ? light.colour.b : 0.0, 1.0);
}
)";
    gfx::Ref<gfx::Effect> effect = MakeEffect(WithCode(declarations, kPlainVertex, fragment));
    ASSERT_TRUE(effect);
    const auto p = [&](const char* name) { return effect->GetParameterByName(0, name); };
    ASSERT_EQ(effect->SetInt(p("mode"), 1), gfx::Result::Ok);
    ASSERT_EQ(effect->SetBool(p("flag"), true), gfx::Result::Ok);
    const int32_t pair[2] = {7, 1};
    ASSERT_EQ(effect->SetIntArray(p("pair"), pair, 2), gfx::Result::Ok);
    const float offsets[4] = {0.9f, 0.9f, 0.25f, 0.9f};
    ASSERT_EQ(effect->SetFloatArray(p("offsets"), offsets, 4), gfx::Result::Ok);
    float bone[16] = {};
    bone[0 * 4 + 1] = 0.5f;  // a decoy in the first row
    bone[3 * 4 + 1] = 0.25f;
    ASSERT_EQ(effect->SetMatrix(p("bone"), bone), gfx::Result::Ok);
    const float lightColour[4] = {0, 0, 1, 1};
    ASSERT_EQ(effect->SetVector(p("light.colour"), lightColour), gfx::Result::Ok);
    Draw(effect.Get(), MakeScreenQuad(kWidth, kHeight));
    EXPECT_EQ(At(ReadBackBuffer(), kWidth, 128, 112), (Bgra{255, 128, 128, 255}));
}

// The example in the format's documentation compiles and draws.
TEST_F(GlFixture, TheDocumentedExampleWorks) {
    std::ifstream in(std::filesystem::path(KORV_SOURCE_DIR) / "data/engine/effects/README.md");
    ASSERT_TRUE(in) << "the effect format's README is missing";
    const std::string readme((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const size_t section = readme.find("## Example");
    ASSERT_NE(section, std::string::npos);
    const size_t start = readme.find("```\n", section) + 4;
    const std::string text = readme.substr(start, readme.find("```", start) - start);
    gfx::Ref<gfx::Effect> effect = MakeEffect(text);
    ASSERT_TRUE(effect);
    EXPECT_NE(effect->GetTechniqueByName("HUD"), 0u);
    const uint32_t white[4] = {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF};
    gfx::Ref<gfx::Texture> texture = MakeTexture(2, 2, gfx::Format::A8R8G8B8, white, 8);
    const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    const float half[4] = {1.0f, 0.0f, 0.0f, 0.5f};
    effect->SetMatrix(effect->GetParameterByName(0, "wvpMat"), identity);
    effect->SetVector(effect->GetParameterByName(0, "modColor"), half);
    effect->SetTexture(effect->GetParameterByName(0, "elemTex"), texture.Get());
    ASSERT_EQ(device->Clear(0, nullptr, gfx::clear::kTarget, 0xFF000000, 1.0f, 0), gfx::Result::Ok);
    Draw(effect.Get(), MakeScreenQuad(kWidth, kHeight));
    const Bgra got = At(ReadBackBuffer(), kWidth, 30, 30);
    EXPECT_NEAR(got.r, 128, 1);
    EXPECT_EQ(got.g, 0);
    effect->SetTexture(effect->GetParameterByName(0, "elemTex"), nullptr);
    device->SetTexture(0, nullptr);
}
