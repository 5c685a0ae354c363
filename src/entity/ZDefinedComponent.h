#pragma once

#include <cstdint>

#include "entity/ZComponent.h"
#include "foundation/ZDefNode.h"
#include "foundation/ZHashedString.h"
#include "foundation/ZMap.h"

// A component that reads its settings from an element of a definition tree.
// Its "Event" children become named events; firing one runs the event's
// "Action" elements (command texts) and "Query" elements (conditions with
// "True" and "False" branches), in document order.
class ZDefinedComponent : public ZComponent {
    Z_RTTI(ZDefinedComponent, ZComponent)

public:
    ZDefinedComponent() = default;

    // Reads the component's settings. This base collects the events; a class
    // with settings of its own calls it from its own reader.
    virtual void ReadDefinition(const ZDefNode& element);
    // Runs after the entity's state has been restored into its components.
    virtual void PostLoadHook() { EmptyHook(); }

    // Runs the named event of the component, if it has one. The event runs
    // from a copy of its element, so its commands may delete the component
    // (and its whole entity) while it runs.
    static void FireEvent(ZDefinedComponent* component, ZHashedString name, uint32_t context, uint32_t other);
    bool HasEvent(ZHashedString name) const { return events.Contains(name); }

    // Event name -> a copy of the "Event" element that defined it.
    ZMap<ZHashedString, ZDefNode> events;
};

// Runs the "Action" and "Query" children of an "Event", "True" or "False"
// element, in order; other children are skipped. The component is only handed
// on to nested queries, never read, so it may be gone by then; the node must
// not belong to anything the commands can delete (pass a copy).
void RunEventElements(ZDefinedComponent* component, const ZDefNode& node, uint32_t context, uint32_t other);
// Runs the action's "Text" now, or queues it for the next fixed step when
// "Defer" reads "true" in any letter case.
void RunAction(const ZDefNode& action, uint32_t context, uint32_t other);
// Evaluates the query's condition and runs every "True" (or every "False")
// child of it.
void RunQuery(const ZDefNode& query, ZDefinedComponent* component, uint32_t context, uint32_t other);
