// The randomizer setup's seed field, the controls page, the video page's
// question and the language switch, walked as a player does through the real
// start-up (support/GameMenusWalk.h) and read back from the picture where they show.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "game/menus/AnaglyphMenu.h"
#include "game/menus/GameMenuSupport.h"
#include "game/menus/KorvanthOptionsMenu.h"
#include "game/menus/KorvanthTitleMenu.h"
#include "game/menus/RandomizerMenu.h"
#include "support/GameMenusWalk.h"
#include "support/ScreenShots.h"
#include "input/ZControlGroup.h"
#include "input/ZControlMgr.h"
#include "menu/ConfirmationMenu.h"
#include "menu/ControlGroupsMenu.h"
#include "menu/ControlsMenu.h"
#include "menu/JoysticksMenu.h"
#include "menu/LanguageMenu.h"
#include "menu/VideoMenu.h"
#include "menu/ZCinematicMgr.h"
#include "menu/ZMenuItem.h"
#include "menu/ZMenuSpinner.h"
#include "menu/ZMenuTextField.h"
#include "menu/ZMenuUnderlay.h"

namespace {

using namespace menuwalk;
using namespace platform;

// The back buffer, with menu units (1024 x 768 in a 4:3 frame centred in the
// window) turned into its pixels.
struct Picture {
    std::vector<uint32_t> pixels;
    int32_t width = 0;
    int32_t height = 0;

