#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/os/fake/fake.h"
#include "platform/os/files.h"
#include "platform/os/system.h"
#include "platform/os/threads.h"
#include "support/TempDir.h"

namespace {

// Sets (or, with null, removes) an environment variable for one scope.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : m_name(name) {
        if (const char* old = std::getenv(name)) {
            m_old = old;
        }
        if (value) {
            setenv(name, value, 1);
        } else {
            unsetenv(name);
        }
    }
    ~ScopedEnv() {
        if (m_old) {
            setenv(m_name.c_str(), m_old->c_str(), 1);
        } else {
            unsetenv(m_name.c_str());
        }
    }

private:
    std::string m_name;
    std::optional<std::string> m_old;
};

std::string Expand(const char* text, const std::string& root) {
    std::string out = text;
    for (std::size_t pos; (pos = out.find("$T")) != std::string::npos;) {
        out.replace(pos, 2, root);
    }
    return out;
}

TEST(DocumentsFolder, FollowsTheXdgRules) {
    struct Case {
        const char* what;
        const char* env;       // XDG_DOCUMENTS_DIR, null = unset
        const char* userDirs;  // content of user-dirs.dirs, null = no file
        bool ownConfigHome;    // user-dirs.dirs under $XDG_CONFIG_HOME instead of ~/.config
        const char* expected;  // "$T" is the temporary folder; HOME is $T/home
    };
    const Case cases[] = {
        {"variable wins", "$T/EnvDocs", "XDG_DOCUMENTS_DIR=\"$HOME/Ignored\"\n", false, "$T/EnvDocs"},
        {"empty variable is unset", "", "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n", false,
         "$T/home/Dokumente"},
        {"home expanded", nullptr,
         "# comment\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\nXDG_DOCUMENTS_DIR=\"$HOME/Docs\"\n", false,
         "$T/home/Docs"},
        {"braced home, trailing slash", nullptr, "XDG_DOCUMENTS_DIR=\"${HOME}/Papers/\"", false,
         "$T/home/Papers"},
        {"absolute path", nullptr, "XDG_DOCUMENTS_DIR=\"$T/Elsewhere\"\n", false, "$T/Elsewhere"},
        {"last line wins", nullptr, "XDG_DOCUMENTS_DIR=\"$HOME/A\"\nXDG_DOCUMENTS_DIR=\"$HOME/B\"\n", false,
         "$T/home/B"},
        {"relative value ignored", nullptr, "XDG_DOCUMENTS_DIR=\"Docs\"\n", false, "$T/home/Documents"},
        {"no documents line", nullptr, "XDG_MUSIC_DIR=\"$HOME/Music\"\n", false, "$T/home/Documents"},
        {"no file", nullptr, nullptr, false, "$T/home/Documents"},
        {"config home", nullptr, "XDG_DOCUMENTS_DIR=\"$HOME/FromConfigHome\"\n", true,
         "$T/home/FromConfigHome"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        korvtest::TempDir dir;
        const std::string root = dir.Path().string();
        const std::string home = root + "/home";
        std::filesystem::create_directories(home);
        const std::string env = c.env ? Expand(c.env, root) : std::string();
        ScopedEnv homeVar("HOME", home.c_str());
        ScopedEnv docsVar("XDG_DOCUMENTS_DIR", c.env ? env.c_str() : nullptr);
        const std::string configHome = root + "/cfg";
        ScopedEnv configVar("XDG_CONFIG_HOME", c.ownConfigHome ? configHome.c_str() : nullptr);
        if (c.userDirs) {
            // Written with the literal "$HOME", as the desktop writes it.
            dir.Write(c.ownConfigHome ? "cfg/user-dirs.dirs" : "home/.config/user-dirs.dirs",
                      Expand(c.userDirs, root));
        }
        const std::string expected = Expand(c.expected, root);
        EXPECT_EQ(os::DocumentsFolder(), expected);
        EXPECT_TRUE(std::filesystem::is_directory(expected)) << "made when missing";
    }
}

TEST(ErrorText, SpeaksAsTheSystemDoes) {
    EXPECT_EQ(os::ErrorText(os::kFileNotFound), "The system cannot find the file specified.");
    EXPECT_EQ(os::ErrorText(ENOSPC), "There is not enough space on the disk.");
    EXPECT_FALSE(os::ErrorText(12345).empty()) << "unknown numbers still get a text";
}

// Debugger output reaches standard error only while KORV_DEBUG_OUTPUT asks for
// it; otherwise every caller's debugger lines go nowhere.
TEST(DebugOutput, GoesToStandardErrorOnlyWhenAskedFor) {
    struct Case {
        const char* value;  // null: unset
        bool shown;
    };
    const Case cases[] = {{nullptr, false}, {"", false}, {"0", false}, {"1", true}, {"yes", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value != nullptr ? c.value : "(unset)");
        const ScopedEnv env(os::kDebugOutputVariable, c.value);
        EXPECT_EQ(os::DebugOutputEnabled(), c.shown);
        testing::internal::CaptureStderr();
        os::DebugOutput("QXV_EntInst_003d633d.zdd (false, )\n");
        EXPECT_EQ(testing::internal::GetCapturedStderr(), c.shown ? "QXV_EntInst_003d633d.zdd (false, )\n" : "");
    }
}

TEST(ComputerName, IsTheHostNameCutTo15Characters) {
    char host[256] = {};
    ASSERT_EQ(gethostname(host, sizeof host - 1), 0);
    const std::string name = os::ComputerName();
    EXPECT_LE(name.size(), 15u);
    EXPECT_EQ(name, std::string(host).substr(0, 15));
}

TEST(CommandLine, QuotesWordsTheSplitterWouldBreak) {
    struct Case {
        std::vector<const char*> args;  // after the program name
        const char* line;
    };
    const Case cases[] = {
        {{}, ""},
        {{"QuickStart", "Main.kcp", "Map", "3", "4"}, "QuickStart Main.kcp Map 3 4"},
        {{"set", "Video", "Window Title"}, "set Video \"Window Title\""},
        {{"say", "a \"quoted\" word"}, "say 'a \"quoted\" word'"},
        {{"", "x"}, "\"\" x"},
        {{"\"lead"}, "'\"lead'"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        std::vector<const char*> argv = {"korvanth"};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        EXPECT_EQ(os::JoinCommandLine(static_cast<int>(argv.size()), argv.data()), c.line);
    }
}

TEST(OpenInShell, HandsAddressesAndResolvedPathsToTheShell) {
    korvtest::TempDir dir;
    dir.Write("Screenshots/shot.bmp", "x");
    os::fake::FakeShell shell;
    EXPECT_TRUE(os::OpenInShell("https://example.org/page?a=1"));
    EXPECT_TRUE(os::OpenInShell(dir.File("SCREENSHOTS\\Shot.BMP")));
    shell.SetSucceed(false);
    EXPECT_FALSE(os::OpenInShell("mailto:someone@example.org"));
    EXPECT_FALSE(os::OpenInShell(""));
    const std::vector<std::string> expected = {
        "https://example.org/page?a=1",
        std::filesystem::canonical(dir.Path()).string() + "/Screenshots/shot.bmp",
        "mailto:someone@example.org"};
    EXPECT_EQ(shell.Opened(), expected);
}

TEST(OpenInShell, FailsWithoutAHandler) {
    korvtest::TempDir empty;
    ScopedEnv path("PATH", empty.Path().c_str());
    EXPECT_FALSE(os::OpenInShell("https://example.org"));
}

TEST(OpenInShell, StartsTheHandlerWithoutWaitingForIt) {
    korvtest::TempDir dir;
    const std::string root = dir.Path().string();
    // A handler that only finishes once the test lets it: had the call waited
    // for it, it would have given up and answered "blocked".
    dir.Write("bin/xdg-open",
              "#!/bin/sh\nPATH=/usr/bin:/bin\ni=0\n"
              "while [ ! -e '" +
                  root +
                  "/go' ] && [ $i -lt 400 ]; do sleep 0.05; i=$((i+1)); done\n"
                  "if [ -e '" +
                  root +
                  "/go' ]; then r=\"$1\"; else r=blocked; fi\n"
                  "printf '%s' \"$r\" > '" +
                  root + "/out.tmp' && mv '" + root + "/out.tmp' '" + root + "/out'\n");
    chmod((root + "/bin/xdg-open").c_str(), 0755);
    {
        ScopedEnv path("PATH", (root + "/bin").c_str());
        ASSERT_TRUE(os::OpenInShell("https://example.org/news"));
    }
    dir.Write("go", "");
    for (int i = 0; i < 1000 && !std::filesystem::exists(dir.Path() / "out"); ++i) {
        os::SleepMs(10);
    }
    EXPECT_EQ(dir.Read("out"), "https://example.org/news");
}

}  // namespace
