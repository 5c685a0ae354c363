// Built-in console commands on the localisation.

#include "framework/ZBaseGame.h"
#include "framework/ZConsoleCommands.h"
#include "framework/ZLocMgr.h"

// "xxx" (any case) switches to the default texts with pseudo-localisation on;
// any other language (or none) turns it off.
void CmdLanguage(const ZConsoleWordList& words, uintptr_t /*argument*/) {
    ZLocMgr::GetInstance()->ChangeLanguage(words.Count() >= 2 ? words[1].GetText() : "");
}

void CmdLocStats(const ZConsoleWordList& /*words*/, uintptr_t /*argument*/) {
    ZBaseGame* game = ZBaseGame::PeekInstance();
    if (game == nullptr) {
        return;
    }
    const ZLocMgr* loc = ZLocMgr::GetInstance();
    ZConsole& console = game->GetConsole();
    const ZString name =
        loc->GetString(ZHashedString("Startup"), ZHashedString::None(), ZHashedString("Autoglottonym"));
    console.Printf("Current language: %s", name.GetText());
    int32_t total = 0;
    int32_t translated = 0;
    const float coverage = loc->GetCoverage(total, translated);
    console.Printf("Percent of localization of known strings: %4.2f%% (%d / %d)",
                   static_cast<double>(coverage * 100.0f), translated, total);
    int32_t strings = 0;
    int32_t wordCount = 0;
    loc->CountStringsAndWords(strings, wordCount);
    console.Printf("Number of strings: %d\nNumber of words: %d", strings, wordCount);
}
