#pragma once

#include <cstdint>

#include "foundation/ZArray.h"
#include "foundation/ZHashedString.h"
#include "foundation/ZString.h"

// One-line command texts ("set Self Coins 3") split into words and offered to
// a chain of handlers: the engine's entity commands first, the game's script
// commands after them. Texts run at once or wait in a queue that runs once per
// fixed step. Main thread only.

// Takes the command when it knows the verb (answers true). Words[0] is the
// verb; the words belong to this one run and stay valid while it lasts.
// Context is the object on whose behalf it runs, other the event's second
// party; both are object handles, 0 for none.
using ZCommandHandler = bool (*)(const ZHashedString* verb, const ZArray<ZString>& words, uint32_t context,
                                 uint32_t other);

// Appends a handler; handlers are asked in registration order. A null handler
// or one already registered is not added again.
void RegisterCommandHandler(ZCommandHandler handler);
// Forgets every handler (shutdown, and tests that build their own chain).
void ClearCommandHandlers();
uint32_t GetCommandHandlerCount();

// Asks the handlers in order until one takes the command; whether one did.
bool DispatchCommand(const ZHashedString* verb, const ZArray<ZString>& words, uint32_t context, uint32_t other);

// Splits the text into words (quoted runs stay one word with their quotes;
// operators are words of their own) and dispatches it. Each run has its own
// words, so a handler that runs another text keeps its own. An empty or blank
// text, and a verb nobody takes, do nothing.
void RunCommandText(const ZString& text, uint32_t context, uint32_t other);
void RunCommandText(const char* text, uint32_t context, uint32_t other);

// The most texts the deferred queue holds; texts that queue more of
// themselves than run would otherwise grow it without end.
constexpr uint32_t kMaxDeferredCommands = 16384;

// Queues a copy of the text for the next RunDeferredCommands. A full queue
// drops the text, with one log line until the queue runs again.
void QueueDeferredCommand(const ZString& text, uint32_t context, uint32_t other);
// Runs the queue in order, including texts queued by the commands it runs,
// then empties it. Called once per fixed step.
void RunDeferredCommands();
uint32_t GetDeferredCommandCount();
// Drops every queued text and frees the queue (exit).
void DestroyDeferredCommands();
