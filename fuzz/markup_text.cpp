// Markup text from untrusted bytes: the parser must stay inside the bytes it
// is given, bound its nesting, and hand back a tree that converts into
// definition nodes.

#include <cstddef>
#include <cstdint>

#include "foundation/ZDefinitionFile.h"
#include "foundation/ZMarkupNode.h"

namespace {

void Check(const ZMarkupNode& node, const uint32_t depth) {
    // Every node has a name, and nesting never passes the parser's limit.
    if (node.name.IsEmpty() || depth >= kMaxMarkupDepth) {
        __builtin_trap();
    }
    for (const ZMarkupNode* child : node.children) {
        Check(*child, depth + 1);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Elements without close tags make the search quadratic; keep runs quick.
    if (size > 1 << 14) {
        return 0;
    }
    ZMarkupNode owner;
    const uint32_t made = ParseMarkupNode(owner.children, reinterpret_cast<const char*>(data), size, &owner);
    if (made != owner.children.Count()) {
        __builtin_trap();
    }
    for (const ZMarkupNode* node : owner.children) {
        Check(*node, 0);
    }
    ZArray<ZDefNode> nodes;
    BuildDefinitionNodes(nodes, owner.children);
    if (nodes.Count() != made || !owner.children.IsEmpty()) {
        __builtin_trap();
    }
    return 0;
}
