#include "entity/ZLightComponent.h"

#include "entity/ZLightMgr.h"

ZLightComponent::ZLightComponent() {
    if (ZLightMgr* manager = ZLightMgr::Find()) {
        manager->lights.AddUnique(this);
    }
}

ZLightComponent::~ZLightComponent() {
    if (ZLightMgr* manager = ZLightMgr::Find()) {
        manager->lights.Remove(this);
    }
}
