// The confirmation and message menus: their buttons and localised texts,
// the default answer, the callbacks and when they run, and the underlay that
// follows the description.

#include <memory>

#include "MenuFixture.h"
#include "foundation/ZStreamMgr.h"
#include "framework/ZLocMgr.h"
#include "menu/ConfirmationMenu.h"
#include "menu/MessageMenu.h"
#include "menu/ZMenuLabel.h"
#include "menu/ZMenuUnderlay.h"
#include "renderer/ZFont.h"

using namespace menutest;

namespace {

struct Answers {
    int yes = 0;
    int no = 0;
};

void Yes(void* context) { ++static_cast<Answers*>(context)->yes; }
void No(void* context) { ++static_cast<Answers*>(context)->no; }

class ConfirmationMenuTest : public EngineTextMenuFixture {
protected:
    void AddLanguages(ZLocMgr* loc) override { loc->AddLanguage("German", "Localization\\German\\"); }

    // Opens the menu and lets it settle.
    template <typename Menu>
    Menu* Open(Menu* menu) {
        GetMenuMgr()->OpenMenu(menu);
        Transitions();
        Transitions(0.3f);
        return menu;
    }
    static void Send(const int32_t kind) {
        ZMenuEvent event;
        event.kind = kind;
        GetMenuMgr()->DispatchEvent(event, nullptr);
    }
    // The menu is closed once its closing transition has run.
    void Settle() {
        Transitions();
        Transitions(0.3f);
    }
    ConfirmationMenu* Question(const bool withCancel, Answers* answers) {
        auto* menu = static_cast<ConfirmationMenu*>(game->CreateConfirmationMenu(withCancel));
        menu->yesCallback = Yes;
        menu->noCallback = No;
        menu->context = answers;
        menu->SetDescription(ZString("Reset every setting?"));
        return menu;
    }
};

}  // namespace

TEST_F(ConfirmationMenuTest, AnswersByButtonAndCancel) {
    struct Case {
        const char* name;
        bool withCancel;
        std::vector<int32_t> events;  // after opening
        int yes, no;
    };
    using K = ZMenuEventKind;
    const Case cases[] = {
        {"Accept at once answers No", false, {K::Accept}, 0, 1},
        {"Accept at once with three buttons answers nothing", true, {K::Accept}, 0, 0},
        {"left, then Accept: Yes", false, {K::NavLeft, K::Accept}, 1, 0},
        {"Cancel answers No", false, {K::Cancel}, 0, 1},
        {"Cancel with three buttons answers nothing", true, {K::Cancel}, 0, 0},
        {"the middle of three is No", true, {K::NavLeft, K::Accept}, 0, 1},
        {"the first of three is Yes", true, {K::NavLeft, K::NavLeft, K::Accept}, 1, 0},
    };
    for (const Case& c : cases) {
        Answers answers;
        Open(Question(c.withCancel, &answers));
        for (const int32_t kind : c.events) Send(kind);
        Settle();
        EXPECT_EQ(answers.yes, c.yes) << c.name;
        EXPECT_EQ(answers.no, c.no) << c.name;
        EXPECT_EQ(GetMenuMgr()->GetOpenMenuCount(), 0u) << c.name;
    }
}

TEST_F(ConfirmationMenuTest, NoContextNoCallback) {
    Answers answers;
    ConfirmationMenu* menu = Open(Question(false, &answers));
    menu->context = nullptr;
    Send(ZMenuEventKind::NavLeft);
    Send(ZMenuEventKind::Accept);
    Settle();
    EXPECT_EQ(answers.yes + answers.no, 0);
    EXPECT_EQ(GetMenuMgr()->GetOpenMenuCount(), 0u);
}

TEST_F(ConfirmationMenuTest, ButtonsAndTextsAreLocalisedAndPlaced) {
    struct Case {
        const char* language;
        bool withCancel;
        std::vector<std::string> texts;
        std::vector<float> xs;
    };
    const Case cases[] = {
        {"", false, {"Yes", "No"}, {320, 704}},
        {"", true, {"Yes", "No", "Cancel"}, {256, 512, 768}},
        {"German", true, {"Ja", "Nein", "Abbrechen"}, {256, 512, 768}},
    };
    for (const Case& c : cases) {
        ZLocMgr::GetInstance()->ChangeLanguage(c.language);
        ConfirmationMenu menu(c.withCancel);
        ASSERT_EQ(menu.GetItemCount(), c.texts.size() + 1) << c.language;
        for (size_t i = 0; i < c.texts.size(); ++i) {
            EXPECT_EQ(menu.items[static_cast<uint32_t>(i)]->GetText().GetText(), c.texts[i]) << c.language;
            EXPECT_EQ(menu.items[static_cast<uint32_t>(i)]->x, c.xs[i]) << c.language;
            EXPECT_EQ(menu.items[static_cast<uint32_t>(i)]->y, 440.0f) << c.language;
        }
        EXPECT_EQ(menu.items[menu.GetItemCount() - 1], menu.descriptionLabel);
        EXPECT_FALSE(menu.descriptionLabel->IsSelectable());
    }
    ZLocMgr::GetInstance()->ChangeLanguage("German");
    MessageMenu message;
    EXPECT_STREQ(message.items[0]->GetText().GetText(), "OK");
}

