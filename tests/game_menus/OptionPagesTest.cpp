// The options hub and its pages: the game options switches, the CRT
// simulation page and its tuner pages, the anaglyph page, audio and credits.

#include <cmath>

#include "framework/ZConfigVar.h"
#include "game/menus/AnaglyphMenu.h"
#include "game/menus/CRTTunerMenu.h"
#include "game/menus/CreditsMenu.h"
#include "game/menus/GameMenuSupport.h"
#include "game/menus/KorvanthAudioMenu.h"
#include "game/menus/KorvanthCRTMenu.h"
#include "game/menus/KorvanthGameOptionsMenu.h"
#include "game/menus/KorvanthOptionsMenu.h"
#include "game/menus/MenuScene.h"
#include "game/menus/TunerConfirmationMenu.h"
#include "GameMenusFixture.h"
#include "menu/ZMenuSpinner.h"

namespace menustest {
namespace {

using Kind = ZMenuEventKind;

class OptionPagesTest : public GameMenusTest {
protected:
    // The spinner of a value row by the text of its label.
    static ZMenuSpinner* RowOf(const ZMenu* menu, const char* variable) {
        for (uint32_t i = 0; i < menu->GetItemCount(); ++i) {
            auto* spinner = dynamic_cast<ZMenuSpinner*>(menu->GetItem(static_cast<int32_t>(i)));
            if (spinner != nullptr && spinner->variable == ZHashedString(variable)) return spinner;
        }
        return nullptr;
    }
    static int32_t IndexOfItem(const ZMenu* menu, const ZMenuItem* item) {
        for (uint32_t i = 0; i < menu->GetItemCount(); ++i) {
            if (menu->GetItem(static_cast<int32_t>(i)) == item) return static_cast<int32_t>(i);
        }
        return -1;
    }
};

TEST_F(OptionPagesTest, TheHubListsTheGamesPagesAndOpensThem) {
    ZMenu* hub = game->CreateOptionsMenu();
    Open(hub);
    EXPECT_EQ(SelectableNames(hub), (std::vector<std::string>{"Game", "CRT", "Anaglyph", "Video", "Audio", "Controls",
                                                              "Language", "Credits", "Back"}));
    EXPECT_EQ(hub->GetItem(1)->GetText(), "CRT Simulation");
    struct Case {
        const char* entry;
        bool (*isPage)(ZMenu*);
    };
    const Case cases[] = {
        {"Game", [](ZMenu* m) { return dynamic_cast<KorvanthGameOptionsMenu*>(m) != nullptr; }},
        {"CRT", [](ZMenu* m) { return dynamic_cast<KorvanthCRTMenu*>(m) != nullptr; }},
        {"Anaglyph", [](ZMenu* m) { return dynamic_cast<AnaglyphMenu*>(m) != nullptr; }},
        {"Audio", [](ZMenu* m) { return dynamic_cast<KorvanthAudioMenu*>(m) != nullptr; }},
        {"Credits", [](ZMenu* m) { return dynamic_cast<CreditsMenu*>(m) != nullptr; }},
    };
    for (const Case& c : cases) {
        SelectAndSend(c.entry, Kind::Accept);
        EXPECT_TRUE(c.isPage(Top())) << c.entry;
        GetMenuMgr()->CloseMenu();
        Settle();
        ASSERT_EQ(Top(), hub) << c.entry;
    }
    // A name neither the engine nor the game knows opens nothing.
    auto* options = dynamic_cast<KorvanthOptionsMenu*>(hub);
    EXPECT_FALSE(options->OnEntryChosen(ZHashedString("Nonsense")));
    Settle();
    EXPECT_EQ(Top(), hub);
}

TEST_F(OptionPagesTest, GameOptionSwitchesToggleAtOnceAndKeepTheirValues) {
    // Each switch's value is read where the game registered its variable.
    struct Case {
        const char* item;
        const char* section;  // "" for the general section
        const char* variable;
        const char* before;
        const char* after;
    };
    const Case cases[] = {
        {"SpinnerButton_ALT_DOWN_JUMP", "Input", "AltDownJump", "< Drop Through: Down >",
         "< Drop Through: Down + Jump >"},
        {"SpinnerButton_DIALOG", "", "OpaqueDialogBoxes", "< Dialog Boxes: Room Colour >", "< Dialog Boxes: Black >"},
        {"SpinnerButton_MINIMAP", "", "ShowMinimap", "< Minimap: On >", "< Minimap: Off >"},
        {"SpinnerButton_PROMPTS", "", "ShowInteractPrompts", "< Prompts: On >", "< Prompts: Off >"},
    };
    // The minimap switch is the display's own setting, not a copy of it.
    EXPECT_EQ(FindConfigBool(ZHashedString::None(), ZHashedString("ShowMinimap")),
              &game->m_displaySettings.showMinimap);
    for (const Case& c : cases) {
        const bool* value = FindConfigBool(c.section[0] == '\0' ? ZHashedString::None() : ZHashedString(c.section),
                                           ZHashedString(c.variable));
        ASSERT_NE(value, nullptr) << c.variable << " is registered";
        const bool start = *value;
        Open(game->CreateGameOptionsMenu());
        const int32_t index = IndexOf(Top(), c.item);
        ASSERT_GE(index, 0) << c.item;
        EXPECT_EQ(Top()->GetItem(index)->GetText(), c.before) << c.item;
        Top()->Select(index);
        Send(Kind::NavLeft);
        EXPECT_EQ(*value, !start) << c.item << ": left toggles";
        EXPECT_EQ(Top()->GetItem(index)->GetText(), c.after) << c.item;
        EXPECT_EQ(Top()->selectedIndex, index) << c.item << ": left stays on the switch";
        Send(Kind::Accept);
        EXPECT_EQ(*value, !start) << c.item << ": accept on a row changes nothing";
        Send(Kind::NavRight);
        Send(Kind::NavRight);
        EXPECT_EQ(*value, !start) << c.item << ": right twice restores";
        Send(Kind::Cancel);
        EXPECT_EQ(GetMenuMgr()->GetOpenMenuCount(), 0u) << c.item << ": cancel closes";
        EXPECT_EQ(*value, !start) << c.item << ": the value stays";
    }
    EXPECT_EQ(displayLog, (std::vector<std::string>{"minimap off", "minimap on", "minimap off"}))
        << "the minimap switch applies itself at every toggle";
}

// Each switch, found through the configuration registry by its section and
// name: a toggle changes that variable, and the configuration text the engine
// saves brings the new value back on the next start.
TEST_F(OptionPagesTest, GameOptionSwitchesReachTheirConfigurationVariables) {
    const struct {
        const char* item;
        const char* section;  // empty: the base section
        const char* name;
    } cases[] = {
        {"SpinnerButton_ALT_DOWN_JUMP", "Input", "AltDownJump"},
        {"SpinnerButton_DIALOG", "", "OpaqueDialogBoxes"},
        {"SpinnerButton_MINIMAP", "", "ShowMinimap"},
        {"SpinnerButton_PROMPTS", "", "ShowInteractPrompts"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.item);
        const ZHashedString section = *c.section != 0 ? ZHashedString(c.section) : ZHashedString::None();
        const ZConfigVar& var = FindOrAddConfigVar(section, ZHashedString(c.name));
        ASSERT_EQ(var.type, ZConfigVar::kTypeBool);
        bool* const value = static_cast<bool*>(var.storage);
        const bool start = *value;
        Open(game->CreateGameOptionsMenu());
        const int32_t index = IndexOf(Top(), c.item);
        ASSERT_GE(index, 0);
        Top()->Select(index);
        Send(Kind::NavLeft);
        Send(Kind::Cancel);
        EXPECT_EQ(*value, !start);
        const ZString saved = FormatConfigText();
        *value = start;  // as a new start has it before reading the file
        LoadConfigText(saved.GetText(), static_cast<size_t>(saved.GetLength()));
        EXPECT_EQ(*value, !start) << "the saved configuration keeps it";
    }
}

TEST_F(OptionPagesTest, CrtSimulationSwitchAndTheTunerButtons) {
    game->m_displaySettings.crtSim = false;
    Open(new KorvanthCRTMenu());
    EXPECT_TRUE(game->m_tunerActive);
    EXPECT_TRUE(GetMenuScene().tunerPreviewVisible);
    EXPECT_EQ(Top()->GetItem(1)->GetText(), "< CRT Simulation: Off >");
    EXPECT_EQ(SelectableNames(Top()), (std::vector<std::string>{"", "SpinnerButton_CRT_SIM"}))
        << "with the simulation off only Back and the switch";
    float opacity = 1.0f;
    Top()->AdjustBackdropOpacity(&opacity);
    EXPECT_EQ(opacity, 0.0f) << "at rest the picture is undimmed";

    Top()->Select(1);
    Send(Kind::Accept);
    EXPECT_FALSE(game->m_displaySettings.crtSim) << "accept on the switch changes nothing";
    Send(Kind::NavRight);
    EXPECT_TRUE(game->m_displaySettings.crtSim);
    EXPECT_EQ(SelectableNames(Top()).size(), 6u);
    Send(Kind::NavLeft);
    EXPECT_FALSE(game->m_displaySettings.crtSim);
    EXPECT_EQ(displayLog, (std::vector<std::string>{"crt on", "crt off"}));

    // Switching the simulation on turns anaglyph 3D off.
    game->m_displaySettings.anaglyph3D = true;
    Send(Kind::NavRight);
    EXPECT_TRUE(game->m_displaySettings.crtSim);
    EXPECT_FALSE(game->m_displaySettings.anaglyph3D);

    Send(Kind::Cancel);
    EXPECT_EQ(GetMenuMgr()->GetOpenMenuCount(), 0u);
    EXPECT_FALSE(game->m_tunerActive);
    EXPECT_FALSE(GetMenuScene().tunerPreviewVisible);
}

TEST_F(OptionPagesTest, CrtResetPutsTheTunerSettingsBackAfterYesOnly) {
    game->m_displaySettings.crtSim = true;
    game->m_displaySettings.sat = 3.0f;
    game->m_displaySettings.tint = 1.0f;
    game->m_displaySettings.lightPosX = -3.0f;
    game->m_displaySettings.anaglyphBrightness = 0.1f;
    Open(new KorvanthCRTMenu());
    for (const int32_t answer : {1, 2}) {  // No, Cancel
        SelectAndSend("ResetButton", Kind::Accept);
        auto* question = TopAs<TunerConfirmationMenu>();
        ASSERT_NE(question, nullptr);
        float opacity = 1.0f;
        question->AdjustBackdropOpacity(&opacity);
        EXPECT_EQ(opacity, 0.0f);
        question->Select(answer);
        Send(Kind::Accept);
        EXPECT_FLOAT_EQ(game->m_displaySettings.sat, 3.0f) << "answer " << answer;
    }
    SelectAndSend("ResetButton", Kind::Accept);
    Top()->Select(0);
    Send(Kind::Accept);
    EXPECT_FLOAT_EQ(game->m_displaySettings.sat, 1.35f);
    EXPECT_FLOAT_EQ(game->m_displaySettings.tint, 5.1831856f);
    EXPECT_FLOAT_EQ(game->m_displaySettings.lightPosX, 5.0f);
    EXPECT_TRUE(game->m_displaySettings.crtSim) << "the switch is not a tuner setting";
    EXPECT_FLOAT_EQ(game->m_displaySettings.anaglyphBrightness, 0.1f) << "anaglyph settings stay";
    EXPECT_NE(TopAs<KorvanthCRTMenu>(), nullptr) << "the page stays open";
}

TEST_F(OptionPagesTest, TunerRowsShowTheirFormatsAndMarks) {
    game->m_displaySettings.crtSim = true;
    Open(new KorvanthCRTMenu());
    SelectAndSend("TunerButton_Shape", Kind::Accept);
    ZMenu* page = TopAs<CRTTunerShapeMenu>();
    ASSERT_NE(page, nullptr);
    float opacity = 1.0f;
    page->AdjustBackdropOpacity(&opacity);
    EXPECT_EQ(opacity, 0.0f);
    struct Case {
        const char* variable;
        const char* text;
    };
    const Case cases[] = {
        {"FOV", nullptr}, {"Overscan", "1.000"}, {"Barrel", "-0.12"}, {"PixelAspectRatio", "1.14"},
    };
    for (const Case& c : cases) {
        ZMenuSpinner* row = RowOf(page, c.variable);
        ASSERT_NE(row, nullptr) << c.variable;
        if (c.text != nullptr) {
            EXPECT_EQ(row->valueItem->GetText(), c.text) << c.variable;
        }
    }
    EXPECT_FLOAT_EQ(game->m_displaySettings.pixelAspectRatio, 8.0f / 7.0f) << "showing a value does not write it";
    // The neutral marks: Barrel at 0, pixel shape at 1.
    ZMenuSpinner* barrel = RowOf(page, "Barrel");
    EXPECT_TRUE(barrel->snapPoints.Contains((0.0f + 0.5f) / 2.5f));
    EXPECT_TRUE(RowOf(page, "PixelAspectRatio")->snapPoints.Contains((1.0f - 0.5f) / 1.5f));

    // Right then left on the pixel shape leaves a value of the row's precision.
    ZMenuSpinner* shape = RowOf(page, "PixelAspectRatio");
    page->Select(IndexOfItem(page, shape));
    Send(Kind::NavRight);
    Send(Kind::NavLeft);
    EXPECT_FLOAT_EQ(game->m_displaySettings.pixelAspectRatio * 100.0f, std::round(game->m_displaySettings.pixelAspectRatio * 100.0f));
    // Held right stops at the maximum.
    for (int i = 0; i < 120; ++i) Send(Kind::NavRight);
    EXPECT_FLOAT_EQ(game->m_displaySettings.pixelAspectRatio, 2.0f);
    EXPECT_EQ(shape->valueItem->GetText(), "2.00");
    // Selecting a row shows its description.
    EXPECT_EQ(page->GetItem(1)->GetText(), GameMenuText("CRTTunerMenu", "PixelAspectRatioDesc"));

    Send(Kind::Cancel);
    EXPECT_NE(TopAs<KorvanthCRTMenu>(), nullptr) << "the page goes back to the CRT page";
    EXPECT_FLOAT_EQ(game->m_displaySettings.pixelAspectRatio, 2.0f) << "the change stays";

    for (const char* button : {"TunerButton_Color", "TunerButton_Lighting"}) {
        SelectAndSend(button, Kind::Accept);
        ASSERT_NE(TopAs<CRTTunerMenu>(), nullptr) << button;
        const char* probe = button[12] == 'C' ? "Tint" : "BloomPower";
        ASSERT_NE(RowOf(Top(), probe), nullptr) << button;
        Top()->Select(0);
        Send(Kind::Accept);  // Back
        EXPECT_NE(TopAs<KorvanthCRTMenu>(), nullptr) << button;
    }
}

TEST_F(OptionPagesTest, AnaglyphSwitchesAndReset) {
    game->m_displaySettings.crtSim = true;
    game->m_displaySettings.anaglyphDesaturation = 0.1f;
    game->m_displaySettings.redTint = 0.7f;
    game->m_displaySettings.eyeSwap = true;
    Open(new AnaglyphMenu());
    SelectAndSend("SpinnerButton_ANAGLYPH", Kind::NavLeft);
    EXPECT_TRUE(game->m_displaySettings.anaglyph3D);
    EXPECT_FALSE(game->m_displaySettings.crtSim) << "anaglyph 3D and the CRT simulation never run together";
    EXPECT_EQ(Top()->GetItem(1)->GetText(), "< Anaglyph 3D: On >");
    displayLog.clear();
    SelectAndSend("SpinnerButton_EYE_SWAP", Kind::NavRight);
    EXPECT_FALSE(game->m_displaySettings.eyeSwap);
    EXPECT_EQ(displayLog, (std::vector<std::string>{"anaglyph on"})) << "the swap re-selects the passes";
    EXPECT_TRUE(RowOf(Top(), "RedTint")->snapPoints.Contains(0.5f));
    EXPECT_TRUE(RowOf(Top(), "BlueTint")->snapPoints.Contains(0.5f));

    game->m_displaySettings.redTint = 0.7f;
    for (const int32_t answer : {1, 2}) {  // No, Cancel: only the question closes
        SelectAndSend("ResetButton", Kind::Accept);
        ASSERT_NE(TopAs<TunerConfirmationMenu>(), nullptr);
        Top()->Select(answer);
        Send(Kind::Accept);
        EXPECT_NE(TopAs<AnaglyphMenu>(), nullptr) << "answer " << answer;
        EXPECT_FLOAT_EQ(game->m_displaySettings.redTint, 0.7f) << "answer " << answer;
    }
    SelectAndSend("ResetButton", Kind::Accept);
    ASSERT_NE(TopAs<TunerConfirmationMenu>(), nullptr);
    Top()->Select(0);
    Send(Kind::Accept);
    EXPECT_EQ(GetMenuMgr()->GetOpenMenuCount(), 0u) << "yes closes the question and the page";
    EXPECT_FLOAT_EQ(game->m_displaySettings.anaglyphDesaturation, 0.875f);
    EXPECT_FLOAT_EQ(game->m_displaySettings.redTint, 0.0f);
    EXPECT_FLOAT_EQ(game->m_displaySettings.blueTint, -0.25f);
    EXPECT_FALSE(game->m_displaySettings.eyeSwap);
    EXPECT_TRUE(game->m_displaySettings.anaglyph3D) << "the output switch lies in Video and keeps its value";
}

// The help line under the value rows shows the selected row's help, and goes
// back to its blank text on any item without help of its own.
TEST_F(OptionPagesTest, TheHelpLineShowsOnlyTheSelectedRowsHelp) {
    const auto Text = [](const ZMenuItem* item) { return std::string(item->GetText().GetText()); };
    const auto Help = [](const char* section, const char* key) {
        return std::string(GameMenuText(section, key).GetText());
    };
    game->m_displaySettings.crtSim = true;
    Open(new AnaglyphMenu());
    ZMenu* anaglyph = Top();
    const ZMenuItem* line = anaglyph->GetItem(4);
    anaglyph->Select(IndexOfItem(anaglyph, RowOf(anaglyph, "Desaturation")));
    EXPECT_EQ(Text(line), Help("AnaglyphMenu", "DesatDesc"));
    Send(Kind::NavUp);
    Send(Kind::NavUp);
    ASSERT_EQ(anaglyph->GetSelectedItem()->GetName(), ZHashedString("SpinnerButton_ANAGLYPH"));
    EXPECT_EQ(Text(line), " ") << "the switch has no help";
    anaglyph->Select(IndexOfItem(anaglyph, RowOf(anaglyph, "BlueTint")));
    EXPECT_EQ(Text(line), Help("AnaglyphMenu", "BlueTintDesc"));
    Send(Kind::Cancel);

    Open(new KorvanthCRTMenu());
    SelectAndSend("TunerButton_Shape", Kind::Accept);
    ZMenu* shape = TopAs<CRTTunerShapeMenu>();
    ASSERT_NE(shape, nullptr);
    shape->Select(IndexOfItem(shape, RowOf(shape, "FOV")));
    EXPECT_EQ(Text(shape->GetItem(1)), Help("CRTTunerMenu", "FOVDesc"));
    shape->Select(0);
    EXPECT_EQ(Text(shape->GetItem(1)), " \n \n ") << "Back has no help";
}

TEST_F(OptionPagesTest, AudioReverbSwitch) {
    Open(game->CreateAudioMenu());
    ASSERT_NE(TopAs<KorvanthAudioMenu>(), nullptr);
    const int32_t reverb = IndexOf(Top(), "Spinner_Reverb");
    ASSERT_GE(reverb, 0);
    EXPECT_TRUE(game->m_displaySettings.reverb);
    EXPECT_EQ(Top()->GetItem(reverb)->GetText(), "< Reverb: On >");
    Top()->Select(reverb);
    Send(Kind::Accept);
    EXPECT_TRUE(game->m_displaySettings.reverb) << "accept does not toggle";
    Send(Kind::NavLeft);
    EXPECT_FALSE(game->m_displaySettings.reverb);
    EXPECT_EQ(Top()->GetItem(reverb)->GetText(), "< Reverb: Off >");
    Send(Kind::NavRight);
    EXPECT_TRUE(game->m_displaySettings.reverb);
    EXPECT_NE(RowOf(Top(), "MusicVolume"), nullptr);
    Send(Kind::Cancel);
    EXPECT_EQ(GetMenuMgr()->GetOpenMenuCount(), 0u);
}

TEST_F(OptionPagesTest, CreditsLinesAndClosing) {
    Open(new CreditsMenu());
    const float ys[] = {96.0f, 126.24f, 186.72f, 216.96f, 277.44f, 307.68f, 337.92f, 398.4f, 428.64f, 458.88f, 489.12f};
    ASSERT_EQ(Top()->GetItemCount(), 12u);
    for (uint32_t i = 0; i < 11; ++i) {
        EXPECT_NEAR(Top()->GetItem(static_cast<int32_t>(i + 1))->y, ys[i], 0.001f) << "line " << i;
    }
    EXPECT_EQ(SelectableNames(Top()).size(), 1u) << "only Back can be selected";
    Send(Kind::Accept);
    EXPECT_EQ(GetMenuMgr()->GetOpenMenuCount(), 0u);
}

}  // namespace
}  // namespace menustest
