#include "entity/ZEngineComponentFactory.h"

ZComponent* CreateComponentByName(ZEntity* /*entity*/, ZHashedString /*kind*/) { return nullptr; }
