#pragma once

#include <cstdint>

#include "foundation/ZHashedString.h"
#include "foundation/ZMap.h"
#include "foundation/ZString.h"
#include "menu/ZMenu.h"

struct ZControl;
struct ZControlGroup;

// The control groups as tabs on the left and, for the chosen group, one row
// per control with its inputs. Accept on a row opens the bindings prompt;
// Reset and Clear change every binding after a yes/no question.
class ControlGroupsMenu : public ZMenu {
public:
    ControlGroupsMenu();
    ~ControlGroupsMenu() override;

    void HandleAction(const ZMenuEvent& event, ZMenuMouseState* mouse) override;
    // Recreates every item; initial: the items show with the opening transition.
    void BuildItems(bool initial);

    static void OnResetConfirmed(void* menu);
    static void OnClearConfirmed(void* menu);

    // "<control name>: <input>, <input>" with only the inputs of the devices in use.
    static ZString RowText(const ZControlGroup& group, const ZControl& control);
    // The display names of a group and of one of its controls.
    static ZString GroupDisplayName(const ZControlGroup& group);
    static ZString ControlDisplayName(const ZControlGroup& group, ZHashedString control);

    int32_t GetCurrentGroup() const { return currentGroup; }

private:
    static bool IsDevModeOn();
    void AskConfirmation(const char* question, void (*callback)(void*));

    int32_t currentGroup = 0;
    // Keyed by the item's address (64-bit safe), to a group or a control index.
    ZMap<uintptr_t, int32_t> groupTabs;
    ZMap<uintptr_t, int32_t> controlRows;
};
