// Dialog texts and dialog trees from untrusted data: the first line is
// expanded as a conversation text (bracket tokens with any format, brace
// tokens), the whole input, read as markup, is a "DialogProvider" tree that is
// talked through to its end, choosing options as the input's bytes say.
// Nothing may crash or hang.

#include <cstddef>
#include <cstdint>
#include <string>

#include "entity/ZCommandRunner.h"
#include "entity/ZDataComponent.h"
#include "entity/ZDialogConsumerComponent.h"
#include "entity/ZDialogProviderComponent.h"
#include "entity/ZDialogText.h"
#include "entity/ZEntity.h"
#include "entity/ZEntityCommands.h"
#include "entity/ZLocProxyComponent.h"
#include "driver/FuzzMarkup.h"

namespace {

const char* const kData =
    "<Data><Datum Name='Int' Type='Int' Value='7'/><Datum Name='Float' Type='Float' Value='3725.5'/>"
    "<Datum Name='Flag' Type='Bool' Value='true'/><Datum Name='Word' Type='String' Value='[Int]{img:a:b}'/>"
    "<Datum Name='Name' Type='HashedString' Value='Smith'/><Datum Name='Vec' Type='Vec3' Value='1 2 3'/></Data>";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 4096) {
        return 0;
    }
    static const bool ready = [] {
        RegisterCommandHandler(EntityCommandDispatcher);
        return true;
    }();
    (void)ready;

    const std::string input(reinterpret_cast<const char*>(data), size);
    ZEntity speaker;
    ZEntity listener;
    AddComponent<ZDataComponent>(&speaker)->ReadDefinition(FromMarkup(kData));
    if (size % 2 == 0) {
        AddComponent<ZLocProxyComponent>(&speaker);
    }
    ZDialogProviderComponent* provider = AddComponent<ZDialogProviderComponent>(&speaker);
    ZDialogConsumerComponent* consumer = AddComponent<ZDialogConsumerComponent>(&listener);

    ZString line = ZString::FromBytes(input.data(), static_cast<int32_t>(input.find('\n') == std::string::npos
                                                                              ? input.size()
                                                                              : input.find('\n')));
    ZString unbound = line;
    ExpandDialogText(provider, unbound);  // no consumer: tokens stay
    provider->consumer = consumer->GetHandle();
    ExpandDialogText(provider, line);

    provider->ReadDefinition(FromMarkup(input));
    if (provider->StartDialog()) {
        consumer->OpenDialog(provider);
        for (size_t turn = 0; turn < 64; ++turn) {
            const uint8_t byte = data[turn % size];
            consumer->MoveSelection((byte & 3) - 1);
            consumer->TickTypewriter();
            if (!consumer->Accept() && consumer->text.IsEmpty()) {
                break;
            }
        }
    }
    RunDeferredCommands();
    return 0;
}
