#include "foundation/ZDefinitionCache.h"

#include <utility>

#include "foundation/ZAppInfo.h"
#include "foundation/ZDefinitionFile.h"

namespace {
ZDefinitionCache* s_instance = nullptr;
}

ZDefinitionCache* ZDefinitionCache::GetInstance() {
    return GetOrCreateManager(s_instance);
}

void ZDefinitionCache::DestroyInstance() {
    DestroyManager(s_instance);
}

const ZDefNode& ZDefinitionCache::GetDefinitionFile(const ZHashedString fileName) {
    if (const auto* cached = m_trees.Find(fileName)) {
        return cached->value;
    }
    ZDefNode tree;
    const char* text = fileName.GetText();
    LoadDefinitionFile(tree, text);
    if (m_callback != nullptr) {
        m_callback(tree, fileName);
    }
    ZDefNode& stored = m_trees[fileName];
    stored = std::move(tree);
    return stored;
}

const ZDefNode& GetDefinitionFile(const ZHashedString fileName) {
    ZDefinitionCache* cache = ZDefinitionCache::GetInstance();
    return cache != nullptr ? cache->GetDefinitionFile(fileName) : ZDefNode::GetEmptyNode();
}
