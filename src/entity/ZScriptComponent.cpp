#include "entity/ZScriptComponent.h"

ZHashedString ZScriptComponent::GetSerialName() const {
    static const ZHashedString kind("Script");
    return kind;
}

void ZScriptComponent::ReadDefinition(const ZDefNode& element) {
    ZDefinedComponent::ReadDefinition(element);
    m_script.AppendChildren(element.children);
    for (const auto& attribute : element.attributes) {
        m_script.SetAttribute(attribute.key, attribute.value);
    }
    static const ZHashedString kOnLoad("OnLoad");
    RunChildren(kOnLoad, GetHandle(), 0);
}

void ZScriptComponent::RunChildren(const ZHashedString name, const uint32_t context, const uint32_t other) {
    // The matching elements are taken first: once a command deletes this
    // component, m_script is gone, so nothing of it is read afterwards.
    const ZArray<ZDefNode> matches = m_script.FindChildren(name);
    for (const ZDefNode& child : matches) {
        RunEventElements(this, child, context, other);
    }
}

void ZScriptComponent::RunFunction(const ZString& name, const uint32_t context, const uint32_t other) {
    static const ZHashedString kFunction("Function");
    static const ZHashedString kName("Name");
    ZArray<ZDefNode> matches;
    for (const ZDefNode& child : m_script.children) {
        if (child.name == kFunction && child.GetAttribute(kName).EqualsNoCase(name)) {
            matches.PushBack(child);
        }
    }
    for (const ZDefNode& function : matches) {
        RunEventElements(this, function, context, other);
    }
}

void ZScriptComponent::RunElements(const ZDefNode& element, const uint32_t context, const uint32_t other) {
    const ZDefNode copy(element);
    RunEventElements(this, copy, context, other);
}

void ZScriptComponent::RunFullyLoaded(const uint32_t context, const uint32_t other) {
    static const ZHashedString kOnFullyLoaded("OnFullyLoaded");
    RunChildren(kOnFullyLoaded, context, other);
}