    static Picture Take() {
        Picture p;
        p.pixels = GetRenderer()->CaptureBackBuffer(p.width, p.height);
        return p;
    }
    float FrameWidth() const {
        return std::min(static_cast<float>(width), 4.0f * static_cast<float>(height) / 3.0f);
    }
    float FrameHeight() const { return FrameWidth() * 0.75f; }
    int X(const float menuX) const {
        return static_cast<int>(menuX / 1024.0f * FrameWidth() + (static_cast<float>(width) - FrameWidth()) * 0.5f);
    }
    int Y(const float menuY) const {
        return static_cast<int>(menuY / 768.0f * FrameHeight() + (static_cast<float>(height) - FrameHeight()) * 0.5f);
    }
    int R(const int x, const int y) const { return static_cast<int>(At(x, y) >> 16 & 0xFF); }
    int G(const int x, const int y) const { return static_cast<int>(At(x, y) >> 8 & 0xFF); }
    int B(const int x, const int y) const { return static_cast<int>(At(x, y) & 0xFF); }
    uint32_t At(const int x, const int y) const {
        return pixels[static_cast<size_t>(std::clamp(y, 0, height - 1)) * static_cast<size_t>(width) +
                      static_cast<size_t>(std::clamp(x, 0, width - 1))];
    }
    // The panels' dark blue.
    bool IsPanel(const int x, const int y) const { return B(x, y) > R(x, y) + 20 && B(x, y) > 40; }
    // Menu text: light and without the panel's blue cast (grey, white or the field's yellow).
    bool IsText(const int x, const int y) const { return R(x, y) > 150 && G(x, y) > 150 && B(x, y) <= R(x, y) + 8; }
    // The field's yellow, not the label's grey.
    bool IsYellow(const int x, const int y) const { return R(x, y) > 200 && G(x, y) > 200 && B(x, y) < R(x, y) - 50; }
    // Neutral grey: the bluish grey of a selected row's box above the label is not text.
    bool IsGreyText(const int x, const int y) const {
        return R(x, y) > 90 && std::abs(R(x, y) - G(x, y)) <= 4 && std::abs(G(x, y) - B(x, y)) <= 4;
    }
};

struct Rect {
    float left, top, right, bottom;
};
Rect RectOf(const ZMenuItem* item) { return {item->left, item->top, item->left + item->width, item->top + item->height}; }
Rect RectOf(const ZMenuUnderlay* panel) {
    return {panel->left, panel->top, panel->left + panel->width, panel->top + panel->height};
}

template <typename Menu>
Menu* Top() {
    return dynamic_cast<Menu*>(GetMenuMgr()->GetTopMenu());
}

TEST(SettingsPagesWalkGl, TheSeedFieldStandsAfterItsLabelAndItsTextStaysInThePanel) {
    gametest::RunInChild([] {
        GameRunWalk run("");
        const auto press = [&](const uint8_t key) { return [&run, key] { run.Press(key); }; };
        const auto ready = [] { return true; };
        std::string firstSeed;
        std::string rolledSeed;
        std::vector<Step> steps = {
            {"skip the splash", [] { return GetCinematicMgr()->GetPlayingCount() > 0; }, press(DIK_RETURN)},
            {"press start", [] { return AtRestOn<KorvanthTitleMenu>(); }, press(DIK_RETURN)},
            {"main: New Game", [] { return AtRestOn<KorvanthTitleMenu>(); }, press(DIK_RETURN)},
            {"the setup: label and field apart", [] { return AtRestOn<RandomizerMenu>(); },
             [&] {
                 auto* menu = Top<RandomizerMenu>();
                 const ZMenuItem* label = menu->GetItem(2);
                 const Rect labelRect = RectOf(label);
                 const Rect field = RectOf(menu->seedField);
                 EXPECT_GE(field.left - labelRect.right, 24.0f) << "the field starts after the label it belongs to";
                 // In the picture: the label's grey letters end before the field's yellow begins.
                 const Picture picture = Picture::Take();
                 int labelRight = -1;
                 int fieldLeft = picture.width;
                 for (int y = picture.Y(labelRect.top); y <= picture.Y(labelRect.bottom); ++y) {
                     for (int x = picture.X(labelRect.left); x < picture.X(field.right); ++x) {
                         if (picture.IsYellow(x, y)) fieldLeft = std::min(fieldLeft, x);
                         if (picture.IsGreyText(x, y)) labelRight = std::max(labelRight, x);
                     }
                 }
                 EXPECT_GT(labelRight, picture.X(labelRect.left)) << "the label shows";
                 EXPECT_LT(labelRight, fieldLeft) << "the seed field covers its label";
                 firstSeed = menu->seedField->GetFieldText().GetText();
                 run.Press(DIK_DOWN);
             }},
            {"to Seed", ready, press(DIK_DOWN)},
            {"Enter on the label rolls a new seed", ready, press(DIK_RETURN)},
            {"rolled; to the field", [] { return AtRestOn<RandomizerMenu>(); },
             [&] {
                 auto* menu = Top<RandomizerMenu>();
                 rolledSeed = menu->seedField->GetFieldText().GetText();
                 EXPECT_NE(rolledSeed, firstSeed);
                 EXPECT_EQ(rolledSeed.size(), 9u);
                 EXPECT_EQ(menu->selectedIndex, 2);
                 run.Press(DIK_RIGHT);
             }},
            {"edit", ready, press(DIK_RETURN)},
        };
        // Sixteen letters after the nine of the seed: the last does not fit.
        steps.push_back({"editing", [] { return Top<RandomizerMenu>()->GetActiveItem() != nullptr; }, press(DIK_K)});
        for (int i = 1; i < 16; ++i) steps.push_back({"type", ready, press(DIK_K)});
        steps.push_back({"keep it", ready, press(DIK_RETURN)});
        steps.push_back(
            {"the long seed in its panel", [] { return AtRestOn<RandomizerMenu>() && Top<RandomizerMenu>()->GetActiveItem() == nullptr; },
             [&] {
                 auto* menu = Top<RandomizerMenu>();
                 // Typed text goes after the seed, as far as the field's 24 characters.
                 EXPECT_EQ(std::string(menu->seedField->GetFieldText().GetText()), rolledSeed + std::string(15, 'k'));
                 ASSERT_FALSE(menu->underlays.IsEmpty());
                 const Rect panel = RectOf(menu->underlays[0]);
                 const Rect field = RectOf(menu->seedField);
                 EXPECT_LE(field.right, panel.right - 32.0f);
                 const Picture picture = Picture::Take();
                 int inside = 0;
                 int outside = 0;
                 for (int y = picture.Y(field.top); y <= picture.Y(field.bottom); ++y) {
                     for (int x = picture.X(field.left); x < picture.X(panel.right) - 2; ++x) {
                         inside += picture.IsText(x, y) ? 1 : 0;
                     }
                     for (int x = picture.X(panel.right) + 2; x < picture.width; ++x) {
                         outside += picture.IsText(x, y) ? 1 : 0;
                     }
                 }
                 EXPECT_GT(inside, 0) << "the seed shows";
                 EXPECT_EQ(outside, 0) << "the seed runs out of its panel";
             }});
        const size_t done = run.Walk(steps, 1500);
        EXPECT_EQ(done, steps.size()) << "the walk stopped before: " << (done < steps.size() ? steps[done].what : "");
    });
}

// The panel and items of the controls page at rest: inside the screen,
// centred, and the same panel for every group.
void CheckControlsPage(std::vector<Rect>& panels, const char* group) {
    SCOPED_TRACE(group);
    auto* menu = Top<ControlGroupsMenu>();
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->underlays.Count(), 1u);
    const Rect panel = RectOf(menu->underlays[0]);
    EXPECT_GE(panel.left, 0.0f);
    EXPECT_GE(panel.top, 0.0f);
    EXPECT_LE(panel.right, 1024.0f);
    EXPECT_LE(panel.bottom, 768.0f);
    EXPECT_NEAR((panel.left + panel.right) * 0.5f, 512.0f, 1.0f);
    const Rect clear = RectOf(menu->GetItem(4));
    for (uint32_t i = 0; i < menu->GetItemCount(); ++i) {
        const Rect r = RectOf(menu->GetItem(static_cast<int32_t>(i)));
        SCOPED_TRACE(menu->GetItem(static_cast<int32_t>(i))->GetText().GetText());
        EXPECT_GE(r.left, panel.left + 16.0f);
        EXPECT_LE(r.right, panel.right - 16.0f);
        EXPECT_GE(r.top, panel.top + 16.0f);
        EXPECT_LE(r.bottom, panel.bottom - 16.0f);
        if (i >= 5 && r.left >= 272.0f) {
            EXPECT_LE(r.bottom, clear.top) << "a row runs into Clear";
        }
    }
    // In the picture: nothing of the panel on the window's top and bottom
    // rows, and its middle row centred on the window.
    const Picture picture = Picture::Take();
    int edgeRows = 0;
    for (int x = 0; x < picture.width; ++x) {
        edgeRows += picture.IsPanel(x, 0) ? 1 : 0;
        edgeRows += picture.IsPanel(x, picture.height - 1) ? 1 : 0;
    }
    EXPECT_EQ(edgeRows, 0) << "the panel runs off the screen";
    int left = picture.width;
    int right = -1;
    const int middle = picture.height / 2;
    for (int x = 0; x < picture.width; ++x) {
        if (picture.IsPanel(x, middle)) {
            left = std::min(left, x);
            right = std::max(right, x);
        }
    }
    EXPECT_NEAR(left + right, picture.width - 1, 4) << "the panel is not centred: " << left << " to " << right;
    panels.push_back(Rect{static_cast<float>(left), 0.0f, static_cast<float>(right), 0.0f});
}

