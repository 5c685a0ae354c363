#pragma once

#include <cstddef>
#include <cstdint>

#include "entity/ZComponentLookup.h"
#include "foundation/ZHashedString.h"
#include "foundation/ZMap.h"

class ZComponent;
class ZEntity;

// A component factory's table: kind names as definition files write them,
// each with the maker of the entity's component of that kind. Making is
// get-or-add, so a kind named twice (or two names of one class) gives one
// component that reads each element in turn.
class ZComponentKindTable {
public:
    using Maker = ZComponent* (*)(ZEntity* entity);
    struct Row {
        const char* kind;
        Maker make;
    };

    template <typename T>
    static ZComponent* Make(ZEntity* const entity) {
        return AddComponent<T>(entity);
    }

    // Fills the table from rows the first time; later calls do nothing.
    template <size_t N>
    void Fill(const Row (&rows)[N]) {
        if (!m_makers.IsEmpty()) return;
        for (const Row& row : rows) m_makers.Insert(ZHashedString(row.kind), row.make);
    }
    uint32_t Count() const { return m_makers.Count(); }
    // The entity's component of the kind, or null for no entity or a kind
    // the table does not hold.
    ZComponent* Create(ZEntity* const entity, const ZHashedString kind) const {
        if (entity == nullptr) return nullptr;
        const auto* node = m_makers.Find(kind);
        return node != nullptr && node->value != nullptr ? node->value(entity) : nullptr;
    }

private:
    ZMap<ZHashedString, Maker> m_makers;
};
