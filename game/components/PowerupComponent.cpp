#include "game/components/PowerupComponent.h"

#include <cstddef>
#include <iterator>

namespace {

struct ItemKind {
    const char* make;
    const char* models[4];  // null-terminated
};

// Kind numbers are the table's order from 1, models count from 1 within a kind.
const ItemKind kItems[] = {
    {"aura", {"red", "blue", "green", "yellow"}},
    {"boots", {"highjump", "doublejump", "spiked", nullptr}},
    {"gloves", {"climbing", nullptr, nullptr, nullptr}},
    {"mask", {"hidden", nullptr, nullptr, nullptr}},
    {"badge", {"pass", nullptr, nullptr, nullptr}},
    {"suit", {"swimming", "toxic", nullptr, nullptr}},
    {"key", {"master", nullptr, nullptr, nullptr}},
    {"pass", {"arc", "styx", nullptr, nullptr}},
    {"trinket", {"necklace", nullptr, nullptr, nullptr}},
};

// Whole words in ASCII letter case only, whatever the locale.
bool SameWord(const char* a, const char* b) {
    for (;; ++a, ++b) {
        char x = *a;
        char y = *b;
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x + 32);
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y + 32);
        if (x != y) return false;
        if (x == 0) return true;
    }
}

}  // namespace

uint32_t PowerupComponent::LookUpId(const char* const make, const char* const model) {
    if (make == nullptr || model == nullptr) {
        return 0;
    }
    for (size_t kind = 0; kind < std::size(kItems); ++kind) {
        if (!SameWord(make, kItems[kind].make)) {
            continue;
        }
        for (size_t i = 0; i < std::size(kItems[kind].models) && kItems[kind].models[i] != nullptr; ++i) {
            if (SameWord(model, kItems[kind].models[i])) {
                return static_cast<uint32_t>(((kind + 1) << 16) | (i + 1));
            }
        }
        return 0;  // the first kind that matches decides
    }
    return 0;
}

void PowerupComponent::ReadDefinition(const ZDefNode& element) {
    static const ZHashedString kMake("Make");
    static const ZHashedString kModel("Model");
    ZSerialComponent::ReadDefinition(element);
    if (!element.HasAttribute(kMake) || !element.HasAttribute(kModel)) {
        return;
    }
    if (const uint32_t id = LookUpId(element.GetAttribute(kMake).GetText(), element.GetAttribute(kModel).GetText())) {
        powerupId = id;
    }
}
