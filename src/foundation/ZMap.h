#pragma once

#include <compare>
#include <cstdint>
#include <utility>

#include "foundation/ZHashedString.h"

// Key of the game's pair-keyed tables: ordered by the first name, then the
// second, each as a signed id. A record that carries more fields after the two
// names can derive from this; the extra fields take no part in the order.
struct NamePair {
    ZHashedString first;
    ZHashedString second;

    constexpr bool operator==(const NamePair& other) const {
        return first == other.first && second == other.second;
    }
    constexpr std::strong_ordering operator<=>(const NamePair& other) const {
        if (const auto c = first <=> other.first; c != 0) {
            return c;
        }
        return second <=> other.second;
    }
};

// One entry of a ZMap. Heights are those of the subtrees: 0 for a missing child,
// otherwise 1 + the larger height of that child.
template <typename K, typename V>
struct ZMapNode {
    const K key;
    V value;
    ZMapNode* left = nullptr;
    ZMapNode* right = nullptr;
    ZMapNode* parent = nullptr;
    int32_t leftHeight = 0;
    int32_t rightHeight = 0;

    ZMapNode(const K& k, const V& v) : key(k), value(v) {}
    explicit ZMapNode(const K& k) : key(k), value() {}
};

// The engine's ordered map: an AVL tree with parent links. Keys are ordered by
// their operator<, so hashed names and signed integers sort as signed values,
// unsigned keys (handles, thread ids) as unsigned ones, NamePair by both names.
// Not thread-safe; a shared map is guarded by its owner.
template <typename K, typename V>
class ZMap {
public:
    using Node = ZMapNode<K, V>;

    ZMap() = default;
    ZMap(const ZMap& other) { CopyFrom(other); }
    ZMap(ZMap&& other) noexcept : count(other.count), root(other.root) {
        other.count = 0;
        other.root = nullptr;
    }
    ~ZMap() { Clear(); }

    ZMap& operator=(const ZMap& other) {
        Assign(other);
        return *this;
    }
    ZMap& operator=(ZMap&& other) noexcept {
        if (this != &other) {
            Clear();
            std::swap(count, other.count);
            std::swap(root, other.root);
        }
        return *this;
    }

    uint32_t Count() const { return count; }
    bool IsEmpty() const { return count == 0; }
    Node* Root() { return root; }
    const Node* Root() const { return root; }

    // The node of the key, or null.
    Node* Find(const K& key) { return FindIn(root, key); }
    const Node* Find(const K& key) const { return FindIn(root, key); }
    bool Contains(const K& key) const { return Find(key) != nullptr; }

    // The value of the key. A miss answers one shared default value (read-only,
    // so no caller can change what every later miss sees) and adds nothing.
    const V& Get(const K& key) const {
        const Node* node = Find(key);
        return node != nullptr ? node->value : DefaultValue();
    }

    // The value slot of the key, inserting a default value first when missing.
    V& operator[](const K& key) {
        return FindOrAdd(key, [&] { return new Node(key); })->value;
    }

    // Stores a copy of the value under the key, replacing a present value.
    V& Insert(const K& key, const V& value) {
        bool added = false;
        Node* node = FindOrAdd(key, [&] {
            added = true;
            return new Node(key, value);
        });
        if (!added) {
            node->value = value;
        }
        return node->value;
    }

    // Erases the entry of the key; false when there is none.
    bool Remove(const K& key) {
        Node* n = Find(key);
        if (n == nullptr) {
            return false;
        }
        --count;

        // The in-order predecessor replaces the node, else the successor.
        Node* r = nullptr;
        if (n->left != nullptr) {
            r = Rightmost(n->left);
        } else if (n->right != nullptr) {
            r = Leftmost(n->right);
        }

        Node* start = nullptr;
        if (r == nullptr) {
            Relink(n, nullptr);
            start = n->parent;
        } else {
            start = r->parent == n ? r : r->parent;
            if (r->parent != n) {
                Node* child = r->left != nullptr ? r->left : r->right;
                if (r->parent->left == r) {
                    r->parent->left = child;
                } else {
                    r->parent->right = child;
                }
                if (child != nullptr) {
                    child->parent = r->parent;
                }
            }
            Relink(n, r);
            r->parent = n->parent;
            if (n->left != r) {
                r->left = n->left;
                if (r->left != nullptr) {
                    r->left->parent = r;
                }
            }
            if (n->right != r) {
                r->right = n->right;
                if (r->right != nullptr) {
                    r->right->parent = r;
                }
            }
        }
        delete n;

        RebalanceUpFrom(start, r);
        if (count == 0) {
            root = nullptr;
        }
        return true;
    }

    // Inserts every entry of other; keys present in both take other's value.
    void CopyFrom(const ZMap& other) {
        if (this == &other) {
            return;
        }
        for (const Node& node : other) {
            Insert(node.key, node.value);
        }
    }

    void Assign(const ZMap& other) {
        if (this == &other) {
            return;
        }
        Clear();
        CopyFrom(other);
    }

    void Clear() {
        DeleteTree(root);
        root = nullptr;
        count = 0;
    }

    static Node* Leftmost(Node* node) {
        while (node != nullptr && node->left != nullptr) {
            node = node->left;
        }
        return node;
    }
    static const Node* Leftmost(const Node* node) { return Leftmost(const_cast<Node*>(node)); }

    // The node after this one in key order, or null.
    static Node* Successor(Node* node) {
        if (node->right != nullptr) {
            return Leftmost(node->right);
        }
        while (node->parent != nullptr && node->parent->right == node) {
            node = node->parent;
        }
        return node->parent;
    }

