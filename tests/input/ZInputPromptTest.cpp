#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "InputFixture.h"
#include "foundation/ZStreamMgr.h"
#include "framework/ZLocListener.h"
#include "framework/ZLocMgr.h"
#include "input/ZGamepadGlyphSheet.h"
#include "input/ZInputPrompt.h"
#include "input/ZPlayerControllerComponent.h"
#include "support/TempDir.h"

using namespace platform;
using inputtest::InputFixture;

namespace {

const ZHashedString kGameplay("Gameplay");
const ZHashedString kInteract("Interact");
const ZHashedString kJump("Jump");

ZInputBinding Key(const int32_t code) { return ZInputBinding::Button(ZInputDevice::Keyboard, code); }

// The engine's "Input" strings for the inputs these tests bind.
const char* const kInputStrings =
    "[Keyboard]\n"
    "Key57=Space\n"
    "Key18=E\n"
    "[Mouse]\n"
    "MB0=Left Button\n"
    "[Xbox]\n"
    "XB4096=<img>gamepad:a<img>\n"
    "XboxLSY(+)=<img>gamepad:lsy+<img>\n";

std::string Text(const ZString& s) { return std::string(s.GetText(), static_cast<size_t>(s.GetLength())); }

std::string Glyph(const char* name) {
    return Text(ZString((std::string("<img>gamepad:") + name + "<img>").c_str()).EncodeImageTags());
}

int32_t gForcedClass = 0;
int32_t ForcedClass() { return gForcedClass; }
bool gSuspended = false;
bool Suspended() { return gSuspended; }
uint32_t gNotifiedHandle = 0;
float gNotifiedValue = 0.0f;
void Notified(const uint32_t handle, const float value) {
    gNotifiedHandle = handle;
    gNotifiedValue = value;
}

}  // namespace

// Interact bound to a key and to the pad's A button, a pad plugged in and
// selected, and the "Input" strings loaded.
class Prompts : public InputFixture {
protected:
    void SetUp() override {
        InputFixture::SetUp();
        dir.Write("Input.txt", kInputStrings);
        ZStreamMgr::GetInstance()->AddDirectorySource(dir.Path().string().c_str());
        ZLocMgr::GetInstance()->AddStringFile("Input.txt");
        ZLocMgr::GetInstance()->SetDefaultPath(false);

        gForcedClass = 0;
        gSuspended = false;
        ZControlMgr::Hooks hooks;
        hooks.promptDeviceOverride = ForcedClass;
        hooks.isPlayerInputSuspended = Suspended;
        hooks.controllerNotify = Notified;
        mgr = Controls();
        mgr->SetHooks(hooks);
        mgr->AddControlGroup(kGameplay, true, true, false, false);
        mgr->AddControl(kGameplay, kJump, false);
        mgr->AddControl(kGameplay, kInteract, false);
        mgr->AddBinding(kGameplay, kInteract, Key(DIK_E));
        mgr->AddBinding(kGameplay, kInteract, Key(DIK_SPACE));
        mgr->AddBinding(kGameplay, kInteract, ZInputBinding::Button(ZInputDevice::XInput, input::XINPUT_GAMEPAD_A));
        UsePad();
        mgr->SetActiveDeviceClass(ZDeviceClass::KeyboardMouse);
    }
    void TearDown() override {
        ZLocMgr::DestroyInstance();
        ZStreamMgr::DestroyInstance();
        InputFixture::TearDown();
    }

public:
    void Press(const uint8_t key) {
        fake->SetKey(key, true);
        FrameAndStep();
        fake->SetKey(key, false);
        FrameAndStep();
    }
    void PressA() {
        input::Gamepad a;
        a.wButtons = input::XINPUT_GAMEPAD_A;
        fake->SetPad(0, a);
        FrameAndStep();
        fake->SetPad(0, input::Gamepad());
        FrameAndStep();
    }

protected:
    std::string Format(ZInputPrompt& prompt, bool& changed) { return Text(FormatInputPrompt(prompt, changed)); }

