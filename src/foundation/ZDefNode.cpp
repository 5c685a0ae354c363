#include "foundation/ZDefNode.h"

#include <utility>

ZDefNode& ZDefNode::operator=(const ZDefNode& other) {
    // Copy first: other may live inside this node's children.
    if (this != &other) {
        ZDefNode copy(other);
        Swap(copy);
    }
    return *this;
}

ZDefNode& ZDefNode::operator=(ZDefNode&& other) noexcept {
    if (this != &other) {
        ZDefNode taken(std::move(other));
        Swap(taken);
    }
    return *this;
}

void ZDefNode::Swap(ZDefNode& other) noexcept {
    std::swap(flag, other.flag);
    std::swap(name, other.name);
    std::swap(attributes, other.attributes);
    std::swap(children, other.children);
}

void ZDefNode::Reset() {
    Clear();
    name = ZHashedString::None();
}

void ZDefNode::Clear() {
    attributes.Clear();
    children.Clear();
}

uint32_t ZDefNode::FindChildIndex(const uint32_t start, const ZHashedString id) const {
    const uint32_t count = children.Count();
    if (start >= count) {
        return start;
    }
    for (uint32_t i = start; i < count; ++i) {
        if (children[i].name == id) {
            return i;
        }
    }
    return count;
}

const ZDefNode& ZDefNode::FindChild(const ZHashedString id, const uint32_t start) const {
    const uint32_t at = FindChildIndex(start, id);
    return at < children.Count() ? children[at] : GetEmptyNode();
}

ZArray<ZDefNode> ZDefNode::FindChildren(const ZHashedString id) const {
    ZArray<ZDefNode> found;
    for (const ZDefNode& child : children) {
        if (child.name == id) {
            found.PushBack(child);
        }
    }
    return found;
}

bool ZDefNode::operator==(const ZDefNode& other) const {
    if (name != other.name || attributes.Count() != other.attributes.Count() ||
        children.Count() != other.children.Count()) {
        return false;
    }
    auto mine = attributes.begin();
    for (auto theirs = other.attributes.begin(); theirs != other.attributes.end(); ++theirs, ++mine) {
        if (mine->key != theirs->key || !(mine->value == theirs->value)) {
            return false;
        }
    }
    for (uint32_t i = 0; i < children.Count(); ++i) {
        if (!(children[i] == other.children[i])) {
            return false;
        }
    }
    return true;
}

const ZDefNode& ZDefNode::GetEmptyNode() {
    static const ZDefNode empty = [] {
        ZDefNode node;
        node.flag = 1;
        return node;
    }();
    return empty;
}

const ZDefNode* ZDefNode::ChildIterator::Next() {
    const uint32_t at = m_node->FindChildIndex(m_next, m_id);
    if (at >= m_node->children.Count()) {
        m_next = at;
        return nullptr;
    }
    m_next = at + 1;
    return &m_node->children[at];
}
