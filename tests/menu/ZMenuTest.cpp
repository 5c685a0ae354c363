// The menu base class and its items: navigation (explicit neighbours, the
// geometric search and its wrapping), selection colours, accepting with and
// without sound, editing by a capturing item, the mouse on each item kind,
// rectangles by anchor, and the underlay that arranging makes.

#include "MenuFixture.h"
#include "menu/ZMenuLabel.h"
#include "menu/ZMenuUnderlay.h"

using namespace menutest;
using Strings = std::vector<std::string>;

namespace {

class ZMenuTest : public MenuFixture {
protected:
    // A recording menu with the items, opened and at rest.
    RecordingMenu* OpenWith(std::initializer_list<ZMenuItem*> items) {
        auto* menu = new RecordingMenu("M", &log);
        for (ZMenuItem* item : items) menu->AddItem(item);
        GetMenuMgr()->OpenMenu(menu);
        Transitions();
        Transitions(0.3f);
        return menu;
    }
    static void Send(const int32_t kind, ZMenuMouseState* mouse = nullptr) {
        ZMenuEvent event;
        event.kind = kind;
        GetMenuMgr()->DispatchEvent(event, mouse);
    }
    // A mouse event at menu units (the fixture's screen: 1.6 units a pixel).
    static void Mouse(const float ux, const float uy, const bool pressed, const bool held, const bool released,
                      const float dxUnits = 0.0f) {
        ZMenuMouseState m;
        m.x = ux / 1.6f;
        m.y = uy / 1.6f;
        m.dx = dxUnits / 1.6f;
        m.pressed = pressed;
        m.held = held;
        m.released = released;
        Send(ZMenuEventKind::Mouse, &m);
    }
};

// Records what the menu asks of it.
class ProbeItem : public ZMenuItem {
public:
    bool CapturesInput() const override { return captures; }
    bool IsHorizontalAdjustable() const override { return horizontal; }
    void Adjust(const int32_t step) override { adjusts.push_back(step); }
    void Drag(const float d) override { drags.push_back(d); }
    void SetFromPosition(const float px) override { positions.push_back(px); }
    void EndDrag() override { ++endDrags; }
    void HandleInput(const ZMenuEvent& event, ZMenuMouseState* mouse) override {
        inputs.push_back(event.kind);
        ZMenuItem::HandleInput(event, mouse);
    }
    bool captures = false;
    bool horizontal = false;
    std::vector<int32_t> adjusts;
    std::vector<float> drags;
    std::vector<float> positions;
    std::vector<int32_t> inputs;
    int endDrags = 0;
};

ProbeItem* Probe(const float x, const float y, const int32_t kind = ZMenuItem::kButton) {
    auto* item = new ProbeItem();
    item->x = x;
    item->y = y;
    item->width = 200.0f;
    item->height = 40.0f;
    item->kind = kind;
    ZMenuItem::PlaceRect(x, y, 200.0f, 40.0f, 0, item->left, item->top);
    return item;
}

}  // namespace

TEST_F(ZMenuTest, NavigationFindsTheNearestItemAndWraps) {
    // A column of three buttons, a label between them and a button beside the middle one.
    ZMenu* menu = OpenWith({SizedItem(512, 200), SizedItem(512, 300), SizedItem(512, 400), SizedItem(800, 300),
                            new ZMenuLabel()});
    menu->items[4]->x = 512;
    menu->items[4]->y = 250;
    struct Case {
        int32_t from;
        int32_t event;
        int32_t to;
    };
    const Case cases[] = {
        {0, ZMenuEventKind::NavDown, 1},  {1, ZMenuEventKind::NavDown, 2},
        {2, ZMenuEventKind::NavDown, 0},  // wraps to the top-most
        {0, ZMenuEventKind::NavUp, 2},    {1, ZMenuEventKind::NavRight, 3},
        {3, ZMenuEventKind::NavRight, 0},  // wraps to the far left (first found of the ties)
        {2, ZMenuEventKind::NavNext, 3},  {3, ZMenuEventKind::NavNext, 0},
    };
    for (const Case& c : cases) {
        menu->Select(c.from);
        Send(c.event);
        EXPECT_EQ(menu->selectedIndex, c.to) << "from " << c.from << " by " << EventName(c.event);
    }
    // An explicit neighbour wins over the search.
    menu->items[0]->neighbours[ZMenuItem::kDown] = 2;
    menu->Select(0);
    Send(ZMenuEventKind::NavDown);
    EXPECT_EQ(menu->selectedIndex, 2);
}

