// Built-in console commands about the game itself: quitting, test aids,
// timing, the machine's name, the clipboard, threads, the user's folders and
// version texts.

#include <cmath>
#include <cstdio>

#include "foundation/ZHashedStringTable.h"
#include "foundation/ZLog.h"
#include "foundation/ZThreadTagger.h"
#include "foundation/ZTimer.h"
#include "foundation/ZUserFolders.h"
#include "framework/ZBaseGame.h"
#include "framework/ZClipboard.h"
#include "framework/ZConsoleCommands.h"
#include "menu/ZMenu.h"
#include "menu/TextEntryMenu.h"
#include "menu/ZMenuMgr.h"
#include "platform/os/files.h"
#include "foundation/ZString.h"

namespace {

// Opens a folder or file of the user's game folder, saying so when it is
// missing or nothing on this desktop opens it.
void OpenInShell(ZBaseGame& game, const ZString& path) {
    if (!os::Exists(path.GetText())) {
        game.GetConsole().Printf("\"%s\" does not exist.", os::TranslatePath(path.GetText()).c_str());
        return;
    }
    if (!game.OpenURL(path)) {
        game.GetConsole().Printf("Nothing on this system can open \"%s\".", os::TranslatePath(path.GetText()).c_str());
    }
}

}  // namespace

void CmdQuit(const ZConsoleWordList& /*words*/, uintptr_t /*argument*/) {
    if (ZBaseGame* game = ZBaseGame::PeekInstance()) {
        game->Exit();
    }
}

// A fault test without a fault: the two names a crash report would show are
// logged and printed, then taken off the stack again.
void CmdCrash(const ZConsoleWordList& /*words*/, uintptr_t /*argument*/) {
    ZBaseGame* game = ZBaseGame::PeekInstance();
    if (game == nullptr) {
        return;
    }
    ZArray<ZHashedString>& stack = game->GetNameStack();
    stack.PushBack(ZHashedString("FakeCrash"));
    stack.PushBack(ZHashedString("DerefNullInt"));
    char report[1024];
    game->CheckStack(report, sizeof report);
    ZLog::Printf("%s", report);
    game->GetConsole().Print(report);
    stack.RemoveAt(stack.Count() - 1);
    stack.RemoveAt(stack.Count() - 1);
}

void CmdClear(const ZConsoleWordList& /*words*/, uintptr_t /*argument*/) {
    if (ZBaseGame* game = ZBaseGame::PeekInstance()) {
        game->GetConsole().Clear();
        game->GetConsole().Init();
    }
}

void CmdHitch(const ZConsoleWordList& words, uintptr_t /*argument*/) {
    ZBaseGame* game = ZBaseGame::PeekInstance();
    if (game == nullptr) {
        return;
    }
    if (words.Count() < 2) {
        game->GetConsole().Print("\"hitch\" command requires variable duration");
        return;
    }
    const double duration = words[1].ToFloat();
    // "inf" reads as a number too; a hitch that never ends is not a hitch.
    if (!(duration > 0.0) || !std::isfinite(duration)) {
        return;
    }
    ZTimer timer;
    if (!timer.Start()) {
        return;
    }
    do {
        timer.Tick();
    } while (timer.GetElapsed() < duration);
}

void CmdDumpStrings(const ZConsoleWordList& /*words*/, uintptr_t /*argument*/) {
    if (ZBaseGame* game = ZBaseGame::PeekInstance()) {
        game->DumpStringTable();
    }
}

void CmdDumpContent(const ZConsoleWordList& /*words*/, uintptr_t /*argument*/) {
    if (ZBaseGame* game = ZBaseGame::PeekInstance()) {
        game->DumpAllContent();
    }
}

void CmdEditMode(const ZConsoleWordList& /*words*/, uintptr_t /*argument*/) {
    if (ZBaseGame* game = ZBaseGame::PeekInstance()) {
        game->SetEditMode();
    }
}

