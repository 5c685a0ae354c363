#pragma once

#include <cstdint>

#include "foundation/ZDefNode.h"
#include "foundation/ZHashedString.h"
#include "foundation/ZMap.h"

// Keeps every definition file loaded once: trees by the hashed name of their
// file name. A file that no stream source holds is cached as an empty tree, so
// it is not searched for again. Main thread only.
class ZDefinitionCache {
public:
    // Called once per file read, with the fresh tree (which it may change) and
    // the file name, before the tree is stored.
    using LoadCallback = void (*)(ZDefNode& root, ZHashedString fileName);

    explicit ZDefinitionCache(LoadCallback callback = nullptr) : m_callback(callback) {}

    // The process-wide cache of entity definitions, made on first use.
    static ZDefinitionCache* GetInstance();
    static void DestroyInstance();

    void SetLoadCallback(LoadCallback callback) { m_callback = callback; }
    LoadCallback GetLoadCallback() const { return m_callback; }

    // The cached tree of the file the id names, loading it (and calling the
    // callback) on the first request. The tree stays where it is until Clear.
    const ZDefNode& GetDefinitionFile(ZHashedString fileName);
    bool IsCached(ZHashedString fileName) const { return m_trees.Contains(fileName); }
    uint32_t Count() const { return m_trees.Count(); }
    // Drops every tree, so each file is read (and the callback run) again.
    void Clear() { m_trees.Clear(); }

private:
    LoadCallback m_callback;
    ZMap<ZHashedString, ZDefNode> m_trees;
};

// The tree of a definition file from the process-wide cache.
const ZDefNode& GetDefinitionFile(ZHashedString fileName);