TEST(SettingsPagesWalkGl, TheControlsPageKeepsOneCentredPanelOnAWideScreenInEitherLanguage) {
    gametest::RunInChild([] {
        GameRunWalk run("", 960, 540);
        const auto press = [&](const uint8_t key) { return [&run, key] { run.Press(key); }; };
        const auto ready = [] { return true; };
        const auto atGroups = [] { return AtRestOn<ControlGroupsMenu>(); };
        std::vector<Rect> panels;
        uint32_t groups = 0;
        std::vector<Step> steps = {
            {"skip the splash", [] { return GetCinematicMgr()->GetPlayingCount() > 0; }, press(DIK_RETURN)},
            {"press start", [] { return AtRestOn<KorvanthTitleMenu>(); }, press(DIK_RETURN)},
            {"main: to Options", [] { return AtRestOn<KorvanthTitleMenu>(); }, press(DIK_DOWN)},
            {"open the options", ready, press(DIK_RETURN)},
            {"options", [] { return AtRestOn<KorvanthOptionsMenu>(); }, press(DIK_DOWN)},
        };
        for (int i = 1; i < 5; ++i) steps.push_back({"to Controls", ready, press(DIK_DOWN)});
        steps.push_back({"open Controls", ready, press(DIK_RETURN)});
        steps.push_back({"Bindings", [] { return AtRestOn<ControlsMenu>(); }, press(DIK_RETURN)});
        steps.push_back({"the first group", atGroups,
                         [&] {
                             for (uint32_t g = 0; g < GetControlMgr()->CountGroups(); ++g) {
                                 groups += GetControlMgr()->GetGroupAt(g)->hiddenGroup == 0 ? 1 : 0;
                             }
                             CheckControlsPage(panels, "opened");
                             run.Press(DIK_DOWN);
                         }});
        // Every tab in turn: down to it, choose it, check the page.
        for (int tab = 0; tab < 5; ++tab) {
            steps.push_back({"choose the tab", ready, press(DIK_RETURN)});
            steps.push_back({"the group's page", atGroups, [&] {
                                 CheckControlsPage(panels, "a group");
                                 run.Press(DIK_DOWN);
                             }});
        }
        steps.push_back({"leave the page", atGroups, press(DIK_ESCAPE)});
        steps.push_back({"leave Controls", [] { return AtRestOn<ControlsMenu>(); }, press(DIK_ESCAPE)});
        steps.push_back({"to Language", [] { return AtRestOn<KorvanthOptionsMenu>(); }, press(DIK_DOWN)});
        steps.push_back({"open Language", ready, press(DIK_RETURN)});
        steps.push_back({"to Deutsch", [] { return AtRestOn<LanguageMenu>(); }, press(DIK_DOWN)});
        steps.push_back({"choose it", ready, press(DIK_RETURN)});
        steps.push_back({"the title again, in German", [] { return AtRestOn<KorvanthTitleMenu>(); }, press(DIK_DOWN)});
        steps.push_back({"open the options", ready, press(DIK_RETURN)});
        steps.push_back({"options", [] { return AtRestOn<KorvanthOptionsMenu>(); }, press(DIK_DOWN)});
        for (int i = 1; i < 5; ++i) steps.push_back({"to Controls", ready, press(DIK_DOWN)});
        steps.push_back({"open Controls", ready, press(DIK_RETURN)});
        steps.push_back({"Bindings", [] { return AtRestOn<ControlsMenu>(); }, press(DIK_RETURN)});
        steps.push_back({"the German page", atGroups, [&] {
                             CheckControlsPage(panels, "German");
                             auto* menu = Top<ControlGroupsMenu>();
                             const Rect label = RectOf(menu->GetItem(0));
                             const Rect heading = RectOf(menu->GetItem(1));
                             EXPECT_LE(label.right, heading.left - 40.0f) << "the headers run together";
                             // The picture keeps a gap of more than a space without text before the heading.
                             const Picture picture = Picture::Take();
                             int text = 0;
                             for (int y = picture.Y(heading.top); y <= picture.Y(heading.bottom); ++y) {
                                 for (int x = picture.X(heading.left - 40.0f); x < picture.X(heading.left) - 1; ++x) {
                                     text += picture.IsText(x, y) ? 1 : 0;
                                 }
                             }
                             EXPECT_EQ(text, 0) << "the headers run together";
                             EXPECT_EQ(std::string(menu->GetItem(0)->GetText().GetText()), "Gruppen");
                         }});
        const size_t done = run.Walk(steps, 3000);
        EXPECT_EQ(done, steps.size()) << "the walk stopped before: " << (done < steps.size() ? steps[done].what : "");
        EXPECT_EQ(groups, 5u) << "the walk chooses five tabs";
        ASSERT_FALSE(panels.empty());
        for (const Rect& panel : panels) {
            EXPECT_NEAR(panel.left, panels[0].left, 1.0f) << "the panel changes with the group";
            EXPECT_NEAR(panel.right, panels[0].right, 1.0f) << "the panel changes with the group";
        }
    });
}

