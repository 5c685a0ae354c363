// Built-in console commands on the configuration variables. Sections and
// variables are named by words; the base section is the none name.

#include "framework/ZBaseGame.h"
#include "framework/ZConfigVar.h"
#include "framework/ZConsoleCommands.h"
#include "foundation/ZString.h"

namespace {

// The variable a section and name word pair (or one name word) names.
struct VarName {
    ZHashedString section;
    ZHashedString name;
    bool withSection = false;
};

VarName NameFromWords(const ZConsoleWordList& words) {
    VarName var;
    if (words.Count() >= 3) {
        var.section = ZHashedString(words[1].GetText());
        var.name = ZHashedString(words[2].GetText());
        var.withSection = true;
    } else {
        var.name = ZHashedString(words[1].GetText());
    }
    return var;
}

void PrintNotFound(ZConsole& console, const ZConsoleWordList& words, const bool withSection) {
    if (withSection) {
        console.Printf("variable \"[%s].%s\" not found", words[1].GetText(), words[2].GetText());
    } else {
        console.Printf("variable \"%s\" not found", words[1].GetText());
    }
}

const ZConfigVar* FindVar(const ZHashedString section, const ZHashedString name) {
    for (const ZConfigSection& s : GetConfigSections()) {
        if (s.id != section) {
            continue;
        }
        for (const ZConfigVar& var : s.vars) {
            if (var.name == name && var.type != ZConfigVar::kTypeNone) {
                return &var;
            }
        }
    }
    return nullptr;
}

void PrintLines(ZConsole& console, const ZArray<ZString>& lines) {
    for (const ZString& line : lines) {
        console.Print(line.GetText());
    }
}

}  // namespace

void CmdConfigVar(const ZConsoleWordList& words, uintptr_t /*argument*/) {
    ZBaseGame* game = ZBaseGame::PeekInstance();
    if (game == nullptr || words.IsEmpty()) {
        return;
    }
    ZConsole& console = game->GetConsole();
    const ZString& verb = words[0];
    const uint32_t count = words.Count();

    if (verb.EqualsNoCase("Set")) {
        if (count >= 4) {
            if (!ZConfigVar::SetFromString(words[3].GetText(), ZHashedString(words[1].GetText()),
                                           ZHashedString(words[2].GetText()))) {
                PrintNotFound(console, words, true);
            }
        } else if (count == 3) {
            if (!ZConfigVar::SetFromString(words[2].GetText(), ZHashedString::None(),
                                           ZHashedString(words[1].GetText()))) {
                PrintNotFound(console, words, false);
            }
        } else {
            console.Print("\"set\" command requires optional section name and variable name and value");
        }
    } else if (verb.EqualsNoCase("Unset") || verb.EqualsNoCase("Reset")) {
        if (count < 2) {
            console.Printf("\"%s\" command requires variable name", verb.GetText());
            return;
        }
        const VarName var = NameFromWords(words);
        if (!ResetConfigVar(var.section, var.name)) {
            PrintNotFound(console, words, var.withSection);
        }
    } else if (verb.EqualsNoCase("UnsetAll") || verb.EqualsNoCase("ResetAll")) {
        if (count < 2) {
            console.Printf("\"%s\" command requires section name", verb.GetText());
            return;
        }
        ResetConfigSection(ZHashedString(words[1].GetText()));
    }
}

// Resets the variable first, so it always reports the default.
void CmdShow(const ZConsoleWordList& words, uintptr_t /*argument*/) {
    ZBaseGame* game = ZBaseGame::PeekInstance();
    if (game == nullptr || words.IsEmpty()) {
        return;
    }
    ZConsole& console = game->GetConsole();
    if (words.Count() < 2) {
        console.Printf("\"%s\" command requires variable name", words[0].GetText());
        return;
    }
    const VarName var = NameFromWords(words);
    if (!ResetConfigVar(var.section, var.name)) {
        PrintNotFound(console, words, var.withSection);
        return;
    }
    if (const ZConfigVar* found = FindVar(var.section, var.name)) {
        console.Print(DescribeConfigVar(var.section, *found, var.withSection).GetText());
    }
}

void CmdListConfig(const ZConsoleWordList& words, uintptr_t /*argument*/) {
    ZBaseGame* game = ZBaseGame::PeekInstance();
    if (game == nullptr) {
        return;
    }
    const ZHashedString section =
        words.Count() >= 2 ? ZHashedString(words[1].GetText()) : ZHashedString::None();
    game->GetConsole().Printf("Variables in config section [%s] are:", section.GetTextOrEmpty());
    ZArray<ZString> lines;
    ListConfigSection(section, lines);
    PrintLines(game->GetConsole(), lines);
}

void CmdListConfigSections(const ZConsoleWordList& /*words*/, uintptr_t /*argument*/) {
    if (ZBaseGame* game = ZBaseGame::PeekInstance()) {
        game->GetConsole().Print("Config sections are:");
        ZArray<ZString> lines;
        ListConfigSections(lines);
        PrintLines(game->GetConsole(), lines);
    }
}

void CmdListConfigDeltas(const ZConsoleWordList& /*words*/, uintptr_t /*argument*/) {
    if (ZBaseGame* game = ZBaseGame::PeekInstance()) {
        game->GetConsole().Print("Config deltas are:");
        ZArray<ZString> lines;
        ListModifiedConfigVars(lines);
        PrintLines(game->GetConsole(), lines);
    }
}
