#pragma once

#include <cstdint>

#include "foundation/ZColor32.h"
#include "foundation/ZHashedString.h"
#include "foundation/ZString.h"
#include "menu/ZMenuBase.h"
#include "renderer/ZRenderable.h"

class ZFont;
class ZMenu;

// An element of a menu: a highlight quad with an optional text, placed in
// menu space (1024 x 768, centre column x = 512) by an anchor point. The
// item is its own render instance of the quad all items share, drawn with
// the shared menu quad shader in the base game's menu group; it is hidden
// until its menu opens. Set x, y, anchor, font and text scale, then Refresh.
//
// Anchors (where the anchor point lies on the rectangle): 0 centre, 1 top
// left, 2 top centre, 3 top right, 4 left middle, 5 right middle, 6 bottom
// left, 7 bottom centre, 8 bottom right.
class ZMenuItem : public ZMenuBase, public ZRenderable {
public:
    // How the mouse acts on the item.
    enum Kind : int32_t {
        kButton = 0,      // a click is Accept
        kHorizontal = 1,  // a click on the left half is NavLeft, on the right half NavRight
        kVertical = 2,    // a click on the upper half is NavUp, on the lower half NavDown
        kSlider = 3,      // a click sets the value from the cursor's x
    };
    // Neighbour slots, also the directions of ZMenu::Navigate.
    enum Direction : int32_t { kUp = 0, kDown = 1, kLeft = 2, kRight = 3, kNext = 4 };

    ZMenuItem();
    // Leaves its render group; the last item frees the shared quad and shader.
    ~ZMenuItem() override;

    void ReceiveEvent(const ZMenuEvent& event, ZMenuMouseState* mouse) final { HandleInput(event, mouse); }

    // Events of kind 12 and above go on to the owner menu; others are dropped.
    virtual void HandleInput(const ZMenuEvent& event, ZMenuMouseState* mouse);
    virtual void SetText(const ZString& text);
    // Widens the box to hold the rectangle.
    virtual void ExpandBounds(float min[2], float max[2]) const;
    virtual bool IsSelectable() const { return selectable; }
    // While true and active, the manager sends every event here.
    virtual bool CapturesInput() const { return false; }
    virtual bool IsHorizontalAdjustable() const { return false; }
    virtual bool IsVerticalAdjustable() const { return false; }
    virtual void Adjust(int32_t /*step*/) {}
    virtual void Drag(float /*delta*/) {}
    virtual void SetFromPosition(float /*x*/) {}
    virtual void EndDrag() {}
    // Queues the text at the rectangle's top left in the colour given.
    virtual void DrawText(ZColor32 color);
    virtual void SetSelected(bool on);
    // Called when the item becomes the selection.
    virtual void OnSelected() {}
    // Size, then the rectangle from the anchor.
    virtual void Refresh();
    virtual void UpdateSize();
    virtual void MeasureText(float* outWidth, float* outHeight, float scale) const;

    // Sets the text, the anchor point and anchor, the base game's menu font
    // and the text scale (as SetTextScale), then places the item.
    void Setup(const ZString& textIn, float px, float py, int32_t anchorIn, float scale);
    // A new item of that class, Setup.
    template <typename Item = ZMenuItem>
    static Item* Create(const ZString& textIn, float px, float py, int32_t anchorIn, float scale) {
        auto* item = new Item();
        item->Setup(textIn, px, py, anchorIn, scale);
        return item;
    }
    // Edges included.
    bool HitTest(float px, float py) const;
    // Text scale = s x 56 / the font's line height (a text 56 units high).
    void SetTextScale(float s);
    ZHashedString GetName() const { return name; }
    ZMenu* GetOwner() const { return owner; }
    const ZString& GetText() const { return text; }

    // "wvpMat" (the quad over the rectangle with a quarter of its size added
    // on every side), "elemTex" ("MENU_QUAD_TEXTURE"), "SelectionColor" (the
    // owner's colour for the item); the rest goes to the shared shader.
    bool SetParameters(ZEffectParameter* binding, ZHashedString passName, ZParameterSource* source) override;

    // The rectangle of an anchor point and a size (left and top floored).
    static void PlaceRect(float x, float y, float w, float h, int32_t anchor, float& left, float& top);
    // Items alive (they share one quad and one shader).
    static int32_t GetLiveCount();

    ZMenu* owner = nullptr;  // set by ZMenu::AddItem
    int32_t kind = kButton;
    int32_t neighbours[5] = {-1, -1, -1, -1, -1};  // item indices by Direction; -1 none
    bool selectable = true;
    ZString text;
    float x = 0.0f;
    float y = 0.0f;
    float left = 0.0f;
    float top = 0.0f;
    float width = 0.0f;
    float height = 0.0f;
    int32_t anchor = 0;
    ZFont* font = nullptr;
    float textScale = 1.0f;
    // Above 0: the text wraps at words within this width (menu units), and
    // the item's size is that of the wrapped text.
    float wrapWidth = 0.0f;
    ZHashedString name;
    bool selected = false;
};
