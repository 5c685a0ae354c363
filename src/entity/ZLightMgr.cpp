#include "entity/ZLightMgr.h"

#include "entity/ZEntityGameHooks.h"

ZLightMgr* ZLightMgr::Find() {
    static const ZHashedString kName("Light Manager");
    ZRTTIBase* object = FindGameManager(kName);
    return object != nullptr && object->IsA(StaticType()) ? static_cast<ZLightMgr*>(object) : nullptr;
}
