#include "menu/JoysticksMenu.h"

#include <algorithm>

#include "framework/ZConfigVar.h"
#include "input/ZInputHandler.h"
#include "menu/MenuTexts.h"
#include "menu/ZMenuItem.h"
#include "menu/ZMenuLabel.h"
#include "menu/ZMenuMgr.h"
#include "menu/ZMenuUnderlay.h"

namespace {

constexpr const char* kSection = "JoysticksMenu";
constexpr float kBorder = 16.0f;  // menu units between the panel and the canvas's edges

// Writes a variable of [Input] without running its change callback.
template <typename T>
void StoreInputVar(const char* name, const T& value, const int32_t type) {
    ZConfigVar& var = FindOrAddConfigVar(ZHashedString("Input"), ZHashedString(name));
    if (var.type == type && var.storage != nullptr) {
        *static_cast<T*>(var.storage) = value;
    }
}

}  // namespace

JoysticksMenu::JoysticksMenu() {
    ReinitInputDevices();
    const ZInputHandler* input = GetInputHandler();
    const ZArray<ZInputHandler::JoystickRecord> devices = input->GetJoysticks();
    const int32_t selected = input->GetSelectedJoystick();
    const ZString marker = ZString(" ") + MenuText(kSection, "Selected");

    AddItem(ZMenuItem::Create(MenuText(kSection, "Back"), 48.0f, 720.0f, 6, 1.0f));
    const int32_t n = static_cast<int32_t>(devices.Count());
    for (int32_t d = 0; d < n; ++d) {
        ZString label(devices[static_cast<uint32_t>(d)].instance.productName.c_str());
        if (d == selected) {
            label += marker;
        }
        AddItem(ZMenuItem::Create(label, 48.0f, 144.0f + 28.0f * static_cast<float>(d), 1, 0.5f));
    }
    ZString none = MenuText(kSection, "None");
    if (selected < 0) {
        none += marker;
    }
    AddItem(ZMenuItem::Create(none, 48.0f, 144.0f + 28.0f * static_cast<float>(n), 1, 0.5f));
    AddItem(ZMenuItem::Create<ZMenuLabel>(MenuText(kSection, "Devices"), 48.0f, 48.0f, 1, 1.0f));
    // The heading stands near the top of the canvas and Back near its foot:
    // the padded panel is kept inside the 1024 x 768 canvas with a border.
    if (ZMenuUnderlay* panel = ArrangeItems(80.0f, 64.0f)) {
        const float left = std::max(kBorder, panel->left);
        const float right = std::min(1024.0f - kBorder, panel->left + panel->width);
        const float top = std::max(kBorder, panel->top);
        const float bottom = std::min(768.0f - kBorder, panel->top + panel->height);
        panel->SetPosition((left + right) * 0.5f, (top + bottom) * 0.5f);
        panel->SetSize(right - left, bottom - top);
    }
}

void JoysticksMenu::HandleAction(const ZMenuEvent& event, ZMenuMouseState* mouse) {
    ZMenu::HandleAction(event, mouse);
    if (event.kind != ZMenuEventKind::Accept) {
        return;
    }
    if (selectedIndex > 0) {
        ZInputHandler* input = GetInputHandler();
        // "None" lies one past the devices: the handler then closes any controller.
        input->SelectJoystick(selectedIndex - 1);
        StoreInputVar("Controller", input->GetSelectedJoystickName(), ZConfigVar::kTypeName);
        if (input->GetSelectedJoystick() < 0) {
            StoreInputVar("UsePreferredController", false, ZConfigVar::kTypeBool);
        }
    }
    GetMenuMgr()->CloseMenu();
}
