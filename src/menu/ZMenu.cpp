#include "menu/ZMenu.h"

#include <cmath>

#include "foundation/ZLog.h"
#include "framework/ZBaseGame.h"
#include "framework/ZConfigVar.h"
#include "menu/ZMenuItem.h"
#include "menu/ZMenuLabel.h"
#include "menu/ZMenuMgr.h"
#include "menu/ZMenuSpinner.h"
#include "menu/ZMenuUnderlay.h"
#include "renderer/ZFont.h"

namespace {

void Dispatch(const int32_t kind) {
    ZMenuEvent event;
    event.kind = kind;
    GetMenuMgr()->DispatchEvent(event, nullptr);
}

// Channel by channel a x b / 256, as the text colours fade with the overlay.
ZColor32 Fade(const ZColor32 c, const uint32_t overlayArgb) {
    const ZColor32 o = ZColor32::FromARGB(overlayArgb);
    const auto mul = [](const uint8_t a, const uint8_t b) { return static_cast<uint8_t>(a * b / 256); };
    return ZColor32(mul(c.r, o.r), mul(c.g, o.g), mul(c.b, o.b), mul(c.a, o.a));
}

}  // namespace

ZMenu::~ZMenu() {
    DeleteItems();
    DeleteUnderlays();
}

ZMenuItem* ZMenu::GetItem(const int32_t index) const {
    return index >= 0 && static_cast<uint32_t>(index) < items.Count() ? items[static_cast<uint32_t>(index)] : nullptr;
}

void ZMenu::Select(const int32_t index) {
    selectedIndex = index;
    NotifySelectedItem();
}

void ZMenu::AddItem(ZMenuItem* item) {
    if (item == nullptr) {
        return;
    }
    item->owner = this;
    items.PushBack(item);
}

void ZMenu::DeleteItems() {
    for (ZMenuItem* item : items) {
        delete item;
    }
    items.Clear();
    m_helpLines.Clear();
    m_helpBlanks.Clear();
}

void ZMenu::DeleteUnderlays() {
    for (ZMenuUnderlay* underlay : underlays) {
        delete underlay;
    }
    underlays.Clear();
}

ZMenuUnderlay* ZMenu::ArrangeItems(const float padX, const float padY) {
    float min[2] = {10000.0f, 10000.0f};
    float max[2] = {-10000.0f, -10000.0f};
    for (const ZMenuItem* item : items) {
        item->ExpandBounds(min, max);
    }
    auto* underlay = new ZMenuUnderlay();
    underlay->SetPosition((min[0] + max[0]) * 0.5f, (min[1] + max[1]) * 0.5f);
    underlay->SetSize(max[0] - min[0] + 2.0f * padX, max[1] - min[1] + 2.0f * padY);
    underlays.PushBack(underlay);
    return underlay;
}

void ZMenu::NotifySelectedItem() {
    ZMenuItem* const item = GetSelectedItem();
    if (item == nullptr) {
        return;
    }
    // A help line shows only the selected item's help: back to its first
    // text, unless the item shows its own below.
    for (uint32_t i = 0; i < m_helpLines.Count(); ++i) {
        ZMenuItem* const line = m_helpLines[i];
        if (items.Contains(line) && !(line->GetText() == m_helpBlanks[i])) {
            line->SetText(m_helpBlanks[i]);
        }
    }
    item->OnSelected();
}

void ZMenu::SetVisible(const bool on) {
    for (ZMenuItem* item : items) {
        item->visible = on;
    }
    const ZBaseGame* game = ZBaseGame::PeekInstance();
    if (game != nullptr && game->ShowsMenuUnderlays()) {
        for (ZMenuUnderlay* underlay : underlays) {
            underlay->visible = on;
        }
    }
}

ZColor32 ZMenu::GetItemColor(const ZMenuItem* item) const {
    static constexpr ZColor32 kWhite(255, 255, 255, 255);
    if (item == nullptr) {
        return kWhite;
    }
    const bool captures = item->CapturesInput();
    if (!item->IsSelectable() && !captures) {
        return ZColor32(192, 192, 192, 255);
    }
    const ZMenuItem* active = GetActiveItem();
    if (active != nullptr && active != item) {
        return ZColor32(64, 64, 64, 255);
    }
    const bool isSelected = GetSelectedItem() == item;
    if (captures) {
        return active == item || isSelected ? kWhite : ZColor32(255, 255, 153, 255);
    }
    return isSelected ? kWhite : ZColor32(128, 128, 128, 255);
}

void ZMenu::ScreenToMenu(float point[2]) {
    const ZBaseGame* game = ZBaseGame::PeekInstance();
    if (game == nullptr) {
        return;
    }
    const float* mapping = game->GetHUDMapping();
    point[0] = (point[0] + mapping[6]) * mapping[4];
    point[1] = (point[1] + mapping[7]) * mapping[5];
}

