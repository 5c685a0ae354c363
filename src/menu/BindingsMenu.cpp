#include "menu/BindingsMenu.h"

#include "framework/ZBaseGame.h"
#include "input/ZControlGroup.h"
#include "input/ZControlMgr.h"
#include "input/ZInputBinding.h"
#include "input/ZInputHandler.h"
#include "menu/ControlGroupsMenu.h"
#include "menu/MenuTexts.h"
#include "menu/ZMenuLabel.h"
#include "menu/ZMenuMgr.h"
#include "platform/window/keycodes.h"

BindingsMenu::BindingsMenu(const ZHashedString groupIn, const ZHashedString controlIn) {
    if (ZBaseGame* game = ZBaseGame::PeekInstance()) {
        game->SetConsoleLocked(true);
    }
    ReinitInputDevices();
    cannotCancel = true;
    group = groupIn;
    control = controlIn;

    ZString name;
    if (const ZControlGroup* found = GetControlMgr()->GetGroup(group)) {
        name = ControlGroupsMenu::ControlDisplayName(*found, control);
    } else {
        name = ZString(control.GetText());
    }
    // The translated text is never a printf format: only its "%s" is replaced.
    const ZString howTo = MenuText("BindingsMenu", "HowTo").Replace("%s", name.GetText()).ExpandNewlines();
    // Wrapped at words like the questions: a long control name, or a
    // language of long words, keeps the prompt inside the screen.
    auto* label = ZMenuItem::Create<ZMenuLabel>(ZString(), 512.0f, 128.0f, 2, 1.0f);
    label->wrapWidth = ZMenuLabel::kTextWrapWidth;
    label->SetText(howTo);
    AddItem(label);
    done = false;
    Arrange(80.0f, 64.0f);
}

BindingsMenu::~BindingsMenu() {
    if (ZBaseGame* game = ZBaseGame::PeekInstance()) {
        game->SetConsoleLocked(false);
    }
}

void BindingsMenu::HandleAction(const ZMenuEvent& event, ZMenuMouseState* mouse) {
    ZMenu::HandleAction(event, mouse);
    switch (event.kind) {
        case ZMenuEventKind::Opened:
            Select(0);
            break;
        case ZMenuEventKind::Tick:
            if (!done) {
                Poll();
            }
            break;
        default: break;
    }
}

void BindingsMenu::Poll() {
    const ZInputHandler* input = GetInputHandler();
    if (input->WasKeyPressed(platform::DIK_ESCAPE)) {
        done = true;
        GetMenuMgr()->CloseMenu();
        return;
    }
    if (input->WasKeyPressed(platform::DIK_BACK)) {
        done = true;
        GetControlMgr()->ClearBindings(group, control);
        GetMenuMgr()->CloseMenu();
        return;
    }
    ZInputBinding binding;
    if (input->ScanForNewInput(binding)) {
        done = true;
        GetControlMgr()->AddBinding(group, control, binding);
        GetMenuMgr()->CloseMenu();
    }
}
