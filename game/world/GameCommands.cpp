#include "game/world/GameCommands.h"

#include <set>

#include "foundation/ZLog.h"

bool ExecuteScriptCommand(const ZHashedString* const verb, const ZArray<ZString>& words, uint32_t /*context*/,
                          uint32_t /*other*/) {
    static std::set<uint32_t> reported;
    if (verb != nullptr && reported.insert(verb->GetId()).second) {
        ZLog::Printf("Script command \"%s\" is not known to the game; it does nothing.",
                     words.IsEmpty() ? "" : words[0].GetText());
    }
    return false;
}