void ZMenu::PlayNavigationSound() { GetMenuMgr()->PlayNavigationSound(); }

void ZMenu::NavigateSelectedItem(const int32_t direction) {
    ZMenuItem* item = GetSelectedItem();
    if (item == nullptr || !(item->IsHorizontalAdjustable() || item->IsVerticalAdjustable())) {
        return;
    }
    if (direction == ZMenuItem::kUp || direction == ZMenuItem::kLeft) {
        item->Adjust(-1);
    } else if (direction == ZMenuItem::kDown || direction == ZMenuItem::kRight) {
        item->Adjust(1);
    }
}

void ZMenu::Navigate(const int32_t direction) {
    const ZMenuItem* current = GetSelectedItem();
    if (current == nullptr || direction < ZMenuItem::kUp || direction > ZMenuItem::kNext) {
        return;
    }
    // A horizontal value item takes left and right itself.
    if ((direction == ZMenuItem::kLeft || direction == ZMenuItem::kRight) &&
        current->kind == ZMenuItem::kHorizontal) {
        return;
    }
    int32_t target = current->neighbours[direction];
    if (target < 0) {
        // The nearest selectable item ahead, else the farthest behind (wrapping).
        int32_t ahead = -1;
        int32_t behind = -1;
        float aheadDistance = 0.0f;
        float behindDistance = 0.0f;
        for (uint32_t i = 0; i < items.Count(); ++i) {
            const ZMenuItem* item = items[i];
            if (static_cast<int32_t>(i) == selectedIndex || !item->IsSelectable()) {
                continue;
            }
            float d = 0.0f;
            switch (direction) {
                case ZMenuItem::kUp: d = current->y - item->y; break;
                case ZMenuItem::kDown: d = item->y - current->y; break;
                case ZMenuItem::kLeft: d = current->x - item->x; break;
                case ZMenuItem::kRight: d = item->x - current->x; break;
                default: d = static_cast<float>(static_cast<int32_t>(i) - selectedIndex) * 100.0f; break;
            }
            if (d > 1.0f && (ahead < 0 || d < aheadDistance)) {
                ahead = static_cast<int32_t>(i);
                aheadDistance = d;
            } else if (d < -1.0f && (behind < 0 || -d > behindDistance)) {
                behind = static_cast<int32_t>(i);
                behindDistance = -d;
            }
        }
        target = ahead >= 0 ? ahead : behind;
        if (target < 0) {
            return;
        }
    }
    PlayNavigationSound();
    if (static_cast<uint32_t>(target) < items.Count()) {
        Select(target);
    }
}

void ZMenu::HandleAction(const ZMenuEvent& event, ZMenuMouseState* mouse) {
    ZMenuItem* selected = GetSelectedItem();
    switch (event.kind) {
        case ZMenuEventKind::NavUp:
        case ZMenuEventKind::NavDown: {
            const int32_t direction = event.kind == ZMenuEventKind::NavUp ? ZMenuItem::kUp : ZMenuItem::kDown;
            if (selected != nullptr && selected->IsVerticalAdjustable()) {
                NavigateSelectedItem(direction);
            } else {
                Navigate(direction);
            }
            break;
        }
        case ZMenuEventKind::NavLeft:
        case ZMenuEventKind::NavRight: {
            const int32_t direction = event.kind == ZMenuEventKind::NavLeft ? ZMenuItem::kLeft : ZMenuItem::kRight;
            if (selected != nullptr && selected->IsHorizontalAdjustable()) {
                NavigateSelectedItem(direction);
            } else {
                Navigate(direction);
            }
            break;
        }
        case ZMenuEventKind::NavNext: Navigate(ZMenuItem::kNext); break;
        case ZMenuEventKind::Accept:
            if (silentAccepts < 1) {
                PlayNavigationSound();
            } else {
                --silentAccepts;
            }
            if (selected != nullptr && selected->CapturesInput()) {
                activeIndex = selectedIndex;
                selected->SetSelected(true);
                Dispatch(ZMenuEventKind::BeginEdit);
            }
            break;
        case ZMenuEventKind::Cancel:
            if (!cannotCancel) {
                GetMenuMgr()->CloseMenu();
            }
            break;
        case ZMenuEventKind::Mouse:
            if (mouse != nullptr) {
                HandleMouse(*mouse);
            }
            break;
        case ZMenuEventKind::Opened:
            if (selectedIndex < 0) {
                Select(0);
            }
            SetVisible(true);
            break;
        case ZMenuEventKind::Closing:
        case ZMenuEventKind::Covered: SetVisible(false); break;
        case ZMenuEventKind::Resumed: SetVisible(true); break;
        case ZMenuEventKind::Tick: {
            const uint32_t overlay = GetMenuMgr()->GetOverlayColor();
            for (ZMenuItem* item : items) {
                item->DrawText(Fade(GetItemColor(item), overlay));
            }
            break;
        }
        case ZMenuEventKind::EndEdit:
            if (ZMenuItem* active = GetActiveItem()) {
                PlayNavigationSound();
                active->SetSelected(false);
                activeIndex = -1;
            }
            break;
        default: break;
    }
}

