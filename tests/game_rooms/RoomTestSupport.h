#pragma once

// Definition files written into a temporary folder that the stream manager
// reads, and the engine's component factory, for tests that make entities
// from files as the game does.

#include <gtest/gtest.h>

#include <string>

#include "entity/ZComponentFactoryChain.h"
#include "entity/ZEngineComponentFactory.h"
#include "foundation/ZDefinitionCache.h"
#include "foundation/ZDefinitionFile.h"
#include "foundation/ZMarkupNode.h"
#include "foundation/ZStreamMgr.h"
#include "support/TempDir.h"

namespace roomtest {

// The definition tree of one markup element.
inline ZDefNode Markup(const std::string& text) {
    ZArray<ZMarkupNode*> markup;
    ParseMarkupNode(markup, text.data(), text.size(), nullptr);
    ZArray<ZDefNode> nodes;
    BuildDefinitionNodes(nodes, markup);
    EXPECT_EQ(nodes.Count(), 1u) << text;
    return nodes.Count() == 1 ? nodes[0] : ZDefNode();
}

// The engine's component kinds, registered once for the whole program (the
// chain never shrinks).
inline void UseEngineComponents() {
    static const bool registered = [] {
        RegisterComponentFactory(CreateComponentByName);
        return true;
    }();
    (void)registered;
}

// A folder of definition files mounted first in the stream manager.
class DefinitionFolder {
public:
    DefinitionFolder() {
        UseEngineComponents();
        ZStreamMgr::GetInstance()->AddDirectorySource(m_dir.Path().string().c_str());
    }
    ~DefinitionFolder() {
        ZDefinitionCache::DestroyInstance();
        ZStreamMgr::DestroyInstance();
    }
    DefinitionFolder(const DefinitionFolder&) = delete;
    DefinitionFolder& operator=(const DefinitionFolder&) = delete;

    // Writes the markup as a definition file and forgets cached trees.
    void Write(const std::string& name, const std::string& markup) {
        EXPECT_TRUE(SaveDefinitionFile(Markup(markup), m_dir.File(name).c_str())) << name;
        ZDefinitionCache::GetInstance()->Clear();
    }
    const korvtest::TempDir& Dir() const { return m_dir; }

private:
    korvtest::TempDir m_dir;
};

}  // namespace roomtest
