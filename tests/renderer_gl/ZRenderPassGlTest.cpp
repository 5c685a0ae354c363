// Render passes on OpenGL: a pass list that draws a group of renderables of
// two effects into a render target and copies it into half of the back
// buffer, read back pixel by pixel; the stereo frame's two halves; and a
// render-target dump read back from its BMP file.

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>

#include "GlRendererFixture.h"
#include "foundation/ZVector4.h"
#include "renderer/ZImage.h"
#include "renderer/ZRenderGroup.h"
#include "renderer/ZRenderPassDesc.h"
#include "renderer/ZRenderTarget.h"
#include "renderer/ZShader.h"

using namespace gltest;

namespace {

// Draws a flat colour over a rectangle of clip space (x0, y0, x1, y1); the
// second effect draws the colour's complement.
std::string FlatEffect(const char* technique, const char* colour) {
    return std::string(R"(effect 1
parameter float4 rect = -1 -1 1 1
annotation string Scope = "Renderable"
parameter float4 tint = 1 1 1 1
annotation string Scope = "Renderable"
parameter float frame
technique )") +
           technique + R"(
    pass P0
        vertex VS
        fragment FS
        CullMode None
        ZEnable false
        AlphaBlendEnable false
end
code vertex VS
uniform vec4 rect;
in vec3 a_Position;
void main() {
    vec2 t = a_Position.xy * 0.5 + 0.5;
    gl_Position = vec4(mix(rect.xy, rect.zw, t), 0.0, 1.0);
}
endcode
code fragment FS
uniform vec4 tint;
uniform float frame;
out vec4 colour;
void main() { colour = vec4()" +
           colour + R"(, 1.0 + frame * 0.0); }
endcode
)";
}

// Copies the texture parameter "source" point by point.
const char* kCopyEffect = R"(effect 1
parameter texture source
sampler sampler2D sourceSampler
    texture source
    MinFilter Point
    MagFilter Point
    MipFilter None
    AddressU Clamp
    AddressV Clamp
end
technique Copy
    pass P0
        vertex VS
        fragment FS
        CullMode None
        ZEnable false
        AlphaBlendEnable false
end
code vertex VS
in vec3 a_Position;
in vec2 a_TexCoord0;
out vec2 uv;
void main() {
    gl_Position = vec4(a_Position, 1.0);
    uv = a_TexCoord0;
}
endcode
code fragment FS
uniform sampler2D sourceSampler;
in vec2 uv;
out vec4 colour;
void main() { colour = texture(sourceSampler, uv); }
endcode
)";

// Answers the unscoped parameters and counts how often they were handed over:
// once per run of its effect when the group is sorted.
class CountingShader : public ZShader {
public:
    bool SetParameters(ZEffectParameter* binding, ZHashedString /*passName*/,
                       ZParameterSource* /*source*/) override {
        if (binding->name == ZHashedString("frame")) {
            ++handed;
            binding->SetFloat(0.0f);
            return true;
        }
        if (binding->name == ZHashedString("source")) {
            binding->SetTexture(ZHashedString("Scene"));
            return true;
        }
        return false;
    }
    int handed = 0;
};

// A quad over a rectangle of clip space in one colour.
class Quad : public ZRenderable {
public:
    Quad(ZShader* s, const ZVector4& r, const ZVector4& c) : rect(r), tint(c) {
        EXPECT_TRUE(BuildScreenQuadGeometry(64, 64, vertices, indices));
        vertexBuffer = &vertices;
        indexBuffer = &indices;
        shader = s;
    }
    bool SetParameters(ZEffectParameter* binding, ZHashedString /*passName*/,
                       ZParameterSource* /*source*/) override {
        if (binding->name == ZHashedString("rect")) {
            binding->SetVector(rect);
            return true;
        }
        if (binding->name == ZHashedString("tint")) {
            binding->SetVector(Tint());
            return true;
        }
        return false;
    }
    virtual ZVector4 Tint() const { return tint; }

    ZVertexBuffer vertices;
    ZIndexBuffer indices;
    ZVector4 rect;
    ZVector4 tint;
};

constexpr uint32_t kRed = 0xFFFF0000u;
constexpr uint32_t kCyan = 0xFF00FFFFu;
constexpr uint32_t kGreen = 0xFF00FF00u;
constexpr uint32_t kMagenta = 0xFFFF00FFu;
constexpr uint32_t kBlue = 0xFF0000FFu;
constexpr uint32_t kBackground = 0xFF102030u;

class ZRenderPassGlTest : public GlRendererTest {
protected:
    void SetUp() override {
        GlRendererTest::SetUp();
        m_previous = std::filesystem::current_path();
        std::filesystem::current_path(work.Path());
    }
    void TearDown() override {
        std::filesystem::current_path(m_previous);
        GlRendererTest::TearDown();
    }
    static void Bind(ZShader& shader, ZEffect* effect, const char* technique) {
        shader.SetDefaultPassBinding(effect->FindTechnique(ZHashedString(technique)));
    }

