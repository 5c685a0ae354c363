#pragma once

// Small helpers of the actor components' tests: definition elements from
// markup text, a binding that records what a parameter source sets, and a
// command handler that records the texts events run.

#include <string>
#include <vector>

#include "foundation/ZArray.h"
#include "foundation/ZDefNode.h"
#include "foundation/ZDefinitionFile.h"
#include "foundation/ZMarkupNode.h"
#include "foundation/ZVector4.h"
#include "renderer/ZEffectParameter.h"

namespace actortest {

inline ZDefNode Markup(const std::string& text) {
    ZArray<ZMarkupNode*> markup;
    ParseMarkupNode(markup, text.data(), text.size(), nullptr);
    ZArray<ZDefNode> nodes;
    BuildDefinitionNodes(nodes, markup);
    return nodes.Count() == 1 ? nodes[0] : ZDefNode();
}

struct RecordedBinding : ZEffectParameter {
    explicit RecordedBinding(const char* parameterName) : ZEffectParameter(nullptr, parameterName, kMatrix, 1) {}
    void SetMatrix(const ZMatrix4& value) override { matrix = value; }
    void SetFloat(const float value) override { number = value; }
    void SetVector(const ZVector4& value) override { vector = value; }
    void SetTexture(const ZHashedString textureName) override { texture = textureName; }
    ZMatrix4 matrix;
    float number = -1.0f;
    ZVector4 vector{-1.0f, -1.0f, -1.0f, -1.0f};
    ZHashedString texture;
};

}  // namespace actortest
