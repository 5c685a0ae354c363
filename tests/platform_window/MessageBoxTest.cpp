#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "platform/window/fake/FakeWindowSystem.h"

using namespace platform::window;

namespace {

std::vector<std::string> gLogLines;

void RecordLine(const char* line) {
    gLogLines.push_back(line);
}

// Sets an environment variable for the life of the object, then puts the old value back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : m_name(name) {
        if (const char* old = std::getenv(name)) m_old = old;
        if (value != nullptr) {
            setenv(name, value, 1);
        } else {
            unsetenv(name);
        }
    }
    ~ScopedEnv() {
        if (m_old) {
            setenv(m_name, m_old->c_str(), 1);
        } else {
            unsetenv(m_name);
        }
    }

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

class MessageBoxTest : public testing::Test {
protected:
    void SetUp() override {
        gLogLines.clear();
        SetLogHook(&RecordLine);
    }
    void TearDown() override {
        SetLogHook(nullptr);
        SetWindowSystem(nullptr);
    }
};

}  // namespace

TEST_F(MessageBoxTest, DefaultAnswers) {
    struct Case {
        uint32_t flags;
        int answer;
    };
    const Case cases[] = {
        {MB_OK, IDOK},
        {MB_OK | MB_ICONERROR, IDOK},
        {MB_OKCANCEL | MB_ICONWARNING, IDOK},
        {MB_OKCANCEL | MB_DEFBUTTON2, IDCANCEL},
        {MB_OK | MB_DEFBUTTON2, IDOK},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DefaultAnswer(c.flags), c.answer) << "flags 0x" << std::hex << c.flags;
}

// Without any window system (early start-up, tools) a box still reaches the log and
// answers without waiting.
TEST_F(MessageBoxTest, WithoutASystemTheBoxIsLoggedAndAnswered) {
    EXPECT_EQ(MessageBox("Error", "No stream source was found containing file a.zdd.", MB_ICONERROR), IDOK);
    EXPECT_EQ(MessageBox("Question", "Go on?", MB_OKCANCEL | MB_DEFBUTTON2), IDCANCEL);
    ASSERT_EQ(gLogLines.size(), 2u);
    EXPECT_EQ(gLogLines[0],
              "Message box \"Error\" answered OK: No stream source was found containing file a.zdd.");
    EXPECT_EQ(gLogLines[1], "Message box \"Question\" answered Cancel: Go on?");
}

TEST_F(MessageBoxTest, TheFakeRecordsEveryBoxAndTakesQueuedAnswers) {
    SetWindowSystem(CreateWindowSystem(Backend::Fake));
    auto* fake = static_cast<FakeWindowSystem*>(GetWindowSystem());
    fake->QueueBoxAnswer(IDCANCEL);
    EXPECT_EQ(MessageBox("Map", "File version mismatch.", MB_OKCANCEL), IDCANCEL);
    EXPECT_EQ(MessageBox("Warning", "HWVert\r\nPS30", MB_OK | MB_ICONWARNING), IDOK);
    ASSERT_EQ(fake->Boxes().size(), 2u);
    EXPECT_EQ(fake->Boxes()[0].caption, "Map");
    EXPECT_EQ(fake->Boxes()[0].flags, MB_OKCANCEL);
    EXPECT_EQ(fake->Boxes()[0].answer, IDCANCEL);
    EXPECT_EQ(fake->Boxes()[1].text, "HWVert\r\nPS30");
    EXPECT_EQ(fake->Boxes()[1].flags, MB_OK | MB_ICONWARNING);
    EXPECT_EQ(gLogLines.size(), 2u);
}

TEST_F(MessageBoxTest, DialogsAreOffWhenAskedOrWithoutADisplay) {
    struct Case {
        const char* noDialogs;
        const char* videoDriver;
        bool disabled;
    };
    const Case cases[] = {
        {"1", "x11", true},      {"0", "offscreen", true}, {nullptr, "dummy", true},
        {nullptr, "x11", false}, {"0", nullptr, false},    {"", "wayland", false},
    };
    for (const Case& c : cases) {
        const ScopedEnv noDialogs("KORV_NO_DIALOGS", c.noDialogs);
        const ScopedEnv videoDriver("SDL_VIDEODRIVER", c.videoDriver);
        EXPECT_EQ(DialogsDisabled(), c.disabled)
            << (c.noDialogs ? c.noDialogs : "unset") << " / " << (c.videoDriver ? c.videoDriver : "unset");
    }
}
