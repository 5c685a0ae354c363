#include "entity/ZAIComponent.h"

#include "entity/ZCollisionPoint.h"
#include "framework/ZRuntimeRand.h"

namespace {

// 0 .. 1 inclusive, from the runtime generator.
float RandomUnit() { return static_cast<float>(RuntimeRand()) * 3.051851e-05f; }

}  // namespace

ZAIComponent::ZAIComponent()
    : thinkDelay(RandomUnit() * 0.25f), randomValue(RandomUnit()), probe(new ZCollisionPoint()) {}

ZAIComponent::~ZAIComponent() { delete probe; }