void CmdSlomo(const ZConsoleWordList& words, uintptr_t /*argument*/) {
    ZBaseGame* game = ZBaseGame::PeekInstance();
    if (game == nullptr) {
        return;
    }
    if (words.Count() < 2) {
        game->GetConsole().Print("\"slomo\" command requires value");
        return;
    }
    float rate = words[1].ToFloat();
    // "nan" reads as a number too and would stop game time for good.
    if (std::isnan(rate) || rate < 0.0f) {
        rate = 0.0f;
    } else if (rate > 10.0f) {
        rate = 10.0f;
    }
    game->SetTimeScale(1, rate);
}

void CmdDebugName(const ZConsoleWordList& words, uintptr_t /*argument*/) {
    ZBaseGame* game = ZBaseGame::PeekInstance();
    if (game == nullptr) {
        return;
    }
    game->SetMachineIdOverride(words.Count() >= 2 ? words[1] : ZString());
    ZString id;
    game->GetMachineIdText(id);
    game->GetConsole().Printf("Set debug PC name to \"%s\" with hash %s.",
                              game->GetMachineIdOverride().GetText(), id.GetText());
}

void CmdShowName(const ZConsoleWordList& /*words*/, uintptr_t /*argument*/) {
    ZBaseGame* game = ZBaseGame::PeekInstance();
    if (game == nullptr) {
        return;
    }
    const ZString& name =
        game->GetMachineIdOverride().IsEmpty() ? game->GetComputerName() : game->GetMachineIdOverride();
    game->GetConsole().Printf("PC name is %s.", name.GetText());
}

void CmdClipboard(const ZConsoleWordList& words, uintptr_t /*argument*/) {
    ZBaseGame* game = ZBaseGame::PeekInstance();
    if (game == nullptr) {
        return;
    }
    ZConsole& console = game->GetConsole();
    if (words.Count() < 2) {
        console.Print("\"clipboard\" command requires action [copy|paste] and optional value if copying");
        return;
    }
    if (words[1].EqualsNoCase("Copy")) {
        SetClipboardText(words.Count() >= 3 ? words[2] : ZString());
    } else if (words[1].EqualsNoCase("Paste")) {
        ZString text;
        GetClipboardText(text);
        console.Printf("Clipboard data is: %s", text.GetText());
    } else {
        console.Print("\"clipboard\" action must be \"copy\" or \"paste\"");
    }
}

// The widget test page; only its Accept button closes it.
void CmdUITest(const ZConsoleWordList& /*words*/, uintptr_t /*argument*/) {
    if (ZBaseGame* game = ZBaseGame::PeekInstance()) {
        ZMenu* menu = game->CreateTextEntryMenu(false);
        if (menu != nullptr) {
            menu->SetName(ZHashedString("Test Menu"));
        }
        if (auto* page = dynamic_cast<TextEntryMenu*>(menu)) {
            page->SetDescription(ZString("Test Menu"));
        }
        GetMenuMgr()->OpenMenu(menu);
    }
}

void CmdCurrentThread(const ZConsoleWordList& /*words*/, uintptr_t /*argument*/) {
    if (ZBaseGame* game = ZBaseGame::PeekInstance()) {
        game->GetConsole().Printf("Current thread is: %s",
                                  GetThreadTagger()->GetCurrentThreadName().GetTextOrEmpty());
    }
}

void CmdAllThreads(const ZConsoleWordList& /*words*/, uintptr_t /*argument*/) {
    if (ZBaseGame* game = ZBaseGame::PeekInstance()) {
        ZString list;
        GetThreadTagger()->ListThreads(list);
        game->GetConsole().Printf("All threads are:\n%s", list.GetText());
    }
}

