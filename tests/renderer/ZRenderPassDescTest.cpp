// The frame on the fake device: the pass list and pass sets, binding targets
// only when they change, the clear rules, relative viewports, default-target
// passes, resolves, disabled passes, stereo frames and render-target dumps.

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "PassFixture.h"
#include "renderer/ZImage.h"
#include "renderer/ZRenderPassSet.h"

using namespace rtest;

namespace {

// A headset that is always on; its eye fields are the renderer's to set.
class ActiveHMD : public ZHMDMgr {
public:
    bool IsActive() const override { return true; }
};

// What the pre-pass callback saw, for the frame-order tests.
struct Seen {
    bool finalView;
    int32_t eye;
};
std::vector<Seen> g_seen;
void NoteView(int32_t argument) {
    EXPECT_EQ(argument, 0);
    g_seen.push_back({GetRenderer()->finalView, GetHMDManager()->eye});
}

// The top-left pixel of a fake target (its whole surface was cleared).
uint32_t FirstPixel(ZRenderer* r, const ZRenderTarget* target) {
    std::vector<uint32_t> pixels(static_cast<size_t>(target->width) * target->height, 0);
    EXPECT_TRUE(r->ReadRenderTargetPixels(target->surface, pixels.data(), ZHashedString::None()));
    return pixels[0];
}

class ZRenderPassDescTest : public PassTest {
protected:
    ZRenderPassDesc* Pass(const char* name) { return GetRenderer()->CreateRenderPass(ZHashedString(name)); }
};

TEST_F(ZRenderPassDescTest, ANewDescriptionHasTheDefaults) {
    const ZRenderPassDesc pass(ZHashedString("P"));
    EXPECT_TRUE(pass.targets.IsEmpty());
    EXPECT_FALSE(pass.clearColor);
    EXPECT_TRUE(pass.clearDepth);
    EXPECT_EQ(pass.clearColorValue.ToARGB(), 0u);
    EXPECT_EQ(pass.clearDepthValue, 1.0f);
    EXPECT_FALSE(pass.clearAlways);
    EXPECT_EQ(pass.resolveTarget, nullptr);
    EXPECT_FALSE(pass.switchTarget);
    EXPECT_TRUE(pass.bindTargets);
    EXPECT_TRUE(pass.enabled);
    EXPECT_EQ(pass.viewportX, 0.0f);
    EXPECT_EQ(pass.viewportWidth, 1.0f);
    EXPECT_EQ(pass.maxZ, 1.0f);
    EXPECT_EQ(pass.prePass, nullptr);
    EXPECT_TRUE(pass.depthStencil);
}

TEST_F(ZRenderPassDescTest, PassesAndSetsAreFoundByNameAndFreedOnce) {
    ZRenderer* r = GetRenderer();
    ZRenderPassDesc* a = Pass("A");
    EXPECT_EQ(Pass("a"), a) << "hashed names ignore case";
    auto* b = new ZRenderPassDesc(ZHashedString("B"));
    r->AddRenderPass(b);
    r->AddRenderPass(b);
    ASSERT_EQ(r->renderPasses.Count(), 2u);
    EXPECT_EQ(r->renderPasses[1], b);
    EXPECT_EQ(r->FindRenderPass(ZHashedString("B")), b);
    EXPECT_EQ(r->FindRenderPass(ZHashedString("C")), nullptr);

    // A set that lists a pass of the default list and one of its own: each freed once at shutdown.
    ZRenderPassSet* set = r->CreatePassSet(ZHashedString("Set"));
    EXPECT_EQ(r->CreatePassSet(ZHashedString("Set")), set);
    EXPECT_EQ(r->FindPassSet(ZHashedString("Other")), nullptr);
    set->passes.PushBack(a);
    set->passes.PushBack(new ZRenderPassDesc(ZHashedString("Own")));
    r->DeleteRenderPasses();
    EXPECT_TRUE(r->renderPasses.IsEmpty());
    EXPECT_TRUE(r->passSets.IsEmpty());
}

TEST_F(ZRenderPassDescTest, APassIntoTheSameTargetsClearsOnlyWhenAskedTo) {
    ZRenderer* r = GetRenderer();
    ZRenderTarget* target = MakeTarget(64, 32, true);
    const uint32_t colours[3] = {0xFF112233u, 0xFF445566u, 0xFF778899u};
    for (int i = 0; i < 3; ++i) {
        ZRenderPassDesc* pass = Pass(("P" + std::to_string(i)).c_str());
        pass->SetTarget(0, target);
        pass->clearColor = true;
        pass->SetClearColor(colours[i]);
    }
    r->renderPasses[2]->clearAlways = true;
    ClearCalls();
    r->RenderFrame(ZHashedString::None());

    const std::vector<std::string> clears = CallsOf({"Clear("});
    ASSERT_EQ(clears.size(), 2u) << Calls();
    EXPECT_EQ(clears[0], "Clear(flags 0x7, colour 0xff112233, z 1, stencil 0)");
    EXPECT_EQ(clears[1], "Clear(flags 0x7, colour 0xff778899, z 1, stencil 0)");
    EXPECT_EQ(FirstPixel(r, target), colours[2]);
    EXPECT_EQ(Count("SetRenderTarget(0, " + Name(target)), 1u) << "bound once for the three passes";
    EXPECT_TRUE(target->written);
}

TEST_F(ZRenderPassDescTest, ClearFlagsChooseWhatIsCleared) {
    struct Case {
        bool colour;
        bool depth;
        const char* call;  // null: no clear at all
    };
    const Case cases[] = {
        {true, true, "Clear(flags 0x7, colour 0xff0000ff, z 0.5, stencil 0)"},
        {true, false, "Clear(flags 0x1, colour 0xff0000ff, z 1, stencil 0)"},
        {false, true, "Clear(flags 0x6, colour 0x00000000, z 0.5, stencil 0)"},
        {false, false, nullptr},
    };
    ZRenderer* r = GetRenderer();
    ZRenderPassDesc* pass = Pass("P");
    pass->SetClearColor(0xFF0000FFu);
    pass->clearDepthValue = 0.5f;
    for (const Case& c : cases) {
        pass->clearColor = c.colour;
        pass->clearDepth = c.depth;
        ClearCalls();
        r->RenderFrame(ZHashedString::None());
        const std::vector<std::string> clears = CallsOf({"Clear("});
        if (c.call == nullptr) {
            EXPECT_TRUE(clears.empty()) << Calls();
        } else {
            ASSERT_EQ(clears.size(), 1u) << Calls();
            EXPECT_EQ(clears[0], c.call);
        }
    }
}

TEST_F(ZRenderPassDescTest, APassWithoutTargetsAfterTwoTargetsUnbindsTheSecondSlot) {
    ZRenderer* r = GetRenderer();
    ZRenderTarget* a = MakeTarget(64, 64);
    ZRenderTarget* b = MakeTarget(64, 64);
    ZRenderPassDesc* two = Pass("Two");
    two->SetTarget(0, a);
    two->SetTarget(1, b);
    Pass("None");
    ClearCalls();
    r->RenderFrame(ZHashedString::None());

    const std::vector<std::string> expected = {
        "SetRenderTarget(0, " + BackBuffer() + ")",  // the view starts on the default target
        "SetRenderTarget(0, " + Name(a) + ")",      "SetRenderTarget(1, " + Name(b) + ")",
        "SetRenderTarget(0, " + BackBuffer() + ")", "SetRenderTarget(1, null)",
    };
    EXPECT_EQ(CallsOf({"SetRenderTarget("}), expected) << Calls();
    const int rebind =
        state->Find("SetRenderTarget(0, " + BackBuffer() + ")", state->Find("SetRenderTarget(1, #"));
    ASSERT_GE(rebind, 0);
    EXPECT_GE(state->Find("SetDepthStencilSurface(#" +
                              std::to_string(gfx::fake::IdOf(r->GetDefaultDepthStencil())) + ")",
                          static_cast<size_t>(rebind)),
              0)
        << "a pass without targets uses the default depth-stencil surface";
    // Every re-binding first takes the textures off all 16 stages.
    EXPECT_EQ(Count("SetTexture("), 32u);
}

TEST_F(ZRenderPassDescTest, DefaultTargetPassesRouteTheEngineFrame) {
    // The engine's shape: world into the pre-HUD target, the pre-HUD pass and
    // the HUD into the final target, the final pass into the back buffer.
    ZRenderer* r = GetRenderer();
    ZRenderTarget* preHud = MakeTarget(256, 224);
    ZRenderTarget* final = MakeTarget(256, 224);
    const auto setter = [&](const char* name, ZRenderTarget* target) {
        ZRenderPassDesc* pass = Pass(name);
        pass->switchTarget = true;
        pass->defaultTarget = target;
    };
    const auto drawing = [&](const char* name, uint32_t colour) {
        ZRenderPassDesc* pass = Pass(name);
        pass->clearColor = colour != 0;
        pass->SetClearColor(colour);
    };
    setter("PreHUD_RT_Setter", preHud);
    drawing("Default", 0xFF0000FFu);
    setter("Final_RT_Setter", final);
    drawing("PreHUD", 0xFF00FF00u);
    drawing("HUD", 0xFFFFFFFFu);  // same target: no clear
    setter("Actual_RT_Setter", nullptr);
    drawing("Final", 0xFFFF0000u);
    ClearCalls();
    r->RenderFrame(ZHashedString::None());

    EXPECT_EQ(FirstPixel(r, preHud), 0xFF0000FFu);
    EXPECT_EQ(FirstPixel(r, final), 0xFF00FF00u);
    std::vector<uint32_t> back(256 * 224, 0);
    r->ReadBackBuffer(back.data());
    EXPECT_EQ(back[0], 0xFFFF0000u);
    EXPECT_EQ(Count("Clear("), 3u) << Calls();
    EXPECT_EQ(r->defaultTarget, nullptr);

    // The override persists: the next frame's view starts on the last one set.
    r->renderPasses[5]->defaultTarget = final;
    r->RenderFrame(ZHashedString::None());
    ClearCalls();
    final->written = false;
    r->RenderFrame(ZHashedString::None());
    ASSERT_FALSE(CallsOf({"SetRenderTarget("}).empty());
    EXPECT_EQ(CallsOf({"SetRenderTarget("})[0], "SetRenderTarget(0, " + Name(final) + ")");
    EXPECT_TRUE(final->written);
}

TEST_F(ZRenderPassDescTest, ViewportsAreRelativeToTargetZeroAndSetOnlyWhenTheyChange) {
    struct Rect4 {
        float x, y, w, h;
    };
    struct Case {
        Rect4 before;      // the first pass's viewport
        Rect4 after;       // the second pass's, into the same target
        const char* call;  // what the second pass sets; null: nothing
    };
    // A 256 x 224 back buffer; rounding adds 0.5 and truncates.
    const Rect4 whole{0.0f, 0.0f, 1.0f, 1.0f};
    const Case cases[] = {
        {whole, {0.125f, 0.0f, 0.75f, 1.0f}, "SetViewport(32, 0, 192, 224, 0, 1)"},
        {whole, whole, nullptr},
        {whole, {5e-6f, 0.0f, 1.0f, 1.0f - 5e-6f}, nullptr},
        {whole, {0.0f, 0.25f, 0.5f, 0.5f}, "SetViewport(0, 56, 128, 112, 0, 1)"},
        {whole, {0.0f, 0.1f, 1.0f, 0.3f}, "SetViewport(0, 22, 256, 67, 0, 1)"},
        // One pixel too wide after rounding: kept inside the target.
        {whole, {0.5f, 0.0f, 0.502f, 1.0f}, "SetViewport(128, 0, 128, 224, 0, 1)"},
        {{0.5f, 0.5f, 0.5f, 0.5f}, {0.5f, 0.5f, 0.5f, 0.5f}, nullptr},
    };
    ZRenderer* r = GetRenderer();
    ZRenderPassDesc* first = Pass("First");
    ZRenderPassDesc* second = Pass("Second");
    const auto apply = [](ZRenderPassDesc* pass, const Rect4& v) {
        pass->viewportX = v.x;
        pass->viewportY = v.y;
        pass->viewportWidth = v.w;
        pass->viewportHeight = v.h;
    };
    for (const Case& c : cases) {
        apply(first, c.before);
        apply(second, c.after);
        ClearCalls();
        r->RenderFrame(ZHashedString::None());
        const std::vector<std::string> set = CallsOf({"SetViewport("});
        // The first pass always sets its own after the view's first binding.
        ASSERT_GE(set.size(), 1u) << Calls();
        if (c.call == nullptr) {
            EXPECT_EQ(set.size(), 1u)
                << c.after.x << ", " << c.after.y << ", " << c.after.w << ", " << c.after.h;
        } else {
            ASSERT_EQ(set.size(), 2u) << Calls();
            EXPECT_EQ(set[1], c.call);
        }
    }
}

TEST_F(ZRenderPassDescTest, ARelativeViewportUsesTheTargetsSurfaceSize) {
    ZRenderer* r = GetRenderer();
    ZRenderTarget* target = MakeTarget(100, 50);
    // A screen-sized target records a new size before its surface is rebuilt.
    target->width = 400;
    target->height = 200;
    ZRenderPassDesc* pass = Pass("P");
    pass->SetTarget(0, target);
    pass->viewportX = 0.5f;
    pass->viewportWidth = 0.5f;
    pass->minZ = 0.25f;
    pass->maxZ = 0.75f;
    ClearCalls();
    r->RenderFrame(ZHashedString::None());
    EXPECT_EQ(CallsOf({"SetViewport("}), std::vector<std::string>{"SetViewport(50, 0, 50, 50, 0.25, 0.75)"});
    EXPECT_EQ(r->lastResult, gfx::Result::Ok);
}

TEST_F(ZRenderPassDescTest, DisabledPassesAreSkippedAndUnboundPassesDrawWhereTheyAre) {
    ZRenderer* r = GetRenderer();
    ZRenderTarget* target = MakeTarget(64, 64);
    g_seen.clear();
    ZRenderPassDesc* off = Pass("Off");
    off->enabled = false;
    off->prePass = NoteView;
    off->SetTarget(0, target);
    off->clearColor = true;
    ZRenderPassDesc* loose = Pass("Loose");
    loose->bindTargets = false;
    loose->clearAlways = true;
    loose->clearColor = true;
    loose->prePass = NoteView;
    ClearCalls();
    r->RenderFrame(ZHashedString::None());
    EXPECT_EQ(g_seen.size(), 1u) << "only the enabled pass's callback runs";
    EXPECT_EQ(Count("SetRenderTarget(0, " + Name(target)), 0u);
    EXPECT_EQ(Count("Clear("), 0u) << "a pass that does not bind does not clear";
    EXPECT_EQ(CallsOf({"SetViewport("}).size(), 1u) << "but it sets its viewport";
}

// A pass without depth draws with no depth-stencil surface bound, after its
// clears (the depth included); the next pass, and whatever follows the
// frame, has the surface that was bound before it.
TEST_F(ZRenderPassDescTest, APassWithoutDepthDrawsWithNoDepthSurfaceBound) {
    ZRenderer* r = GetRenderer();
    ZRenderTarget* target = MakeTarget(64, 64, true);
    ZEffect* effect = LoadEffect("plain", ScopedEffect("Plain"));
    TestShader* shader = MakeShader("S", effect, "Plain");
    struct DepthNoting : TestRenderable {
        using TestRenderable::TestRenderable;
        void Draw(ZRenderer* renderer, ZParameterSource* instanceSource) override {
            gfx::Surface* depth = nullptr;
            renderer->GetDevice()->GetDepthStencilSurface(&depth);
            journal->push_back(name + (depth != nullptr ? " with depth" : " without depth"));
            if (depth != nullptr) depth->Release();
            TestRenderable::Draw(renderer, instanceSource);
        }
    };
    const char* names[3] = {"before", "plain", "after"};
    for (const char* name : names) {
        ZRenderPassDesc* pass = Pass(name);
        pass->SetTarget(0, target);
        pass->clearDepth = true;
        pass->clearAlways = true;
        ZRenderGroup* group = r->CreateRenderGroup(ZHashedString(name));
        pass->AddGroup(group);
        renderables.push_back(std::make_unique<DepthNoting>(name, &journal));
        renderables.back()->shader = shader;
        group->Add(renderables.back().get());
    }
    r->FindRenderPass(ZHashedString("plain"))->depthStencil = false;
    ClearCalls();
    journal.clear();
    r->RenderFrame(ZHashedString::None());

    std::vector<std::string> seen;
    for (const std::string& entry : journal) {
        if (entry.find("depth") != std::string::npos) seen.push_back(entry);
    }
    const std::vector<std::string> expected = {"before with depth", "plain without depth", "after with depth"};
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(CallsOf({"Clear("}).size(), 3u) << "the pass without depth clears it first: " << Calls();
    gfx::Surface* depth = nullptr;
    ASSERT_EQ(r->GetDevice()->GetDepthStencilSurface(&depth), gfx::Result::Ok);
    EXPECT_EQ(depth, target->depthStencilSurface) << "bound again after the frame";
    depth->Release();
}

TEST_F(ZRenderPassDescTest, ThePrePassCallbackRunsBeforeThePassBinds) {
    ZRenderer* r = GetRenderer();
    ZRenderTarget* target = MakeTarget(64, 64);
    static std::shared_ptr<gfx::fake::State> s_state;
    s_state = state;
    ZRenderPassDesc* pass = Pass("P");
    pass->SetTarget(0, target);
    pass->prePass = [](int32_t) { s_state->calls.push_back("callback"); };
    ClearCalls();
    r->RenderFrame(ZHashedString::None());
    const int callback = state->Find("callback");
    ASSERT_GE(callback, 0);
    EXPECT_GT(state->Find("SetRenderTarget(0, " + Name(target)), callback);
    s_state.reset();
}

TEST_F(ZRenderPassDescTest, PassSetsReplaceTheDefaultListByName) {
    ZRenderer* r = GetRenderer();
    ZRenderTarget* inDefault = MakeTarget(32, 32);
    ZRenderTarget* inSet = MakeTarget(32, 32);
    Pass("Default")->SetTarget(0, inDefault);
    ZRenderPassSet* set = r->CreatePassSet(ZHashedString("Stereo"));
    set->passes.PushBack(new ZRenderPassDesc(ZHashedString("Own")));
    set->passes[0]->SetTarget(0, inSet);

    struct Case {
        const char* set;  // null: the none name
        const ZRenderTarget* drawn;
    };
    const Case cases[] = {{nullptr, inDefault}, {"Stereo", inSet}, {"Unknown", inDefault}};
    for (const Case& c : cases) {
        ClearCalls();
        r->RenderFrame(c.set != nullptr ? ZHashedString(c.set) : ZHashedString::None());
        EXPECT_EQ(Count("SetRenderTarget(0, " + Name(c.drawn) + ")"), 1u) << (c.set ? c.set : "none");
    }
}

TEST_F(ZRenderPassDescTest, AResolveCopiesWhatThePassDrewInto) {
    ZRenderer* r = GetRenderer();
    ZRenderTarget* drawn = MakeTarget(64, 64);
    ZRenderTarget* copy = MakeTarget(32, 32);
    ZRenderPassDesc* pass = Pass("Into target");
    pass->SetTarget(0, drawn);
    pass->clearColor = true;
    pass->SetClearColor(0xFF204060u);
    pass->resolveTarget = copy;
    ZRenderPassDesc* back = Pass("Into back buffer");
    back->clearColor = true;
    back->SetClearColor(0xFF0A0B0Cu);
    ZRenderTarget* backCopy = MakeTarget(16, 16, false, ZRenderTarget::kX8R8G8B8);
    back->resolveTarget = backCopy;
    ClearCalls();
    r->RenderFrame(ZHashedString::None());
    EXPECT_EQ(
        CallsOf({"StretchRect("}),
        (std::vector<std::string>{"StretchRect(" + Name(drawn) + ", " + Name(copy) + ", filter 2)",
                                  "StretchRect(" + BackBuffer() + ", " + Name(backCopy) + ", filter 2)"}));
    EXPECT_EQ(FirstPixel(r, copy), 0xFF204060u);
    EXPECT_EQ(FirstPixel(r, backCopy), 0xFF0A0B0Cu);
}

TEST_F(ZRenderPassDescTest, AStereoFrameDrawsEachEyeIntoItsHalf) {
    DestroyHMDManager();
    gHMDMgr = new ActiveHMD();
    gHMDMgr->lensOffset = 0.15f;
    ZRenderer* r = GetRenderer();
    g_seen.clear();
    ZRenderPassDesc* pass = Pass("P");
    pass->prePass = NoteView;
    pass->clearColor = true;
    pass->viewportY = 0.5f;
    pass->viewportHeight = 0.5f;
    r->dumpRenderTargets = true;
    ClearCalls();
    r->RenderFrame(ZHashedString::None());

    ASSERT_EQ(g_seen.size(), 2u);
    EXPECT_FALSE(g_seen[0].finalView);
    EXPECT_EQ(g_seen[0].eye, 1);
    EXPECT_TRUE(g_seen[1].finalView);
    EXPECT_EQ(g_seen[1].eye, 2);
    EXPECT_EQ(CallsOf({"SetViewport("}), (std::vector<std::string>{"SetViewport(0, 112, 128, 112, 0, 1)",
                                                                   "SetViewport(128, 112, 128, 112, 0, 1)"}));
    // Each eye clears one rectangle of the headset's panel.
    EXPECT_EQ(Count("Clear(flags 0x7, colour 0x00000000, z 1, stencil 0, rects 1)"), 2u) << Calls();
    EXPECT_EQ(gHMDMgr->lensCenter, -0.15f);
    EXPECT_EQ(gHMDMgr->viewportOffset, 0.5f);
    EXPECT_EQ(gHMDMgr->vertScale, 1.25f);
    EXPECT_EQ(gHMDMgr->fovScale, 1.9296875f);
    EXPECT_FALSE(r->dumpRenderTargets) << "the request ends with the frame";
}

TEST_F(ZRenderPassDescTest, AMonoFrameIsOneFinalView) {
    ZRenderer* r = GetRenderer();
    g_seen.clear();
    Pass("P")->prePass = NoteView;
    r->finalView = false;
    r->RenderFrame(ZHashedString::None());
    ASSERT_EQ(g_seen.size(), 1u);
    EXPECT_TRUE(g_seen[0].finalView);
}

// Runs in a temporary working directory, where the dumps land.
class DumpTest : public ZRenderPassDescTest {
protected:
    void SetUp() override {
        ZRenderPassDescTest::SetUp();
        m_previous = std::filesystem::current_path();
        std::filesystem::current_path(work.Path());
    }
    void TearDown() override {
        std::filesystem::current_path(m_previous);
        ZRenderPassDescTest::TearDown();
    }
    static std::string Dump(int n) {
        char name[64];
        std::snprintf(name, sizeof name, "RENDER_TARGET_OUTPUT_%04d.bmp", n);
        return name;
    }
    korvtest::TempDir work;

private:
    std::filesystem::path m_previous;
};

TEST_F(DumpTest, EachTargetChangeWritesTheTargetsItLeaves) {
    ZRenderer* r = GetRenderer();
    const uint32_t colours[5] = {0xFF100000u, 0xFF002000u, 0xFF000030u, 0xFF404040u, 0xFF505050u};
    ZRenderTarget* t[5];
    for (int i = 0; i < 5; ++i) {
        t[i] = MakeTarget(8 + i, 4);
        ZRenderPassDesc* pass = Pass(("P" + std::to_string(i)).c_str());
        pass->SetTarget(0, t[i]);
        pass->clearColor = true;
        pass->SetClearColor(colours[i]);
    }
    r->RenderFrame(ZHashedString::None());
    EXPECT_FALSE(std::filesystem::exists(Dump(0))) << "nothing without a request";

    // Five passes, four changes after the first: four files, each a target just left.
    r->dumpRenderTargets = true;
    r->RenderFrame(ZHashedString::None());
    EXPECT_FALSE(r->dumpRenderTargets);
    for (int i = 0; i < 4; ++i) {
        std::ifstream in(Dump(i), std::ios::binary);
        ASSERT_TRUE(in) << Dump(i);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        ZImage image;
        ASSERT_TRUE(image.LoadBMPFromMemory(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
        EXPECT_EQ(image.GetWidth(), 8 + i);
        EXPECT_EQ(image.GetBytesPerPixel(), 3u);
        EXPECT_EQ(image.GetPixel(2, 3), colours[i]);
    }
    EXPECT_FALSE(std::filesystem::exists(Dump(4)));

    // The next request continues the numbering.
    r->dumpRenderTargets = true;
    r->RenderFrame(ZHashedString::None());
    EXPECT_TRUE(std::filesystem::exists(Dump(7)));
    EXPECT_FALSE(std::filesystem::exists(Dump(8)));
    EXPECT_EQ(r->dumpCounter, 8);
}

}  // namespace
