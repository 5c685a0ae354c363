#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "framework/ZClipboard.h"
#include "renderer/ZDisplayModes.h"
#include "platform/window/fake/FakeWindowSystem.h"

using platform::window::FakeWindowSystem;

namespace {

// Installs a fake window system for the test and removes it afterwards.
class FakeSystemTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto system = std::make_unique<FakeWindowSystem>();
        fake = system.get();
        platform::window::SetWindowSystem(std::move(system));
    }
    void TearDown() override { platform::window::SetWindowSystem(nullptr); }

    FakeWindowSystem* fake = nullptr;
};

template <typename T>
std::vector<T> ToVector(const ZArray<T>& array) {
    return std::vector<T>(array.begin(), array.end());
}

using DisplayModes = FakeSystemTest;

// The scripted display: duplicates, a size at two rates and two depths, and
// sizes out of order.
const std::vector<ZDisplayMode> kScripted = {
    {1024, 768, 32, 60},  {800, 600, 32, 60},  {1024, 600, 32, 60}, {1024, 768, 32, 60},
    {1024, 768, 32, 75},  {800, 600, 16, 60},  {1920, 1080, 32, 60}, {800, 600, 32, 60},
    {1920, 1080, 16, 144},
};

TEST_F(DisplayModes, EnumerationKeepsTheSystemsOrder) {
    fake->SetDisplayModes(kScripted);
    ZArray<ZDisplayMode> modes;
    modes.PushBack({1, 1, 1, 1});  // emptied first
    EnumDisplayModes(modes);
    EXPECT_EQ(ToVector(modes), kScripted);
}

TEST_F(DisplayModes, DuplicatesGoAndTheFirstStays) {
    fake->SetDisplayModes(kScripted);
    ZArray<ZDisplayMode> modes;
    EnumDisplayModes(modes);
    RemoveDuplicateModes(modes);
    EXPECT_EQ(ToVector(modes), (std::vector<ZDisplayMode>{{1024, 768, 32, 60},
                                                          {800, 600, 32, 60},
                                                          {1024, 600, 32, 60},
                                                          {1024, 768, 32, 75},
                                                          {800, 600, 16, 60},
                                                          {1920, 1080, 32, 60},
                                                          {1920, 1080, 16, 144}}));
}

TEST_F(DisplayModes, SplitGivesEachValueOnceInFirstSeenOrder) {
    fake->SetDisplayModes(kScripted);
    ZArray<ZDisplayMode> modes;
    EnumDisplayModes(modes);
    ZArray<ZResolution> resolutions;
    ZArray<uint32_t> depths;
    ZArray<uint32_t> rates;
    SplitDisplayModes(modes, resolutions, depths, rates);
    EXPECT_EQ(ToVector(resolutions),
              (std::vector<ZResolution>{{1024, 768}, {800, 600}, {1024, 600}, {1920, 1080}}));
    EXPECT_EQ(ToVector(depths), (std::vector<uint32_t>{32, 16}));
    EXPECT_EQ(ToVector(rates), (std::vector<uint32_t>{60, 75, 144}));
}

TEST(SortResolutions, ByWidthThenHeight) {
    struct Case {
        std::vector<ZResolution> in;
        std::vector<ZResolution> out;
    };
    const Case cases[] = {
        {{{1024, 768}, {800, 600}, {1024, 600}}, {{800, 600}, {1024, 600}, {1024, 768}}},
        {{{1920, 1080}, {640, 480}, {1920, 1200}, {640, 400}, {1280, 720}},
         {{640, 400}, {640, 480}, {1280, 720}, {1920, 1080}, {1920, 1200}}},
        {{{800, 600}}, {{800, 600}}},
        {{}, {}},
    };
    for (const Case& c : cases) {
        ZArray<ZResolution> list;
        for (const ZResolution& r : c.in) list.PushBack(r);
        SortResolutions(list);
        EXPECT_EQ(ToVector(list), c.out);
    }
}

TEST_F(DisplayModes, ScreenResolutionsAreDistinctAndSorted) {
    fake->SetDisplayModes(kScripted);
    ZArray<ZResolution> resolutions;
    resolutions.PushBack({1, 1});  // emptied first
    GetScreenResolutions(resolutions);
    EXPECT_EQ(ToVector(resolutions),
              (std::vector<ZResolution>{{800, 600}, {1024, 600}, {1024, 768}, {1920, 1080}}));
}

TEST_F(DisplayModes, FindTakesTheFirstMatchZeroMatchingAny) {
    fake->SetDisplayModes(kScripted);
    struct Case {
        uint32_t width, height, bits;
        bool found;
        ZDisplayMode mode;
    };
    const Case cases[] = {
        {1920, 1080, 0, true, {1920, 1080, 32, 60}},
        {1920, 1080, 16, true, {1920, 1080, 16, 144}},
        {800, 0, 16, true, {800, 600, 16, 60}},
        {0, 600, 0, true, {800, 600, 32, 60}},
        {0, 0, 0, true, {1024, 768, 32, 60}},
        {1024, 768, 16, false, {}},
        {2560, 1440, 0, false, {}},
    };
    for (const Case& c : cases) {
        const ZDisplayMode untouched = {7, 7, 7, 7};
        ZDisplayMode mode = untouched;
        EXPECT_EQ(FindDisplayMode(mode, c.width, c.height, c.bits), c.found) << c.width << "x" << c.height;
        EXPECT_EQ(mode, c.found ? c.mode : untouched) << c.width << "x" << c.height;
    }
}

TEST_F(DisplayModes, ADisplayWithoutModesGivesEmptyLists) {
    fake->SetDisplayModes({});
    ZArray<ZResolution> resolutions;
    GetScreenResolutions(resolutions);
    EXPECT_TRUE(resolutions.IsEmpty());
    ZDisplayMode mode;
    EXPECT_FALSE(FindDisplayMode(mode, 0, 0, 0));
}

TEST(DisplayModesWithoutSystem, EmptyLists) {
    ASSERT_EQ(platform::window::GetWindowSystem(), nullptr);
    ZArray<ZDisplayMode> modes;
    EnumDisplayModes(modes);
    EXPECT_TRUE(modes.IsEmpty());
    ZDisplayMode mode;
    EXPECT_FALSE(FindDisplayMode(mode, 0, 0, 0));
}

using Clipboard = FakeSystemTest;

TEST_F(Clipboard, RoundTrip) {
    const char* const texts[] = {"hello", "set Video Fullscreen 1", "caf\xC3\xA9", ""};
    for (const char* text : texts) {
        SetClipboardText(ZString(text));
        EXPECT_EQ(fake->Clipboard(), text);
        ZString read("stale");
        GetClipboardText(read);
        EXPECT_TRUE(read == text) << text;
        EXPECT_EQ(read.GetCharCount(), ZString(text).GetCharCount());
    }
}

TEST_F(Clipboard, BrokenClipboardGivesEmptyAndKeepsItsText) {
    SetClipboardText(ZString("kept"));
    fake->SetClipboardBroken(true);
    ZString read("stale");
    GetClipboardText(read);
    EXPECT_TRUE(read.IsEmpty());
    SetClipboardText(ZString("lost"));
    fake->SetClipboardBroken(false);
    GetClipboardText(read);
    EXPECT_TRUE(read == "kept");
}

TEST(ClipboardWithoutSystem, EmptyAndSilent) {
    ZString read("stale");
    GetClipboardText(read);
    EXPECT_TRUE(read.IsEmpty());
    SetClipboardText(ZString("nowhere"));
}

}  // namespace
