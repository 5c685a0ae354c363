// The zpk command-line tool, run as a separate program.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "foundation_data/PackageBytes.h"
#include "support/TempDir.h"

namespace {

struct ToolRun {
    int status = -1;
    std::string output;  // standard output and standard error
};

ToolRun Zpk(const std::string& arguments) {
    const std::string command = std::string("\"") + KORV_TOOLS_DIR + "/zpk\" " + arguments + " 2>&1";
    ToolRun run;
    std::FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) {
        return run;
    }
    char chunk[4096];
    size_t n = 0;
    while ((n = std::fread(chunk, 1, sizeof(chunk), pipe)) > 0) {
        run.output.append(chunk, n);
    }
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::string Quoted(const std::string& path) {
    return "\"" + path + "\"";
}

TEST(ZpkTool, HelpAndUsage) {
    struct Case {
        const char* arguments;
        int status;
        const char* shows;
    };
    const Case cases[] = {
        {"--help", 0, "zpk pack DIR OUT.zpk"},
        {"pack --help", 0, "usage: zpk pack DIR OUT.zpk"},
        {"list --help", 0, "usage: zpk list FILE"},
        {"extract --help", 0, "usage: zpk extract FILE DIR"},
        {"", 2, "usage: zpk <command>"},
        {"unpack a b", 2, "unknown command \"unpack\""},
        {"pack only-one", 2, "usage: zpk pack DIR OUT.zpk"},
        {"list", 2, "usage: zpk list FILE"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        const ToolRun run = Zpk(c.arguments);
        EXPECT_EQ(run.status, c.status);
        EXPECT_NE(run.output.find(c.shows), std::string::npos) << run.output;
    }
}

TEST(ZpkTool, PackListExtractRoundTrip) {
    korvtest::TempDir dir;
    dir.Write("in/Readme.txt", "hello");
    dir.Write("in/Effects/Glow.fxo", std::string(3000, 'g'));
    dir.Write("in/.hidden", "left out");
    const std::string package = dir.File("out.zpk");

    ToolRun run = Zpk("pack " + Quoted(dir.File("in")) + " " + Quoted(package));
    ASSERT_EQ(run.status, 0) << run.output;

    run = Zpk("list " + Quoted(package));
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("2 entries"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("      3000  Effects\\Glow.fxo"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("         5  Readme.txt"), std::string::npos) << run.output;

    run = Zpk("extract " + Quoted(package) + " " + Quoted(dir.File("back")));
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(dir.Read("back/Readme.txt"), "hello");
    EXPECT_EQ(dir.Read("back/Effects/Glow.fxo"), std::string(3000, 'g'));
    EXPECT_FALSE(std::filesystem::exists(dir.File("back/.hidden")));
}

TEST(ZpkTool, ExtractRefusesNamesLeavingTheFolder) {
    korvtest::TempDir dir;
    using korvtest::TocEntry;
    dir.Write("evil.zpk", korvtest::PackageHeader(18, 4 * 256) + "ok" + TocEntry("ok.txt", 16, 2) +
                              TocEntry("..\\escaped.txt", 16, 2) + TocEntry("/tmp/absolute.txt", 16, 2) +
                              TocEntry("D:\\drive.txt", 16, 2));
    const ToolRun run = Zpk("extract " + Quoted(dir.File("evil.zpk")) + " " + Quoted(dir.File("out")));
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.output.find("refused entry \"..\\escaped.txt\""), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("refused entry \"/tmp/absolute.txt\""), std::string::npos) << run.output;
    EXPECT_EQ(dir.Read("out/ok.txt"), "ok");
    EXPECT_FALSE(std::filesystem::exists(dir.File("escaped.txt")));
    size_t inOut = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir.File("out"))) {
        (void)entry;
        ++inOut;
    }
    EXPECT_EQ(inOut, 1u);
}

TEST(ZpkTool, FailuresLeaveNoPackage) {
    korvtest::TempDir dir;
    dir.Write("in/" + std::string(250, 'n'), "name too long for the table");
    struct Case {
        std::string arguments;
        const char* shows;
    };
    const Case cases[] = {
        {"pack " + Quoted(dir.File("in")) + " " + Quoted(dir.File("out.zpk")), "unusable entry name"},
        {"pack " + Quoted(dir.File("missing")) + " " + Quoted(dir.File("out.zpk")), "is not a folder"},
        {"list " + Quoted(dir.File("in/" + std::string(250, 'n'))), "is not a package"},
        {"list " + Quoted(dir.File("missing.zpk")), "does not exist"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        const ToolRun run = Zpk(c.arguments);
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.output.find(c.shows), std::string::npos) << run.output;
        EXPECT_FALSE(std::filesystem::exists(dir.File("out.zpk")));
    }
}

}  // namespace
