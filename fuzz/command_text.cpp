// Command texts and conditions from untrusted text, as definitions and dialogs
// hand them to the runner: the first line runs as a command (and again
// deferred), the second is evaluated as an expression, and the whole input,
// read as markup, as a condition and as an event. Nothing may crash or hang.

#include <cstddef>
#include <cstdint>
#include <string>

#include "entity/ZCommandRunner.h"
#include "entity/ZComponentFactoryChain.h"
#include "entity/ZConditions.h"
#include "entity/ZDataComponent.h"
#include "entity/ZEngineComponentFactory.h"
#include "entity/ZEntity.h"
#include "entity/ZEntityCommands.h"
#include "entity/ZTimerComponent.h"
#include "driver/FuzzMarkup.h"

namespace {

// Two entities with the components the verbs reach; the script's functions
// run each other, themselves and the timers.
const char* const kWorld =
    "<Entity><GUID GUID='1'/><Data><Datum Name='Coins' Type='Int' Value='3'/>"
    "<Datum Name='Name' Type='String' Value='x'/></Data>"
    "<Script><Function Name='F'><Action Text='inc Self Coins 1'/><Action Text='run Self G'/></Function>"
    "<Function Name='G'><Query Text='Coins &lt; 100'><True><Action Text='run Self F'/></True></Query></Function>"
    "</Script><Timer><Timer Name='T' Duration='0.001' Looping='true'><OnElapsed><Action Text='run Self F'/>"
    "</OnElapsed></Timer></Timer><Allegiance/><Delete/><Renderable/><Checkpoint/></Entity>";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 4096) {
        return 0;
    }
    static const bool ready = [] {
        RegisterComponentFactory(CreateComponentByName);
        RegisterCommandHandler(EntityCommandDispatcher);
        return true;
    }();
    (void)ready;

    const std::string input(reinterpret_cast<const char*>(data), size);
    const size_t firstEnd = input.find('\n');
    const std::string command = input.substr(0, firstEnd);
    const std::string rest = firstEnd == std::string::npos ? std::string() : input.substr(firstEnd + 1);
    const std::string expression = rest.substr(0, rest.find('\n'));

    ZEntity self;
    ZEntity other;
    const ZDefNode world = FromMarkup(kWorld);
    self.CreateComponentsFromNode(world);
    other.CreateComponentsFromNode(world);
    const uint32_t s = self.GetHandle();
    const uint32_t o = other.GetHandle();

    RunCommandText(command.c_str(), s, o);
    QueueDeferredCommand(ZString(command.c_str()), o, s);
    RunDeferredCommands();
    EvaluateExpressionText(ZString(expression.c_str()), s, o);

    const ZDefNode node = FromMarkup(input);
    EvaluateCondition(node, s, o);
    if (ZDataComponent* blackboard = GetComponent<ZDataComponent>(&self)) {
        blackboard->ReadDefinition(node);
        ZDefinedComponent::FireEvent(blackboard, ZHashedString(node.GetAttribute(ZHashedString("Name")).GetText()), s, o);
    }
    if (ZTimerComponent* timers = GetComponent<ZTimerComponent>(&self)) {
        timers->Update(0.5f, 2);
    }
    RunDeferredCommands();
    return 0;
}
