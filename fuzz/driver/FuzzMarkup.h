#pragma once

#include <string>

#include "foundation/ZArray.h"
#include "foundation/ZDefinitionFile.h"
#include "foundation/ZMarkupNode.h"

// The first definition node of a markup text; an empty node where the text
// holds none.
inline ZDefNode FromMarkup(const std::string& text) {
    ZArray<ZMarkupNode*> markup;
    ParseMarkupNode(markup, text.data(), text.size(), nullptr);
    ZArray<ZDefNode> nodes;
    BuildDefinitionNodes(nodes, markup);
    return nodes.IsEmpty() ? ZDefNode() : nodes[0];
}
