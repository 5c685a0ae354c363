#include "game/components/GroupStore.h"

#include "entity/ZComponentLookup.h"
#include "entity/ZDataComponent.h"
#include "entity/ZEntityState.h"
#include "entity/ZGUIDComponent.h"
#include "foundation/ZStateStore.h"

namespace {

GroupStore* gGroupStore = nullptr;

}  // namespace

GroupStore::GroupStore() {
    m_data = ::AddComponent<ZDataComponent>(this);
    ::AddComponent<ZGUIDComponent>(this)->guid = kGUID;
    if (gGroupStore == nullptr) {
        gGroupStore = this;
    }
}

GroupStore::~GroupStore() {
    if (gGroupStore == this) {
        gGroupStore = nullptr;
    }
    m_data->ClearData();
}

void GroupStore::RestoreFromSavedState() {
    m_data->ClearData();
    RestoreEntityState(this, ZHashedString(""), 0);
}

void GroupStore::SaveToSavedState() { SaveEntityStateRecord(this); }

GroupStore* GetGroupStore() { return gGroupStore; }
