#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "ServicesFixture.h"
#include "foundation/ZLog.h"
#include "foundation/ZTimer.h"
#include "foundation/ZUserFolders.h"
#include "platform/os/fake/fake.h"
#include "platform/os/threads.h"

namespace {

using servicestest::ServicesTest;

class LogTest : public ServicesTest {
protected:
    // Lines also go to standard output and standard error; keep them out of
    // the test report, and let tests look at them.
    void SetUp() override {
        ServicesTest::SetUp();
        ::testing::internal::CaptureStdout();
        ::testing::internal::CaptureStderr();
        ASSERT_TRUE(gTimer.Start());
    }

    void TearDown() override {
        TakeOutput();
        ServicesTest::TearDown();
    }

    struct Output {
        std::string out;
        std::string err;
    };
    // What was written since the last call; capturing then goes on.
    Output TakeOutput() {
        Output output;
        output.err = ::testing::internal::GetCapturedStderr();
        output.out = ::testing::internal::GetCapturedStdout();
        return output;
    }
    Output TakeOutputAndGoOn() {
        Output output = TakeOutput();
        ::testing::internal::CaptureStdout();
        ::testing::internal::CaptureStderr();
        return output;
    }

    std::string LogFile() const { return m_temp.Read("My Games/Test Game/Logs/Log.txt"); }

