#include "menu/ControlGroupsMenu.h"

#include "framework/ZBaseGame.h"
#include "framework/ZConfigVar.h"
#include "input/ZControl.h"
#include "input/ZControlGroup.h"
#include "input/ZControlMgr.h"
#include "input/ZInputBinding.h"
#include "input/ZInputHandler.h"
#include "menu/ConfirmationMenu.h"
#include "menu/MenuTexts.h"
#include "menu/ZMenuItem.h"
#include "menu/ZMenuLabel.h"
#include "menu/ZMenuMgr.h"
#include "menu/ZMenuUnderlay.h"

namespace {

constexpr const char* kSection = "ControlGroupsMenu";

// The page's panel: the same for every group, centred in menu space with 16
// units to spare on each side, so it stays on the screen at any window shape
// (a wide window shows menu space's full height). The items keep 32 units
// inside it.
constexpr float kPanelWidth = 992.0f;
constexpr float kPanelHeight = 736.0f;
constexpr float kInnerRight = 512.0f + kPanelWidth * 0.5f - 32.0f;
// The tabs end 16 units before the rows begin. The two headers share a line:
// "Groups" ends 48 units before the heading, or the two read as one.
constexpr float kGap = 16.0f;
constexpr float kHeaderGap = 48.0f;

// Draws an item's text smaller when it is wider than maxWidth (a long
// translation, a control with many inputs), so that it keeps to its column.
void FitWidth(ZMenuItem* item, const float maxWidth) {
    for (int pass = 0; pass < 3 && item->width > maxWidth && item->width > 0.0f; ++pass) {
        item->textScale *= maxWidth / item->width * 0.999f;
        item->Refresh();
    }
}

ZHashedString ControlsFile(const ZControlGroup& group) {
    return ZHashedString(group.engineGroup != 0 ? "EngineControls" : "Controls");
}

bool IsXInputBinding(const ZInputBinding& b) {
    return (b.IsButton() && b.device == ZInputDevice::XInput) ||
           (b.IsAxis() && b.AxisId() >= ZInputAxis::XboxLSX && b.AxisId() <= ZInputAxis::XboxRT);
}

bool IsJoystickBinding(const ZInputBinding& b) {
    return (b.IsButton() && b.device == ZInputDevice::Joystick) ||
           (b.IsAxis() && b.AxisId() >= ZInputAxis::JoyPosX && b.AxisId() <= ZInputAxis::JoyPOVHatY);
}

}  // namespace

ZString ControlGroupsMenu::GroupDisplayName(const ZControlGroup& group) {
    return ZLocMgr::GetInstance()->GetString(ControlsFile(group), ZHashedString(""), group.name);
}

ZString ControlGroupsMenu::ControlDisplayName(const ZControlGroup& group, const ZHashedString control) {
    return ZLocMgr::GetInstance()->GetString(ControlsFile(group), group.name, control);
}

ZString ControlGroupsMenu::RowText(const ZControlGroup& group, const ZControl& control) {
    const ZInputHandler* input = GetInputHandler();
    const bool padInUse = input->IsPadSelected();
    const bool joystickInUse = !padInUse && input->HasJoystickDevice();
    ZString text = ControlDisplayName(group, control.name) + ": ";
    bool first = true;
    bool anyPad = false;
    for (const ZInputBinding& binding : control.bindings) {
        const bool xinput = IsXInputBinding(binding);
        const bool joystick = IsJoystickBinding(binding);
        if ((xinput && !padInUse) || (joystick && !joystickInUse)) {
            continue;
        }
        ZHashedString device;
        const ZHashedString key = GetInputName(binding, device);
        if (!first) {
            text += ", ";
        }
        first = false;
        anyPad = anyPad || xinput || joystick;
        text += ZLocMgr::GetInstance()->GetString(ZHashedString("Input"), device, key);
    }
    return anyPad ? text.EncodeImageTags() : text;
}

ControlGroupsMenu::ControlGroupsMenu() {
    ReinitInputDevices();
    BuildItems(true);
}

ControlGroupsMenu::~ControlGroupsMenu() {
    groupTabs.Clear();
    controlRows.Clear();
}

