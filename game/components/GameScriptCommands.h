#pragma once

#include <cstdint>

#include "foundation/ZArray.h"
#include "foundation/ZHashedString.h"
#include "foundation/ZString.h"

// The game's script verbs ("groupset Open", "setvel Self 0 -120",
// "playsound Chime 80 unique" ...), reached through the engine's command
// runners after the engine's own entity verbs. Words[0] is the verb; a word
// a command reads past the end of the words reads as empty text. A command
// whose objects are missing does nothing.

// The game's entry in the engine's command runners: runs the verb's command
// and answers true when the game knows the verb (whatever the command found
// to act on); false, running nothing, for a verb it does not know.
bool ExecuteScriptCommand(const ZHashedString* verb, const ZArray<ZString>& words, uint32_t context, uint32_t other);
// Fills the verb table on first use; later calls do nothing.
void RegisterScriptCommands();
// How many verbs the game knows.
uint32_t GetScriptCommandCount();