    os::fake::FakeClock m_clock{1000000000u};
};

TEST_F(LogTest, LinesCarryTheSecondsSinceStartAndAppend) {
    InstallAppInfo();
    m_clock.AdvanceSeconds(1.5);
    ZLog::Printf("Hello %d", 42);
    m_clock.AdvanceSeconds(12345.25);
    ZLog::Printf("%s", "second");
    EXPECT_EQ(LogFile(), "00001.5000: Hello 42\r\n12346.7500: second\r\n");
}

TEST_F(LogTest, FirstLineOfANewRunEmptiesTheFile) {
    InstallAppInfo();
    ZLog::Printf("first run");
    ZLog::DestroyInstance();
    m_clock.AdvanceSeconds(2.0);
    ZLog::Printf("second run");
    EXPECT_EQ(LogFile(), "00002.0000: second run\r\n");
}

TEST_F(LogTest, MakingTheLogMakesItsFolder) {
    InstallAppInfo();
    GetLog();
    EXPECT_TRUE(std::filesystem::is_directory(m_temp.Path() / "My Games" / "Test Game" / "Logs"));
    EXPECT_EQ(GetLog()->GetFilePath(), Documents() + "\\My Games\\Test Game\\Logs\\Log.txt");
}

// Paths are built with the engine's '\\' between folders; the log names each
// file as the file system does, so a line can be pasted into a shell.
TEST_F(LogTest, PathsReadAsTheFileSystemNamesThem) {
    InstallAppInfo();
    const std::string saves = GetUserFolderPath("Test Game", "Saves\\", true).GetText();
    struct Case {
        std::string path;      // as the engine builds it
        std::string expected;  // as the line shows it
    };
    const Case cases[] = {
        {saves + "autosave.zsd", (m_temp.Path() / "My Games" / "Test Game" / "Saves" / "autosave.zsd").string()},
        {"Localization\\German\\QXV_Strings.txt", "Localization/German/QXV_Strings.txt"},
        {"Mods/zz.kpk", "Mods/zz.kpk"},
    };
    std::string expected;
    for (const Case& c : cases) {
        ZLog::Printf("%s could not be read", c.path.c_str());
        expected += "00000.0000: " + c.expected + " could not be read\r\n";
    }
    EXPECT_EQ(LogFile(), expected);
    EXPECT_EQ(TakeOutputAndGoOn().out, expected) << "standard output shows the same";
}

TEST_F(LogTest, NothingIsWrittenWhileLoggingIsOff) {
    // The default description does not log; neither does a game that turned it off.
    ZLog::Printf("default description");
    InstallAppInfo();
    m_info.logging = false;
    ZLog::Printf("switched off");
    const Output output = TakeOutputAndGoOn();
    EXPECT_EQ(output.out, "");
    EXPECT_EQ(output.err, "");
    EXPECT_FALSE(std::filesystem::exists(m_temp.Path() / "My Games"));
}

TEST_F(LogTest, LinesGoToStandardOutputOnceAndToTheDebuggerOnlyWhenAsked) {
    // In a terminal both streams show: without the variable each line shows once.
    struct Case {
        const char* value;  // null: unset
        bool debugCopy;
    };
    const Case cases[] = {{nullptr, false}, {"", false}, {"0", false}, {"1", true}, {"yes", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value != nullptr ? c.value : "(unset)");
        ZLog::DestroyInstance();
        if (c.value != nullptr) {
            setenv(ZLog::kDebugOutputVariable, c.value, 1);
        } else {
            unsetenv(ZLog::kDebugOutputVariable);
        }
        InstallAppInfo();
        m_clock.AdvanceSeconds(0.25);
        ZLog::Printf("to everyone");
        unsetenv(ZLog::kDebugOutputVariable);
        const Output output = TakeOutputAndGoOn();
        EXPECT_EQ(output.out, LogFile());
        EXPECT_EQ(output.err, c.debugCopy ? output.out : "");
    }
}

TEST_F(LogTest, TheFileStaysOpenAndEveryLineIsOnDiskAtOnce) {
    InstallAppInfo();
    ZLog::Printf("one");
    // Renaming the file away shows whether the log still writes to the file it
    // holds open, rather than opening the path again for each line.
    const auto folder = m_temp.Path() / "My Games" / "Test Game" / "Logs";
    std::filesystem::rename(folder / "Log.txt", folder / "Held.txt");
    ZLog::Printf("two");
    EXPECT_EQ(m_temp.Read("My Games/Test Game/Logs/Held.txt"), "00000.0000: one\r\n00000.0000: two\r\n");
    EXPECT_FALSE(std::filesystem::exists(folder / "Log.txt"));
    // Shutdown closes it; the next line of the same run appends to the path.
    GetLog()->CloseFile();
    m_temp.Write("My Games/Test Game/Logs/Log.txt", "kept\r\n");
    ZLog::Printf("three");
    EXPECT_EQ(LogFile(), "kept\r\n00000.0000: three\r\n");
}

// A second game started on the same user's folder empties Log.txt for its own
// run while this one still writes: this run's next lines follow the other's,
// whole, with no block of zero bytes where this run's offset used to be.
TEST_F(LogTest, ASecondGameEmptyingTheFileLeavesNoHole) {
    InstallAppInfo();
    ZLog::Printf("first game starts with a line long enough to leave a hole");
    ZLog::Printf("first game goes on");
    m_temp.Write("My Games/Test Game/Logs/Log.txt", "00000.0000: second game\r\n");
    ZLog::Printf("first game again");
    EXPECT_EQ(LogFile(), "00000.0000: second game\r\n00000.0000: first game again\r\n");
}

TEST_F(LogTest, LongLinesAreWrittenWhole) {
    InstallAppInfo();
    const std::string text(3000, 'x');
    ZLog::Printf("%s", text.c_str());
    EXPECT_EQ(LogFile(), "00000.0000: " + text + "\r\n");
}

TEST_F(LogTest, AFirstLineThatCannotOpenTheFileLeavesTheEmptyingToTheNext) {
    InstallAppInfo();
    GetLog();
    // A folder in the file's place makes the open fail.
    const auto path = m_temp.Path() / "My Games" / "Test Game" / "Logs" / "Log.txt";
    std::filesystem::create_directory(path);
    ZLog::Printf("lost");
    std::filesystem::remove(path);
    m_temp.Write("My Games/Test Game/Logs/Log.txt", "previous run\r\n");
    ZLog::Printf("kept");
    EXPECT_EQ(LogFile(), "00000.0000: kept\r\n");
}

TEST_F(LogTest, OtherThreadsStampWithTheLatestTickAndDoNotTickTheTimer) {
    InstallAppInfo();
    m_clock.AdvanceSeconds(1.0);
    ZLog::Printf("main");  // ticks: the latest tick is now at 1 s
    m_clock.AdvanceSeconds(2.0);
    os::Thread worker;
    ASSERT_TRUE(worker.Start("LogWorker", [] {
        ZLog::Printf("worker");
        return 0u;
    }));
    ASSERT_TRUE(worker.Wait(10000));
    // The worker's line did not move the main loop's timer.
    EXPECT_DOUBLE_EQ(gTimer.GetElapsed(), 1.0);
    ZLog::Printf("main again");
    EXPECT_DOUBLE_EQ(gTimer.GetDelta(), 2.0);
    EXPECT_EQ(LogFile(), "00001.0000: main\r\n00001.0000: worker\r\n00003.0000: main again\r\n");
}

TEST_F(LogTest, LinesFromManyThreadsStayWhole) {
    InstallAppInfo();
    constexpr int kThreads = 4;
    constexpr int kLines = 50;
    os::Thread workers[kThreads];
    for (int t = 0; t < kThreads; ++t) {
        ASSERT_TRUE(workers[t].Start("LogWorker", [t] {
            for (int i = 0; i < kLines; ++i) {
                ZLog::Printf("thread %d line %d", t, i);
            }
            return 0u;
        }));
    }
    for (os::Thread& worker : workers) {
        EXPECT_TRUE(worker.Wait(20000));
    }
    const std::string log = LogFile();
    size_t lines = 0;
    size_t start = 0;
    for (size_t end = log.find("\r\n"); end != std::string::npos; end = log.find("\r\n", start)) {
        const std::string line = log.substr(start, end - start);
        EXPECT_EQ(line.rfind("00000.0000: thread ", 0), 0u) << line;
        ++lines;
        start = end + 2;
    }
    EXPECT_EQ(start, log.size());
    EXPECT_EQ(lines, size_t{kThreads * kLines});
}

}  // namespace
