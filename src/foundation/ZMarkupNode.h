#pragma once

#include <cstddef>
#include <cstdint>

#include "foundation/ZArray.h"
#include "foundation/ZString.h"

// One attribute of a markup element, as written (no entity decoding).
struct ZMarkupAttribute {
    ZString name;
    ZString value;
};

// One element of markup text: its tag name, its attributes in document order,
// its child elements and the text runs found directly inside it. A node owns
// its attribute records and its children.
class ZMarkupNode {
public:
    ZMarkupNode() = default;
    explicit ZMarkupNode(const ZString& tagName) : name(tagName) {}
    ~ZMarkupNode() { Clear(); }
    ZMarkupNode(const ZMarkupNode&) = delete;
    ZMarkupNode& operator=(const ZMarkupNode&) = delete;

    // Frees the attribute records, then each child, and empties the arrays.
    void Clear();

    // The value of the first attribute of that name (byte for byte), or null.
    const ZString* FindAttribute(const char* attributeName) const;

    ZString name;
    ZArray<ZMarkupAttribute*> attributes;
    ZArray<ZMarkupNode*> children;
    ZArray<ZString> texts;
};

// Deepest element nesting the parser follows; the content of deeper elements
// is dropped with a log line, so hostile text cannot exhaust the stack.
inline constexpr uint32_t kMaxMarkupDepth = 256;

// Parses length bytes of markup (stopping early at a zero byte) and appends a
// new node for every top-level element to out; the caller owns them (free them
// with FreeMarkupNodes or hand them to BuildDefinitionNodes). Text runs between
// elements go to owner's texts when an owner is given and are dropped
// otherwise. Declarations and comments ("<?...>", "<!...>") are skipped. An
// element whose close tag is missing is taken as empty, and parsing goes on
// after its opening tag. Returns the number of nodes appended.
uint32_t ParseMarkupNode(ZArray<ZMarkupNode*>& out, const char* text, size_t length, ZMarkupNode* owner);

// Deletes every node of the array and empties it.
void FreeMarkupNodes(ZArray<ZMarkupNode*>& nodes);
