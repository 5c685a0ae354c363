#pragma once

#include "entity/ZSerialComponent.h"
#include "foundation/ZMap.h"

// Per entity, which section of the string files a local text key lives in
// ("Key", "Section"); dialog text asks it for the "loc" format.
class ZLocProxyComponent : public ZSerialComponent {
    Z_RTTI(ZLocProxyComponent, ZSerialComponent)

public:
    ZLocProxyComponent() = default;

    // Events; then, when the element has "Key", "Text" and "Section", the key
    // maps to the section (a later read of the same key replaces it). The
    // text itself always comes from the string files.
    void ReadDefinition(const ZDefNode& element) override;
    ZHashedString GetSerialName() const override {
        static const ZHashedString kind("LocProxy");
        return kind;
    }

    // The key's section; a key no definition named is added with the empty
    // name, which is returned.
    ZHashedString FindSection(ZHashedString key);

    ZMap<ZHashedString, ZHashedString> sections;
};