    // A walk in increasing key order: starts before the first entry; Next moves
    // to the following entry and answers false once past the end (for good).
    class Iterator {
    public:
        explicit Iterator(ZMap& m) : map(&m) {}
        bool Next() {
            if (state == State::Before) {
                node = Leftmost(map->root);
                state = node != nullptr ? State::At : State::Before;
                return node != nullptr;
            }
            if (state == State::At) {
                node = Successor(node);
                if (node == nullptr) {
                    state = State::PastEnd;
                }
            }
            return state == State::At;
        }
        bool AtEntry() const { return state == State::At; }
        bool IsPastEnd() const { return state == State::PastEnd; }
        Node* GetNode() const { return state == State::At ? node : nullptr; }
        const K& Key() const { return node->key; }
        V& Value() const { return node->value; }

    private:
        enum class State { Before, At, PastEnd };
        ZMap* map;
        Node* node = nullptr;
        State state = State::Before;
    };

    // Range-for over the nodes in key order.
    template <typename N>
    class NodeIterator {
    public:
        explicit NodeIterator(N* n) : node(n) {}
        N& operator*() const { return *node; }
        N* operator->() const { return node; }
        NodeIterator& operator++() {
            node = Successor(const_cast<Node*>(node));
            return *this;
        }
        bool operator==(const NodeIterator& other) const { return node == other.node; }

    private:
        N* node;
    };
    NodeIterator<Node> begin() { return NodeIterator<Node>(Leftmost(root)); }
    NodeIterator<Node> end() { return NodeIterator<Node>(nullptr); }
    NodeIterator<const Node> begin() const { return NodeIterator<const Node>(Leftmost(root)); }
    NodeIterator<const Node> end() const { return NodeIterator<const Node>(nullptr); }

private:
    static const V& DefaultValue() {
        static const V value{};
        return value;
    }

    static Node* FindIn(Node* node, const K& key) {
        while (node != nullptr) {
            if (key < node->key) {
                node = node->left;
            } else if (node->key < key) {
                node = node->right;
            } else {
                return node;
            }
        }
        return nullptr;
    }
    static const Node* FindIn(const Node* node, const K& key) {
        return FindIn(const_cast<Node*>(node), key);
    }

    static Node* Rightmost(Node* node) {
        while (node->right != nullptr) {
            node = node->right;
        }
        return node;
    }

    static int32_t HeightOf(const Node* node) {
        if (node == nullptr) {
            return 0;
        }
        return 1 + (node->leftHeight > node->rightHeight ? node->leftHeight : node->rightHeight);
    }
    static void UpdateHeights(Node* node) {
        node->leftHeight = HeightOf(node->left);
        node->rightHeight = HeightOf(node->right);
    }

    // The node of the key; when missing, make() supplies one that is linked at
    // its leaf position, and the path above it is rebalanced.
    template <typename Make>
    Node* FindOrAdd(const K& key, Make make) {
        Node* parent = nullptr;
        Node** link = &root;
        while (*link != nullptr) {
            parent = *link;
            if (key < parent->key) {
                link = &parent->left;
            } else if (parent->key < key) {
                link = &parent->right;
            } else {
                return parent;
            }
        }
        Node* fresh = make();
        fresh->parent = parent;
        *link = fresh;
        ++count;
        RebalanceUpFrom(parent, nullptr);
        return fresh;
    }

    // Refreshes heights and balances from x up towards the root. Once a subtree
    // keeps its old height nothing above it changes, so the walk ends there;
    // but not before passing mustPass, a node moved from elsewhere whose stored
    // heights are stale.
    void RebalanceUpFrom(Node* x, const Node* mustPass) {
        bool mayStop = mustPass == nullptr;
        while (x != nullptr) {
            const int32_t before = HeightOf(x);
            Node* top = Rebalance(x);  // rotations keep the root current
            if (mayStop && HeightOf(top) == before) {
                return;
            }
            if (x == mustPass) {
                mayStop = true;
            }
            x = top->parent;
        }
    }

    // Points the link that led to node (its parent's, or the root) at other.
    void Relink(Node* node, Node* other) {
        Node* p = node->parent;
        if (p == nullptr) {
            root = other;
        } else if (p->left == node) {
            p->left = other;
        } else {
            p->right = other;
        }
    }

    // Heights of the node's children are current; the node's own are refreshed
    // here, then rotations restore the balance. Returns the subtree's new root.
    Node* Rebalance(Node* node) {
        UpdateHeights(node);
        const int32_t balance = node->rightHeight - node->leftHeight;
        if (balance == -2) {
            Node* l = node->left;
            if (l->rightHeight - l->leftHeight == 1) {
                RotateLeft(l);
            }
            return RotateRight(node);
        }
        if (balance == 2) {
            Node* r = node->right;
            if (r->rightHeight - r->leftHeight == -1) {
                RotateRight(r);
            }
            return RotateLeft(node);
        }
        return node;
    }

    Node* RotateLeft(Node* node) {
        Node* r = node->right;
        node->right = r->left;
        if (r->left != nullptr) {
            r->left->parent = node;
        }
        Relink(node, r);
        r->parent = node->parent;
        r->left = node;
        node->parent = r;
        UpdateHeights(node);
        UpdateHeights(r);
        return r;
    }

    Node* RotateRight(Node* node) {
        Node* l = node->left;
        node->left = l->right;
        if (l->right != nullptr) {
            l->right->parent = node;
        }
        Relink(node, l);
        l->parent = node->parent;
        l->right = node;
        node->parent = l;
        UpdateHeights(node);
        UpdateHeights(l);
        return l;
    }

    // Post-order: children first, then the node with its value.
    static void DeleteTree(Node* node) {
        if (node == nullptr) {
            return;
        }
        DeleteTree(node->left);
        DeleteTree(node->right);
        delete node;
    }

    uint32_t count = 0;
    Node* root = nullptr;
};