TEST(SettingsPagesWalkGl, YesOnTheVideoQuestionAppliesAndTheOptionsTakeTheNextKeyAtOnce) {
    gametest::RunInChild([] {
        GameRunWalk run("");
        const auto press = [&](const uint8_t key) { return [&run, key] { run.Press(key); }; };
        const auto ready = [] { return true; };
        std::vector<Step> steps = {
            {"skip the splash", [] { return GetCinematicMgr()->GetPlayingCount() > 0; }, press(DIK_RETURN)},
            {"press start", [] { return AtRestOn<KorvanthTitleMenu>(); }, press(DIK_RETURN)},
            {"main: to Options", [] { return AtRestOn<KorvanthTitleMenu>(); }, press(DIK_DOWN)},
            {"open the options", ready, press(DIK_RETURN)},
            {"options", [] { return AtRestOn<KorvanthOptionsMenu>(); }, press(DIK_DOWN)},
            {"to Anaglyph", ready, press(DIK_DOWN)},
            {"to Video", ready, press(DIK_DOWN)},
            {"open Video", ready, press(DIK_RETURN)},
            {"video: to the resolution", [] { return AtRestOn<VideoMenu>(); }, press(DIK_DOWN)},
            {"the next size", ready, press(DIK_RIGHT)},
            {"and back", ready, press(DIK_LEFT)},
            {"leave", ready, press(DIK_ESCAPE)},
            // A value was changed, even though back: the page asks, as it does for any change.
            {"the question: to No", [] { return AtRestOn<ConfirmationMenu>(); }, press(DIK_LEFT)},
            {"to Yes", ready, press(DIK_LEFT)},
            {"Yes", ready, press(DIK_RETURN)},
            {"the options, at once ready for the next key", [] { return AtRestOn<ZMenu>(); },
             [&] {
                 auto* options = Top<KorvanthOptionsMenu>();
                 ASSERT_NE(options, nullptr) << "another menu stands over the options";
                 EXPECT_EQ(GetMenuMgr()->GetOpenMenuCount(), 2u);
                 EXPECT_EQ(options->GetSelectedItem()->GetName(), ZHashedString("Video"));
                 run.Press(DIK_DOWN);
             }},
            {"the key moved the selection", ready,
             [] {
                 auto* options = Top<KorvanthOptionsMenu>();
                 ASSERT_NE(options, nullptr);
                 EXPECT_EQ(options->GetSelectedItem()->GetName(), ZHashedString("Audio"));
             }},
        };
        const size_t done = run.Walk(steps, 1500);
        EXPECT_EQ(done, steps.size()) << "the walk stopped before: " << (done < steps.size() ? steps[done].what : "");
        EXPECT_EQ(run.game->m_widthWindowed, 640);
    });
}