void ControlGroupsMenu::BuildItems(const bool initial) {
    DeleteItems();
    DeleteUnderlays();
    groupTabs.Clear();
    controlRows.Clear();

    ZControlMgr* controls = GetControlMgr();
    ZMenuItem* groupsLabel = ZMenuItem::Create<ZMenuLabel>(MenuText(kSection, "Groups"), 48.0f, 48.0f, 1, 1.0f);
    FitWidth(groupsLabel, 256.0f - kHeaderGap - 48.0f);
    AddItem(groupsLabel);
    ZMenuItem* heading = ZMenuItem::Create<ZMenuLabel>(ZString(), 256.0f, 48.0f, 1, 1.0f);
    AddItem(heading);
    ZMenuItem* back = ZMenuItem::Create(MenuText(kSection, "Back"), 48.0f, 720.0f, 6, 1.0f);
    ZMenuItem* reset = ZMenuItem::Create(MenuText(kSection, "Reset"), 256.0f, 720.0f, 6, 1.0f);
    ZMenuItem* clear = ZMenuItem::Create(MenuText(kSection, "Clear"), 256.0f, 656.0f, 6, 1.0f);
    AddItem(back);
    AddItem(reset);
    AddItem(clear);

    // A chosen tab's group always exists; a game that registered no group at all still gets a usable page.
    const ZControlGroup* group = controls->GetGroupAt(currentGroup < 0 ? 0u : static_cast<uint32_t>(currentGroup));
    if (group != nullptr) {
        ZString header = MenuText(kSection, "ControlsHeader");
        header = header.Replace("%1", MenuText(kSection, "Controls").GetText());
        header = header.Replace("%2", GroupDisplayName(*group).GetText());
        heading->SetText(header);
        FitWidth(heading, kInnerRight - 256.0f);
    }

    const int32_t n = static_cast<int32_t>(GetItemCount());
    int32_t v = 0;
    for (uint32_t g = 0; g < controls->CountGroups(); ++g) {
        v += controls->GetGroupAt(g)->hiddenGroup == 0 ? 1 : 0;
    }
    int32_t m = 0;
    if (group != nullptr) {
        for (const ZControl* control : group->controls) {
            m += control->hidden == 0 ? 1 : 0;
        }
    }
    const int32_t firstTab = v > 0 ? n : -1;
    const int32_t lastTab = v > 0 ? n + v - 1 : -1;
    back->neighbours[ZMenuItem::kUp] = lastTab;
    back->neighbours[ZMenuItem::kDown] = firstTab;
    back->neighbours[ZMenuItem::kLeft] = back->neighbours[ZMenuItem::kRight] = 3;
    reset->neighbours[ZMenuItem::kUp] = 4;
    reset->neighbours[ZMenuItem::kDown] = firstTab;
    reset->neighbours[ZMenuItem::kLeft] = reset->neighbours[ZMenuItem::kRight] = 2;
    clear->neighbours[ZMenuItem::kUp] = lastTab;
    clear->neighbours[ZMenuItem::kDown] = 3;
    clear->neighbours[ZMenuItem::kLeft] = clear->neighbours[ZMenuItem::kRight] = 2;

    const bool mayBind = group != nullptr && (group->rebindable != 0 || IsDevModeOn());
    const float rowStep = 28.0f * 1.2f;
    // The rows stand closer together when a group has more of them than fit
    // above "Clear" (whose top is where the rows must end).
    float controlStep = rowStep;
    if (m > 0) {
        const int32_t slots = m + (mayBind ? 0 : 2);
        const float rowsEnd = clear->top - 8.0f;
        const float rowHeight = 28.0f;
        if (slots > 1 && 144.0f + static_cast<float>(slots - 1) * rowStep + rowHeight > rowsEnd) {
            controlStep = (rowsEnd - rowHeight - 144.0f) / static_cast<float>(slots - 1);
        }
    }
    int32_t t = 0;
    for (uint32_t g = 0; g < controls->CountGroups(); ++g) {
        const ZControlGroup* each = controls->GetGroupAt(g);
        if (each->hiddenGroup != 0) {
            continue;
        }
        ZMenuItem* tab = ZMenuItem::Create(GroupDisplayName(*each), 64.0f, 144.0f + static_cast<float>(t) * rowStep,
                                           1, 0.5f);
        FitWidth(tab, 272.0f - kGap - 64.0f);
        tab->neighbours[ZMenuItem::kUp] = t == 0 ? 2 : n + t - 1;
        tab->neighbours[ZMenuItem::kDown] = t == v - 1 ? 2 : n + t + 1;
        const int32_t firstRow = (mayBind && m > 0) || !mayBind ? n + v : -1;
        tab->neighbours[ZMenuItem::kLeft] = tab->neighbours[ZMenuItem::kRight] = firstRow;
        groupTabs.Insert(reinterpret_cast<uintptr_t>(tab), static_cast<int32_t>(g));
        AddItem(tab);
        ++t;
    }

    if (group != nullptr) {
        int32_t r = 0;
        if (!mayBind) {
            ZMenuItem* notice = ZMenuItem::Create<ZMenuLabel>(MenuText(kSection, "CannotBind"), 272.0f, 144.0f, 1, 0.5f);
            FitWidth(notice, kInnerRight - 272.0f);
            AddItem(notice);
            r = 2;
        }
        int32_t k = 0;
        for (uint32_t c = 0; c < group->controls.Count(); ++c) {
            const ZControl* control = group->controls[c];
            if (control->hidden != 0) {
                continue;
            }
            const ZString rowText = RowText(*group, *control);
            const float y = 144.0f + static_cast<float>(r) * controlStep;
            ZMenuItem* row = mayBind ? ZMenuItem::Create(rowText, 272.0f, y, 1, 0.5f)
                                     : ZMenuItem::Create<ZMenuLabel>(rowText, 272.0f, y, 1, 0.5f);
            FitWidth(row, kInnerRight - 272.0f);
            row->neighbours[ZMenuItem::kUp] = k == 0 ? 2 : n + v + k - 1;
            row->neighbours[ZMenuItem::kDown] = k == m - 1 ? 2 : n + v + k + 1;
            row->neighbours[ZMenuItem::kLeft] = row->neighbours[ZMenuItem::kRight] = firstTab;
            controlRows.Insert(reinterpret_cast<uintptr_t>(row), static_cast<int32_t>(c));
            AddItem(row);
            ++r;
            ++k;
        }
    }
    if (ZMenuUnderlay* panel = ArrangeItems(80.0f, 64.0f)) {
        panel->SetSize(kPanelWidth, kPanelHeight);
        panel->SetPosition(512.0f, 384.0f);
        panel->Refresh();
    }
    if (!initial) {
        SetVisible(true);
    }
}

