// Render groups: the renderer's group list, and how a pass draws a group on
// the fake device: sorted into runs that begin their technique once, with
// the four parameter scopes handed to their sources only when needed.

#include <algorithm>
#include <functional>

#include "PassFixture.h"

using namespace rtest;

namespace {

class ZRenderGroupTest : public PassTest {
protected:
    void SetUp() override {
        PassTest::SetUp();
        alpha = LoadEffect("alpha", ScopedEffect("Alpha"));
        beta = LoadEffect("beta", ScopedEffect("Beta", 2));
        pass = GetRenderer()->CreateRenderPass(ZHashedString("Pass"));
        group = GetRenderer()->CreateRenderGroup(ZHashedString("Group"));
        pass->AddGroup(group);
    }

    size_t CountExact(const std::string& call) const {
        return static_cast<size_t>(std::count(state->calls.begin(), state->calls.end(), call));
    }
    size_t Noted(const std::string& entry) const {
        return static_cast<size_t>(std::count(journal.begin(), journal.end(), entry));
    }
    std::vector<std::string> Draws() const {
        std::vector<std::string> out;
        for (const std::string& e : journal) {
            if (e.rfind("draw ", 0) == 0) out.push_back(e.substr(5));
        }
        return out;
    }
    void Frame() {
        ClearCalls();
        journal.clear();
        GetRenderer()->RenderFrame(ZHashedString::None());
    }