// Light text pixels in a rectangle of menu units.
int TextIn(const Picture& picture, const Rect& r) {
    int text = 0;
    for (int y = picture.Y(r.top); y <= picture.Y(r.bottom); ++y) {
        for (int x = picture.X(r.left); x <= picture.X(r.right); ++x) {
            text += picture.IsText(x, y) ? 1 : 0;
        }
    }
    return text;
}

TEST(SettingsPagesWalkGl, TheJoysticksPanelFitsTheScreenAndTheAnaglyphHelpLineFollowsTheSelection) {
    gametest::RunInChild([] {
        GameRunWalk run("");
        const auto press = [&](const uint8_t key) { return [&run, key] { run.Press(key); }; };
        const auto ready = [] { return true; };
        const auto selected = [] {
            const ZMenuItem* item = GetMenuMgr()->GetTopMenu()->GetSelectedItem();
            return item != nullptr ? item : GetMenuMgr()->GetTopMenu()->GetItem(0);
        };
        Rect help{};
        int helpText = 0;
        std::vector<Step> steps = {
            {"skip the splash", [] { return GetCinematicMgr()->GetPlayingCount() > 0; }, press(DIK_RETURN)},
            {"press start", [] { return AtRestOn<KorvanthTitleMenu>(); }, press(DIK_RETURN)},
            {"main: to Options", [] { return AtRestOn<KorvanthTitleMenu>(); }, press(DIK_DOWN)},
            {"open the options", ready, press(DIK_RETURN)},
            {"options", [] { return AtRestOn<KorvanthOptionsMenu>(); }, press(DIK_DOWN)},
        };
        for (int i = 1; i < 5; ++i) steps.push_back({"to Controls", ready, press(DIK_DOWN)});
        steps.push_back({"open Controls", ready, press(DIK_RETURN)});
        steps.push_back({"to Mouse", [] { return AtRestOn<ControlsMenu>(); }, press(DIK_DOWN)});
        steps.push_back({"to Joysticks", ready, press(DIK_DOWN)});
        steps.push_back({"open Joysticks", ready, press(DIK_RETURN)});
        steps.push_back({"the Joysticks page", [] { return AtRestOn<JoysticksMenu>(); }, [] {
            auto* menu = Top<JoysticksMenu>();
            ASSERT_EQ(menu->underlays.Count(), 1u);
            const Rect panel = RectOf(menu->underlays[0]);
            EXPECT_GE(panel.left, 0.0f);
            EXPECT_GE(panel.top, 0.0f);
            EXPECT_LE(panel.right, 1024.0f);
            EXPECT_LE(panel.bottom, 768.0f);
            for (uint32_t i = 0; i < menu->GetItemCount(); ++i) {
                const Rect r = RectOf(menu->GetItem(static_cast<int32_t>(i)));
                SCOPED_TRACE(menu->GetItem(static_cast<int32_t>(i))->GetText().GetText());
                EXPECT_GE(r.left, panel.left + 16.0f);
                EXPECT_GE(r.top, panel.top + 16.0f);
                EXPECT_LE(r.bottom, panel.bottom - 16.0f);
            }
            // In the picture: the panel shows, and nothing of it on the window's
            // top and bottom rows.
            const Picture picture = Picture::Take();
            int edgeRows = 0;
            for (int x = 0; x < picture.width; ++x) {
                edgeRows += picture.IsPanel(x, 0) ? 1 : 0;
                edgeRows += picture.IsPanel(x, picture.height - 1) ? 1 : 0;
            }
            EXPECT_EQ(edgeRows, 0) << "the panel runs off the screen";
            EXPECT_TRUE(picture.IsPanel(picture.X(panel.left + 8.0f), picture.Y(panel.top + 8.0f)));
            EXPECT_TRUE(picture.IsPanel(picture.X(panel.left + 8.0f), picture.Y(panel.bottom - 8.0f)));
            EXPECT_FALSE(picture.IsPanel(picture.X(panel.left + 8.0f), picture.Y(panel.top) - 3));
            EXPECT_FALSE(picture.IsPanel(picture.X(panel.left + 8.0f), picture.Y(panel.bottom) + 3));
            screenshot::Keep(screenshot::Take(), "KORV_SETTINGS_SHOTS", "joysticks-page.png");
        }});
        steps.push_back({"leave Joysticks", ready, press(DIK_ESCAPE)});
        steps.push_back({"leave Controls", [] { return AtRestOn<ControlsMenu>(); }, press(DIK_ESCAPE)});
        // Back on Controls; Anaglyph is three above it.
        steps.push_back({"options again", [] { return AtRestOn<KorvanthOptionsMenu>(); }, press(DIK_UP)});
        for (int i = 0; i < 2; ++i) steps.push_back({"up to Anaglyph", ready, press(DIK_UP)});
        steps.push_back({"open Anaglyph", [] {
            return Top<KorvanthOptionsMenu>()->GetSelectedItem()->GetName() == ZHashedString("Anaglyph");
        }, press(DIK_RETURN)});
        // From Back, up through Reset and the rows to Desaturation.
        const auto atDesaturation = [selected] {
            const auto* row = dynamic_cast<const ZMenuSpinner*>(selected());
            return row != nullptr && row->variable == ZHashedString("Desaturation");
        };
        steps.push_back({"the Anaglyph page", [] { return AtRestOn<AnaglyphMenu>(); }, press(DIK_UP)});
        for (int i = 0; i < 8; ++i) {
            steps.push_back({"up to Desaturation", ready, [&run, atDesaturation] {
                if (!atDesaturation()) run.Press(DIK_UP);
            }});
        }
        steps.push_back({"Desaturation shows its help", ready, [&, atDesaturation] {
            ASSERT_TRUE(atDesaturation());
            const ZMenuItem* line = Top<AnaglyphMenu>()->GetItem(4);
            EXPECT_EQ(std::string(line->GetText().GetText()),
                      GameMenuText("AnaglyphMenu", "DesatDesc").GetText());
            help = RectOf(line);
            helpText = TextIn(Picture::Take(), help);
            screenshot::Keep(screenshot::Take(), "KORV_SETTINGS_SHOTS", "anaglyph-row-help.png");
            EXPECT_GT(helpText, 20) << "the help line shows in the picture";
            run.Press(DIK_UP);
        }});
        steps.push_back({"to the anaglyph switch", ready, press(DIK_UP)});
        steps.push_back({"the switch shows no help", ready, [&, selected] {
            ASSERT_EQ(selected()->GetName(), ZHashedString("SpinnerButton_ANAGLYPH"));
            EXPECT_EQ(TextIn(Picture::Take(), help), 0) << "the help of the row selected before stays";
            screenshot::Keep(screenshot::Take(), "KORV_SETTINGS_SHOTS", "anaglyph-switch-help.png");
        }});
        const size_t done = run.Walk(steps, 2000);
        EXPECT_EQ(done, steps.size()) << "the walk stopped before: " << (done < steps.size() ? steps[done].what : "");
    });
}

}  // namespace
