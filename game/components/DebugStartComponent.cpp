#include "game/components/DebugStartComponent.h"

#include <cstdlib>

#include "foundation/ZHandleRegistry.h"
#include "game/world/KorvanthGame.h"

namespace {

// The game sorts its debug starts by this (0 for a handle that is no longer one).
int32_t PriorityOf(const uint32_t handle) {
    const auto* const start = DynamicCast<DebugStartComponent>(FindObjectByHandle(handle));
    return start != nullptr ? start->priority : 0;
}

}  // namespace

DebugStartComponent::DebugStartComponent() {
    KorvanthGame::GetDebugStartPriority() = PriorityOf;
    if (KorvanthGame* const game = KorvanthGame::Get()) {
        game->GetDebugStarts().PushBack(GetHandle());
    }
}

DebugStartComponent::~DebugStartComponent() {
    KorvanthGame* const game = KorvanthGame::Get();
    if (game == nullptr) {
        return;
    }
    ZArray<uint32_t>& starts = game->GetDebugStarts();
    ZArray<uint32_t> kept;
    for (const uint32_t handle : starts) {
        if (FindObjectByHandle(handle) != this) {
            kept.PushBack(handle);
        }
    }
    starts = kept;
}

void DebugStartComponent::ReadDefinition(const ZDefNode& element) {
    ZDefinedComponent::ReadDefinition(element);
    static const ZHashedString kPriority("Priority");
    if (element.HasAttribute(kPriority)) {
        priority = static_cast<int32_t>(std::strtol(element.GetAttribute(kPriority).GetText(), nullptr, 10));
    }
}

DebugStartComponent* FindBestDebugStart() {
    KorvanthGame* const game = KorvanthGame::Get();
    if (game == nullptr) {
        return nullptr;
    }
    DebugStartComponent* best = nullptr;
    for (const uint32_t handle : game->GetDebugStarts()) {
        auto* const start = DynamicCast<DebugStartComponent>(FindObjectByHandle(handle));
        if (start != nullptr && (best == nullptr || start->priority > best->priority)) {
            best = start;
        }
    }
    return best;
}