    ZEffect* alpha = nullptr;
    ZEffect* beta = nullptr;
    ZRenderPassDesc* pass = nullptr;
    ZRenderGroup* group = nullptr;
};

TEST_F(ZRenderGroupTest, GroupsAreMadeOnceAndRenderablesLeaveThem) {
    ZRenderer* r = GetRenderer();
    EXPECT_EQ(r->CreateRenderGroup(ZHashedString("GROUP")), group);
    EXPECT_EQ(r->FindRenderGroup(ZHashedString("Group")), group);
    EXPECT_EQ(r->FindRenderGroup(ZHashedString("Nowhere")), nullptr);
    ZRenderGroup* other = r->CreateRenderGroup(ZHashedString("Other"));
    EXPECT_TRUE(other->enabled);
    EXPECT_TRUE(other->renderables.IsEmpty());
    ASSERT_EQ(r->renderGroups.Count(), 2u);

    TestRenderable* a = MakeRenderable("a", nullptr);
    TestRenderable* b = MakeRenderable("b", nullptr);
    group->Add(a);
    group->Add(a);
    group->Add(nullptr);
    EXPECT_EQ(group->renderables.Count(), 1u) << "added once, null ignored";
    // Owners may append directly; removal takes the first occurrence only.
    group->renderables.PushBack(b);
    group->renderables.PushBack(a);
    other->Add(a);
    r->RemoveFromRenderGroup(ZHashedString("Group"), a);
    ASSERT_EQ(group->renderables.Count(), 2u);
    EXPECT_EQ(group->renderables[0], b);
    EXPECT_EQ(group->renderables[1], a);
    r->RemoveFromRenderGroup(ZHashedString("Nowhere"), a);
    r->RemoveFromRenderGroup(ZHashedString("Group"), MakeRenderable("c", nullptr));
    EXPECT_EQ(group->renderables.Count(), 2u);

    r->RemoveFromAllRenderGroups(a);
    EXPECT_FALSE(group->Contains(a));
    EXPECT_FALSE(other->Contains(a));
    EXPECT_TRUE(group->Contains(b));
}

TEST_F(ZRenderGroupTest, TwoEffectsDrawnAlternatelyBeginOneTechniqueEach) {
    TestShader* a = MakeShader("A", alpha, "Alpha");
    TestShader* b = MakeShader("B", beta, "Beta");
    for (int i = 0; i < 6; ++i) {
        group->Add(MakeRenderable((i % 2 ? "b" : "a") + std::to_string(i), i % 2 ? b : a));
    }
    Frame();
    EXPECT_EQ(CountExact("Effect.SetTechnique(Alpha)"), 1u) << Calls();
    EXPECT_EQ(CountExact("Effect.SetTechnique(Beta)"), 1u);
    EXPECT_EQ(CountExact("Effect.Begin"), 2u);
    EXPECT_EQ(CountExact("Effect.End"), 2u) << "one at the change of effect, one after the last pass";
    // Beta has two passes: its three renderables draw in each.
    const std::vector<std::string> draws = Draws();
    ASSERT_EQ(draws.size(), 9u);
    const auto firstB =
        std::find_if(draws.begin(), draws.end(), [](const std::string& d) { return d[0] == 'b'; });
    const auto firstA =
        std::find_if(draws.begin(), draws.end(), [](const std::string& d) { return d[0] == 'a'; });
    // Each effect's renderables form one run.
    if (firstA < firstB) {
        EXPECT_TRUE(
            std::all_of(draws.begin(), draws.begin() + 3, [](const std::string& d) { return d[0] == 'a'; }));
    } else {
        EXPECT_TRUE(
            std::all_of(draws.begin() + 6, draws.end(), [](const std::string& d) { return d[0] == 'a'; }));
    }
    // The group keeps the sorted order.
    for (uint32_t i = 1; i < group->renderables.Count(); ++i) {
        const bool sameAsPrevious = group->renderables[i]->shader == group->renderables[i - 1]->shader;
        EXPECT_TRUE(sameAsPrevious || i == 3) << i;
    }
    EXPECT_EQ(GetRenderer()->techniquePassCount, 0u);
    EXPECT_EQ(GetRenderer()->lastResult, gfx::Result::Ok);
}

TEST_F(ZRenderGroupTest, EveryTechniquePassDrawsTheWholeRun) {
    TestShader* b = MakeShader("B", beta, "Beta");
    group->Add(MakeRenderable("one", b));
    group->Add(MakeRenderable("two", b));
    Frame();
    const std::vector<std::string> calls =
        CallsOf({"Effect.BeginPass", "Effect.EndPass", "Effect.Begin", "Effect.End"});
    const std::vector<std::string> expected = {"Effect.Begin",        "Effect.BeginPass(0)", "Effect.EndPass",
                                               "Effect.BeginPass(1)", "Effect.EndPass",      "Effect.End"};
    EXPECT_EQ(calls, expected);
    EXPECT_EQ(Draws().size(), 4u);
}

TEST_F(ZRenderGroupTest, ATechniqueStaysOpenAcrossGroupsAndPasses) {
    ZRenderer* r = GetRenderer();
    TestShader* a = MakeShader("A", alpha, "Alpha");
    group->Add(MakeRenderable("first", a));
    ZRenderGroup* second = r->CreateRenderGroup(ZHashedString("Second"));
    second->Add(MakeRenderable("second", a));
    r->CreateRenderPass(ZHashedString("Later"))->AddGroup(second);
    Frame();
    EXPECT_EQ(CountExact("Effect.Begin"), 1u) << Calls();
    EXPECT_EQ(CountExact("Effect.End"), 1u);
    EXPECT_EQ(Draws(), (std::vector<std::string>{"first", "second"}));
}

TEST_F(ZRenderGroupTest, InvisibleRenderablesAreSkippedWithoutEndingTheirRun) {
    TestShader* a = MakeShader("A", alpha, "Alpha");
    TestRenderable* shown = MakeRenderable("shown", a);
    TestRenderable* hidden = MakeRenderable("hidden", a);
    hidden->visible = false;
    TestRenderable* hiddenInstance = MakeRenderable("hidden instance", a);
    TestRenderable* instance = MakeRenderable("instance", nullptr);
    instance->visible = false;
    hiddenInstance->instance = instance;
    TestRenderable* shownInstance = MakeRenderable("shown instance", a);
    shownInstance->instance = MakeRenderable("visible instance", nullptr);
    for (TestRenderable* each : {shown, hidden, hiddenInstance, shownInstance}) group->Add(each);
    Frame();
    std::vector<std::string> draws = Draws();
    std::sort(draws.begin(), draws.end());
    EXPECT_EQ(draws, (std::vector<std::string>{"shown", "shown instance"}));
    EXPECT_EQ(CountExact("Effect.Begin"), 1u);
}

TEST_F(ZRenderGroupTest, ADisabledGroupIsNotDrawn) {
    group->Add(MakeRenderable("r", MakeShader("A", alpha, "Alpha")));
    group->enabled = false;
    Frame();
    EXPECT_TRUE(Draws().empty());
    EXPECT_EQ(Count("Effect."), 0u);
}

TEST_F(ZRenderGroupTest, RenderablesWithNothingToDrawWithAreSkipped) {
    ZEffect* missing = ZShaderMgr::GetInstance()->LoadEffect("missing.fxo", ZHashedString("missing"));
    ASSERT_EQ(missing->GetEffect(), nullptr);
    ZPassBinding broken{missing, ZHashedString("Gone"), 0};
    TestShader* noBinding = MakeShader("none", alpha, "NoSuchTechnique");
    TestShader* brokenShader = MakeShader("broken", alpha, "Alpha");
    brokenShader->SetDefaultPassBinding(&broken);
    group->Add(MakeRenderable("no shader", nullptr));
    group->Add(MakeRenderable("no binding", noBinding));
    group->Add(MakeRenderable("no effect", brokenShader));
    group->Add(MakeRenderable("fine", MakeShader("A", alpha, "Alpha")));
    Frame();
    EXPECT_EQ(Draws(), std::vector<std::string>{"fine"});
    EXPECT_EQ(CountExact("Effect.Begin"), 1u);
}

TEST_F(ZRenderGroupTest, EachPassNameTakesItsOwnBinding) {
    TestShader* shader = MakeShader("S", alpha, "Alpha");
    shader->SetPassBinding(ZHashedString("Pass"), beta->FindTechnique(ZHashedString("Beta")));
    group->Add(MakeRenderable("r", shader));
    ZRenderPassDesc* plain = GetRenderer()->CreateRenderPass(ZHashedString("Plain"));
    plain->AddGroup(group);
    Frame();
    EXPECT_EQ(CallsOf({"Effect.SetTechnique("}),
              (std::vector<std::string>{"Effect.SetTechnique(Beta)", "Effect.SetTechnique(Alpha)"}));
}

TEST_F(ZRenderGroupTest, EachScopeGoesToItsSourceOnlyWhenNeeded) {
    TestShader* shader = MakeShader("S", alpha, "Alpha");
    NotingSource material("M", &journal);
    shader->material = &material;
    TestRenderable* one = MakeRenderable("R1", shader);
    TestRenderable* two = MakeRenderable("R2", shader);
    NotingSource instance("I", &journal);
    two->instance = &instance;
    group->Add(one);
    group->Add(two);
    // A second shader without a material source answers that scope itself.
    TestShader* bare = MakeShader("T", alpha, "Alpha");
    ZRenderGroup* second = GetRenderer()->CreateRenderGroup(ZHashedString("Second"));
    second->Add(MakeRenderable("R3", bare));
    pass->AddGroup(second);
    Frame();

    EXPECT_EQ(Noted("S:plain"), 1u) << "the unscoped source once while it stays the same";
    EXPECT_EQ(Noted("M:material"), 2u) << "the material scope at every draw";
    EXPECT_EQ(Noted("R1:each"), 1u);
    EXPECT_EQ(Noted("R2:each"), 1u);
    EXPECT_EQ(Noted("R1:instance"), 1u) << "without an instance source the renderable answers";
    EXPECT_EQ(Noted("I:instance"), 1u);
    EXPECT_EQ(Noted("R2:instance"), 0u);
    EXPECT_EQ(Noted("T:plain"), 1u);
    EXPECT_EQ(Noted("T:material"), 1u);
    EXPECT_EQ(CountExact("Effect.CommitChanges"), 3u);
    // Parameters are handed over before their renderable draws.
    const auto at = [&](const std::string& e) {
        return std::find(journal.begin(), journal.end(), e) - journal.begin();
    };
    EXPECT_LT(at("I:instance"), at("draw R2"));
    EXPECT_LT(at("T:material"), at("draw R3"));
}

TEST_F(ZRenderGroupTest, AChangeOfEffectHandsTheBroadScopesOverAgain) {
    // One renderable drawn by two passes whose bindings use different effects:
    // values set on the first effect are not on the second.
    TestShader* shader = MakeShader("S", alpha, "Alpha");
    shader->SetPassBinding(ZHashedString("Twin"), beta->FindTechnique(ZHashedString("Beta")));
    group->Add(MakeRenderable("R", shader));
    GetRenderer()->CreateRenderPass(ZHashedString("Twin"))->AddGroup(group);
    Frame();
    EXPECT_EQ(Noted("S:plain"), 2u);
    EXPECT_EQ(Noted("R:each"), 2u);
    // Within one effect they are not handed again.
    GetRenderer()->FindRenderPass(ZHashedString("Twin"))->groups.Clear();
    ZRenderPassDesc* again = GetRenderer()->CreateRenderPass(ZHashedString("Again"));
    again->AddGroup(group);
    Frame();
    EXPECT_EQ(Noted("S:plain"), 1u);
    EXPECT_EQ(Noted("R:each"), 1u);
    EXPECT_EQ(Noted("R:instance"), 2u);
}

TEST_F(ZRenderGroupTest, NothingHandedOverCommitsNothing) {
    ZEffect* bare = LoadEffect("bare", R"(effect 1
technique Bare
    pass P0
        vertex VS
        fragment FS
end
code vertex VS
in vec3 a_Position;
void main() { gl_Position = vec4(a_Position, 1.0); }
endcode
code fragment FS
out vec4 colour;
void main() { colour = vec4(1.0); }
endcode
)");
    group->Add(MakeRenderable("r", MakeShader("B", bare, "Bare")));
    Frame();
    EXPECT_EQ(Draws().size(), 1u);
    EXPECT_EQ(CountExact("Effect.CommitChanges"), 0u);
}

// A target that a quad covers is left uncleared: the answer must be no
// whenever the quad would not be drawn over all of it this frame.
TEST_F(ZRenderGroupTest, DrawsOverWholeTargetOnlyWhenTheQuadWillBeDrawnOverAllOfIt) {
    TestRenderable* quad = MakeRenderable("q", MakeShader("A", alpha, "Alpha"));
    group->Add(quad);
    ZRenderGroup* other = GetRenderer()->CreateRenderGroup(ZHashedString("Other"));
    TestRenderable* elsewhere = MakeRenderable("e", MakeShader("A2", alpha, "Alpha"));
    other->Add(elsewhere);
    TestRenderable* unshaded = MakeRenderable("u", nullptr);
    group->Add(unshaded);
    TestShader* unbound = MakeShader("N", alpha, "Alpha");
    unbound->SetDefaultPassBinding(nullptr);
    TestRenderable* noBinding = MakeRenderable("n", unbound);
    group->Add(noBinding);

    struct Row {
        const char* what;
        std::function<void()> change;
        ZRenderable* quad;
        bool covers;
    };
    const Row rows[] = {
        {"drawn", [] {}, quad, true},
        {"pass off", [&] { pass->enabled = false; }, quad, false},
        {"group off", [&] { group->enabled = false; }, quad, false},
        {"quad hidden", [&] { quad->visible = false; }, quad, false},
        {"viewport narrower", [&] { pass->viewportWidth = 0.75f; }, quad, false},
        {"viewport lower", [&] { pass->viewportY = 0.1f; pass->viewportHeight = 0.9f; }, quad, false},
        {"in no group of the pass", [] {}, elsewhere, false},
        {"no shader", [] {}, unshaded, false},
        {"no technique for the pass", [] {}, noBinding, false},
        {"no quad", [] {}, nullptr, false},
    };
    for (const Row& row : rows) {
        pass->enabled = true;
        pass->viewportX = 0.0f;
        pass->viewportY = 0.0f;
        pass->viewportWidth = 1.0f;
        pass->viewportHeight = 1.0f;
        group->enabled = true;
        quad->visible = true;
        row.change();
        EXPECT_EQ(ZRenderer::DrawsOverWholeTarget(pass, row.quad), row.covers) << row.what;
    }
    EXPECT_FALSE(ZRenderer::DrawsOverWholeTarget(nullptr, quad)) << "no pass";
}

}  // namespace

