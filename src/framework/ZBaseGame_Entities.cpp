// The game's entity collections: a list and a map of owned entities.

#include "entity/ZBasingComponent.h"
#include "entity/ZComponentLookup.h"
#include "entity/ZDeleteComponent.h"
#include "entity/ZEntity.h"
#include "entity/ZEntityState.h"
#include "entity/ZRenderableComponent.h"
#include "framework/ZBaseGame.h"
#include "menu/ZCinematicMgr.h"

namespace {

// Marks an entity whose delete component allows it; a drawn one goes dark at
// once, the deletion itself waits for the next fixed step.
void MarkForDeletion(ZEntity* entity) {
    ZDeleteComponent* deletion = GetComponent<ZDeleteComponent>(entity);
    if (deletion == nullptr || !deletion->mayBeDeleted) {
        return;
    }
    deletion->deletePending = true;
    if (GetComponent<ZRenderableComponent>(entity) != nullptr) {
        entity->SetAllComponentsEnabled(false);
    }
}

void SetDrawnEntityEnabled(ZEntity* entity, const bool enabled) {
    if (entity != nullptr && GetComponent<ZRenderableComponent>(entity) != nullptr) {
        entity->SetAllComponentsEnabled(enabled);
    }
}

void SaveAndDelete(ZEntity*& entity) {
    SaveEntityState(entity);
    delete entity;
    entity = nullptr;
}

}  // namespace

void ZBaseGame::ResetEntities(const bool mark) { FlushEntities(mark); }

void ZBaseGame::FlushEntities(bool /*mark*/) { FlushEntityList(false); }

void ZBaseGame::ClearEntities(bool /*mark*/) { FlushEntityList(false); }

bool ZBaseGame::ShowListedEntities() {
    SetListedEntitiesEnabled(true);
    return true;
}

void ZBaseGame::EndListedEntities() {
    FlushEntityList(false);
    GetCinematicMgr()->StopAll();
    SetListedEntitiesEnabled(false);
}

void ZBaseGame::FlushEntityList(const bool markOnly) {
    if (markOnly) {
        for (ZEntity* entity : m_entityList) {
            if (entity != nullptr) {
                MarkForDeletion(entity);
            }
        }
        return;
    }
    for (ZEntity*& entity : m_entityList) {
        if (entity != nullptr) {
            SaveAndDelete(entity);
        }
    }
    m_entityList.Resize(0);
}

void ZBaseGame::FlushEntityMap(const bool markOnly) {
    for (auto& node : m_entityMap) {
        if (node.value == nullptr) {
            continue;
        }
        if (markOnly) {
            MarkForDeletion(node.value);
        } else {
            SaveAndDelete(node.value);
        }
    }
    if (!markOnly) {
        m_entityMap.Clear();
    }
}

void ZBaseGame::SetListedEntitiesEnabled(const bool enabled) {
    for (ZEntity* entity : m_entityList) {
        SetDrawnEntityEnabled(entity, enabled);
    }
}

void ZBaseGame::SetMappedEntitiesEnabled(const bool enabled) {
    for (auto& node : m_entityMap) {
        SetDrawnEntityEnabled(node.value, enabled);
    }
}

void ZBaseGame::ProcessDeferredDeletions() {
    // The same index is examined again after a removal: the next entity moved into it.
    for (uint32_t i = 0; i < m_entityList.Count();) {
        ZEntity* entity = m_entityList[i];
        ZDeleteComponent* deletion = entity != nullptr ? GetComponent<ZDeleteComponent>(entity) : nullptr;
        if (deletion == nullptr || !deletion->deletePending) {
            ++i;
            continue;
        }
        if (ZBasingComponent* basing = GetComponent<ZBasingComponent>(entity)) {
            basing->DetachChildren();
            if (basing->parent != nullptr) {
                if (ZBasingComponent* carrier = GetComponent<ZBasingComponent>(basing->parent)) {
                    carrier->RemoveChild(entity);
                }
                basing->parent = nullptr;
                basing->heldRigidly = false;
            }
        }
        deletion->OnDelete();
        // The deletion may have changed the list; the entity is looked up again.
        const int32_t at = m_entityList.Find(entity);
        if (at >= 0) {
            m_entityList.RemoveAt(static_cast<uint32_t>(at));
            i = static_cast<uint32_t>(at) < i ? static_cast<uint32_t>(at) : i;
        }
        SaveAndDelete(entity);
    }
}
