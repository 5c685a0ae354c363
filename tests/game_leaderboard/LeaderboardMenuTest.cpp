// The leaderboard menu on the menu framework without a window and without a
// player: its rows' text, its pages and modes, opening it from the script
// verb, and what Accept, Back and Cancel do when there are no rows. The rows
// of a real run and the race are played in LeaderboardPlayTest.

#include <gtest/gtest.h>

#include <string>

#include "game/components/GameScriptCommands.h"
#include "game/menus/GameMenuSupport.h"
#include "game/menus/LeaderboardMenu.h"
#include "game_menus/GameMenusFixture.h"
#include "menu/ConfirmationMenu.h"
#include "menu/ZMenuLabel.h"

namespace menustest {
namespace {

class LeaderboardMenuTest : public GameMenusTest {
protected:
    // Opens the menu as the script verb does, with these words after it.
    LeaderboardMenu* OpenByVerb(const char* course) {
        ZArray<ZString> words;
        words.PushBack(ZString("showleaderboard"));
        if (course != nullptr) words.PushBack(ZString(course));
        const ZHashedString verb("showleaderboard");
        EXPECT_TRUE(ExecuteScriptCommand(&verb, words, 0, 0));
        Settle();
        return TopAs<LeaderboardMenu>();
    }
    float Width(const ZString& text, const float scale) const {
        float width = 0.0f;
        font->DrawTextFormatted(text.GetText(), text.GetLength(), &width, nullptr, scale, scale);
        return width;
    }
    float PerUnit() const { return 56.0f / static_cast<float>(font->GetLineHeight()); }
};

TEST_F(LeaderboardMenuTest, ARowIsItsNameADotLeaderAndItsTimeAcrossTheWholeLine) {
    struct Case {
        const char* name;
        int32_t rank;
        uint32_t score;
        const char* left;   // what the row starts with
        const char* right;  // what it ends with, after the leader
    };
    const Case cases[] = {
        {"Your Best", 0, 83256, "Your Best  .", "  01:23.256"},  // the personal best: no number
        {"Kim", 3, 5, "3. Kim  .", "  00:00.005"},
        {"Ada", 12, 59999, "12. Ada  .", "  00:59.999"},
        {"Slow", 1, 3723004, "1. Slow  .", "  62:03.004"},  // no hours: minutes grow past 59
        {"100%s %d", 2, 1000, "2. 100%s %d  .", "  00:01.000"},  // a name is shown as typed
    };
    const float s = 0.6f * PerUnit();
    const float dot = Width(ZString("  ."), s);
    ASSERT_GT(dot, 0.0f);
    for (const Case& c : cases) {
        LeaderboardEntry entry;
        entry.name = c.name;
        entry.rank = c.rank;
        entry.score = c.score;
        float scale = 0.0f;
        const std::string text = LeaderboardMenu::RowText(entry, font.get(), &scale).GetText();
        EXPECT_EQ(text.rfind(c.left, 0), 0u) << text;
        ASSERT_GE(text.size(), std::string(c.right).size()) << text;
        EXPECT_EQ(text.substr(text.size() - std::string(c.right).size()), c.right) << text;
        // Between the two only the leader's "  .", and as many as fill the line.
        const std::string left = std::string(c.left).substr(0, std::string(c.left).size() - 3);
        const std::string leader = text.substr(left.size(), text.size() - left.size() - std::string(c.right).size());
        ASSERT_EQ(leader.size() % 3, 0u) << text;
        for (size_t i = 0; i < leader.size(); i += 3) EXPECT_EQ(leader.substr(i, 3), "  .") << text;
        EXPECT_NEAR(Width(ZString(text.c_str()), s), LeaderboardMenu::kRowWidth, dot / 2.0f + 0.01f) << text;
        // Drawn at its scale the row spans the line exactly.
        EXPECT_NEAR(Width(ZString(text.c_str()), scale * PerUnit()), LeaderboardMenu::kRowWidth, 0.5f) << text;
    }
}

TEST_F(LeaderboardMenuTest, PagesAndModesMoveThePlacesAskedForAndRetitle) {
    enum Press { kPrevPage = 1, kNextPage = 2, kPrevMode = 3, kNextMode = 4 };
    struct Case {
        const char* what;
        std::vector<int32_t> presses;
        int32_t mode;
        int32_t first;
        int32_t last;
        const char* title;
    };
    const Case cases[] = {
        {"as opened", {}, 1, -4, 5, "The Gallery: Around You"},
        {"NextMode cycles 1, 2, 0, 1", {kNextMode}, 2, 1, 10, "The Gallery: Friends"},
        {"", {kNextMode, kNextMode}, 0, 1, 10, "The Gallery: Top Times"},
        {"", {kNextMode, kNextMode, kNextMode}, 1, -4, 5, "The Gallery: Around You"},
        {"PrevMode cycles 1, 0, 2, 1", {kPrevMode}, 0, 1, 10, "The Gallery: Top Times"},
        {"", {kPrevMode, kPrevMode}, 2, 1, 10, "The Gallery: Friends"},
        {"", {kPrevMode, kPrevMode, kPrevMode}, 1, -4, 5, "The Gallery: Around You"},
        {"the top places stop at the first", {kPrevMode, kPrevPage}, 0, 1, 10, "The Gallery: Top Times"},
        {"", {kPrevMode, kNextPage, kNextPage, kPrevPage}, 0, 11, 20, "The Gallery: Top Times"},
        {"", {kPrevMode, kNextPage, kPrevPage, kPrevPage}, 0, 1, 10, "The Gallery: Top Times"},
        {"around the player pages both ways", {kPrevPage, kPrevPage}, 1, -24, -15, "The Gallery: Around You"},
        {"", {kNextPage}, 1, 6, 15, "The Gallery: Around You"},
        {"friends page below the first", {kNextMode, kPrevPage}, 2, -9, 0, "The Gallery: Friends"},
        {"a mode change starts its pages again", {kNextPage, kNextPage, kNextMode}, 2, 1, 10, "The Gallery: Friends"},
    };
    for (const Case& c : cases) {
        LeaderboardMenu* menu = OpenByVerb("Gallery");
        ASSERT_NE(menu, nullptr);
        std::string label = c.what;
        for (const int32_t press : c.presses) {
            Top()->Select(press);
            Send(ZMenuEventKind::Accept);
            label += " " + std::to_string(press);
        }
        ASSERT_EQ(Top(), menu) << label;
        EXPECT_EQ(menu->GetMode(), c.mode) << label;
        EXPECT_EQ(menu->GetFirstPlace(), c.first) << label;
        EXPECT_EQ(menu->GetLastPlace(), c.last) << label;
        EXPECT_STREQ(menu->GetItem(5)->GetText().GetText(), c.title) << label;
        EXPECT_TRUE(menu->GetItem(2)->visible) << label << ": rebuilt items show at once";
        Send(ZMenuEventKind::Cancel);
        ASSERT_EQ(Top(), nullptr) << label;
    }
}

TEST_F(LeaderboardMenuTest, TheVerbOpensTheNamedCourseOrNoneAndNoTimesShowNoEntries) {
    struct Case {
        const char* word;  // null: no word after the verb
        const char* course;
        const char* title;
    };
    const Case cases[] = {
        {nullptr, "none", "No Course: Around You"},
        {"", "none", "No Course: Around You"},
        {"Gallery", "Gallery", "The Gallery: Around You"},
        {"OldArcadia", "OldArcadia", "Old Arcadia: Around You"},
        {"Nowhere", "Nowhere", "Nowhere: Around You"},  // a course without a name shows as named
    };
    for (const Case& c : cases) {
        const std::string label = c.word != nullptr ? c.word : "(no word)";
        LeaderboardMenu* menu = OpenByVerb(c.word);
        ASSERT_NE(menu, nullptr) << label;
        EXPECT_EQ(menu->GetCourse(), ZHashedString(c.course)) << label;
        EXPECT_STREQ(menu->GetTitleText().GetText(), c.title) << label;
        EXPECT_TRUE(menu->GetRows().empty()) << label << ": no player, no rows";
        ASSERT_EQ(menu->GetItemCount(), 7u) << label;
        EXPECT_NE(dynamic_cast<ZMenuLabel*>(menu->GetItem(6)), nullptr) << label;
        EXPECT_STREQ(menu->GetItem(6)->GetText().GetText(), "No times yet. Finish the course to set one.") << label;
        EXPECT_EQ(menu->selectedIndex, 0) << label << ": without rows Back is selected";
        Send(ZMenuEventKind::Cancel);
    }
}

TEST_F(LeaderboardMenuTest, AcceptOffTheRowsDoesNothingAndBackOrCancelClose) {
    LeaderboardMenu* menu = OpenByVerb("Gallery");
    ASSERT_NE(menu, nullptr);
    // The title, the message, and indices past every item.
    for (const int32_t index : {5, 6, 7, 40}) {
        Top()->Select(index);
        Send(ZMenuEventKind::Accept);
        EXPECT_EQ(Top(), menu) << index;
        EXPECT_EQ(GetMenuMgr()->GetOpenMenuCount(), 1u) << index << ": no question opened";
        EXPECT_FALSE(menu->IsClosing()) << index;
    }
    struct Case {
        const char* what;
        int32_t select;
        int32_t kind;
    };
    const Case cases[] = {{"Back", 0, ZMenuEventKind::Accept}, {"Cancel", 3, ZMenuEventKind::Cancel}};
    Send(ZMenuEventKind::Cancel);
    for (const Case& c : cases) {
        menu = OpenByVerb("Gallery");
        ASSERT_NE(menu, nullptr) << c.what;
        menu->Select(c.select);
        ZMenuEvent event;
        event.kind = c.kind;
        GetMenuMgr()->DispatchEvent(event, nullptr);
        EXPECT_TRUE(menu->IsClosing()) << c.what;
        const uint32_t items = menu->GetItemCount();
        menu->Refresh();
        EXPECT_EQ(menu->GetItemCount(), items) << c.what << ": a closing menu is not rebuilt";
        Settle();
        EXPECT_EQ(GetMenuMgr()->GetOpenMenuCount(), 0u) << c.what << ": only the leaderboard closed";
    }
}

// Without a player racing only closes the menus: no ghost is copied.
TEST_F(LeaderboardMenuTest, RacingWithoutAPlayerOnlyClosesTheMenus) {
    LeaderboardMenu* menu = OpenByVerb("Gallery");
    ASSERT_NE(menu, nullptr);
    LeaderboardMenu::RaceGhost(menu);
    Settle();
    EXPECT_EQ(GetMenuMgr()->GetOpenMenuCount(), 0u);
    EXPECT_FALSE(os::Exists(os::TranslatePath(GetGhostFilePath(ZHashedString("Leaderboard Ghost")))));
}

TEST_F(LeaderboardMenuTest, EveryTextExistsInEnglishAndGerman) {
    for (const char* language : {"English", "German"}) {
        if (std::string(language) == "German") ZLocMgr::GetInstance()->SetLocalizedPath("German", false);
        for (const char* course : {"none", "Bonehoard", "Dreamscape", "Gallery", "LegacyCaves", "OldArcadia"}) {
            LeaderboardMenu menu{ZHashedString(course)};
            for (int32_t mode = 0; mode < 3; ++mode) {
                for (uint32_t i = 0; i < menu.GetItemCount(); ++i) {
                    const ZString& text = menu.GetItem(static_cast<int32_t>(i))->GetText();
                    EXPECT_EQ(text.Find("not found"), -1) << language << ", " << course << ": " << text.GetText();
                    EXPECT_EQ(text.Find("%"), -1) << language << ", " << course << ": " << text.GetText();
                }
                menu.NextMode();
            }
        }
        for (const char* key : {"ConfirmRaceGhost", "PersonalBest", "Requesting"}) {
            EXPECT_EQ(GameMenuText("LeaderboardMenu", key).Find("not found"), -1) << language << ", " << key;
        }
    }
}

}  // namespace
}  // namespace menustest
