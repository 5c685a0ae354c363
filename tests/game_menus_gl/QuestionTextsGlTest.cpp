// Every question and notice the game can ask, in English and in German, as a
// player sees it over the paused game on the flat display: the text's pixels
// (what changes when only its text is blanked, the buttons' own squares left
// out) lie inside the screen and above the buttons. With KORV_MENU_SHOTS set
// to a folder, the German question back to the title is written there
// (docs/menus/confirm_title_german.png).

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "framework/ZLocMgr.h"
#include "input/ZControlGroup.h"
#include "input/ZControlMgr.h"
#include "menu/BindingsMenu.h"
#include "framework_game/RunScenarios.h"
#include "game/player/Player.h"
#include "game/world/KorvanthGame.h"
#include "menu/ConfirmationMenu.h"
#include "menu/MessageMenu.h"
#include "menu/ZMenuItem.h"
#include "menu/ZMenuLabel.h"
#include "menu/ZMenuMgr.h"
#include "support/PlayHarness.h"
#include "support/ScreenShots.h"

namespace {

using screenshot::Shot;
using screenshot::Take;

struct Question {
    const char* file;  // "Menus" (the engine's) or "KorvanthMenus" (the game's)
    const char* section;
    const char* key;
    bool withCancel;  // the tuner pages ask with three buttons
    bool notice;      // a MessageMenu with one button
};

const Question kQuestions[] = {
    {"Menus", "TitleMenu", "ConfirmExit", false, false},
    {"Menus", "PauseMenu", "ConfirmReset", false, false},
    {"Menus", "VideoMenu", "ConfirmChanges", true, false},
    {"Menus", "ControlGroupsMenu", "ConfirmResetControls", false, false},
    {"Menus", "ControlGroupsMenu", "ConfirmClearControls", false, false},
    {"Menus", "LanguageMenu", "Exported", false, true},
    {"KorvanthMenus", "KorvanthTitleMenu", "ConfirmNewGame", false, false},
    {"KorvanthMenus", "KorvanthTitleMenu", "ConfirmExit", false, false},
    {"KorvanthMenus", "KorvanthCRTMenu", "ConfirmReset", true, false},
    {"KorvanthMenus", "AnaglyphMenu", "ConfirmReset", true, false},
    {"KorvanthMenus", "LeaderboardMenu", "ConfirmRaceGhost", false, false},
};

ZString QuestionText(const Question& q) {
    return ZLocMgr::GetInstance()
        ->GetString(ZHashedString(q.file), ZHashedString(q.section), ZHashedString(q.key))
        .ExpandNewlines()
        .Replace("%s", "C:\\Users\\Player\\Documents\\My Games\\Drovani Skyreach\\Localization\\English\\");
}

int32_t Difference(const uint32_t p, const uint32_t q) {
    int32_t sum = 0;
    for (int32_t shift = 0; shift < 24; shift += 8) {
        sum +=
            std::abs(static_cast<int32_t>((p >> shift) & 0xFF) - static_cast<int32_t>((q >> shift) & 0xFF));
    }
    return sum;
}

struct Ink {
    int32_t pixels = 0;
    int32_t left = 1 << 30;
    int32_t right = -1;
    int32_t top = 1 << 30;
    int32_t bottom = -1;
};

// Frames of a play through the flat display at 640 x 480 from the Gallery's hall.
playtest::PlaySetup FlatGallery() {
    playtest::PlaySetup setup;
    setup.gl = true;
    setup.display = true;
    setup.config = "[Video]\r\nWidthWindowed: 640\r\nHeightWindowed: 480\r\nCRTSim: false\r\n";
    setup.quickStart = playtest::PlaySetup::QuickStartAt("Speedrun Maps", 14, 3, 17, 24);
    return setup;
}

// The pixels that differ between the two shots, outside the other items'
// squares (a selected button's square pulses), and their box.
Ink InkOf(const Shot& with, const Shot& without, const ZMenu& menu, const ZMenuItem* label) {
    Ink ink;
    const float toX = static_cast<float>(with.width) / 1024.0f;
    const float toY = static_cast<float>(with.height) / 768.0f;
    for (size_t i = 0; i < with.pixels.size() && i < without.pixels.size(); ++i) {
        if (Difference(with.pixels[i], without.pixels[i]) <= 48) continue;
        const auto x = static_cast<int32_t>(i % static_cast<size_t>(with.width));
        const auto y = static_cast<int32_t>(i / static_cast<size_t>(with.width));
        bool onItem = false;
        for (uint32_t k = 0; k < menu.GetItemCount() && !onItem; ++k) {
            const ZMenuItem* item = menu.GetItem(static_cast<int32_t>(k));
            if (item == label) continue;
            // The square reaches a quarter of the item's size past each side.
            const float fx = static_cast<float>(x) / toX;
            const float fy = static_cast<float>(y) / toY;
            onItem = fx >= item->left - 0.3f * item->width && fx <= item->left + 1.3f * item->width &&
                     fy >= item->top - 0.3f * item->height && fy <= item->top + 1.3f * item->height;
        }
        if (onItem) continue;
        ++ink.pixels;
        ink.left = std::min(ink.left, x);
        ink.right = std::max(ink.right, x);
        ink.top = std::min(ink.top, y);
        ink.bottom = std::max(ink.bottom, y);
    }
    return ink;
}

}  // namespace

