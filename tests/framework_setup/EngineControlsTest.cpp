// The engine's control groups and controls, and the default bindings that the
// bindings loader starts from.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/ZBaseGame.h"
#include "input/ZControlMgr.h"

namespace {

class EngineControlsTest : public ::testing::Test {
protected:
    void SetUp() override { game.SetLogging(false); }
    void TearDown() override { DeleteControlMgr(); }

    // The bindings of a control as input names, in list order.
    static std::string Bindings(const char* group, const char* control) {
        const ZControl* c = GetControlMgr()->GetControl(ZHashedString(group), ZHashedString(control));
        if (c == nullptr) return "<no control>";
        std::string text;
        for (const ZInputBinding& binding : c->bindings) {
            ZHashedString device;
            if (!text.empty()) text += " ";
            text += GetInputName(binding, device).GetText();
        }
        return text;
    }

    static uint32_t TotalBindings() {
        uint32_t total = 0;
        ZControlMgr* controls = GetControlMgr();
        for (uint32_t g = 0; g < controls->CountGroups(); ++g) {
            for (const ZControl* control : controls->GetGroupAt(g)->controls)
                total += control->bindings.Count();
        }
        return total;
    }

    ZBaseGame game;
};

TEST_F(EngineControlsTest, GroupsAndControls) {
    game.CreateControls();
    struct Case {
        const char* group;
        bool cinematicBlock, rebindable, perFrame, hidden;
        std::vector<std::string> controls;  // "*" marks a hidden one
    };
    const Case cases[] = {
        {"General", true, false, true, false, {"Pause"}},
        {"Utility", false, true, true, false, {"OpenConsole", "*Screenshot", "*DeviceRecognition"}},
        {"Menus",
         false,
         false,
         true,
         false,
         {"NavUp", "NavDown", "NavLeft", "NavRight", "NavNext", "Accept", "Cancel", "Click", "PrevTab",
          "NextTab", "PageUp", "PageDown"}},
        {"VisOnly", false, false, true, true, {"*PressStart"}},
        {"GameTimeSubs", false, false, false, true, {"*Accept", "*Cancel", "*Click"}},
    };
    ZControlMgr* controls = GetControlMgr();
    ASSERT_EQ(controls->CountGroups(), 5u);
    for (uint32_t i = 0; i < 5; ++i) {
        const Case& c = cases[i];
        const ZControlGroup* group = controls->GetGroupAt(i);
        EXPECT_STREQ(group->name.GetText(), c.group);
        EXPECT_EQ(group->cinematicBlock != 0, c.cinematicBlock) << c.group;
        EXPECT_EQ(group->rebindable != 0, c.rebindable) << c.group;
        EXPECT_EQ(group->perFrame != 0, c.perFrame) << c.group;
        EXPECT_EQ(group->hiddenGroup != 0, c.hidden) << c.group;
        std::vector<std::string> names;
        for (const ZControl* control : group->controls) {
            names.push_back(std::string(control->hidden ? "*" : "") + control->name.GetText());
        }
        EXPECT_EQ(names, c.controls) << c.group;
    }
    // Adding them again changes nothing.
    game.CreateControls();
    EXPECT_EQ(controls->CountGroups(), 5u);
    EXPECT_EQ(controls->GetGroupAt(2)->controls.Count(), 12u);
}

TEST_F(EngineControlsTest, DefaultBindingsInCallOrder) {
    game.CreateControls();
    game.SetUpDefaultControlBindings();
    EXPECT_EQ(TotalBindings(), 116u);

    struct Case {
        const char* group;
        const char* control;
        const char* bindings;
    };
    const Case cases[] = {
        {"General", "Pause", "Key1 XB16 JB9"},
        {"Utility", "OpenConsole", "Key41 Key148"},
        {"Utility", "Screenshot", "Key183 Key74 Key88"},
        {"Utility", "DeviceRecognition",
         "MouseX(+) MouseX(-) MouseY(+) MouseY(-) XboxLSX(+) XboxLSX(-) XboxLSY(+) XboxLSY(-) XboxRSX(+) "
         "XboxRSX(-) XboxRSY(+) XboxRSY(-) JoyPosX(+) JoyPosX(-) JoyPosY(+) JoyPosY(-) JoyVelX(+) JoyVelX(-) "
         "JoyVelY(+) JoyVelY(-) JoyAccX(+) JoyAccX(-) JoyAccY(+) JoyAccY(-) JoyPosRotX(+) JoyPosRotX(-) "
         "JoyPosRotY(+) JoyPosRotY(-) JoyVelRotX(+) JoyVelRotX(-) JoyVelRotY(+) JoyVelRotY(-) JoyAccRotX(+) "
         "JoyAccRotX(-) JoyAccRotY(+) JoyAccRotY(-) JoyPOVHatX(+) JoyPOVHatX(-) JoyPOVHatY(+) JoyPOVHatY(-)"},
        {"Menus", "NavUp", "Key17 Key200 Key72 XB1 XboxLSY(+) JoyPOVHatY(+) JoyPosY(-)"},
        {"Menus", "NavDown", "Key31 Key208 Key80 XB2 XboxLSY(-) JoyPOVHatY(-) JoyPosY(+)"},
        {"Menus", "NavLeft", "Key30 Key203 Key75 XB4 XboxLSX(-) JoyPOVHatX(-) JoyPosX(-)"},
        {"Menus", "NavRight", "Key32 Key205 Key77 XB8 XboxLSX(+) JoyPOVHatX(+) JoyPosX(+)"},
        {"Menus", "NavNext", "Key15"},
        {"Menus", "Accept", "Key28 Key156 XB4096 XB16 JB1 JB9"},
        {"Menus", "Cancel", "Key1 XB8192 JB2"},
        {"Menus", "Click", "MB0 MB1 MB2"},
        {"Menus", "PrevTab", "Key16 XB256 JB4"},
        {"Menus", "NextTab", "Key18 XB512 JB5"},
        {"Menus", "PageUp", "Key201 XboxLT(+) JB6"},
        {"Menus", "PageDown", "Key209 XboxRT(+) JB7"},
        {"VisOnly", "PressStart", "Key28 XB16 JB9"},
        {"GameTimeSubs", "Accept", "Key28 Key156 XB4096 XB16 JB1 JB9"},
        {"GameTimeSubs", "Cancel", "Key1 XB8192 JB2"},
        {"GameTimeSubs", "Click", "MB0 MB1 MB2"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Bindings(c.group, c.control), c.bindings) << c.group << "/" << c.control;
    }
}

TEST_F(EngineControlsTest, DefaultBindingsNeedTheControls) {
    game.SetUpDefaultControlBindings();
    EXPECT_EQ(GetControlMgr()->CountGroups(), 0u);
    EXPECT_EQ(TotalBindings(), 0u);
}

}  // namespace
