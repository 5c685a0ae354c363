// The slider and the value row: stepping, dragging and clicking with the
// marks that pull the knob, and a row bound to a configuration variable,
// which it only ever sets to what it shows, inside the registered range.

#include <cmath>
#include <cstring>

#include "MenuFixture.h"
#include "framework/ZConfigVar.h"
#include "menu/ZMenuLabel.h"
#include "menu/ZMenuSlider.h"
#include "menu/ZMenuSpinner.h"

using namespace menutest;

namespace {

// A 200-unit bar from x = 100, range 0..1, a mark at 0.5, steps of 0.05.
struct Bar {
    ZMenuSlider slider;
    Bar() {
        slider.width = 200.0f;
        slider.left = 100.0f;
        slider.AddSnapPoint(0.5f);
    }
};

class ZMenuSliderTest : public MenuFixture {
protected:
    void TearDown() override {
        ClearConfigRegistry();
        MenuFixture::TearDown();
    }
    // A float variable [Test] Level with a range and a default.
    void RegisterLevel(const float minimum, const float maximum, const float step, const float defaultValue) {
        const ZHashedString section("Test"), name("Level");
        RegisterConfigVarFloat(section, name, &level, defaultValue, nullptr);
        ZConfigVar& var = FindOrAddConfigVar(section, name);
        var.hasRange = true;
        var.minimum = minimum;
        var.maximum = maximum;
        var.step = step;
    }
    ZMenuSpinner* AddRow(ZMenu& menu, const char* format = "%.2f") {
        return menu.AddValueSpinner(512, 300, 0.5f, 0.8f, ZString("Level"), ZString("How loud"), nullptr,
                                    ZHashedString("Test"), ZHashedString("Level"), format);
    }
    float level = 0.0f;
};

}  // namespace

TEST_F(ZMenuSliderTest, StepsStopOnAMarkAndLeaveIt) {
    struct Case {
        float start;
        int32_t step;
        float expected;
    };
    const Case cases[] = {
        {0.44f, 1, 0.5f},    // a step ending just below the mark goes on to it
        {0.5f, 1, 0.55f},    // on the mark: the next step leaves it
        {0.5f, -1, 0.45f},   // and the other way
        {0.56f, -1, 0.5f},   // a step down ending just above it
        {0.46f, 1, 0.51f},   // a step past the mark is not pulled back
        {0.3f, 1, 0.35f},    // far from it: a plain step
        {0.98f, 1, 1.0f},    // held at the end
        {0.02f, -1, 0.0f},
    };
    for (const Case& c : cases) {
        Bar bar;
        bar.slider.SetValue(c.start);
        bar.slider.Adjust(c.step);
        EXPECT_NEAR(bar.slider.GetValue(), c.expected, 1e-5f) << c.start << " by " << c.step;
        EXPECT_EQ(bar.slider.dragPosition, bar.slider.shownPosition) << "a step ends its drag";
    }
}

TEST_F(ZMenuSliderTest, DraggingCrossesMarksAndStopsAtTheEnds) {
    Bar bar;
    bar.slider.SetValue(0.4f);
    bar.slider.Drag(21.0f);  // to 0.505: beside the mark, not on it
    EXPECT_NEAR(bar.slider.GetValue(), 0.505f, 1e-5f);
    bar.slider.Drag(500.0f);
    EXPECT_EQ(bar.slider.GetValue(), 1.0f);
    bar.slider.Drag(-1000.0f);  // the wanted position runs on; the knob stays at the end
    EXPECT_EQ(bar.slider.GetValue(), 0.0f);
    bar.slider.EndDrag();
    EXPECT_EQ(bar.slider.dragPosition, 0.0f) << "after a drag the knob stays where it was drawn";
    bar.slider.SetFromPosition(150.0f);  // a click at the bar's quarter
    EXPECT_NEAR(bar.slider.GetValue(), 0.25f, 1e-5f);
}

TEST_F(ZMenuSliderTest, ASliderWithoutWidthOrRangeGivesNoNaN) {
    ZMenuSlider slider;  // no font: no width
    slider.minimum = 2.0f;
    slider.maximum = 2.0f;
    slider.SetValue(std::nanf(""));
    slider.Adjust(1);
    EXPECT_EQ(slider.GetValue(), 2.0f);
    slider.maximum = 1.0f;  // upside down
    EXPECT_EQ(slider.GetValue(), 2.0f);
}

