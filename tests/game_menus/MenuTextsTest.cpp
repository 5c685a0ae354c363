// Every text the game's menus show exists in both languages, and translated
// texts are shown as written, never read as printf formats.

#include <functional>

#include "foundation/ZUpdateRegistry.h"
#include "game/menus/AnaglyphMenu.h"
#include "game/menus/CRTTunerMenu.h"
#include "game/menus/CampaignMenu.h"
#include "game/menus/CreditsMenu.h"
#include "game/menus/DemoIdleMenu.h"
#include "game/menus/GameMenuSupport.h"
#include "game/menus/KorvanthCRTMenu.h"
#include "game/menus/KorvanthPauseMenu.h"
#include "game/menus/KorvanthTitleMenu.h"
#include "game/menus/LoadWarningMenu.h"
#include "game/menus/LoadingMenu.h"
#include "game/menus/RandomizerMenu.h"
#include "GameMenusFixture.h"
#include "menu/ZMenuLabel.h"
#include "menu/ZMenuSpinner.h"

namespace menustest {
namespace {

class MenuTextsTest : public GameMenusTest {};

TEST_F(MenuTextsTest, EveryMenuTextExistsInEnglishAndGerman) {
    WriteSave(gameflow::kMinimapVersion, true);
    gameflow::SetGameInProgress(true);
    using Make = std::function<ZMenu*()>;
    const std::pair<const char*, Make> menus[] = {
        {"title press start", [] { return new KorvanthTitleMenu(false); }},
        {"title main", [] { return new KorvanthTitleMenu(true); }},
        {"campaigns", [] { return new CampaignMenu(); }},
        {"loading", [] { return new LoadingMenu(); }},
        {"warning (minimap)", [] { return new LoadWarningMenu(ZHashedString("MinimapWarning")); }},
        {"warning (randomizer)", [] { return new LoadWarningMenu(ZHashedString("RandomizerWarning")); }},
        {"pause", [this] { return game->CreatePauseMenu(); }},
        {"options", [this] { return game->CreateOptionsMenu(); }},
        {"game options", [this] { return game->CreateGameOptionsMenu(); }},
        {"audio", [this] { return game->CreateAudioMenu(); }},
        {"crt", [] { return new KorvanthCRTMenu(); }},
        {"anaglyph", [] { return new AnaglyphMenu(); }},
        {"credits", [] { return new CreditsMenu(); }},
        {"randomizer", [] { return new RandomizerMenu(); }},
        {"demo", [] { return new DemoIdleMenu(0.0f, false); }},
        {"shape", [] { auto* m = new CRTTunerShapeMenu(); m->BuildItems(); return m; }},
        {"color", [] { auto* m = new CRTTunerColorMenu(); m->BuildItems(); return m; }},
        {"lighting", [] { auto* m = new CRTTunerLightingMenu(); m->BuildItems(); return m; }},
    };
    for (const char* language : {"English", "German"}) {
        if (std::string(language) == "German") ZLocMgr::GetInstance()->SetLocalizedPath("German", false);
        for (const auto& [what, make] : menus) {
            ZMenu* menu = make();
            for (uint32_t i = 0; i < menu->GetItemCount(); ++i) {
                const ZMenuItem* item = menu->GetItem(static_cast<int32_t>(i));
                EXPECT_EQ(item->GetText().Find("not found"), -1) << language << ", " << what << ": " << item->GetText().GetText();
                if (const auto* spinner = dynamic_cast<const ZMenuSpinner*>(item)) {
                    EXPECT_EQ(spinner->helpText.Find("not found"), -1) << language << ", " << what;
                }
            }
            if (auto* warning = dynamic_cast<LoadWarningMenu*>(menu)) {
                EXPECT_EQ(warning->GetWarningText().Find("not found"), -1) << language << ", " << what;
            }
            delete menu;
        }
    }
}

TEST_F(MenuTextsTest, TheShippedCampaignIsListedByItsTitleInEachLanguage) {
    struct Case {
        const char* language;
        const char* row;
    };
    const Case cases[] = {{"English", "1. The Drowned Caverns"}, {"German", "1. Die versunkenen H\xC3\xB6hlen"}};
    for (const Case& c : cases) {
        if (std::string(c.language) == "German") ZLocMgr::GetInstance()->SetLocalizedPath("German", false);
        CampaignMenu menu;
        ASSERT_GT(menu.GetItemCount(), static_cast<uint32_t>(CampaignMenu::kFirstRow)) << c.language;
        EXPECT_EQ(menu.GetItem(CampaignMenu::kFirstRow)->GetText(), c.row) << c.language;
    }
}

TEST_F(MenuTextsTest, TheCountdownTakesItsNumberByReplacement) {
    struct Case {
        const char* text;
        const char* shown;
    };
    // A translator's text with stray conversions shows them as typed.
    const Case cases[] = {
        {"Back in %d", "Back in 7"},
        {"%s %n %d%%", "%s %n 7%%"},
        {"No number here", "No number here"},
    };
    for (const Case& c : cases) {
        const ZString original = GameMenuText("DemoIdleMenu", "Countdown");
        ZLocMgr::GetInstance()->ReplaceInString(ZHashedString("KorvanthMenus"), ZHashedString("DemoIdleMenu"),
                                                ZHashedString("Countdown"), original.GetText(), c.text);
        EXPECT_EQ(DemoIdleMenu::CountdownText(7), c.shown) << c.text;
        ZLocMgr::GetInstance()->DiscardStringChanges();
    }
}

}  // namespace
}  // namespace menustest