TEST(QuestionTextsGl, EveryQuestionAndNoticeShowsInsideTheScreenInBothLanguages) {
    gametest::RunInChild([] {
        playtest::PlaySetup setup = FlatGallery();
        struct Case {
            const char* language;
            Question question;
        };
        std::vector<Case> cases;
        for (const char* language : {"", "German"}) {
            for (const Question& q : kQuestions) cases.push_back({language, q});
        }
        size_t next = 0;
        int32_t phase = 0;  // 0 open the next, 1 shown at rest, 2 blanked, 3 closing
        ZMenu* open = nullptr;
        ZMenuItem* label = nullptr;
        ZString text;
        Shot shown;
        int32_t checked = 0;
        setup.afterFrame = [&](Player&, const int32_t frame) {
            if (frame < 10 || next >= cases.size()) return;
            const Case& c = cases[next];
            const std::string name = std::string(*c.language != '\0' ? c.language : "English") + " " +
                                     c.question.section + "." + c.question.key;
            ZMenuMgr* menus = GetMenuMgr();
            const bool atRest = menus->GetRequests().IsEmpty() && menus->GetTransitionState() == ZMenuMgr::kNone;
            if (phase == 0 && atRest && menus->GetOpenMenuCount() == 0) {
                ZLocMgr::GetInstance()->ChangeLanguage(c.language);
                const Question& q = c.question;
                if (q.notice) {
                    auto* message = new MessageMenu();
                    message->SetDescription(QuestionText(q));
                    label = message->descriptionLabel;
                    open = message;
                } else {
                    auto* question =
                        dynamic_cast<ConfirmationMenu*>(KorvanthGame::Get()->CreateConfirmationMenu(q.withCancel));
                    ASSERT_NE(question, nullptr);
                    question->SetDescription(QuestionText(q));
                    label = question->descriptionLabel;
                    open = question;
                }
                menus->OpenMenu(open);
                phase = 1;
            } else if (phase == 1 && atRest && menus->GetTopMenu() == open) {
                shown = Take();
                if (std::string(c.language) == "German" && std::string(c.question.section) == "PauseMenu") {
                    screenshot::Keep(shown, "KORV_MENU_SHOTS", "confirm_title_german.png");
                }
                // The text alone goes: the panel and the buttons stay where they are.
                text = label->text;
                label->text = ZString();
                phase = 2;
            } else if (phase == 2) {
                const Shot blank = Take();
                label->text = text;
                const Ink ink = InkOf(shown, blank, *open, label);
                EXPECT_GT(ink.pixels, 200) << name;
                // Clear of the screen's edges by a margin: no line runs off.
                EXPECT_GE(ink.left, shown.width / 32) << name;
                EXPECT_LE(ink.right, shown.width - shown.width / 32) << name;
                EXPECT_GE(ink.top, shown.height / 32) << name;
                // Above every button's text (the menu canvas is 1024 x 768 on the window).
                float buttonsTop = 768.0f;
                for (uint32_t i = 0; i < open->GetItemCount(); ++i) {
                    const ZMenuItem* item = open->GetItem(static_cast<int32_t>(i));
                    if (item != label) buttonsTop = std::min(buttonsTop, item->top);
                }
                EXPECT_LT(ink.bottom, static_cast<int32_t>(buttonsTop * static_cast<float>(shown.height) / 768.0f))
                    << name;
                std::printf("%s: text from (%d, %d) to (%d, %d)\n", name.c_str(), ink.left, ink.top, ink.right,
                            ink.bottom);
                ++checked;
                menus->CloseMenu();
                phase = 0;
                ++next;
            }
        };
        const auto r = playtest::RunPlay(setup, "1000 -\n");
        ASSERT_TRUE(r.error.empty()) << r.error;
        EXPECT_EQ(checked, static_cast<int32_t>(cases.size()));
    });
}