    korvtest::TempDir dir;
    ZControlMgr* mgr = nullptr;
};

TEST_F(Prompts, NamesTheInputOfTheDeviceInUse) {
    ZInputPrompt prompt(kGameplay, kInteract, true);
    bool changed = false;
    struct Case {
        const char* what;
        void (*act)(Prompts&);
        std::string text;
        bool changed;
    };
    const Case steps[] = {
        {"keyboard, nothing used yet: the first key", [](Prompts&) {}, "[E]", true},
        {"asked again: unchanged", [](Prompts&) {}, "[E]", false},
        {"space used: space", [](Prompts& p) { p.Press(DIK_SPACE); }, "[Space]", true},
        {"pad used: the A glyph", [](Prompts& p) { p.PressA(); }, Glyph("a"), true},
        {"pad again: unchanged", [](Prompts&) {}, Glyph("a"), false},
        {"back to the keyboard: last key used", [](Prompts& p) { p.Press(DIK_SPACE); }, "[Space]", true},
        {"another key of the class", [](Prompts& p) { p.Press(DIK_E); }, "[E]", true},
    };
    for (const Case& c : steps) {
        c.act(*this);
        EXPECT_EQ(Format(prompt, changed), c.text) << c.what;
        EXPECT_EQ(changed, c.changed) << c.what;
    }
}

TEST_F(Prompts, UnbracketedPromptsAndChoicesWithoutDrawing) {
    ZInputPrompt prompt(kGameplay, kInteract, false);
    bool changed = false;
    EXPECT_EQ(Format(prompt, changed), "E");

    // The choice itself, for keyboard and for pad.
    ZHashedString device;
    EXPECT_STREQ(GetInputName(mgr->GetPromptBinding(kGameplay, kInteract), device).GetText(), "Key18");
    EXPECT_EQ(device, ZHashedString("Keyboard"));
    mgr->SetActiveDeviceClass(ZDeviceClass::XInputPad);
    EXPECT_STREQ(GetInputName(mgr->GetPromptBinding(kGameplay, kInteract), device).GetText(), "XB4096");
    EXPECT_EQ(device, ZHashedString("Xbox"));
    bool isPad = false;
    EXPECT_EQ(Text(mgr->GetBindingDisplayText(isPad, kGameplay, kInteract)), "<img>gamepad:a<img>");
    EXPECT_TRUE(isPad);
}

// A control with no binding of the active class names its first binding.
TEST_F(Prompts, WithoutABindingOfTheClassTheFirstIsShown) {
    mgr->AddBinding(kGameplay, kJump, ZInputBinding::Axis(ZInputAxis::XboxLSY, 1.0f));
    mgr->AddBinding(kGameplay, kJump, ZInputBinding::Button(ZInputDevice::Mouse, 0));
    mgr->SetActiveDeviceClass(ZDeviceClass::Joystick);
    ZInputPrompt prompt(kGameplay, kJump, true);
    bool changed = false;
    EXPECT_EQ(Format(prompt, changed), Glyph("lsy+"));

    ZInputPrompt unbound(kGameplay, ZHashedString("Nothing"), true);
    EXPECT_EQ(Format(unbound, changed), "");
    EXPECT_FALSE(changed);
}

TEST_F(Prompts, TheGameCanForceTheDeviceOfPrompts) {
    gForcedClass = ZDeviceClass::XInputPad;
    bool isPad = false;
    EXPECT_EQ(Text(mgr->GetBindingDisplayText(isPad, kGameplay, kInteract)), "<img>gamepad:a<img>");
    EXPECT_TRUE(isPad);
    gForcedClass = 0;
    isPad = true;  // stays true once set
    EXPECT_EQ(Text(mgr->GetBindingDisplayText(isPad, kGameplay, kInteract)), "E");
    EXPECT_TRUE(isPad);
}

