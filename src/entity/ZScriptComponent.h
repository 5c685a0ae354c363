#pragma once

#include <cstdint>

#include "entity/ZSerialComponent.h"

// Named functions written in an entity's definition: each "Function" element
// ("Name") holds actions and queries and runs by name ("run Self Open").
// "OnLoad" elements run when the component is loaded.
class ZScriptComponent : public ZSerialComponent {
    Z_RTTI(ZScriptComponent, ZSerialComponent)

public:
    ZScriptComponent() = default;

    // Events; then every child and attribute is added to the stored script
    // (a second load adds to the first) and every stored "OnLoad" runs with
    // the component as context and no other object.
    void ReadDefinition(const ZDefNode& element) override;
    ZHashedString GetSerialName() const override;

    // Runs every "Function" whose "Name" equals the name (ignoring case), in
    // document order; none matching does nothing.
    void RunFunction(const ZString& name, uint32_t context, uint32_t other);
    // Runs the actions and queries of one element.
    void RunElements(const ZDefNode& element, uint32_t context, uint32_t other);
    // Runs every stored "OnFullyLoaded" element, once the entity's state has
    // been restored.
    void RunFullyLoaded(uint32_t context, uint32_t other);

    const ZDefNode& GetScript() const { return m_script; }

private:
    // Runs every stored child of that name; the script may delete this
    // component while it runs, so each runs from a copy.
    void RunChildren(ZHashedString name, uint32_t context, uint32_t other);

    ZDefNode m_script;
};
