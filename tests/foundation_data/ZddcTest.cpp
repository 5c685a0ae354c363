// The markup-to-definition compiler, run as the build runs it.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "foundation/ZDefinitionFile.h"
#include "foundation/ZMarkupNode.h"
#include "support/TempDir.h"

namespace {

const std::string kZddc = std::string(KORV_TOOLS_DIR) + "/zddc";

struct ToolRun {
    int status = -1;
    std::string output;  // standard output
};

ToolRun Zddc(const std::string& arguments) {
    ToolRun run;
    const std::string command = "'" + kZddc + "' " + arguments + " 2>/dev/null";
    std::FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return run;
    }
    char buffer[4096];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof(buffer), pipe)) > 0) {
        run.output.append(buffer, n);
    }
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::string Quoted(const std::string& path) {
    return "'" + path + "'";
}

// The tree the engine makes from markup text directly.
ZDefNode FromMarkup(const std::string& text) {
    ZArray<ZMarkupNode*> markup;
    ParseMarkupNode(markup, text.data(), text.size(), nullptr);
    ZArray<ZDefNode> nodes;
    BuildDefinitionNodes(nodes, markup);
    return nodes.Count() == 1 ? nodes[0] : ZDefNode();
}

ZDefNode ReadFile(const korvtest::TempDir& dir, const std::string& name) {
    const std::string bytes = dir.Read(name);
    ZDefNode root;
    EXPECT_TRUE(ReadDefinitionBytes(root, bytes.data(), bytes.size(), name.c_str()));
    return root;
}

const char* const kMarkup =
    "<?xml version=\"1.0\"?>\n"
    "<!-- the player -->\n"
    "<Entity Name=\"Drovani\" Title='The \"Brave\"'>\n"
    "  <Physics Mass=1.5 Gravity=\"true\">\n"
    "    <Shape Size=\"8 16\" Offset='0 -8'/>\n"
    "  </Physics>\n"
    "  <Facing/>\n"
    "  <Dialog Line=\"It's late.\" Empty=\"\"/>\n"
    "  <Physics Mass=\"2\"/>\n"
    "</Entity>\n";

TEST(Zddc, CompiledMarkupReadsBackAsTheSameTreeAndPrintsBackToIt) {
    korvtest::TempDir dir;
    dir.Write("player.markup", kMarkup);
    const ToolRun compile = Zddc(Quoted(dir.File("player.markup")) + " " + Quoted(dir.File("player.zdd")));
    ASSERT_EQ(compile.status, 0);

    const ZDefNode expected = FromMarkup(kMarkup);
    ASSERT_EQ(expected.children.Count(), 4u);
    EXPECT_TRUE(ReadFile(dir, "player.zdd") == expected);

    const ToolRun print = Zddc("--print " + Quoted(dir.File("player.zdd")));
    ASSERT_EQ(print.status, 0);
    dir.Write("printed.markup", print.output);
    ASSERT_EQ(Zddc(Quoted(dir.File("printed.markup")) + " " + Quoted(dir.File("again.zdd"))).status, 0);
    EXPECT_TRUE(ReadFile(dir, "again.zdd") == expected);
}

TEST(Zddc, RefusesWhatIsNotOneDefinition) {
    korvtest::TempDir dir;
    struct Case {
        const char* what;
        std::string arguments;
        int status;
    };
    dir.Write("two.markup", "<A/><B/>");
    dir.Write("none.markup", "just text");
    dir.Write("cut.zdd", std::string(".zdd\x01\x00\x01\x00\x05\x00\x00\x00"
                                     "Ent",
                                     15));
    const Case cases[] = {
        {"two roots", Quoted(dir.File("two.markup")) + " " + Quoted(dir.File("out.zdd")), 1},
        {"no element", Quoted(dir.File("none.markup")) + " " + Quoted(dir.File("out.zdd")), 1},
        {"missing input", Quoted(dir.File("absent.markup")) + " " + Quoted(dir.File("out.zdd")), 1},
        {"damaged definition", "--print " + Quoted(dir.File("cut.zdd")), 1},
        {"no arguments", "", 2},
        {"help", "--help", 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Zddc(c.arguments).status, c.status) << c.what;
    }
    EXPECT_EQ(dir.Read("out.zdd"), "");
    EXPECT_NE(Zddc("--help").output.find("zddc IN.markup OUT.zdd"), std::string::npos);
}

}  // namespace
