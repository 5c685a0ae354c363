#include "entity/ZCommandRunner.h"

#include "foundation/ZTokenizer.h"

namespace {

struct DeferredCommand {
    ZString text;
    uint32_t context = 0;
    uint32_t other = 0;
};

ZArray<ZCommandHandler>& Handlers() {
    static ZArray<ZCommandHandler> handlers;
    return handlers;
}

ZArray<DeferredCommand>& Queue() {
    static ZArray<DeferredCommand> queue;
    return queue;
}

bool g_runningQueue = false;

}  // namespace

void RegisterCommandHandler(const ZCommandHandler handler) {
    if (handler != nullptr && !Handlers().Contains(handler)) {
        Handlers().PushBack(handler);
    }
}

void ClearCommandHandlers() { Handlers().Clear(); }

uint32_t GetCommandHandlerCount() { return Handlers().Count(); }

bool DispatchCommand(const ZHashedString* const verb, const ZArray<ZString>& words, const uint32_t context,
                     const uint32_t other) {
    // By index: a handler may register another while it runs.
    for (uint32_t i = 0; i < Handlers().Count(); ++i) {
        const ZCommandHandler handler = Handlers()[i];
        if (handler != nullptr && handler(verb, words, context, other)) {
            return true;
        }
    }
    return false;
}

void RunCommandText(const ZString& text, const uint32_t context, const uint32_t other) {
    if (text.IsEmpty()) {
        return;
    }
    if (GetOperatorTokens().IsEmpty()) {
        InitOperatorTokens();
    }
    ZArray<ZString> words;
    TokenizeExpression(text, words);
    if (words.IsEmpty()) {
        return;
    }
    const ZHashedString verb(words[0].GetText());
    DispatchCommand(&verb, words, context, other);
}

void RunCommandText(const char* const text, const uint32_t context, const uint32_t other) {
    if (text != nullptr && text[0] != '\0') {
        RunCommandText(ZString(text), context, other);
    }
}

void QueueDeferredCommand(const ZString& text, const uint32_t context, const uint32_t other) {
    Queue().PushBack(DeferredCommand{text, context, other});
}

void RunDeferredCommands() {
    // A command that runs the queue itself would run its own entry again.
    if (g_runningQueue) {
        return;
    }
    g_runningQueue = true;
    for (uint32_t i = 0; i < Queue().Count(); ++i) {
        // A copy: the commands may queue more texts and move the storage.
        const DeferredCommand command = Queue()[i];
        RunCommandText(command.text, command.context, command.other);
    }
    Queue().Resize(0);
    g_runningQueue = false;
}

uint32_t GetDeferredCommandCount() { return Queue().Count(); }

void DestroyDeferredCommands() { Queue().Clear(); }
