#include "entity/ZComponentFactoryChain.h"

ZComponentFactoryChain& GetComponentFactoryChain() {
    static ZComponentFactoryChain chain;
    return chain;
}

void RegisterComponentFactory(const ZComponentFactory factory) {
    GetComponentFactoryChain().Register(factory);
}

ZComponent* CreateComponentFromFactories(ZEntity* entity, const ZHashedString kind) {
    return GetComponentFactoryChain().Create(entity, kind);
}