bool ControlGroupsMenu::IsDevModeOn() {
    const ZBaseGame* game = ZBaseGame::PeekInstance();
    return game != nullptr && game->IsDevMode();
}

void ControlGroupsMenu::AskConfirmation(const char* question, void (*callback)(void*)) {
    ZBaseGame* game = ZBaseGame::PeekInstance();
    if (game == nullptr) {
        return;
    }
    auto* confirmation = dynamic_cast<ConfirmationMenu*>(game->CreateConfirmationMenu(false));
    if (confirmation == nullptr) {
        return;
    }
    confirmation->yesCallback = callback;
    confirmation->context = this;
    confirmation->SetDescription(MenuText(kSection, question));
    GetMenuMgr()->OpenMenu(confirmation);
}

void ControlGroupsMenu::OnResetConfirmed(void* context) {
    auto* menu = static_cast<ControlGroupsMenu*>(context);
    GetControlMgr()->ClearAllBindings(false);
    if (ZBaseGame* game = ZBaseGame::PeekInstance()) {
        game->SetUpDefaultControlBindings();
    }
    menu->BuildItems(true);
}

void ControlGroupsMenu::OnClearConfirmed(void* context) {
    auto* menu = static_cast<ControlGroupsMenu*>(context);
    GetControlMgr()->ClearAllBindings(true);
    menu->BuildItems(true);
}

void ControlGroupsMenu::HandleAction(const ZMenuEvent& event, ZMenuMouseState* mouse) {
    ZMenu::HandleAction(event, mouse);
    switch (event.kind) {
        case ZMenuEventKind::Opened:
            Select(2);
            break;
        case ZMenuEventKind::Resumed: BuildItems(false); break;
        case ZMenuEventKind::Accept: {
            const uintptr_t key = reinterpret_cast<uintptr_t>(GetSelectedItem());
            if (const auto* tab = groupTabs.Find(key)) {
                currentGroup = tab->value;
                BuildItems(false);
                break;
            }
            // A notice row of a fixed group is a label: it never opens the prompt.
            const auto* row = controlRows.Find(key);
            if (row != nullptr && GetSelectedItem()->IsSelectable()) {
                ZControlMgr* controls = GetControlMgr();
                const ZControlGroup* group = controls->GetGroupAt(static_cast<uint32_t>(currentGroup));
                ZBaseGame* game = ZBaseGame::PeekInstance();
                if (group != nullptr && game != nullptr && static_cast<uint32_t>(row->value) < group->controls.Count()) {
                    GetMenuMgr()->OpenMenu(game->CreateBindingsMenu(group->name, group->controls[row->value]->name));
                }
                break;
            }
            if (row != nullptr) {
                break;
            }
            switch (selectedIndex) {
                case 2: GetMenuMgr()->CloseMenu(); break;
                case 3: AskConfirmation("ConfirmResetControls", OnResetConfirmed); break;
                case 4: AskConfirmation("ConfirmClearControls", OnClearConfirmed); break;
                default: break;
            }
            break;
        }
        default: break;
    }
}