TEST_F(ConfirmationMenuTest, ALongerDescriptionWidensTheUnderlay) {
    ConfirmationMenu menu(false);
    menu.SetDescription(ZString("Quit?"));
    ASSERT_EQ(menu.underlays.Count(), 1u);
    const float narrow = menu.underlays[0]->width;
    menu.SetDescription(ZString("Quit the game and lose everything since the last checkpoint?"));
    ASSERT_EQ(menu.underlays.Count(), 1u) << "the old underlay was replaced";
    EXPECT_GT(menu.underlays[0]->width, narrow);
    EXPECT_GT(menu.descriptionLabel->width, 0.0f);
}

TEST_F(ConfirmationMenuTest, MessageMenuCallsBackOnOkAndCancel) {
    using K = ZMenuEventKind;
    struct Case {
        const char* name;
        int32_t event;
        bool withContext;
        int calls;
    };
    const Case cases[] = {
        {"OK", K::Accept, true, 1},
        {"Cancel", K::Cancel, true, 1},
        {"OK without context", K::Accept, false, 0},
    };
    for (const Case& c : cases) {
        Answers answers;
        auto* message = new MessageMenu();
        message->callback = Yes;
        message->context = c.withContext ? &answers : nullptr;
        message->SetDescription(ZString("Exported."));
        Open(message);
        EXPECT_EQ(message->selectedIndex, 0) << c.name;
        Send(c.event);
        Settle();
        EXPECT_EQ(answers.yes, c.calls) << c.name;
        EXPECT_EQ(GetMenuMgr()->GetOpenMenuCount(), 0u) << c.name;
    }
}

// Every question and notice of the engine, in both languages, wraps inside a
// panel that stays on the 1024-unit menu canvas, its last line clear of the
// buttons.
TEST_F(ConfirmationMenuTest, QuestionsAndNoticesWrapInsideThePanelInEveryLanguage) {
    struct Text {
        const char* section;
        const char* key;
    };
    const Text questions[] = {{"TitleMenu", "ConfirmExit"},
                              {"PauseMenu", "ConfirmReset"},
                              {"VideoMenu", "ConfirmChanges"},
                              {"ControlGroupsMenu", "ConfirmResetControls"},
                              {"ControlGroupsMenu", "ConfirmClearControls"}};
    const auto Inside = [](const ZMenu& menu, const std::string& name) {
        ASSERT_EQ(menu.underlays.Count(), 1u) << name;
        const ZMenuUnderlay& panel = *menu.underlays[0];
        EXPECT_GE(panel.x - panel.width / 2, 0.0f) << name;
        EXPECT_LE(panel.x + panel.width / 2, 1024.0f) << name;
    };
    for (const char* language : {"", "German"}) {
        ZLocMgr::GetInstance()->ChangeLanguage(language);
        for (const Text& t : questions) {
            const std::string name = std::string(language) + " " + t.key;
            const ZString text = ZLocMgr::GetInstance()->GetString(ZHashedString("Menus"), ZHashedString(t.section),
                                                                   ZHashedString(t.key));
            for (const bool withCancel : {false, true}) {
                ConfirmationMenu menu(withCancel);
                menu.SetDescription(text);
                Inside(menu, name);
                const ZMenuItem& label = *menu.descriptionLabel;
                // A line that wrapped may end in the blank before the next word.
                EXPECT_LE(label.width, 704.0f + 16.0f) << name;
                EXPECT_LE(label.top + label.height + 16.0f, menu.items[0]->top) << name;
            }
        }
        MessageMenu message;
        message.SetDescription(ZLocMgr::GetInstance()
                                   ->GetString(ZHashedString("Menus"), ZHashedString("LanguageMenu"),
                                               ZHashedString("Exported"))
                                   .ExpandNewlines()
                                   .Replace("%s", "C:\\Users\\Player\\Documents\\My Games\\Korvanth\\Localization"));
        Inside(message, std::string(language) + " Exported");
    }
    // The German question back to the title takes more than one line.
    ConfirmationMenu menu(false);
    menu.SetDescription(ZLocMgr::GetInstance()->GetString(ZHashedString("Menus"), ZHashedString("PauseMenu"),
                                                           ZHashedString("ConfirmReset")));
    EXPECT_GT(menu.descriptionLabel->height, 1.5f * 0.75f * 56.0f);
}