TEST_F(ZMenuSliderTest, ARowEditsItsVariableWithinTheRange) {
    RegisterLevel(0.0f, 1.0f, 0.05f, 0.7f);
    level = 0.6f;
    ZMenu menu;
    ZMenuSpinner* row = AddRow(menu);
    ASSERT_NE(row, nullptr);
    ASSERT_EQ(menu.GetItemCount(), 3u) << "label, value, slider";
    EXPECT_STREQ(row->valueItem->GetText().GetText(), "0.60");
    row->width = 200.0f;  // no font in this test: give the bar its length
    row->SetValue(level);
    for (int i = 0; i < 30; ++i) {
        row->Adjust(1);
        ASSERT_LE(level, 1.0f);
    }
    EXPECT_EQ(level, 1.0f);
    EXPECT_STREQ(row->valueItem->GetText().GetText(), "1.00");
    row->Drag(-5000.0f);
    EXPECT_EQ(level, 0.0f);
    row->SetValue(std::nanf(""));
    EXPECT_FALSE(std::isnan(level));
    EXPECT_GE(level, 0.0f);
    // The variable holds what the row shows.
    row->SetFromPosition(row->left + 123.0f);
    char shown[32];
    std::snprintf(shown, sizeof shown, "%.2f", static_cast<double>(level));
    EXPECT_STREQ(row->valueItem->GetText().GetText(), shown);
}

TEST_F(ZMenuSliderTest, ARowStepsByTheVariablesStepAndMarksItsDefault) {
    RegisterLevel(-5.0f, 5.0f, 0.25f, 0.0f);
    level = -0.25f;
    ZMenu menu;
    ZMenuSpinner* row = AddRow(menu);
    ASSERT_NE(row, nullptr);
    row->width = 400.0f;
    row->SetValue(level);
    EXPECT_FLOAT_EQ(row->stepFraction, 0.025f);
    row->Adjust(1);
    EXPECT_EQ(level, 0.0f) << "onto the default";
    row->Adjust(1);
    EXPECT_EQ(level, 0.25f);
}

TEST_F(ZMenuSliderTest, RowsRefuseVariablesTheyCannotEditSafely) {
    struct Case {
        const char* name;
        float minimum, maximum;
        bool ranged;
    };
    const Case cases[] = {
        {"no range", 0.0f, 1.0f, false},
        {"empty range", 1.0f, 1.0f, true},
        {"upside-down range", 1.0f, 0.0f, true},
    };
    for (const Case& c : cases) {
        ClearConfigRegistry();
        RegisterLevel(c.minimum, c.maximum, 0.1f, c.minimum);
        FindOrAddConfigVar(ZHashedString("Test"), ZHashedString("Level")).hasRange = c.ranged;
        ZMenu menu;
        EXPECT_EQ(AddRow(menu), nullptr) << c.name;
        EXPECT_EQ(menu.GetItemCount(), 0u) << c.name;
    }
    ZMenu menu;
    EXPECT_EQ(menu.AddValueSpinner(0, 0, 1, 1, ZString(), ZString(), nullptr, ZHashedString("Test"),
                                   ZHashedString("Missing"), "%.1f"),
              nullptr);
}

TEST_F(ZMenuSliderTest, OnlyOneNumberFormatIsAccepted) {
    struct Case {
        const char* format;
        const char* kept;
    };
    const Case cases[] = {
        {"%.1f", "%.1f"},     {"%5.3g%%", "%5.3g%%"}, {"x = %e", "x = %e"},  {"%s", "%.2f"},
        {"%f %f", "%.2f"},    {"%d", "%.2f"},         {"plain", "%.2f"},     {"%n", "%.2f"},
        {"%", "%.2f"},        {nullptr, "%.2f"},
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(ZMenuSpinner::CheckValueFormat(c.format).GetText(), c.kept) << (c.format ? c.format : "null");
    }
}

TEST_F(ZMenuSliderTest, SelectingARowShowsItsHelp) {
    RegisterLevel(0.0f, 1.0f, 0.05f, 0.5f);
    ZMenu menu;
    auto* help = new ZMenuLabel();
    menu.AddItem(help);
    ZMenuSpinner* row = menu.AddValueSpinner(512, 300, 0.5f, 0.8f, ZString("Level"), ZString("How loud"), help,
                                             ZHashedString("Test"), ZHashedString("Level"), "%.2f");
    ASSERT_NE(row, nullptr);
    row->OnSelected();
    EXPECT_STREQ(help->GetText().GetText(), "How loud");
}
