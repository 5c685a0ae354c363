#include "entity/ZLifetimeComponent.h"

#include "framework/ZRuntimeRand.h"

// 0 .. 2 pi inclusive, from the runtime generator.
ZLifetimeComponent::ZLifetimeComponent() : angle(static_cast<float>(RuntimeRand()) * 3.051851e-05f * 6.2831853f) {}
