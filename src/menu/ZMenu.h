#pragma once

#include <cstdint>

#include "foundation/ZArray.h"
#include "foundation/ZColor32.h"
#include "foundation/ZHashedString.h"
#include "foundation/ZString.h"
#include "menu/ZMenuBase.h"

class ZMenuItem;
class ZMenuSpinner;
class ZMenuUnderlay;

// The base of every menu: a list of items and of underlay panels (owned), a
// selected item and an active (editing) item. It turns the manager's events
// into navigation, accepting, cancelling and mouse handling, and queues its
// items' texts every frame. Menus are opened and closed only through the
// menu manager, which owns and deletes them.
//
// A derived menu's HandleAction handles its own cases and calls this one.
class ZMenu : public ZMenuBase {
public:
    ZMenu() = default;
    // A menu known by a name (the base game's stand-ins for menus still to come).
    explicit ZMenu(ZHashedString menuName) : m_name(menuName) {}
    // Deletes every item, then every underlay.
    ~ZMenu() override;

    void ReceiveEvent(const ZMenuEvent& event, ZMenuMouseState* mouse) final { HandleAction(event, mouse); }

    virtual void HandleAction(const ZMenuEvent& event, ZMenuMouseState* mouse);
    // Moves the selection: to the explicit neighbour, else to the nearest item
    // in that direction, else wrapping to the farthest one behind.
    virtual void Navigate(int32_t direction);
    // Up and left step an adjustable selected item by -1, down and right by +1.
    virtual void NavigateSelectedItem(int32_t direction);
    virtual bool IsPauseMenu() const { return false; }
    virtual bool IsTitleMenu() const { return false; }
    virtual bool FadesBackdropOnOpen() const { return false; }
    virtual bool FadesBackdropOnClose() const { return false; }
    // True: the menu does not slide during its transitions.
    virtual bool KeepsPositionDuringTransition(int32_t /*direction*/, int32_t /*state*/) const { return false; }
    virtual void AdjustBackdropOpacity(float* /*opacity*/) {}
    virtual void AdjustSlideX(float* /*slide*/) {}
    virtual void AdjustSlideY(float* /*slide*/) {}
    virtual void AdjustTitleOffset(float* /*offset*/) {}
    virtual void AdjustTransitionProgress(float* /*progress*/) {}

    // Takes the item (owned from here on); a null item is ignored.
    void AddItem(ZMenuItem* item);
    void DeleteItems();
    void DeleteUnderlays();
    // Puts an underlay around the items (ArrangeItems).
    void Arrange(float padX, float padY) { ArrangeItems(padX, padY); }
    // A new underlay centred on the items' bounding box, padded by padX and
    // padY on each side; it joins the underlays and is returned.
    ZMenuUnderlay* ArrangeItems(float padX, float padY);
    // Calls the selected item's OnSelected when the index is an item's. The
    // help lines of the menu's value rows first go back to the text they had
    // when the first row was made, so an item without help of its own does
    // not keep showing the help of the row selected before it.
    void NotifySelectedItem();
    // Shows or hides every item and, when the game shows them, every underlay.
    void SetVisible(bool visible);
    // The colour an item's text and highlight take (selection, editing).
    ZColor32 GetItemColor(const ZMenuItem* item) const;
    // A cursor position in render pixels to menu units.
    static void ScreenToMenu(float point[2]);
    // Plays the manager's navigation sound.
    static void PlayNavigationSound();

    // A value row at (x, y): a label right-aligned 16 units left of x, a
    // slider of barScale x 56 x 8 units from x, and the value text 16 units
    // after it; selected, it shows its help in helpItem (blank for other
    // items: its text then). The slider edits the configuration variable
    // within its registered range and shows its value with valueFormat (a
    // printf format of one double). Text scale as SetTextScale. The new
    // slider, or null (with a log line) when the variable has no usable range.
    ZMenuSpinner* AddValueSpinner(float x, float y, float textScale, float barScale, const ZString& label,
                                  const ZString& help, ZMenuItem* helpItem, ZHashedString section,
                                  ZHashedString variable, const char* valueFormat);

    ZHashedString GetName() const { return m_name; }
    void SetName(const ZHashedString menuName) { m_name = menuName; }
    uint32_t GetItemCount() const { return items.Count(); }
    ZMenuItem* GetItem(int32_t index) const;
    ZMenuItem* GetSelectedItem() const { return GetItem(selectedIndex); }
    ZMenuItem* GetActiveItem() const { return GetItem(activeIndex); }
    void Select(int32_t index);

    ZMenuBase* owner = nullptr;  // null for menus
    ZArray<ZMenuItem*> items;
    ZArray<ZMenuUnderlay*> underlays;
    int32_t selectedIndex = -1;  // the highlighted item; -1 none
    int32_t activeIndex = -1;    // the item being edited; -1 none
    float openDuration = 0.25f;  // seconds
    float closeDuration = 0.25f;
    int32_t delayFrames = 0;     // frames to wait before a transition begins
    int32_t silentAccepts = 0;   // coming Accepts that play no sound
    bool cannotCancel = false;
    // Set by ZMenuMgr::MarkPendingOpens: the menu opens over a dark backdrop.
    bool backdropFlagA = false;
    bool backdropFlagB = false;

private:
    void HandleMouse(const ZMenuMouseState& mouse);

    ZHashedString m_name;
    // The value rows' help lines (items of this menu) and their first texts.
    ZArray<ZMenuItem*> m_helpLines;
    ZArray<ZString> m_helpBlanks;
};
