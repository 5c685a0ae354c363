#include "entity/ZLocProxyComponent.h"

void ZLocProxyComponent::ReadDefinition(const ZDefNode& element) {
    ZDefinedComponent::ReadDefinition(element);
    static const ZHashedString kKey("Key");
    static const ZHashedString kText("Text");
    static const ZHashedString kSection("Section");
    if (element.flag != 0 || !element.HasAttribute(kKey) || !element.HasAttribute(kText) ||
        !element.HasAttribute(kSection)) {
        return;
    }
    sections.Insert(ZHashedString(element.GetAttribute(kKey).GetText()),
                    ZHashedString(element.GetAttribute(kSection).GetText()));
}

ZHashedString ZLocProxyComponent::FindSection(const ZHashedString key) {
    if (const auto* node = sections.Find(key)) {
        return node->value;
    }
    static const ZHashedString kEmpty("");
    return sections.Insert(key, kEmpty);
}
