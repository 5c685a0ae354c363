#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "foundation/ZAppInfo.h"
#include "foundation/ZLog.h"
#include "framework/ZWindow.h"
#include "platform/window/fake/FakeWindowSystem.h"
#include "support/TempDir.h"

using namespace platform::window;

namespace {

constexpr uint32_t kWindowedStyle = 0x00CE0000;
constexpr uint32_t kPopupStyle = 0x80080000;

class ZWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto system = std::make_unique<FakeWindowSystem>();
        fake = system.get();
        SetWindowSystem(std::move(system));
    }
    void TearDown() override { SetWindowSystem(nullptr); }

    static ZWindowDesc Desc(const uint32_t style, const int32_t width, const int32_t height) {
        ZWindowDesc desc;
        desc.left = 100;
        desc.top = 50;
        desc.width = width;
        desc.height = height;
        desc.className = "Default ZORP Window Class";
        desc.title = "Drovani Skyreach";
        desc.style = style;
        desc.windowProc = &ZWindowTest::Proc;
        desc.procUser = &received;
        return desc;
    }

    static int64_t Proc(const Message& message, void* user) {
        static_cast<std::vector<uint32_t>*>(user)->push_back(message.id);
        return WindowProcDefault(message, nullptr);
    }

    FakeWindowSystem* fake = nullptr;
    static std::vector<uint32_t> received;
};

std::vector<uint32_t> ZWindowTest::received;

TEST_F(ZWindowTest, ClientAreaAsRequestedWindowLargerByTheFrame) {
    struct Case {
        uint32_t style;
        Rect window;  // for a 1280x720 client area at (100, 50)
    };
    const Case cases[] = {
        {kWindowedStyle, {92, 19, 1388, 778}},  // sizing frame 8, caption 23
        {kPopupStyle, {100, 50, 1380, 770}},    // no frame
        {WS_CAPTION | WS_SYSMENU, {97, 24, 1383, 773}},
    };
    for (const Case& c : cases) {
        std::unique_ptr<ZWindow> window(CreateAppWindow(Desc(c.style, 1280, 720)));
        ASSERT_TRUE(window->IsCreated());
        EXPECT_EQ(window->GetClientRect(), (Rect{100, 50, 1380, 770}));
        EXPECT_EQ(window->GetWindowRect(), c.window);
        EXPECT_EQ(fake->GetStyle(), c.style);
        EXPECT_EQ(fake->GetWindowRect(), c.window);
        EXPECT_EQ(fake->GetClientRect(), (Rect{0, 0, 1280, 720}));
        EXPECT_EQ(fake->ClientToScreen({0, 0}), (Point{100, 50}));
        EXPECT_EQ(fake->Title(), "Drovani Skyreach");
        EXPECT_TRUE(fake->IsWindowVisible());
    }
}

TEST_F(ZWindowTest, MessagesReachTheProcedureAndTheWindowGoesWithTheObject) {
    received.clear();
    ZWindow* window = CreateAppWindow(Desc(kWindowedStyle, 640, 480));
    ASSERT_FALSE(received.empty());
    EXPECT_EQ(received.front(), WM_CREATE);
    EXPECT_EQ(window->GetSystem(), fake);
    delete window;
    EXPECT_FALSE(fake->HasWindow());
    EXPECT_EQ(received.back(), WM_DESTROY);
}

TEST_F(ZWindowTest, DefaultsFillWhatIsLeftZero) {
    ZWindowDesc desc = Desc(0, 640, 480);
    desc.windowProc = nullptr;
    std::unique_ptr<ZWindow> window(CreateAppWindow(desc));
    ASSERT_TRUE(window->IsCreated());
    EXPECT_EQ(fake->GetStyle(), WS_OVERLAPPEDWINDOW);
    // The default procedure is the platform's: a system command acts.
    Message maximize;
    maximize.id = WM_SYSCOMMAND;
    maximize.kind = SC_MAXIMIZE;
    fake->DispatchMessage(maximize);
    EXPECT_TRUE(fake->IsMaximized());
}

TEST_F(ZWindowTest, ShowCommandIsTheDescriptions) {
    ZWindowDesc desc = Desc(kWindowedStyle, 640, 480);
    desc.showCommand = SW_HIDE;
    std::unique_ptr<ZWindow> window(CreateAppWindow(desc));
    ASSERT_TRUE(window->IsCreated());
    EXPECT_FALSE(fake->IsWindowVisible());
}