    korvtest::TempDir work;

private:
    std::filesystem::path m_previous;
};

TEST_F(ZRenderPassGlTest, APassListDrawsTwoEffectsIntoATargetAndCopiesItOut) {
    ZRenderer* r = GetRenderer();
    ZEffect* flat = LoadEffect("flat", FlatEffect("Flat", "tint.rgb"));
    ZEffect* inverse = LoadEffect("inverse", FlatEffect("Inverse", "vec3(1.0) - tint.rgb"));
    ZEffect* copy = LoadEffect("copy", kCopyEffect);
    CountingShader flatShader;
    CountingShader inverseShader;
    CountingShader copyShader;
    Bind(flatShader, flat, "Flat");
    Bind(inverseShader, inverse, "Inverse");
    Bind(copyShader, copy, "Copy");

    ZRenderTarget scene;
    scene.width = 64;
    scene.height = 64;
    scene.format = ZRenderTarget::kA8R8G8B8;
    ASSERT_TRUE(r->CreateRenderTarget(scene, ZHashedString("Scene")));

    // Quadrants (clip space, y up), added with the two effects alternating.
    Quad topLeft(&flatShader, {-1, 0, 0, 1}, {1, 0, 0, 1});
    Quad topRight(&inverseShader, {0, 0, 1, 1}, {1, 0, 0, 1});
    Quad bottomLeft(&flatShader, {-1, -1, 0, 0}, {0, 1, 0, 1});
    Quad bottomRight(&inverseShader, {0, -1, 1, 0}, {0, 1, 0, 1});
    ZRenderGroup* quads = r->CreateRenderGroup(ZHashedString("Quads"));
    for (Quad* q : {&topLeft, &topRight, &bottomLeft, &bottomRight}) quads->Add(q);

    ScreenQuad screen;
    screen.renderable.shader = &copyShader;
    ZRenderGroup* copies = r->CreateRenderGroup(ZHashedString("Copies"));
    copies->Add(&screen.renderable);

    ZRenderPassDesc* into = r->CreateRenderPass(ZHashedString("Scene Pass"));
    into->SetTarget(0, &scene);
    into->clearColor = true;
    into->SetClearColor(0xFF000000u);
    into->AddGroup(quads);
    ZRenderPassDesc* out = r->CreateRenderPass(ZHashedString("Copy Pass"));
    out->clearColor = true;
    out->SetClearColor(kBackground);
    out->viewportX = 0.5f;
    out->viewportWidth = 0.5f;
    out->AddGroup(copies);

    r->dumpRenderTargets = true;
    r->RenderFrame(ZHashedString::None());
    EXPECT_EQ(r->lastResult, gfx::Result::Ok) << gfx::ResultName(r->lastResult);

    // Sorted by effect: the unscoped parameters went over once per run, not per quad.
    EXPECT_EQ(flatShader.handed, 1);
    EXPECT_EQ(inverseShader.handed, 1);

    struct Probe {
        int32_t x, y;
        uint32_t colour;
    };
    const Probe inTarget[] = {{16, 16, kRed}, {48, 16, kCyan}, {16, 48, kGreen}, {48, 48, kMagenta},
                              {31, 31, kRed}, {32, 31, kCyan}, {31, 32, kGreen}, {32, 32, kMagenta}};
    const std::vector<uint32_t> target = ReadTarget(scene.surface, 64, 64);
    for (const Probe& p : inTarget) {
        EXPECT_EQ(target[static_cast<size_t>(p.y) * 64 + p.x], p.colour) << p.x << ", " << p.y;
    }
    // The copy fills the right half; the left half keeps the clear colour.
    const Probe inBackBuffer[] = {{160, 56, kRed},      {224, 56, kCyan},       {160, 168, kGreen},
                                  {224, 168, kMagenta}, {64, 112, kBackground}, {127, 0, kBackground}};
    const std::vector<uint32_t> back = ReadBackBuffer();
    for (const Probe& p : inBackBuffer) {
        EXPECT_EQ(back[static_cast<size_t>(p.y) * kWidth + p.x], p.colour) << p.x << ", " << p.y;
    }

    // The change from the target to the back buffer dumped the target.
    EXPECT_FALSE(r->dumpRenderTargets);
    std::ifstream in("RENDER_TARGET_OUTPUT_0000.bmp", std::ios::binary);
    ASSERT_TRUE(in);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ZImage dump;
    ASSERT_TRUE(dump.LoadBMPFromMemory(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
    ASSERT_EQ(dump.GetWidth(), 64);
    ASSERT_EQ(dump.GetHeight(), 64);
    for (const Probe& p : inTarget) {
        EXPECT_EQ(dump.GetPixel(p.x, p.y), p.colour) << p.x << ", " << p.y;
    }
    EXPECT_FALSE(std::filesystem::exists("RENDER_TARGET_OUTPUT_0001.bmp"));
    r->RemoveFromAllRenderGroups(&screen.renderable);
}

// The colour says which eye drew it.
class EyeQuad : public Quad {
public:
    using Quad::Quad;
    ZVector4 Tint() const override {
        return GetHMDManager()->eye == 1 ? ZVector4(1, 0, 0, 1) : ZVector4(0, 0, 1, 1);
    }
};

class AlwaysActiveHMD : public ZHMDMgr {
public:
    bool IsActive() const override { return true; }
};

TEST_F(ZRenderPassGlTest, MonoAndStereoFramesCoverTheTarget) {
    ZRenderer* r = GetRenderer();
    ZEffect* flat = LoadEffect("flat", FlatEffect("Flat", "tint.rgb"));
    CountingShader shader;
    Bind(shader, flat, "Flat");
    EyeQuad quad(&shader, {-1, -1, 1, 1}, {0, 0, 0, 1});
    ZRenderGroup* group = r->CreateRenderGroup(ZHashedString("Eyes"));
    group->Add(&quad);
    ZRenderPassDesc* pass = r->CreateRenderPass(ZHashedString("Pass"));
    pass->AddGroup(group);

    struct Probe {
        int32_t x, y;
        uint32_t mono, stereo;
    };
    const Probe probes[] = {
        {0, 0, kBlue, kRed}, {127, 223, kBlue, kRed}, {128, 0, kBlue, kBlue}, {255, 223, kBlue, kBlue}};
    // Without a headset the eye field is 0: the one view draws blue over everything.
    r->RenderFrame(ZHashedString::None());
    std::vector<uint32_t> back = ReadBackBuffer();
    for (const Probe& p : probes) {
        EXPECT_EQ(back[static_cast<size_t>(p.y) * kWidth + p.x], p.mono) << "mono " << p.x << ", " << p.y;
    }

    DestroyHMDManager();
    gHMDMgr = new AlwaysActiveHMD();
    r->RenderFrame(ZHashedString::None());
    back = ReadBackBuffer();
    for (const Probe& p : probes) {
        EXPECT_EQ(back[static_cast<size_t>(p.y) * kWidth + p.x], p.stereo) << "stereo " << p.x << ", " << p.y;
    }
    EXPECT_TRUE(r->finalView);
    EXPECT_EQ(r->lastResult, gfx::Result::Ok) << gfx::ResultName(r->lastResult);
}

// Renderables of one layer and one effect cover each other in the group's
// order, the one added last on top, wherever they lie in memory: here the
// one added first has the highest address. The picture stays the same from
// frame to frame, and a renderable added later draws over the others.
TEST_F(ZRenderPassGlTest, OverlappingRenderablesDrawInTheOrderTheyWereAdded) {
    ZRenderer* r = GetRenderer();
    ZEffect* flat = LoadEffect("flat", FlatEffect("Flat", "tint.rgb"));
    CountingShader shader;
    Bind(shader, flat, "Flat");
    // In memory: near, middle, far; added far, middle, near. Far covers the
    // whole target, middle its right two thirds, near its right third.
    Quad quads[3] = {{&shader, {1.0f / 3.0f, -1, 1, 1}, {0, 0, 1, 1}},
                     {&shader, {-1.0f / 3.0f, -1, 1, 1}, {0, 1, 0, 1}},
                     {&shader, {-1, -1, 1, 1}, {1, 0, 0, 1}}};
    ZRenderGroup* group = r->CreateRenderGroup(ZHashedString("Stack"));
    group->Add(&quads[2]);
    group->Add(&quads[1]);
    group->Add(&quads[0]);
    ZRenderPassDesc* pass = r->CreateRenderPass(ZHashedString("Pass"));
    pass->AddGroup(group);

    struct Probe {
        int32_t x;
        uint32_t colour;
    };
    const auto check = [&](const char* when, std::initializer_list<Probe> probes) {
        r->RenderFrame(ZHashedString::None());
        EXPECT_EQ(r->lastResult, gfx::Result::Ok) << gfx::ResultName(r->lastResult);
        const std::vector<uint32_t> back = ReadBackBuffer();
        for (const Probe& p : probes) {
            EXPECT_EQ(back[static_cast<size_t>(kHeight / 2) * kWidth + p.x], p.colour) << when << ", x " << p.x;
        }
    };
    check("first frame", {{40, kRed}, {128, kGreen}, {220, kBlue}});
    check("second frame", {{40, kRed}, {128, kGreen}, {220, kBlue}});
    EXPECT_EQ(shader.handed, 2) << "still one run of the effect per frame";

    // A newcomer over the left two thirds, at a lower address than the others.
    Quad* const newcomer = &quads[0];
    group->Remove(newcomer);
    newcomer->rect = {-1, -1, 1.0f / 3.0f, 1};
    newcomer->tint = {1, 0, 1, 1};
    group->Add(newcomer);
    check("after the newcomer", {{40, kMagenta}, {128, kMagenta}, {220, kGreen}});
}

}  // namespace
