// Rebinding through the pages: the control-groups page opens the prompt for
// a row, the prompt takes a key, a mouse button or axis, or a pad's button or
// stick, takes it away from the other controls of the group, and the new
// bindings survive a save and the next start's load. Escape and Backspace,
// the console key while the prompt waits, and Cancel.

#include <string>

#include "Menu3Fixture.h"
#include "framework/ZConfigVar.h"
#include "input/ZControl.h"
#include "input/ZControlGroup.h"
#include "menu/BindingsMenu.h"
#include "menu/ControlGroupsMenu.h"

namespace menu3test {
namespace {

using namespace platform;
using namespace platform::input;

const ZHashedString kPlay("Play");
const ZHashedString kOther("Other");
const ZHashedString kJump("Jump");
const ZHashedString kFire("Fire");

class BindingsMenuTest : public Menu3Fixture {
protected:
    void SetUp() override {
        Menu3Fixture::SetUp();
        AddGameGroups();
    }
    // A rebindable game group (Jump on Space, Fire on X) and a second group
    // whose Jump is on Space too.
    void AddGameGroups() {
        ZControlMgr* controls = GetControlMgr();
        controls->AddControlGroup(kPlay, true, true, true, false);
        controls->AddControl(kPlay, kJump, false);
        controls->AddControl(kPlay, kFire, false);
        controls->AddControlGroup(kOther, true, true, true, false);
        controls->AddControl(kOther, kJump, false);
        controls->AddBinding(kPlay, kJump, ZInputBinding::Button(ZInputDevice::Keyboard, DIK_SPACE));
        controls->AddBinding(kPlay, kFire, ZInputBinding::Button(ZInputDevice::Keyboard, DIK_X));
        controls->AddBinding(kOther, kJump, ZInputBinding::Button(ZInputDevice::Keyboard, DIK_SPACE));
    }
    static const ZArray<ZInputBinding>& Bindings(const ZHashedString group, const ZHashedString control) {
        const ZControlGroup* found = GetControlMgr()->GetGroup(group);
        return found->controls[found->controls[0]->name == control ? 0 : 1]->bindings;
    }
    static bool Has(const ZHashedString group, const ZHashedString control, const ZInputBinding& b) {
        for (const ZInputBinding& each : Bindings(group, control)) {
            if (each.SameInput(b)) return true;
        }
        return false;
    }
    // The prompt for Play/Fire, opened from its row on the control-groups page.
    BindingsMenu* OpenPromptFromRow() {
        auto* page = Open(static_cast<ControlGroupsMenu*>(game->CreateControlGroupsMenu()));
        int32_t playTab = -1;
        for (uint32_t i = 0; i < page->GetItemCount(); ++i) {
            if (page->GetItem(static_cast<int32_t>(i))->GetText() == ControlGroupsMenu::GroupDisplayName(*GetControlMgr()->GetGroup(kPlay))) {
                playTab = static_cast<int32_t>(i);
            }
        }
        EXPECT_GE(playTab, 0);
        page->Select(playTab);
        Send(ZMenuEventKind::Accept);
        // Rows follow the fixed items and the tabs: Jump, then Fire.
        const int32_t fireRow = static_cast<int32_t>(page->GetItemCount()) - 1;
        page->Select(fireRow);
        Send(ZMenuEventKind::Accept);
        Settle();
        auto* prompt = dynamic_cast<BindingsMenu*>(GetMenuMgr()->GetTopMenu());
        EXPECT_NE(prompt, nullptr);
        return prompt;
    }
    // Frames until the prompt has closed (a few at most).
    void RunUntilClosed() {
        for (int i = 0; i < 40 && dynamic_cast<BindingsMenu*>(GetMenuMgr()->GetTopMenu()) != nullptr; ++i) {
            MenuFrame();
        }
        EXPECT_EQ(dynamic_cast<BindingsMenu*>(GetMenuMgr()->GetTopMenu()), nullptr);
    }
};

TEST_F(BindingsMenuTest, ANewKeyIsAddedAndTakenFromTheGroupOnly) {
    OpenPromptFromRow();
    Down(DIK_SPACE);
    MenuFrame();
    Up(DIK_SPACE);
    RunUntilClosed();
    const ZInputBinding space = ZInputBinding::Button(ZInputDevice::Keyboard, DIK_SPACE);
    EXPECT_TRUE(Has(kPlay, kFire, space));
    EXPECT_TRUE(Has(kPlay, kFire, ZInputBinding::Button(ZInputDevice::Keyboard, DIK_X)));
    EXPECT_FALSE(Has(kPlay, kJump, space));
    EXPECT_TRUE(Has(kOther, kJump, space));
    // The page shows the change at once.
    auto* page = dynamic_cast<ControlGroupsMenu*>(GetMenuMgr()->GetTopMenu());
    ASSERT_NE(page, nullptr);
    const std::string fireRow = page->GetItem(static_cast<int32_t>(page->GetItemCount()) - 1)->GetText().GetText();
    EXPECT_NE(fireRow.find(", Space"), std::string::npos) << fireRow;
}

TEST_F(BindingsMenuTest, EachKindOfInputBinds) {
    struct Case {
        const char* name;
        void (*press)(FakeInputSystem*);
        ZInputBinding expected;
    };
    const Case cases[] = {
        {"mouse button", [](FakeInputSystem* f) { f->SetMouseButton(1, true); },
         ZInputBinding::Button(ZInputDevice::Mouse, 1)},
        {"mouse axis to the left", [](FakeInputSystem* f) { f->MoveMouse(-40, 0); },
         ZInputBinding::Axis(ZInputAxis::MouseX, -1.0f)},
        {"pad button", [](FakeInputSystem* f) { Gamepad pad; pad.wButtons = XINPUT_GAMEPAD_A; f->SetPad(0, pad); },
         ZInputBinding::Button(ZInputDevice::XInput, XINPUT_GAMEPAD_A)},
        {"pad stick up", [](FakeInputSystem* f) { Gamepad pad; pad.sThumbLY = 30000; f->SetPad(0, pad); },
         ZInputBinding::Axis(ZInputAxis::XboxLSY, 1.0f)},
    };
    FakeInputSystem::JoystickDesc desc;
    desc.name = "Fake Pad";
    desc.isXInput = true;
    fake->AttachJoystick(desc);
    ASSERT_TRUE(ZConfigVar::SetFromString("Fake Pad", ZHashedString("Input"), ZHashedString("Controller")));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OpenPromptFromRow();
        ASSERT_TRUE(handler->IsPadSelected());
        MenuFrame();
        c.press(fake);
        MenuFrame();
        RunUntilClosed();
        EXPECT_TRUE(Has(kPlay, kFire, c.expected));
        fake->SetMouseButton(1, false);
        fake->SetPad(0, Gamepad{});
        MenuFrame();
        GetMenuMgr()->CloseAll(1);
        Settle();
        Settle();
    }
}

TEST_F(BindingsMenuTest, EscapeKeepsBackspaceClearsCancelAndTheConsoleKeyDoNotClose) {
    BindingsMenu* prompt = OpenPromptFromRow();
    EXPECT_TRUE(game->IsConsoleLocked());
    Send(ZMenuEventKind::Cancel);
    Settle();
    EXPECT_EQ(GetMenuMgr()->GetTopMenu(), prompt);

    Down(DIK_ESCAPE);
    MenuFrame();
    Up(DIK_ESCAPE);
    RunUntilClosed();
    EXPECT_EQ(Bindings(kPlay, kFire).Count(), 1u);
    EXPECT_FALSE(game->IsConsoleLocked());

    OpenPromptFromRow();
    Down(DIK_BACK);
    MenuFrame();
    Up(DIK_BACK);
    RunUntilClosed();
    EXPECT_EQ(Bindings(kPlay, kFire).Count(), 0u);
    auto* page = dynamic_cast<ControlGroupsMenu*>(GetMenuMgr()->GetTopMenu());
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(std::string(page->GetItem(static_cast<int32_t>(page->GetItemCount()) - 1)->GetText().GetText()),
              std::string(ControlGroupsMenu::ControlDisplayName(*GetControlMgr()->GetGroup(kPlay), kFire).GetText()) + ": ");

    // The console key binds (the console stays locked while the prompt waits).
    OpenPromptFromRow();
    EXPECT_TRUE(game->IsConsoleLocked());
    Down(DIK_GRAVE);
    MenuFrame();
    Up(DIK_GRAVE);
    RunUntilClosed();
    EXPECT_TRUE(Has(kPlay, kFire, ZInputBinding::Button(ZInputDevice::Keyboard, DIK_GRAVE)));
}

// The key or button that chose the row is still held when the prompt starts
// waiting: it is not a new input.
TEST_F(BindingsMenuTest, TheInputThatOpenedThePromptIsNotBound) {
    for (const bool click : {false, true}) {
        SCOPED_TRACE(click ? "left click" : "Enter");
        const auto hold = [&](const bool down) {
            if (click) {
                fake->SetMouseButton(0, down);
            } else {
                down ? Down(DIK_RETURN) : Up(DIK_RETURN);
            }
        };
        BindingsMenu* prompt = OpenPromptFromRow();
        GetMenuMgr()->CloseMenu();
        Settle();
        Settle();
        auto* page = dynamic_cast<ControlGroupsMenu*>(GetMenuMgr()->GetTopMenu());
        ASSERT_NE(page, nullptr);
        ASSERT_NE(prompt, nullptr);
        const uint32_t before = Bindings(kPlay, kFire).Count();
        page->Select(static_cast<int32_t>(page->GetItemCount()) - 1);
        hold(true);
        if (click) {
            // The click's own Accept (the cursor is over the row).
            MenuFrame();
            Send(ZMenuEventKind::Accept);
        }
        for (int i = 0; i < 20; ++i) MenuFrame();
        ASSERT_NE(dynamic_cast<BindingsMenu*>(GetMenuMgr()->GetTopMenu()), nullptr);
        hold(false);
        for (int i = 0; i < 5; ++i) MenuFrame();
        EXPECT_NE(dynamic_cast<BindingsMenu*>(GetMenuMgr()->GetTopMenu()), nullptr) << "still waiting";
        EXPECT_EQ(Bindings(kPlay, kFire).Count(), before);
        Down(DIK_ESCAPE);
        MenuFrame();
        Up(DIK_ESCAPE);
        RunUntilClosed();
        GetMenuMgr()->CloseAll(1);
        Settle();
        Settle();
    }
}

// A translation is never used as a format: conversions other than the one
// "%s" are shown as they are.
TEST_F(BindingsMenuTest, TheInstructionTextIsNotAFormat) {
    ZLocMgr* loc = ZLocMgr::GetInstance();
    ASSERT_TRUE(loc->ReplaceInString(ZHashedString("Menus"), ZHashedString("BindingsMenu"), ZHashedString("HowTo"),
                                     "Press", "%n%d%x%s Press"));
    BindingsMenu* prompt = OpenPromptFromRow();
    ASSERT_NE(prompt, nullptr);
    const std::string name =
        ControlGroupsMenu::ControlDisplayName(*GetControlMgr()->GetGroup(kPlay), kFire).GetText();
    const std::string text = prompt->GetItem(0)->GetText().GetText();
    EXPECT_EQ(text.rfind("%n%d%x" + name + " Press the key or button for " + name, 0), 0u) << text;
    loc->DiscardStringChanges();
}

TEST_F(BindingsMenuTest, AnInputTheControlHasIsNotListedTwice) {
    OpenPromptFromRow();
    Down(DIK_X);
    MenuFrame();
    Up(DIK_X);
    RunUntilClosed();
    EXPECT_EQ(Bindings(kPlay, kFire).Count(), 1u);
}

TEST_F(BindingsMenuTest, RebindingsAreSavedAndReadAtTheNextStart) {
    OpenPromptFromRow();
    Down(DIK_SPACE);
    MenuFrame();
    Up(DIK_SPACE);
    RunUntilClosed();
    GetMenuMgr()->CloseAll(1);
    Settle();
    const std::string path = documents.File("ControlBindings.bnd");
    ASSERT_TRUE(GetControlMgr()->SaveBindings(path.c_str()));

    // The next start: fresh controls with their defaults, then the file.
    DeleteControlMgr();
    game->CreateControls();
    AddGameGroups();
    ASSERT_TRUE(GetControlMgr()->LoadBindings(path.c_str()));
    EXPECT_TRUE(Has(kPlay, kFire, ZInputBinding::Button(ZInputDevice::Keyboard, DIK_SPACE)));
    EXPECT_FALSE(Has(kPlay, kJump, ZInputBinding::Button(ZInputDevice::Keyboard, DIK_SPACE)));
}

}  // namespace
}  // namespace menu3test