TEST_F(ZWindowTest, ASecondWindowReusesTheRegisteredClass) {
    EXPECT_FALSE(fake->IsWindowClassRegistered("Default ZORP Window Class"));
    delete CreateAppWindow(Desc(kWindowedStyle, 640, 480));
    EXPECT_TRUE(fake->IsWindowClassRegistered("Default ZORP Window Class"));
    std::unique_ptr<ZWindow> second(CreateAppWindow(Desc(kPopupStyle, 800, 600)));
    EXPECT_TRUE(second->IsCreated());
    EXPECT_EQ(fake->GetStyle(), kPopupStyle);
}

TEST_F(ZWindowTest, MenuBarCountsOnlyWhenTheWindowUsesMenus) {
    class NoMenuWindow : public ZWindow {
    public:
        bool UsesMenu() const override { return false; }
    };
    ZWindowDesc desc = Desc(kWindowedStyle, 640, 480);
    desc.menu = true;
    ZWindow withMenu;
    withMenu.ComputeRect(desc);
    EXPECT_EQ(withMenu.GetWindowRect(), (Rect{92, -1, 748, 538}));
    NoMenuWindow without;
    without.ComputeRect(desc);
    EXPECT_EQ(without.GetWindowRect(), (Rect{92, 19, 748, 538}));
    EXPECT_FALSE(without.HasMenu());
}

TEST_F(ZWindowTest, AFailedCreationLeavesNoWindow) {
    // The platform has one main window; while it exists a second cannot be made.
    std::unique_ptr<ZWindow> first(CreateAppWindow(Desc(kWindowedStyle, 640, 480)));
    std::unique_ptr<ZWindow> second(CreateAppWindow(Desc(kPopupStyle, 800, 600)));
    EXPECT_FALSE(second->IsCreated());
    EXPECT_EQ(second->GetSystem(), nullptr);
    second.reset();  // must not destroy the first one's window
    EXPECT_TRUE(first->IsCreated());
    EXPECT_EQ(fake->GetStyle(), kWindowedStyle);
}

TEST_F(ZWindowTest, WithoutAWindowSystemNothingIsCreated) {
    SetWindowSystem(nullptr);
    std::unique_ptr<ZWindow> window(CreateAppWindow(Desc(kWindowedStyle, 640, 480)));
    EXPECT_FALSE(window->IsCreated());
    Message close;
    close.id = WM_CLOSE;
    EXPECT_EQ(WindowProcDefault(close, nullptr), 0);
}

TEST_F(ZWindowTest, AReplacedSystemIsNotTouched) {
    std::unique_ptr<ZWindow> window(CreateAppWindow(Desc(kWindowedStyle, 640, 480)));
    SetWindowSystem(std::make_unique<FakeWindowSystem>());
    EXPECT_FALSE(window->IsCreated());
    window.reset();
}

// The logged window dimensions are the frame's, not the client area's; each
// step of making the window logs its line.
TEST_F(ZWindowTest, LogsTheWindowRectangle) {
    class LoggingInfo : public ZAppInfo {
    public:
        bool IsLogging() const override { return true; }
    };
    korvtest::TempDir documents;
    const char* old = std::getenv("XDG_DOCUMENTS_DIR");
    const std::string oldDocuments = old != nullptr ? old : "";
    setenv("XDG_DOCUMENTS_DIR", documents.Path().c_str(), 1);
    LoggingInfo info;
    ZAppInfo* const previous = gAppInfo.exchange(&info);
    ZLog::DestroyInstance();

    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();  // the debugger output
    ZWindow window;
    ZWindowDesc desc = Desc(kWindowedStyle, 1280, 720);
    desc.instance = 7;
    window.RegisterClass(desc);
    window.ComputeRect(desc);
    window.Show(desc);
    ::testing::internal::GetCapturedStderr();
    const std::string out = ::testing::internal::GetCapturedStdout();

    ZLog::DestroyInstance();
    gAppInfo.store(previous);
    if (old != nullptr) {
        setenv("XDG_DOCUMENTS_DIR", oldDocuments.c_str(), 1);
    } else {
        unsetenv("XDG_DOCUMENTS_DIR");
    }
    EXPECT_NE(out.find("Window dimensions:"), std::string::npos) << out;
    EXPECT_NE(out.find("    Width: 1296"), std::string::npos) << out;
    EXPECT_NE(out.find("    Height: 759"), std::string::npos) << out;
    EXPECT_NE(out.find("    Left: 92"), std::string::npos) << out;

    // The steps' lines, in order.
    size_t at = 0;
    for (const char* line : {"GetClassInfoEx", "hInstance = 7", "className = ", "Window dimensions:", "GetDC",
                             "SendMessage (set font)", "ShowWindow(", "UpdateWindow"}) {
        const size_t found = out.find(line, at);
        EXPECT_NE(found, std::string::npos) << line << "\n" << out;
        at = found == std::string::npos ? at : found;
    }
}

}  // namespace
