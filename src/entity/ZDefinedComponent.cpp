#include "entity/ZDefinedComponent.h"

#include "entity/ZCommandRunner.h"
#include "entity/ZConditions.h"

void ZDefinedComponent::ReadDefinition(const ZDefNode& element) {
    static const ZHashedString kEvent("Event");
    static const ZHashedString kName("Name");
    for (const ZDefNode& child : element.children) {
        if (child.name != kEvent || !child.HasAttribute(kName)) {
            continue;
        }
        // A later event of the same name replaces the earlier one.
        events[ZHashedString(child.GetAttribute(kName).GetText())] = child;
    }
}

void ZDefinedComponent::FireEvent(ZDefinedComponent* const component, const ZHashedString name, const uint32_t context,
                                  const uint32_t other) {
    if (component == nullptr) {
        return;
    }
    const auto* found = component->events.Find(name);
    if (found == nullptr) {
        return;
    }
    const ZDefNode event(found->value);
    RunEventElements(component, event, context, other);
}

void RunEventElements(ZDefinedComponent* const component, const ZDefNode& node, const uint32_t context,
                      const uint32_t other) {
    static const ZHashedString kAction("Action");
    static const ZHashedString kQuery("Query");
    for (const ZDefNode& child : node.children) {
        if (child.name == kAction) {
            RunAction(child, context, other);
        } else if (child.name == kQuery) {
            RunQuery(child, component, context, other);
        }
    }
}

void RunAction(const ZDefNode& action, const uint32_t context, const uint32_t other) {
    static const ZHashedString kText("Text");
    static const ZHashedString kDefer("Defer");
    const ZString& text = action.GetAttribute(kText);
    if (action.HasAttribute(kDefer) && action.GetAttribute(kDefer).EqualsNoCase("true")) {
        QueueDeferredCommand(text, context, other);
    } else {
        RunCommandText(text, context, other);
    }
}

void RunQuery(const ZDefNode& query, ZDefinedComponent* const component, const uint32_t context,
              const uint32_t other) {
    static const ZHashedString kTrue("True");
    static const ZHashedString kFalse("False");
    const ZHashedString branch = EvaluateCondition(query, context, other) ? kTrue : kFalse;
    for (const ZDefNode& child : query.children) {
        if (child.name == branch) {
            RunEventElements(component, child, context, other);
        }
    }
}