TEST_F(ZMenuTest, ItemsLevelWithTheSelectionAreNoCandidates) {
    ZMenu* menu = OpenWith({SizedItem(512, 300), SizedItem(700, 301), SizedItem(300, 299.5f)});
    const uint32_t sounds = GetMenuMgr()->GetNavigationSoundCount();
    Send(ZMenuEventKind::NavDown);
    Send(ZMenuEventKind::NavUp);
    EXPECT_EQ(menu->selectedIndex, 0);
    EXPECT_EQ(GetMenuMgr()->GetNavigationSoundCount(), sounds) << "no move, no sound";
}

TEST_F(ZMenuTest, AMenuOfLabelsSelectsItsFirstAndGoesNowhere) {
    auto* a = new ZMenuLabel();
    auto* b = new ZMenuLabel();
    b->y = 100;
    ZMenu* menu = OpenWith({a, b});
    EXPECT_EQ(menu->selectedIndex, 0);
    Send(ZMenuEventKind::NavDown);
    EXPECT_EQ(menu->selectedIndex, 0);
    EXPECT_TRUE(a->visible) << "shown once opened";
}

TEST_F(ZMenuTest, ItemColoursFollowSelectionAndEditing) {
    ProbeItem* field = Probe(512, 100);
    field->captures = true;
    ZMenu* menu = OpenWith({SizedItem(512, 300), SizedItem(512, 400), new ZMenuLabel(), field});
    struct Case {
        int32_t selected;
        int32_t active;
        int32_t item;
        ZColor32 expected;
    };
    const ZColor32 white(255, 255, 255, 255);
    const Case cases[] = {
        {0, -1, 0, white},
        {0, -1, 1, ZColor32(128, 128, 128, 255)},
        {0, -1, 2, ZColor32(192, 192, 192, 255)},
        {0, -1, 3, ZColor32(255, 255, 153, 255)},
        {3, -1, 3, white},
        {3, 3, 3, white},
        {0, 3, 3, white},
        {3, 3, 0, ZColor32(64, 64, 64, 255)},
        {3, 3, 2, ZColor32(192, 192, 192, 255)},
    };
    for (const Case& c : cases) {
        menu->selectedIndex = c.selected;
        menu->activeIndex = c.active;
        EXPECT_EQ(menu->GetItemColor(menu->items[c.item]), c.expected)
            << "selected " << c.selected << " active " << c.active << " item " << c.item;
    }
}

TEST_F(ZMenuTest, SilentAcceptsPlayNoSound) {
    ZMenu* menu = OpenWith({SizedItem(512, 300)});
    menu->silentAccepts = 1;
    const uint32_t before = GetMenuMgr()->GetNavigationSoundCount();
    Send(ZMenuEventKind::Accept);
    EXPECT_EQ(GetMenuMgr()->GetNavigationSoundCount(), before);
    Send(ZMenuEventKind::Accept);
    EXPECT_EQ(GetMenuMgr()->GetNavigationSoundCount(), before + 1);
}

TEST_F(ZMenuTest, ACapturingItemTakesEveryEventUntilEndEdit) {
    ProbeItem* field = Probe(512, 300);
    field->captures = true;
    ZMenu* menu = OpenWith({field, SizedItem(512, 400)});
    Send(ZMenuEventKind::Accept);
    EXPECT_EQ(menu->activeIndex, 0);
    EXPECT_TRUE(field->selected);
    EXPECT_EQ(field->inputs, (std::vector<int32_t>{ZMenuEventKind::BeginEdit}));
    log.clear();
    Send(ZMenuEventKind::NavDown);
    Send(ZMenuEventKind::Cancel);
    EXPECT_TRUE(log.empty()) << "the menu hears nothing while the item edits";
    EXPECT_EQ(menu->selectedIndex, 0);
    Send(ZMenuEventKind::EndEdit);  // kinds 12 and up go on to the menu
    EXPECT_EQ(menu->activeIndex, -1);
    EXPECT_FALSE(field->selected);
    Send(ZMenuEventKind::NavDown);
    EXPECT_EQ(menu->selectedIndex, 1);
}

TEST_F(ZMenuTest, CancelClosesUnlessForbidden) {
    ZMenu* menu = OpenWith({SizedItem(512, 300)});
    menu->cannotCancel = true;
    Send(ZMenuEventKind::Cancel);
    EXPECT_TRUE(GetMenuMgr()->GetRequests().IsEmpty());
    menu->cannotCancel = false;
    Send(ZMenuEventKind::Cancel);
    EXPECT_EQ(GetMenuMgr()->GetRequests().Count(), 1u);
}

