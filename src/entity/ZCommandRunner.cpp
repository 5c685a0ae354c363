#include "entity/ZCommandRunner.h"

#include "foundation/ZLog.h"
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
bool g_reportedFullQueue = false;
uint32_t g_depth = 0;

// A script function that runs itself would otherwise recurse until the stack
// runs out.
constexpr uint32_t kMaxNesting = 64;
// A deferred text that queues itself would otherwise hold the fixed step for
// ever: past this many texts in one pass, the rest wait for the next pass.
constexpr uint32_t kMaxDeferredPerPass = 4096;

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
    if (g_depth >= kMaxNesting) {
        ZLog::Printf("Command '%s' not run: commands nested more than %u deep (a script that runs itself?)",
                     text.GetText(), kMaxNesting);
        return;
    }
    const ZHashedString verb(words[0].GetText());
    ++g_depth;
    DispatchCommand(&verb, words, context, other);
    --g_depth;
}

void RunCommandText(const char* const text, const uint32_t context, const uint32_t other) {
    if (text != nullptr && text[0] != '\0') {
        RunCommandText(ZString(text), context, other);
    }
}

void QueueDeferredCommand(const ZString& text, const uint32_t context, const uint32_t other) {
    if (Queue().Count() >= kMaxDeferredCommands) {
        if (!g_reportedFullQueue) {
            ZLog::Printf("Deferred commands: the queue holds %u texts; '%s' and later texts are dropped "
                         "(texts that queue themselves?)",
                         kMaxDeferredCommands, text.GetText());
            g_reportedFullQueue = true;
        }
        return;
    }
    Queue().PushBack(DeferredCommand{text, context, other});
}

void RunDeferredCommands() {
    // A command that runs the queue itself would run its own entry again.
    if (g_runningQueue) {
        return;
    }
    g_runningQueue = true;
    g_reportedFullQueue = false;
    uint32_t i = 0;
    for (; i < Queue().Count() && i < kMaxDeferredPerPass; ++i) {
        // A copy: the commands may queue more texts and move the storage.
        const DeferredCommand command = Queue()[i];
        RunCommandText(command.text, command.context, command.other);
    }
    if (i < Queue().Count()) {
        ZLog::Printf("Deferred commands: %u texts left for the next step (texts that queue themselves?)",
                     Queue().Count() - i);
        Queue().RemoveRange(0, i);
    } else {
        Queue().Resize(0);
    }
    g_runningQueue = false;
}

uint32_t GetDeferredCommandCount() { return Queue().Count(); }

void DestroyDeferredCommands() {
    Queue().Clear();
    g_reportedFullQueue = false;
}