// The prompt that waits for a new binding, for every control the controls page
// lists, in English and in German: its text lies inside the screen.
TEST(QuestionTextsGl, EveryRebindingPromptShowsInsideTheScreenInBothLanguages) {
    gametest::RunInChild([] {
        playtest::PlaySetup setup = FlatGallery();
        struct Case {
            const char* language;
            ZHashedString group;
            ZHashedString control;
        };
        std::vector<Case> cases;
        size_t next = 0;
        int32_t phase = 0;  // 0 open the next, 1 shown at rest, 2 blanked
        BindingsMenu* open = nullptr;
        ZMenuItem* label = nullptr;
        ZString text;
        Shot shown;
        int32_t checked = 0;
        setup.afterFrame = [&](Player&, const int32_t frame) {
            if (frame < 10) return;
            if (cases.empty()) {
                const ZControlMgr* controls = GetControlMgr();
                for (const char* language : {"", "German"}) {
                    for (uint32_t g = 0; g < controls->CountGroups(); ++g) {
                        const ZControlGroup* group = controls->GetGroupAt(g);
                        if (group->hiddenGroup != 0) continue;
                        for (const ZControl* control : group->controls) {
                            cases.push_back({language, group->name, control->name});
                        }
                    }
                }
                ASSERT_FALSE(cases.empty());
            }
            if (next >= cases.size()) return;
            const Case& c = cases[next];
            const std::string name = std::string(*c.language != '\0' ? c.language : "English") + " " +
                                     c.group.GetTextOrEmpty() + "." + c.control.GetTextOrEmpty();
            ZMenuMgr* menus = GetMenuMgr();
            const bool atRest = menus->GetRequests().IsEmpty() && menus->GetTransitionState() == ZMenuMgr::kNone;
            if (phase == 0 && atRest && menus->GetOpenMenuCount() == 0) {
                ZLocMgr::GetInstance()->ChangeLanguage(c.language);
                open = new BindingsMenu(c.group, c.control);
                label = open->GetItem(0);
                menus->OpenMenu(open);
                phase = 1;
            } else if (phase == 1 && atRest && menus->GetTopMenu() == open) {
                shown = Take();
                if (std::string(c.language) == "German" && c.control == ZHashedString("JumpDown")) {
                    screenshot::Keep(shown, "KORV_MENU_SHOTS", "rebind_german.png");
                }
                text = label->text;
                label->text = ZString();
                phase = 2;
            } else if (phase == 2) {
                const Shot blank = Take();
                label->text = text;
                const Ink ink = InkOf(shown, blank, *open, label);
                EXPECT_GT(ink.pixels, 200) << name;
                // Clear of the screen's edges by a margin: no line runs off.
                EXPECT_GE(ink.left, shown.width / 32) << name;
                EXPECT_LE(ink.right, shown.width - shown.width / 32) << name;
                EXPECT_GE(ink.top, shown.height / 32) << name;
                EXPECT_LE(ink.bottom, shown.height - shown.height / 32) << name;
                std::printf("%s: text from (%d, %d) to (%d, %d)\n", name.c_str(), ink.left, ink.top, ink.right,
                            ink.bottom);
                ++checked;
                menus->CloseMenu();
                phase = 0;
                ++next;
            }
        };
        const auto r = playtest::RunPlay(setup, "3000 -\n");
        ASSERT_TRUE(r.error.empty()) << r.error;
        EXPECT_GT(checked, 0);
        EXPECT_EQ(checked, static_cast<int32_t>(cases.size()));
    });
}
