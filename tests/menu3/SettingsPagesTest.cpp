// The smaller settings pages: the controls hub, the control-groups page
// (tabs, notice, rows by device, Reset and Clear), joysticks, mouse, audio,
// and the text-entry test page with its text field.

#include <string>

#include "Menu3Fixture.h"
#include "audio/ZAudioMgr.h"
#include "audio/ZSoundGroup.h"
#include "framework/ZConfigVar.h"
#include "input/ZControl.h"
#include "input/ZControlGroup.h"
#include "menu/AudioMenu.h"
#include "menu/ConfirmationMenu.h"
#include "menu/ControlGroupsMenu.h"
#include "menu/ControlsMenu.h"
#include "menu/JoysticksMenu.h"
#include "menu/MouseMenu.h"
#include "menu/TextEntryMenu.h"
#include "menu/ZMenuSpinner.h"
#include "menu/ZMenuTextField.h"
#include "menu/ZMenuUnderlay.h"

namespace menu3test {
namespace {

using namespace platform;
using namespace platform::input;

using SettingsPagesTest = Menu3Fixture;

std::string Text(const ZMenuItem* item) { return item->GetText().GetText(); }

TEST_F(SettingsPagesTest, ControlsHubOpensItsPagesThroughTheFactories) {
    struct Case {
        int32_t index;
        bool (*is)(ZMenu*);
    };
    const Case cases[] = {
        {0, [](ZMenu* m) { return dynamic_cast<ControlGroupsMenu*>(m) != nullptr; }},
        {1, [](ZMenu* m) { return dynamic_cast<MouseMenu*>(m) != nullptr; }},
        {2, [](ZMenu* m) { return dynamic_cast<JoysticksMenu*>(m) != nullptr; }},
        {3, [](ZMenu* m) { return m == nullptr; }},
    };
    for (const Case& c : cases) {
        ZMenu* hub = Open(game->CreateControlsMenu());
        ASSERT_NE(dynamic_cast<ControlsMenu*>(hub), nullptr);
        EXPECT_EQ(Text(hub->GetItem(0)), "Controls");
        hub->Select(c.index);
        Send(ZMenuEventKind::Accept);
        Settle();
        EXPECT_TRUE(c.is(GetMenuMgr()->GetTopMenu())) << c.index;
        GetMenuMgr()->CloseAll(1);
        Settle();
        Settle();
    }
}

TEST_F(SettingsPagesTest, ControlGroupsShowVisibleTabsAndANoticeForFixedGroups) {
    auto* page = Open(static_cast<ControlGroupsMenu*>(game->CreateControlGroupsMenu()));
    // General, Utility and Menus are shown; the two hidden engine groups are not.
    const int32_t firstTab = 5;
    const int32_t tabs = 3;
    EXPECT_EQ(page->selectedIndex, 2);
    EXPECT_EQ(Text(page->GetItem(firstTab)), "General");
    EXPECT_EQ(page->GetItem(firstTab)->neighbours[ZMenuItem::kUp], 2);
    EXPECT_EQ(page->GetItem(firstTab + tabs - 1)->neighbours[ZMenuItem::kDown], 2);
    EXPECT_EQ(page->GetItem(2)->neighbours[ZMenuItem::kUp], firstTab + tabs - 1);
    // General may not be rebound: a notice, then the Pause row as a label.
    EXPECT_EQ(Text(page->GetItem(1)), "Controls: General");
    EXPECT_EQ(Text(page->GetItem(firstTab + tabs)), "The controls of this group cannot be changed.");
    const ZMenuItem* pauseRow = page->GetItem(firstTab + tabs + 1);
    EXPECT_FALSE(pauseRow->IsSelectable());
    EXPECT_EQ(Text(pauseRow).rfind("Pause: Esc", 0), 0u) << Text(pauseRow);
    page->Select(firstTab + tabs + 1);
    Send(ZMenuEventKind::Accept);
    Settle();
    EXPECT_EQ(GetMenuMgr()->GetTopMenu(), page);

    // Utility may: its one visible control is a selectable row, no notice.
    page->Select(firstTab + 1);
    Send(ZMenuEventKind::Accept);
    EXPECT_EQ(page->GetCurrentGroup(), 1);
    EXPECT_EQ(page->GetItemCount(), static_cast<uint32_t>(firstTab + tabs + 1));
    EXPECT_TRUE(page->GetItem(firstTab + tabs)->IsSelectable());

    // With DevMode on, the fixed group's rows become selectable too.
    game->m_devMode = true;
    page->Select(firstTab);
    Send(ZMenuEventKind::Accept);
    EXPECT_TRUE(page->GetItem(firstTab + tabs)->IsSelectable());
}

TEST_F(SettingsPagesTest, RowsListOnlyTheInputsOfTheDevicesInUse) {
    const ZControlGroup* general = GetControlMgr()->GetGroup(ZHashedString("General"));
    ASSERT_NE(general, nullptr);
    const ZControl& pause = *general->controls[0];
    // Keys always; the pad's input only while a pad is the controller.
    const std::string keysOnly = ControlGroupsMenu::RowText(*general, pause).GetText();
    EXPECT_EQ(keysOnly, "Pause: Esc");
    FakeInputSystem::JoystickDesc desc;
    desc.name = "Fake Pad";
    desc.isXInput = true;
    fake->AttachJoystick(desc);
    StartDevices();
    handler->SelectJoystick(0);
    ASSERT_TRUE(handler->IsPadSelected());
    const std::string withPad = ControlGroupsMenu::RowText(*general, pause).GetText();
    EXPECT_EQ(withPad.rfind("Pause: Esc, ", 0), 0u) << withPad;
    EXPECT_NE(withPad, keysOnly);
    EXPECT_EQ(withPad.find("JB"), std::string::npos) << withPad;
}

TEST_F(SettingsPagesTest, ResetRestoresDefaultsAndClearEmptiesOnlyRebindableGroups) {
    ZControlMgr* controls = GetControlMgr();
    const ZHashedString utility("Utility");
    const ZHashedString general("General");
    auto count = [&](const ZHashedString group) {
        return controls->GetGroup(group)->controls[0]->bindings.Count();
    };
    const uint32_t defaultUtility = count(utility);
    const uint32_t defaultGeneral = count(general);
    ASSERT_GT(defaultUtility, 0u);

    struct Case {
        int32_t button;
        uint32_t utility;
        uint32_t generalAfter;
    };
    const Case cases[] = {{4, 0, defaultGeneral}, {3, defaultUtility, defaultGeneral}};
    for (const Case& c : cases) {
        auto* page = Open(static_cast<ControlGroupsMenu*>(game->CreateControlGroupsMenu()));
        page->Select(c.button);
        Send(ZMenuEventKind::Accept);
        Settle();
        auto* question = dynamic_cast<ConfirmationMenu*>(GetMenuMgr()->GetTopMenu());
        ASSERT_NE(question, nullptr);
        question->Select(0);
        Send(ZMenuEventKind::Accept);
        Settle();
        Settle();
        EXPECT_EQ(count(utility), c.utility) << c.button;
        EXPECT_EQ(count(general), c.generalAfter) << c.button;
        EXPECT_EQ(GetMenuMgr()->GetTopMenu(), page);
        GetMenuMgr()->CloseAll(1);
        Settle();
        Settle();
    }
}

TEST_F(SettingsPagesTest, JoysticksChooseADeviceOrNone) {
    FakeInputSystem::JoystickDesc stick;
    stick.name = "Stick One";
    fake->AttachJoystick(stick);
    auto* menu = Open(static_cast<JoysticksMenu*>(game->CreateJoysticksMenu()));
    // Back, the stick, None (in use: nothing is selected), the heading.
    ASSERT_EQ(menu->GetItemCount(), 4u);
    EXPECT_EQ(Text(menu->GetItem(1)), "Stick One");
    EXPECT_EQ(Text(menu->GetItem(2)), "None (in use)");
    menu->Select(1);
    Send(ZMenuEventKind::Accept);
    Settle();
    Rehandle();
    EXPECT_EQ(handler->GetSelectedJoystick(), 0);
    EXPECT_EQ(std::string(game->m_controller.GetText()), std::string(handler->GetSelectedJoystickName().GetText()));
    EXPECT_TRUE(game->m_usePreferredController);
    EXPECT_EQ(GetMenuMgr()->GetOpenMenuCount(), 0u);

    menu = Open(static_cast<JoysticksMenu*>(game->CreateJoysticksMenu()));
    EXPECT_EQ(Text(menu->GetItem(1)), "Stick One (in use)");
    menu->Select(2);
    Send(ZMenuEventKind::Accept);
    Settle();
    Rehandle();
    EXPECT_LT(handler->GetSelectedJoystick(), 0);
    EXPECT_TRUE(game->m_controller.IsNone() || std::string(game->m_controller.GetText()).empty());
    EXPECT_FALSE(game->m_usePreferredController);
}

TEST_F(SettingsPagesTest, MouseSpeedShowsItsSignAndThePanelStaysCentredAndNarrow) {
    auto* menu = Open(static_cast<MouseMenu*>(game->CreateMouseMenu()));
    const ZMenuItem* value = nullptr;
    ZMenuSpinner* row = nullptr;
    for (uint32_t i = 0; i < menu->GetItemCount(); ++i) {
        if (auto* s = dynamic_cast<ZMenuSpinner*>(menu->GetItem(static_cast<int32_t>(i)))) {
            row = s;
            value = s->valueItem;
        }
    }
    ASSERT_NE(row, nullptr);
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(Text(value), "+0.00");
    for (int i = 0; i < 30; ++i) row->Adjust(1);
    EXPECT_EQ(Text(value), "+5.00");
    EXPECT_FLOAT_EQ(game->m_mouseScalar, 5.0f);
    for (int i = 0; i < 60; ++i) row->Adjust(-1);
    EXPECT_EQ(Text(value), "-5.00");
    ASSERT_NE(menu->GetPanel(), nullptr);
    EXPECT_FLOAT_EQ(menu->GetPanel()->x, 512.0f);
    EXPECT_LE(menu->GetPanel()->width, 960.0f);
    // Accept on the row does not close; Back does.
    menu->Select(static_cast<int32_t>(menu->GetItemCount()) - 1);
    Send(ZMenuEventKind::Accept);
    Settle();
    EXPECT_EQ(GetMenuMgr()->GetTopMenu(), menu);
    menu->Select(0);
    Send(ZMenuEventKind::Accept);
    Settle();
    EXPECT_EQ(GetMenuMgr()->GetOpenMenuCount(), 0u);
}

TEST_F(SettingsPagesTest, AudioSlidersReachTheAudioManagerAtOnce) {
    ZAudioMgr* audio = GetAudioMgr();
    ZSoundGroup* effects = audio->CreateSoundGroup(game->GetSFXAudioGroupName());
    ZSoundGroup* music = audio->CreateSoundGroup(game->GetBGMAudioGroupName());
    auto* menu = Open(static_cast<AudioMenu*>(game->CreateAudioMenu()));
    ZMenuSpinner* rows[3] = {};
    int found = 0;
    for (uint32_t i = 0; i < menu->GetItemCount() && found < 3; ++i) {
        if (auto* s = dynamic_cast<ZMenuSpinner*>(menu->GetItem(static_cast<int32_t>(i)))) {
            rows[found++] = s;
        }
    }
    ASSERT_EQ(found, 3);
    for (int i = 0; i < 40; ++i) rows[0]->Adjust(-1);
    EXPECT_FLOAT_EQ(audio->masterVolume, 0.0f);
    EXPECT_EQ(Text(rows[0]->valueItem), "0.00");
    rows[0]->Adjust(1);
    EXPECT_NEAR(audio->masterVolume, 0.05f, 1e-6f);
    for (int i = 0; i < 40; ++i) rows[1]->Adjust(1);
    EXPECT_FLOAT_EQ(music->volume, 1.0f);
    EXPECT_EQ(Text(rows[1]->valueItem), "1.00");
    rows[2]->Adjust(-1);
    EXPECT_NEAR(effects->volume, game->GetDefaultSoundVolume() - 0.05f, 1e-5f);
    // Cancel closes and undoes nothing.
    Send(ZMenuEventKind::Cancel);
    Settle();
    EXPECT_EQ(GetMenuMgr()->GetOpenMenuCount(), 0u);
    EXPECT_FLOAT_EQ(music->volume, 1.0f);
    DestroyAudioMgr();
}

TEST_F(SettingsPagesTest, TextEntryPageClosesOnlyAsAllowed) {
    struct Case {
        bool allowCancel;
        int32_t select;
        int32_t kind;
        bool closes;
    };
    const Case cases[] = {
        {false, 0, ZMenuEventKind::Accept, true},  {false, 1, ZMenuEventKind::Accept, false},
        {false, 0, ZMenuEventKind::Cancel, false}, {true, 1, ZMenuEventKind::Accept, true},
        {true, 0, ZMenuEventKind::Cancel, true},   {true, 2, ZMenuEventKind::Accept, false},
    };
    for (const Case& c : cases) {
        auto* menu = Open(static_cast<TextEntryMenu*>(game->CreateTextEntryMenu(c.allowCancel)));
        EXPECT_FLOAT_EQ(menu->GetItem(0)->x, c.allowCancel ? 256.0f : 512.0f);
        float opacity = 1.0f;
        menu->AdjustBackdropOpacity(&opacity);
        EXPECT_EQ(opacity, 0.0f);
        menu->Select(c.select);
        Send(c.kind);
        Settle();
        EXPECT_EQ(GetMenuMgr()->GetOpenMenuCount() == 0, c.closes) << c.allowCancel << c.select << c.kind;
        GetMenuMgr()->CloseAll(1);
        Settle();
        Settle();
    }
}

TEST_F(SettingsPagesTest, TextFieldKeepsOnAcceptAndRestoresOnCancel) {
    auto* menu = Open(static_cast<TextEntryMenu*>(game->CreateTextEntryMenu(false)));
    ZMenuTextField* field = menu->GetTextField();
    int32_t fieldIndex = -1;
    for (uint32_t i = 0; i < menu->GetItemCount(); ++i) {
        if (menu->GetItem(static_cast<int32_t>(i)) == field) fieldIndex = static_cast<int32_t>(i);
    }
    ASSERT_GE(fieldIndex, 0);
    struct Case {
        int32_t end;
        const char* text;
    };
    const Case cases[] = {{ZMenuEventKind::Cancel, "Text Entry"}, {ZMenuEventKind::Accept, "Text Entry ab"}};
    for (const Case& c : cases) {
        menu->Select(fieldIndex);
        Send(ZMenuEventKind::Accept);
        ASSERT_EQ(menu->GetActiveItem(), field);
        MenuFrame();  // the frame of the Accept itself types nothing
        Type(" ab");
        EXPECT_EQ(Text(field), "Text Entry ab");
        Send(c.end);
        EXPECT_EQ(menu->GetActiveItem(), nullptr);
        EXPECT_EQ(Text(field), c.text);
        EXPECT_EQ(std::string(field->GetFieldText().GetText()), c.text);
        field->SetText(ZString("Text Entry"));
    }
    // The page stays open: Cancel went to the field.
    EXPECT_EQ(GetMenuMgr()->GetTopMenu(), menu);
}

TEST_F(SettingsPagesTest, TextFieldScalesALongTextDownAndBlinksItsCaret) {
    ZMenuTextField field;
    field.Setup(ZString(), 512.0f, 300.0f, 0, 1.0f);
    const float fullScale = field.textScale;
    field.maxWidth = 200.0f;
    field.SetText(ZString("WWWWWWWWWWWWWWWWWWWWWWWW"));
    field.Refresh();
    EXPECT_LT(field.textScale, fullScale);
    EXPECT_LE(field.width, 200.5f);
    EXPECT_GT(field.width, 150.0f);
    // Typed or set again, a text that fits is drawn at the field's own size, and a long one fits again.
    field.SetText(ZString("WW"));
    EXPECT_FLOAT_EQ(field.textScale, fullScale);
    field.SetText(ZString("WWWWWWWWWWWWWWWWWWWWWWWW"));
    EXPECT_LE(field.width, 200.5f);
    EXPECT_GT(field.width, 150.0f);

    struct Case {
        float since;
        const char* caret;
    };
    const Case cases[] = {{0.0f, "_"}, {0.1f, "_"}, {0.25f, " "}, {0.5f, " "}, {0.7f, "_"}, {0.8f, "_"}};
    for (const Case& c : cases) {
        EXPECT_STREQ(ZMenuTextField::CaretAt(10.0f + c.since, 10.0f), c.caret) << c.since;
    }
}

}  // namespace
}  // namespace menu3test