void ZMenu::HandleMouse(const ZMenuMouseState& mouse) {
    float point[2] = {mouse.x, mouse.y};
    ScreenToMenu(point);
    const ZBaseGame* game = ZBaseGame::PeekInstance();
    const float scaleX = game != nullptr ? game->GetHUDMapping()[4] : 1.0f;
    const float scaleY = game != nullptr ? game->GetHUDMapping()[5] : 1.0f;
    const float dx = mouse.dx * scaleX;
    const float dy = mouse.dy * scaleY;

    if (!mouse.held) {
        ZMenuItem* hit = nullptr;
        for (uint32_t i = 0; i < items.Count(); ++i) {
            if (items[i]->IsSelectable() && items[i]->HitTest(point[0], point[1])) {
                hit = items[i];
                Select(static_cast<int32_t>(i));
                break;
            }
        }
        if (mouse.pressed && hit != nullptr) {
            switch (hit->kind) {
                case ZMenuItem::kButton: Dispatch(ZMenuEventKind::Accept); break;
                case ZMenuItem::kHorizontal:
                    Dispatch(hit->left + hit->width * 0.5f <= point[0] ? ZMenuEventKind::NavRight
                                                                        : ZMenuEventKind::NavLeft);
                    break;
                case ZMenuItem::kVertical:
                    Dispatch(hit->top + hit->height * 0.5f <= point[1] ? ZMenuEventKind::NavDown
                                                                       : ZMenuEventKind::NavUp);
                    break;
                case ZMenuItem::kSlider: hit->SetFromPosition(point[0]); break;
                default: break;
            }
        }
    } else if (mouse.dx * mouse.dx + mouse.dy * mouse.dy + mouse.z * mouse.z > 1e-6f) {
        if (ZMenuItem* selected = GetSelectedItem()) {
            if (selected->IsHorizontalAdjustable()) {
                selected->Drag(dx);
                return;
            }
            if (selected->IsVerticalAdjustable()) {
                selected->Drag(dy);
                return;
            }
        }
    }
    if (mouse.released) {
        ZMenuItem* selected = GetSelectedItem();
        if (selected != nullptr && (selected->IsHorizontalAdjustable() || selected->IsVerticalAdjustable())) {
            selected->EndDrag();
        }
    }
}

ZMenuSpinner* ZMenu::AddValueSpinner(const float px, const float py, const float textScale, const float barScale,
                                     const ZString& label, const ZString& help, ZMenuItem* helpItem,
                                     const ZHashedString section, const ZHashedString variable,
                                     const char* valueFormat) {
    // The range comes from the variable's record; copied at once, because a
    // later registration may move the record.
    ZConfigVar record;
    {
        const ZConfigVar& found = FindOrAddConfigVar(section, variable);
        record = found;
    }
    if (record.type != ZConfigVar::kTypeFloat || record.storage == nullptr || !record.hasRange ||
        !(record.maximum > record.minimum)) {
        ZLog::Printf("Value row: [%s] %s is not a float variable with a range; no row made.", section.GetText(),
                     variable.GetText());
        return nullptr;
    }
    auto* labelItem = ZMenuItem::Create<ZMenuLabel>(label, px - 16.0f, py, 5, textScale);
    AddItem(labelItem);
    auto* valueItem = ZMenuItem::Create<ZMenuLabel>(ZString(), px + barScale * 56.0f * 8.0f + 16.0f, py, 4, textScale);
    AddItem(valueItem);

    auto* spinner = ZMenuItem::Create<ZMenuSpinner>(ZString(), px, py, 4, textScale);
    spinner->labelItem = labelItem;
    spinner->valueItem = valueItem;
    spinner->helpItem = helpItem;
    if (helpItem != nullptr && !m_helpLines.Contains(helpItem)) {
        m_helpLines.PushBack(helpItem);
        m_helpBlanks.PushBack(helpItem->GetText());
    }
    spinner->labelText = label;
    spinner->helpText = help;
    spinner->valueFormat = ZMenuSpinner::CheckValueFormat(valueFormat);
    spinner->minimum = record.minimum;
    spinner->maximum = record.maximum;
    const float range = record.maximum - record.minimum;
    spinner->stepFraction = record.step / range;
    spinner->AddSnapPoint((record.defaultValue.floatValue - record.minimum) / range);
    // Placed before it is bound: opening a page shows the value without
    // rewriting it at the row's precision (or onto a nearby mark).
    spinner->SetValue(*static_cast<const float*>(record.storage));
    spinner->section = section;
    spinner->variable = variable;
    AddItem(spinner);
    return spinner;
}