void CmdStringCount(const ZConsoleWordList& /*words*/, uintptr_t /*argument*/) {
    ZBaseGame* game = ZBaseGame::PeekInstance();
    if (game == nullptr) {
        return;
    }
    const ZHashedStringStats stats = ZHashedStringTable::GetInstance()->GetStats();
    ZConsole& console = game->GetConsole();
    console.Printf("The hashed string table contains %d strings across %d rows.", stats.count,
                   static_cast<int32_t>(ZHashedStringTable::kBucketCount));
    console.Printf("Min: %d", stats.minimum);
    console.Printf("Max: %d", stats.maximum);
    console.Printf("Mean: %f", static_cast<double>(stats.mean));
    console.Printf("Variance: %f", static_cast<double>(stats.variance));
    console.Printf("Standard deviation: %f", static_cast<double>(stats.standardDeviation));
}

void CmdOpenFolder(const ZConsoleWordList& words, uintptr_t /*argument*/) {
    if (ZBaseGame* game = ZBaseGame::PeekInstance()) {
        const char* subFolder = words.Count() >= 2 ? words[1].GetText() : "";
        OpenInShell(*game, GetUserFolderPath(game->GetGameFolderName(), subFolder, false));
    }
}

void CmdOpenConfig(const ZConsoleWordList& /*words*/, uintptr_t /*argument*/) {
    if (ZBaseGame* game = ZBaseGame::PeekInstance()) {
        const ZString path = GetUserFolderPath(game->GetGameFolderName(), game->GetConfigFolder(), false) +
                             TextOrEmpty(game->GetConfigFileName());
        OpenInShell(*game, path);
    }
}

// There is no achievement service on this platform: nothing is ever unlocked.
void CmdUnlockAchievement(const ZConsoleWordList& words, uintptr_t /*argument*/) {
    ZBaseGame* game = ZBaseGame::PeekInstance();
    if (game == nullptr) {
        return;
    }
    if (words.Count() < 2) {
        game->GetConsole().Print("\"unlockachievement\" command requires achievement name");
        return;
    }
    game->GetConsole().Printf("Achievement \"%s\" not unlocked.", words[1].GetText());
}

void CmdResetAchievements(const ZConsoleWordList& /*words*/, uintptr_t /*argument*/) {}

void CmdDisplayAchievements(const ZConsoleWordList& /*words*/, uintptr_t /*argument*/) {}

// The sizes of this build's types, which is what a port needs to see.
void CmdPlatformTests(const ZConsoleWordList& /*words*/, uintptr_t /*argument*/) {
    ZBaseGame* game = ZBaseGame::PeekInstance();
    if (game == nullptr) {
        return;
    }
    struct TypeSize {
        const char* name;
        size_t size;
    };
    const TypeSize sizes[] = {
        {"int", sizeof(int)},
        {"short", sizeof(short)},
        {"long", sizeof(long)},
        {"long long", sizeof(long long)},
        {"float", sizeof(float)},
        {"double", sizeof(double)},
        {"long double", sizeof(long double)},
        {"char", sizeof(char)},
        {"wchar_t", sizeof(wchar_t)},
        {"bool", sizeof(bool)},
        {"void*", sizeof(void*)},
    };
    ZConsole& console = game->GetConsole();
    for (const TypeSize& type : sizes) {
        console.Printf("sizeof(%s): %d", type.name, static_cast<int>(type.size));
    }
    console.Printf("Game data path: %s",
                   os::TranslatePath(GetUserFolderPath(game->GetGameFolderName(), nullptr, false).GetText()).c_str());
}

void CmdVersion(const ZConsoleWordList& /*words*/, uintptr_t /*argument*/) {
    ZBaseGame* game = ZBaseGame::PeekInstance();
    if (game == nullptr) {
        return;
    }
    char text[260];
    std::snprintf(text, sizeof text, "%s (%s) %s (%s)", TextOrEmpty(game->GetGameTitle()),
                  TextOrEmpty(game->GetVersionText()), TextOrEmpty(game->GetEngineName()),
                  TextOrEmpty(game->GetEngineVersionText()));
    game->GetConsole().Print(text);
}

void CmdLibConfig(const ZConsoleWordList& /*words*/, uintptr_t /*argument*/) {
    if (ZBaseGame* game = ZBaseGame::PeekInstance()) {
        ZString info;
        game->GetBuildInfo(info);
        game->GetConsole().Print(info.GetText());
    }
}