TEST_F(ZMenuTest, TheMouseActsByItemKind) {
    // Rectangles: x 412..612 at rows 80..120, 180..220, 280..320.
    ProbeItem* button = Probe(512, 100);
    ProbeItem* horizontal = Probe(512, 200, ZMenuItem::kHorizontal);
    ProbeItem* slider = Probe(512, 300, ZMenuItem::kSlider);
    slider->horizontal = true;
    ZMenu* menu = OpenWith({button, horizontal, slider});
    struct Case {
        const char* name;
        float x, y;
        Strings events;
        int32_t selected;
    };
    const Case cases[] = {
        {"hover selects", 500, 200, {"M:Mouse"}, 1},
        {"click on a button accepts", 420, 100, {"M:Mouse", "M:Accept"}, 0},
        {"left half", 511, 200, {"M:Mouse", "M:NavLeft"}, 1},
        {"exact middle is right", 512, 200, {"M:Mouse", "M:NavRight"}, 1},
        {"edges count", 612, 220, {"M:Mouse", "M:NavRight"}, 1},
        {"outside keeps the selection", 700, 100, {"M:Mouse"}, 1},
    };
    for (const Case& c : cases) {
        log.clear();
        Mouse(c.x, c.y, std::string(c.name) != "hover selects", false, false);
        EXPECT_EQ(log, c.events) << c.name;
        EXPECT_EQ(menu->selectedIndex, c.selected) << c.name;
    }
    // A click on the slider places it; dragging with the button held moves
    // it; the release ends the drag.
    Mouse(450, 300, true, false, false);
    EXPECT_EQ(slider->positions, (std::vector<float>{450.0f}));
    Mouse(466, 300, false, true, false, 16.0f);
    ASSERT_EQ(slider->drags.size(), 1u);
    EXPECT_NEAR(slider->drags[0], 16.0f, 1e-4f) << "pixels scaled to menu units";
    Mouse(466, 300, false, false, true);
    EXPECT_EQ(slider->endDrags, 1);
    // Left and right step an adjustable item instead of moving away.
    Send(ZMenuEventKind::NavLeft);
    Send(ZMenuEventKind::NavRight);
    EXPECT_EQ(slider->adjusts, (std::vector<int32_t>{-1, 1}));
    EXPECT_EQ(menu->selectedIndex, 2);
}

TEST_F(ZMenuTest, RectanglesFollowTheAnchor) {
    struct Case {
        int32_t anchor;
        float left, top;
    };
    const Case cases[] = {{0, 450, 280}, {1, 500, 300}, {2, 450, 300}, {3, 400, 300}, {4, 500, 280},
                          {5, 400, 280}, {6, 500, 260}, {7, 450, 260}, {8, 400, 260}, {9, 450, 280}};
    for (const Case& c : cases) {
        float left = 0, top = 0;
        ZMenuItem::PlaceRect(500, 300, 100, 40, c.anchor, left, top);
        EXPECT_EQ(left, c.left) << c.anchor;
        EXPECT_EQ(top, c.top) << c.anchor;
    }
    float left = 0, top = 0;
    ZMenuItem::PlaceRect(100.5f, 100.5f, 51, 51, 0, left, top);
    EXPECT_EQ(left, 75.0f) << "floored to whole units";
}

TEST_F(ZMenuTest, ArrangingPutsAPaddedUnderlayAroundTheItems) {
    ZMenu menu;
    menu.AddItem(SizedItem(400, 300, 200, 50));  // 300..500 x 275..325
    menu.AddItem(SizedItem(600, 350, 200, 50));  // 500..700 x 325..375
    ZMenuUnderlay* underlay = menu.ArrangeItems(80, 64);
    ASSERT_EQ(menu.underlays.Count(), 1u);
    EXPECT_EQ(underlay->width, 560.0f);
    EXPECT_EQ(underlay->height, 228.0f);
    EXPECT_EQ(underlay->left, 220.0f);
    EXPECT_EQ(underlay->top, 211.0f);
    EXPECT_FALSE(underlay->visible) << "hidden until the menu opens";
}

TEST_F(ZMenuTest, SharedQuadsLiveAsLongAsTheirUsers) {
    EXPECT_EQ(ZMenuItem::GetLiveCount(), 0);
    {
        ZMenu menu;
        menu.AddItem(new ZMenuItem());
        menu.AddItem(new ZMenuLabel());
        menu.Arrange(0, 0);
        EXPECT_EQ(ZMenuItem::GetLiveCount(), 2);
        EXPECT_EQ(ZMenuUnderlay::GetLiveCount(), 1);
    }
    EXPECT_EQ(ZMenuItem::GetLiveCount(), 0);
    EXPECT_EQ(ZMenuUnderlay::GetLiveCount(), 0);
}
