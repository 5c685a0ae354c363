// Start-up installs the engine's component factory and entity verbs, so a
// definition made during the run gets its components and its commands act.

#include <gtest/gtest.h>

#include "RunScenarios.h"
#include "entity/ZCommandRunner.h"
#include "entity/ZDataComponent.h"
#include "entity/ZEntity.h"
#include "entity/ZTimerComponent.h"
#include "foundation/ZDefinitionFile.h"
#include "foundation/ZMarkupNode.h"

namespace gametest {
namespace {

TEST(ZBaseGameRun, StartupInstallsTheEntityFactoryAndVerbs) {
    RunInChild([] {
        GameRun run;
        run.Configure("");
        TestGame& game = *run.game;
        game.quitAfterFrames = 1;
        bool checked = false;
        game.afterFrame = [&checked](TestGame&, int) {
            const std::string text =
                "<Entity><Data><Datum Name='Coins' Type='Int' Value='1'/></Data><Timer/></Entity>";
            ZArray<ZMarkupNode*> markup;
            ParseMarkupNode(markup, text.data(), text.size(), nullptr);
            ZArray<ZDefNode> nodes;
            BuildDefinitionNodes(nodes, markup);
            ZEntity entity;
            EXPECT_EQ(entity.CreateComponentsFromNode(nodes[0]), 2u);
            EXPECT_NE(GetComponent<ZTimerComponent>(&entity), nullptr);
            RunCommandText("inc Self Coins 2", entity.GetHandle(), 0);
            ZDatumEntry coins;
            EXPECT_TRUE(GetDatumByHandle(entity.GetHandle(), ZHashedString("Coins"), coins));
            EXPECT_EQ(coins.value.intValue, 3);
            EXPECT_EQ(GetCommandHandlerCount(), 1u);
            checked = true;
        };
        run.Run();
        EXPECT_TRUE(checked);
    });
}

}  // namespace
}  // namespace gametest
