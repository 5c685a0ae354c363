// The title screen: its two pages, the hidden input sequence, and the roads
// into play (continue with or without a warning, a new game).

#include <filesystem>
#include <iterator>

#include "game/menus/GameMenuSupport.h"
#include "game/menus/KorvanthTitleMenu.h"
#include "game/menus/LoadWarningMenu.h"
#include "game/menus/LoadingMenu.h"
#include "game/menus/RandomizerMenu.h"
#include "GameMenusFixture.h"
#include "menu/ConfirmationMenu.h"
#include "menu/ZMenuLabel.h"
#include "menu/ZMenuTextField.h"
#include "renderer/ZEffectParameter.h"
#include "renderer/ZQuadRenderable.h"

namespace menustest {
namespace {

using Kind = ZMenuEventKind;
using Rows = std::vector<std::pair<std::string, float>>;

class TitleMenuTest : public GameMenusTest {
protected:
    KorvanthTitleMenu* OpenTitle(const bool mainPage) {
        auto* title = new KorvanthTitleMenu(mainPage);
        Open(title);
        return title;
    }
    // The y of each item on the page, by name.
    static Rows RowsOf(const ZMenu* menu) {
        Rows rows;
        for (uint32_t i = 0; i < menu->GetItemCount(); ++i) {
            const ZMenuItem* item = menu->GetItem(static_cast<int32_t>(i));
            rows.emplace_back(item->GetName().GetTextOrEmpty(), item->y);
        }
        return rows;
    }
};

TEST_F(TitleMenuTest, MainPageRowsFollowTheSaveAndDemoMode) {
    struct Case {
        const char* what;
        bool save;
        bool demo;
        Rows rows;
    };
    const Case cases[] = {
        {"no save", false, false, {{"NewGame", 570.0f}, {"Options", 598.0f}, {"Exit", 626.0f}}},
        {"a save", true, false, {{"Continue", 556.0f}, {"NewGame", 584.0f}, {"Options", 612.0f}, {"Exit", 640.0f}}},
        // Demo mode never continues and has no options, spaced for three rows.
        {"demo mode", true, true, {{"NewGame", 570.0f}, {"Exit", 598.0f}}},
    };
    for (const Case& c : cases) {
        GetStateStore()->Clear();
        if (c.save) WriteSave();
        SetDemoMode(c.demo);
        KorvanthTitleMenu* title = OpenTitle(true);
        EXPECT_EQ(RowsOf(title), c.rows) << c.what;
        EXPECT_FALSE(title->IsOnPressStartPage());
        GetMenuMgr()->CloseAll();
        Settle();
    }
}

TEST_F(TitleMenuTest, PressStartLeadsToTheMainPageAndCancelBack) {
    KorvanthTitleMenu* title = OpenTitle(false);
    ASSERT_TRUE(title->IsOnPressStartPage());
    ASSERT_NE(title->GetPressStartItem(), nullptr);
    EXPECT_EQ(title->GetPressStartItem()->GetText().Find("Press "), 0) << title->GetPressStartItem()->GetText().GetText();
    EXPECT_FLOAT_EQ(title->GetTitleFade(), KorvanthTitleMenu::kFadeSeconds);

    Send(Kind::NavDown);  // recorded, no page change
    EXPECT_TRUE(title->IsOnPressStartPage());
    Send(Kind::Accept);
    EXPECT_FALSE(title->IsOnPressStartPage());
    EXPECT_EQ(SelectableNames(title), (std::vector<std::string>{"NewGame", "Options", "Exit"}));
    EXPECT_EQ(title->GetPressStartItem(), nullptr);

    // Inputs on the main page are not recorded; Cancel comes back with an empty history.
    Send(Kind::NavUp);
    Send(Kind::Cancel);
    ASSERT_TRUE(title->IsOnPressStartPage());
    for (int32_t count = 1; count <= KorvanthTitleMenu::kCodeLength; ++count) {
        EXPECT_FALSE(title->MatchesCode(count)) << "history cleared, count " << count;
    }
    EXPECT_EQ(Top(), title) << "the title menu never closes on Cancel";
}

TEST_F(TitleMenuTest, TheHiddenSequence) {
    KorvanthTitleMenu* title = OpenTitle(false);
    const int32_t* code = KorvanthTitleMenu::GetCode();
    const auto send = [&](const int32_t input) {
        static const int32_t kinds[] = {0, Kind::NavUp, Kind::NavDown, Kind::NavLeft, Kind::NavRight, Kind::Cancel,
                                        Kind::Accept};
        Send(kinds[input]);
    };
    for (int32_t i = 0; i < KorvanthTitleMenu::kCodeLength; ++i) {
        send(code[i]);
        ASSERT_TRUE(title->IsOnPressStartPage()) << "entering the code stays on the page, input " << i;
    }
    EXPECT_TRUE(title->MatchesCode(KorvanthTitleMenu::kCodeLength));
    EXPECT_FALSE(title->IsCodeEntered()) << "completing it only arms it";
    Send(Kind::Accept);
    EXPECT_TRUE(title->IsCodeEntered()) << "the next accept plays the stinger";
    EXPECT_FALSE(title->IsOnPressStartPage()) << "and goes on to the main page";
}

// What the title picture's effect receives from the menu.
class RecordedParameter : public ZEffectParameter {
public:
    explicit RecordedParameter(const char* name) : ZEffectParameter(nullptr, name, kMatrix, 0) {}
    void SetMatrix(const ZMatrix4& value) override { matrix = value; }
    void SetVector(const ZVector4& value) override { vector = value; }
    void SetFloat(const float value) override { number = value; }
    ZMatrix4 matrix;
    ZVector4 vector{0.0f, 0.0f, 0.0f, 0.0f};
    float number = -1.0f;
};

TEST_F(TitleMenuTest, TheScreenFadesInAndThePictureZoomsBetweenThePages) {
    // Opened before the clock runs (frames of no length); then every frame of
    // the game's loop lasts a quarter of a second, and the answers go straight
    // to the menu between two frames.
    KorvanthTitleMenu* title = OpenTitle(false);
    ASSERT_NE(title->GetBackdrop(), nullptr);
    ASSERT_FLOAT_EQ(title->GetTitleFade(), KorvanthTitleMenu::kFadeSeconds);
    EXPECT_FLOAT_EQ(game->GetScreenFadeLevel(), 0.0f) << "black before the first frame of the fade";
    game->m_fixedEngineStep = 0.25f;
    const auto frame = [&] {
        game->UpdateTiming();  // the menus' frame comes with it
        ASSERT_FLOAT_EQ(game->GetEngineFrameTime(), 0.25f);
    };
    const auto dispatch = [&](const int32_t kind) {
        if (kind == Kind::Tick) {
            frame();
            return;
        }
        ZMenuEvent event;
        event.kind = kind;
        GetMenuMgr()->DispatchEvent(event, nullptr);
    };
    const auto scale = [&] {
        RecordedParameter p("ExtraScaleMat");
        // Asked through the picture's quad, as the renderer asks it.
        EXPECT_TRUE(title->GetBackdrop()->SetParameters(&p, ZHashedString(), title->GetBackdrop()));
        EXPECT_FLOAT_EQ(p.matrix[0], p.matrix[5]);
        EXPECT_FLOAT_EQ(p.matrix[0], p.matrix[10]);
        return p.matrix[0];
    };
    // The fade-in: 1.5 s of smoother step up to full level, then full.
    const float fade[] = {0.0354938f, 0.2098765f, 0.5f, 0.7901235f, 0.9645062f, 1.0f, 1.0f};
    for (size_t i = 0; i < std::size(fade); ++i) {
        dispatch(Kind::Tick);
        EXPECT_NEAR(game->GetScreenFadeLevel(), fade[i], 1e-5f) << "frame " << i;
        EXPECT_NEAR(scale(), 1.35f, 1e-6f) << "the press-start page at rest, frame " << i;
    }
    RecordedParameter time("TimeIn");
    EXPECT_TRUE(title->GetBackdrop()->SetParameters(&time, ZHashedString(), title->GetBackdrop()));
    EXPECT_FLOAT_EQ(time.number, 1.75f);
    RecordedParameter colour("BackdropColor");
    EXPECT_TRUE(title->SetParameters(&colour, ZHashedString(), nullptr));
    EXPECT_EQ(colour.vector, ZVector4(1.0f, 1.0f, 1.0f, 1.0f));
    RecordedParameter move("ExtraTransMat");
    move.matrix[12] = 5.0f;
    EXPECT_TRUE(title->SetParameters(&move, ZHashedString(), nullptr));
    EXPECT_EQ(move.matrix, ZMatrix4::Identity());
    RecordedParameter other("wvpMat");
    EXPECT_FALSE(title->SetParameters(&other, ZHashedString(), nullptr)) << "the title shader's own";

    // The page change eases the zoom over half a second each way.
    struct Step {
        int32_t send;
        float transition;
        float scale;
    };
    const Step steps[] = {
        {Kind::Accept, 0.5f, 1.35f}, {Kind::Tick, 0.25f, 1.25f}, {Kind::Tick, 0.0f, 1.15f}, {Kind::Tick, 0.0f, 1.15f},
        {Kind::Cancel, -0.5f, 1.15f}, {Kind::Tick, -0.25f, 1.25f}, {Kind::Tick, 0.0f, 1.35f},
    };
    for (const Step& s : steps) {
        dispatch(s.send);
        EXPECT_FLOAT_EQ(title->GetPageTransition(), s.transition) << s.send;
        EXPECT_NEAR(scale(), s.scale, 1e-6f) << s.send << " at " << s.transition;
    }
    EXPECT_TRUE(title->IsOnPressStartPage());
    EXPECT_FLOAT_EQ(game->GetScreenFadeLevel(), 1.0f) << "coming back does not fade in again";
}

TEST_F(TitleMenuTest, CancelLeavesThePressStartPageUnlessItCompletesNineOfTheCode) {
    struct Case {
        const char* what;
        int32_t before;  // code inputs sent first
        bool stays;
    };
    const Case cases[] = {
        {"a plain cancel", 0, false},
        {"the ninth input of the code", 8, true},
    };
    for (const Case& c : cases) {
        KorvanthTitleMenu* title = OpenTitle(false);
        const int32_t* code = KorvanthTitleMenu::GetCode();
        static const int32_t kinds[] = {0, Kind::NavUp, Kind::NavDown, Kind::NavLeft, Kind::NavRight};
        for (int32_t i = 0; i < c.before; ++i) Send(kinds[code[i]]);
        Send(Kind::Cancel);
        EXPECT_EQ(title->IsOnPressStartPage(), c.stays) << c.what;
        GetMenuMgr()->CloseAll();
        Settle();
    }
}

TEST_F(TitleMenuTest, NewGameWithoutASaveGoesThroughTheRandomizerSetupIntoTheOnlyCampaign) {
    const std::string autosave = AutosaveFile();
    KorvanthTitleMenu* title = OpenTitle(true);
    SelectAndSend("NewGame", Kind::Accept);
    auto* setup = TopAs<RandomizerMenu>();
    ASSERT_NE(setup, nullptr) << "no save: no question";
    EXPECT_EQ(setup->owner, title);
    setup->seedField->SetText("KQTB ZMRW");
    setup->Select(1);  // Random
    Send(Kind::Accept);
    // The loading screen starts the campaign once it has opened; the start closes every menu.
    EXPECT_EQ(GetMenuMgr()->GetOpenMenuCount(), 0u);
    EXPECT_FALSE(game->GetCurrentMapName().IsEmpty());
    EXPECT_TRUE(gameflow::IsGameInProgress());
    EXPECT_TRUE(gameflow::IsRandomized());
    EXPECT_EQ(gameflow::GetSeedString(), "KQTB ZMRW");
    EXPECT_EQ(gameflow::GetSeedHash(), HashStringELF("KQTBZMRW"));
    // The seed's world is built: the information menu lists where the major items went.
    EXPECT_EQ(gameflow::GetCriticalPathText().Find("Assigned "), 0);
    EXPECT_TRUE(std::filesystem::exists(autosave)) << "the start writes the autosave";
}

TEST_F(TitleMenuTest, NewGameOverASaveAsksFirstAndThrowsTheSaveAway) {
    // The old game took something: its record goes into the save.
    constexpr uint32_t kTaken = 0x0BADF00Du;
    GetStateStore()->GetOrInsert(kTaken).SetAttribute(ZHashedString("Dead"), ZString("true"));
    WriteSave();
    const std::string autosave = AutosaveFile();
    ASSERT_TRUE(std::filesystem::exists(autosave));
    OpenTitle(true);
    SelectAndSend("NewGame", Kind::Accept);
    auto* question = TopAs<ConfirmationMenu>();
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(question->descriptionLabel->GetText().Find("\n"), question->descriptionLabel->GetText().Find("game?") + 5)
        << "the question's \\n is a line break";
    question->Select(0);  // Yes
    Send(Kind::Accept);
    ASSERT_NE(TopAs<RandomizerMenu>(), nullptr);
    Send(Kind::Cancel);
    EXPECT_TRUE(std::filesystem::exists(autosave)) << "cancelling the setup starts nothing and keeps the save";
    SelectAndSend("NewGame", Kind::Accept);
    TopAs<ConfirmationMenu>()->Select(0);
    Send(Kind::Accept);
    Top()->Select(0);  // Original
    // The menu throws the old save away before the loading screen starts the
    // new game, which writes its own: nothing of the old game is in it.
    EXPECT_TRUE(GetStateStore()->Has(kTaken));
    Send(Kind::Accept);
    EXPECT_TRUE(gameflow::IsGameInProgress());
    EXPECT_FALSE(GetStateStore()->Has(kTaken)) << "the old game's records are gone";
    ZStateStore written;
    ASSERT_TRUE(written.Load(game->GetAutosavePath().GetText())) << "the new game's save";
    EXPECT_FALSE(written.Has(kTaken));
    SavedProgress progress;
    ASSERT_TRUE(gameflow::ReadProgress(progress));
    EXPECT_FALSE(progress.randomized);
    EXPECT_EQ(progress.campaign, "Korvanth.kdd");
}

TEST_F(TitleMenuTest, ContinueWarnsAboutSavesOfOlderVersions) {
    struct Case {
        const char* what;
        int32_t minimapVersion;
        bool randomized;
        int32_t algorithm;
        const char* warning;  // the popup's text key, null for none
    };
    const Case cases[] = {
        {"a current save", gameflow::kMinimapVersion, false, 15, nullptr},
        {"a save without a minimap version", 0, false, 15, "MinimapWarning"},
        {"a randomized save of an older algorithm", gameflow::kMinimapVersion, true, 14, "RandomizerWarning"},
        {"a randomized save of the current algorithm", gameflow::kMinimapVersion, true, 15, nullptr},
    };
    for (const Case& c : cases) {
        WriteSave(c.minimapVersion, c.randomized, c.algorithm);
        OpenTitle(true);
        SelectAndSend("Continue", Kind::Accept);
        if (c.warning == nullptr) {
            EXPECT_EQ(GetMenuMgr()->GetOpenMenuCount(), 0u) << c.what << ": straight into play";
            EXPECT_EQ(game->GetCurrentMapName(), "Overworld") << c.what << ": the checkpoint's map";
        } else {
            auto* warning = TopAs<LoadWarningMenu>();
            ASSERT_NE(warning, nullptr) << c.what;
            const ZString expected = GameMenuText("Loading", c.warning).ExpandNewlines();
            EXPECT_EQ(warning->GetWarningText(), expected) << c.what;
            // Cancel answers like Okay: the loading screen continues the save.
            Send(Kind::Cancel);
            EXPECT_EQ(GetMenuMgr()->GetOpenMenuCount(), 0u) << c.what;
        }
        EXPECT_TRUE(gameflow::IsGameInProgress()) << c.what;
        gameflow::SetGameInProgress(false);
        GetMenuMgr()->CloseAll();
        Settle();
    }
}

TEST_F(TitleMenuTest, ExitAsksThenExits) {
    KorvanthTitleMenu* title = OpenTitle(true);
    SelectAndSend("Exit", Kind::Accept);
    auto* question = TopAs<ConfirmationMenu>();
    ASSERT_NE(question, nullptr);
    Send(Kind::Accept);  // No is selected first
    EXPECT_EQ(Top(), title);
    EXPECT_EQ(game->exits, 0);
    SelectAndSend("Exit", Kind::Accept);
    Top()->Select(0);
    Send(Kind::Accept);
    EXPECT_EQ(game->exits, 1);
}

}  // namespace
}  // namespace menustest