// A renderable on a higher layer draws after every other of its group, in
// each of its effect's passes, whatever order the batching puts the rest in;
// leaving the group forgets its layer.
TEST_F(ZRenderGroupTest, AHigherLayerDrawsOverTheRestOfItsGroup) {
    TestShader* a = MakeShader("A", alpha, "Alpha");
    TestShader* b = MakeShader("B", beta, "Beta");
    std::vector<TestRenderable*> all;
    for (int i = 0; i < 6; ++i) {
        all.push_back(MakeRenderable((i % 2 ? "b" : "a") + std::to_string(i), i % 2 ? b : a));
        group->Add(all.back());
    }
    for (TestRenderable* front : all) {
        const std::string name = front->name;
        SCOPED_TRACE(name);
        group->AddOnLayer(front, 1);
        EXPECT_EQ(group->GetLayer(front), 1);
        Frame();
        const std::vector<std::string> draws = Draws();
        ASSERT_EQ(draws.size(), 9u);
        // Beta draws in two passes, Alpha in one.
        const size_t passes = name[0] == 'b' ? 2u : 1u;
        for (size_t k = 0; k < passes; ++k) EXPECT_EQ(draws[draws.size() - 1 - k], name);
        EXPECT_EQ(group->renderables[group->renderables.Count() - 1], front) << "the group keeps the order";
        group->AddOnLayer(front, 0);
        EXPECT_EQ(group->GetLayer(front), 0);
    }
    group->AddOnLayer(all[0], 2);
    GetRenderer()->RemoveFromAllRenderGroups(all[0]);
    EXPECT_EQ(group->GetLayer(all[0]), 0);
    EXPECT_TRUE(group->layers.empty());
}
