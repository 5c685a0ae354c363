#pragma once

#include <cstdint>

#include "foundation/ZArray.h"
#include "foundation/ZHashedString.h"
#include "foundation/ZMap.h"
#include "foundation/ZString.h"

// One element of a definition tree: an element name, named text attributes and
// ordered children. Every name is a hashed name, so lookups compare integers.
// Trees come from definition files, from markup text and from the saved-state
// store; components and game code read their settings from them.
class ZDefNode {
public:
    using AttributeMap = ZMap<ZHashedString, ZString>;

    ZDefNode() = default;
    explicit ZDefNode(ZHashedString elementName) : name(elementName) {}
    // Copies are deep: flag, name, every attribute and every child. A node may
    // be assigned one of its own descendants (node = node.children[0]).
    ZDefNode(const ZDefNode& other) = default;
    ZDefNode(ZDefNode&& other) noexcept = default;
    ZDefNode& operator=(const ZDefNode& other);
    ZDefNode& operator=(ZDefNode&& other) noexcept;
    ~ZDefNode() = default;

    void Swap(ZDefNode& other) noexcept;

    // Drops every attribute and child and gives the node the none name.
    void Reset();
    // Drops every attribute and child; the name stays.
    void Clear();

    // Empty means no attributes and no children (the name does not count).
    bool IsEmpty() const { return attributes.IsEmpty() && children.IsEmpty(); }

    // The value of an attribute, or a shared empty text when it is missing.
    const ZString& GetAttribute(ZHashedString key) const { return attributes.Get(key); }
    bool HasAttribute(ZHashedString key) const { return attributes.Contains(key); }
    // Sets or replaces an attribute.
    void SetAttribute(ZHashedString key, const ZString& value) { attributes.Insert(key, value); }

    // Index of the first child at or after start named id; the child count when
    // there is none, and start itself when start is not below the count.
    uint32_t FindChildIndex(uint32_t start, ZHashedString id) const;
    // The first child named id at or after start, or the shared empty node.
    const ZDefNode& FindChild(ZHashedString id, uint32_t start = 0) const;
    // Copies of every child named id, in order.
    ZArray<ZDefNode> FindChildren(ZHashedString id) const;

    void AddChild(const ZDefNode& child) { children.PushBack(child); }
    void AddChild(ZDefNode&& child) { children.PushBack(static_cast<ZDefNode&&>(child)); }
    void AppendChildren(const ZArray<ZDefNode>& nodes) { children.Append(nodes); }
    // Later children move down one slot; an index out of range does nothing.
    void RemoveChild(uint32_t index) { children.RemoveAt(index); }

    // The same name, the same attributes (keys and texts) and equal children in
    // the same order. The flag is not compared.
    bool operator==(const ZDefNode& other) const;

    // A read-only node with no name, attributes or children, for lookups that
    // find nothing. Its flag is 1; every other node's is 0.
    static const ZDefNode& GetEmptyNode();

    // Walks the children named one id, in order.
    class ChildIterator {
    public:
        ChildIterator(const ZDefNode& parent, ZHashedString id) : m_node(&parent), m_id(id) {}
        // The next matching child, or null once there are no more.
        const ZDefNode* Next();

    private:
        const ZDefNode* m_node;
        ZHashedString m_id;
        uint32_t m_next = 0;
    };

    uint8_t flag = 0;
    ZHashedString name;  // the element name
    AttributeMap attributes;
    ZArray<ZDefNode> children;
};
