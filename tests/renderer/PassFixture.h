#pragma once

// Render passes on the fake device: renderables that record their draws and
// the parameters handed to them, shaders bound to one technique per effect,
// and two small effects whose four parameters sit in the four scopes.

#include <memory>
#include <string>
#include <vector>

#include "RendererFixture.h"
#include "renderer/ZEffect.h"
#include "renderer/ZEffectParameter.h"
#include "renderer/ZRenderGroup.h"
#include "renderer/ZRenderPassDesc.h"
#include "renderer/ZRenderTarget.h"
#include "renderer/ZRenderable.h"
#include "renderer/ZShader.h"

namespace rtest {

// What sources were asked for and what was drawn, in order.
using Journal = std::vector<std::string>;

// A parameter source that notes each binding it is handed ("<name>:<param>").
class NotingSource : public ZParameterSource {
public:
    NotingSource(std::string label, Journal* log) : name(std::move(label)), journal(log) {}
    bool SetParameters(ZEffectParameter* binding, ZHashedString /*passName*/,
                       ZParameterSource* /*source*/) override {
        journal->push_back(name + ":" + binding->name.GetText());
        return true;
    }
    std::string name;
    Journal* journal;
};

class TestShader : public ZShader {
public:
    TestShader(std::string label, Journal* log) : name(std::move(label)), journal(log) {}
    bool SetParameters(ZEffectParameter* binding, ZHashedString /*passName*/,
                       ZParameterSource* /*source*/) override {
        journal->push_back(name + ":" + binding->name.GetText());
        return true;
    }
    ZParameterSource* GetMaterialInstanceSource() override { return material; }
    std::string name;
    Journal* journal;
    ZParameterSource* material = nullptr;
};

class TestRenderable : public ZRenderable {
public:
    TestRenderable(std::string label, Journal* log) : name(std::move(label)), journal(log) {}
    bool SetParameters(ZEffectParameter* binding, ZHashedString /*passName*/,
                       ZParameterSource* /*source*/) override {
        journal->push_back(name + ":" + binding->name.GetText());
        return true;
    }
    ZParameterSource* GetRenderInstanceSource() override { return instance; }
    void Draw(ZRenderer* /*renderer*/, ZParameterSource* /*instanceSource*/) override {
        journal->push_back("draw " + name);
    }
    std::string name;
    Journal* journal;
    ZParameterSource* instance = nullptr;
};

// One technique per effect, each with `passes` passes; a float in each scope.
inline std::string ScopedEffect(const std::string& technique, int passes = 1) {
    std::string text = R"(effect 1
parameter float plain
parameter float material
annotation string Scope = "MatInst"
parameter float each
annotation string Scope = "Renderable"
parameter float instance
annotation string Scope = "RendInst"
)";
    text += "technique " + technique + "\n";
    for (int p = 0; p < passes; ++p) {
        text += "    pass P" + std::to_string(p) + "\n        vertex VS\n        fragment FS\n";
    }
    text += R"(end
code vertex VS
in vec3 a_Position;
void main() { gl_Position = vec4(a_Position, 1.0); }
endcode
code fragment FS
out vec4 colour;
void main() { colour = vec4(1.0); }
endcode
)";
    return text;
}

class PassTest : public RendererTest {
protected:
    void SetUp() override {
        RendererTest::SetUp();
        Start();
    }

    ZEffect* LoadEffect(const std::string& name, const std::string& text) {
        WriteFile(name + ".fxo", text);
        ZEffect* effect =
            ZShaderMgr::GetInstance()->LoadEffect((name + ".fxo").c_str(), ZHashedString(name.c_str()));
        EXPECT_NE(effect->GetEffect(), nullptr) << name;
        return effect;
    }

    // A shader whose default binding is the effect's technique.
    TestShader* MakeShader(const std::string& name, ZEffect* effect, const char* technique) {
        auto shader = std::make_unique<TestShader>(name, &journal);
        shader->SetDefaultPassBinding(effect->FindTechnique(ZHashedString(technique)));
        shaders.push_back(std::move(shader));
        return shaders.back().get();
    }

    TestRenderable* MakeRenderable(const std::string& name, ZShader* shader) {
        auto renderable = std::make_unique<TestRenderable>(name, &journal);
        renderable->shader = shader;
        renderables.push_back(std::move(renderable));
        return renderables.back().get();
    }

    ZRenderTarget* MakeTarget(int32_t w, int32_t h, bool depth = false,
                              int32_t format = ZRenderTarget::kA8R8G8B8) {
        auto target = std::make_unique<ZRenderTarget>();
        target->width = w;
        target->height = h;
        target->format = format;
        target->depthStencil = depth;
        EXPECT_TRUE(GetRenderer()->CreateRenderTarget(*target, ZHashedString::None()));
        targets.push_back(std::move(target));
        return targets.back().get();
    }

    // "#n", the fake's name of a target's surface.
    static std::string Name(const ZRenderTarget* target) {
        return "#" + std::to_string(gfx::fake::IdOf(target->surface));
    }
    std::string BackBuffer() const {
        return "#" + std::to_string(gfx::fake::IdOf(GetRenderer()->GetBackBufferSurface()));
    }

    // The recorded calls that begin with one of the prefixes, in order.
    std::vector<std::string> CallsOf(std::initializer_list<const char*> prefixes) const {
        std::vector<std::string> out;
        for (const std::string& call : state->calls) {
            for (const char* prefix : prefixes) {
                if (call.rfind(prefix, 0) == 0) {
                    out.push_back(call);
                    break;
                }
            }
        }
        return out;
    }

    void TearDown() override {
        // Groups and passes go with the renderer; the objects they list go first.
        renderables.clear();
        shaders.clear();
        targets.clear();
        RendererTest::TearDown();
    }

    Journal journal;
    std::vector<std::unique_ptr<TestShader>> shaders;
    std::vector<std::unique_ptr<TestRenderable>> renderables;
    std::vector<std::unique_ptr<ZRenderTarget>> targets;
};

}  // namespace rtest