TEST_F(Prompts, LanguageChangeRebuildsTheText) {
    ZInputPrompt prompt(kGameplay, kInteract, true);
    bool changed = false;
    Format(prompt, changed);
    Format(prompt, changed);
    EXPECT_FALSE(changed);
    ZLocListener::NotifyAll();
    EXPECT_EQ(Format(prompt, changed), "[E]");
    EXPECT_TRUE(changed);
}

TEST_F(Prompts, PlayerControllerAnswersNothingWhileInputIsSuspended) {
    ZPlayerControllerComponent controller;
    fake->SetKey(DIK_E, true);
    FrameAndStep();
    ASSERT_TRUE(mgr->WasPressed(kGameplay, kInteract, 0.5f));
    gSuspended = true;
    EXPECT_FALSE(controller.WasActionPressed(kGameplay, kInteract));
    EXPECT_FALSE(controller.IsActionDown(kGameplay, kInteract));
    EXPECT_FALSE(controller.WasActionUp(kGameplay, kInteract));
    EXPECT_FALSE(controller.WasActionPressedRepeating(kGameplay, kInteract));
    EXPECT_EQ(controller.GetActionValue(kGameplay, kInteract), 0.0f);
    gSuspended = false;
    EXPECT_TRUE(controller.WasActionPressed(kGameplay, kInteract));
    EXPECT_TRUE(controller.IsActionDown(kGameplay, kInteract));
    EXPECT_TRUE(controller.WasActionUp(kGameplay, kInteract));
    EXPECT_EQ(controller.GetActionValue(kGameplay, kInteract), 1.0f);
    fake->SetKey(DIK_E, false);
    FrameAndStep();
    EXPECT_TRUE(controller.WasActionReleased(kGameplay, kInteract));

    controller.Notify(&controller, 0.75f);
    EXPECT_EQ(gNotifiedHandle, controller.GetHandle());
    EXPECT_EQ(gNotifiedValue, 0.75f);
}

namespace {

struct RecordingSheet : ZGlyphSheetTarget {
    struct Added {
        ZHashedString name;
        Frame frame;
    };
    std::vector<Added> frames;
    void AddFrame(const ZHashedString name, const Frame& frame) override { frames.push_back({name, frame}); }
};

}  // namespace

TEST(GamepadGlyphSheet, TwentyFourFramesOnAFourColumnGrid) {
    RecordingSheet sheet;
    CreateGamepadGlyphSheet(sheet);
    ASSERT_EQ(sheet.frames.size(), kGamepadGlyphCount);
    struct Case {
        uint32_t index;
        const char* name;
        float u, v;
    };
    const Case cases[] = {
        {0, "a", 0.0f, 0.0f},           {3, "y", 0.75f, 0.0f},       {5, "dp_down", 0.25f, 0.125f},
        {10, "lsx-", 0.5f, 0.25f},      {12, "rsy+", 0.0f, 0.375f},  {19, "start", 0.75f, 0.5f},
        {22, "lt", 0.5f, 0.625f},       {23, "rt", 0.75f, 0.625f},
    };
    for (const Case& c : cases) {
        const RecordingSheet::Added& added = sheet.frames[c.index];
        EXPECT_EQ(added.name, ZHashedString(c.name)) << c.index;
        EXPECT_EQ(added.frame.u, c.u) << c.name;
        EXPECT_EQ(added.frame.v, c.v) << c.name;
        EXPECT_EQ(added.frame.width, 0.25f) << c.name;
        EXPECT_EQ(added.frame.height, 0.125f) << c.name;
        EXPECT_EQ(added.frame.sizeX, 1.0f) << c.name;
        EXPECT_EQ(added.frame.originX, 0.0f) << c.name;
    }
    EXPECT_EQ(GetGamepadGlyphName(kGamepadGlyphCount), nullptr);
    ZNullGlyphSheet nothing;
    CreateGamepadGlyphSheet(nothing);
}
