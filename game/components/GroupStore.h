#pragma once

#include <cstdint>

#include "entity/ZEntity.h"

class ZDataComponent;

// The game-wide store of group values: an entity of its own whose data
// component holds one datum per group key, under a fixed GUID, so its values
// are saved and restored like every other entity's state. Values are never
// removed: a key keeps its last value.
class GroupStore : public ZEntity {
public:
    static constexpr uint32_t kGUID = 0x80000003u;

    GroupStore();
    ~GroupStore() override;

    ZDataComponent* GetData() const { return m_data; }

    // Forgets every value and reads them back from the saved-state store
    // (the autosave's record, when there is one).
    void RestoreFromSavedState();
    // Writes the values into the saved-state store under the fixed GUID.
    void SaveToSavedState();

private:
    ZDataComponent* m_data = nullptr;  // owned by the entity
};

// The game's store, or null before the game has made it.
GroupStore* GetGroupStore();
