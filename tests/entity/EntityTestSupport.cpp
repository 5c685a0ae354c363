#include "EntityTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "entity/ZCommandRunner.h"
#include "entity/ZEntityCommands.h"
#include "foundation/ZDefinitionFile.h"
#include "foundation/ZMarkupNode.h"
#include "support/TempDir.h"

namespace entitytest {

ZDefNode Markup(const std::string& text) {
    ZArray<ZMarkupNode*> markup;
    ParseMarkupNode(markup, text.data(), text.size(), nullptr);
    ZArray<ZDefNode> nodes;
    BuildDefinitionNodes(nodes, markup);
    EXPECT_EQ(nodes.Count(), 1u) << text;
    return nodes.Count() == 1 ? nodes[0] : ZDefNode();
}

ZDefNode CompileMarkup(const std::string& text) {
    const korvtest::TempDir dir;
    dir.Write("in.markup", text);
    const std::string command = "'" + std::string(KORV_TOOLS_DIR) + "/zddc' '" + dir.File("in.markup") + "' '" +
                                dir.File("out.zdd") + "' >/dev/null 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0) << text;
    const std::string bytes = dir.Read("out.zdd");
    ZDefNode root;
    EXPECT_TRUE(ReadDefinitionBytes(root, bytes.data(), bytes.size(), "out.zdd"));
    return root;
}

namespace {

bool Record(const ZHashedString* /*verb*/, const ZArray<ZString>& words, const uint32_t context,
            const uint32_t other) {
    std::string joined;
    for (const ZString& word : words) {
        joined += joined.empty() ? "" : " ";
        joined += word.GetText();
    }
    CommandChain::Log().push_back({joined, context, other});
    return true;
}

}  // namespace

std::vector<Recorded>& CommandChain::Log() {
    static std::vector<Recorded> log;
    return log;
}

CommandChain::CommandChain(const Handler first) {
    ClearCommandHandlers();
    DestroyDeferredCommands();
    Log().clear();
    RegisterCommandHandler(first);
    RegisterCommandHandler(EntityCommandDispatcher);
    RegisterCommandHandler(Record);
}

CommandChain::~CommandChain() {
    ClearCommandHandlers();
    DestroyDeferredCommands();
    Log().clear();
}

std::vector<std::string> CommandChain::Words() const {
    std::vector<std::string> out;
    for (const Recorded& r : Log()) {
        out.push_back(r.words);
    }
    return out;
}

}  // namespace entitytest
