#include "framework/ZConsoleCommands.h"

#include "framework/ZBaseGame.h"

namespace {

struct BuiltInCommand {
    const char* name;
    ZConsoleHandler handler;
    const char* usage;
    bool developerOnly;
};

// Every name of every built-in command, aliases beside their first name.
const BuiltInCommand kBuiltInCommands[] = {
    {"quit", CmdQuit, "", false},
    {"exit", CmdQuit, "", false},
    {"end", CmdQuit, "", false},
    {"close", CmdQuit, "", false},
    {"crash", CmdCrash, "", false},
    {"softcrash", CmdCrash, "", false},
    {"hardcrash", CmdCrash, "", false},
    {"resetrenderer", CmdResetRenderer, "", false},
    {"applyvideooptions", CmdApplyVideoOptions, "", false},
    {"clear", CmdClear, "", false},
    {"cls", CmdClear, "", false},
    {"set", CmdConfigVar, "[section] variable value", false},
    {"unset", CmdConfigVar, "[section] variable", false},
    {"reset", CmdConfigVar, "[section] variable", false},
    {"unsetall", CmdConfigVar, "section", false},
    {"resetall", CmdConfigVar, "section", false},
    {"show", CmdShow, "[section] variable", false},
    {"setres", CmdSetRes, "width x height", false},
    {"screenshot", CmdScreenshot, "", false},
    {"hitch", CmdHitch, "duration", false},
    {"dumpstrings", CmdDumpStrings, "", false},
    {"dumpstringtable", CmdDumpStrings, "", false},
    {"dumpcontent", CmdDumpContent, "", false},
    {"dumpallcontent", CmdDumpContent, "", false},
    {"dumprenderinfo", CmdDumpRenderInfo, "", false},
    {"edit", CmdEditMode, "", false},
    {"editmode", CmdEditMode, "", false},
    {"editor", CmdEditMode, "", false},
    {"slomo", CmdSlomo, "rate", false},
    {"debugname", CmdDebugName, "[name]", true},
    {"showname", CmdShowName, "", false},
    {"clipboard", CmdClipboard, "copy|paste", false},
    {"uitest", CmdUITest, "", true},
    {"testui", CmdUITest, "", true},
    {"thread", CmdCurrentThread, "", false},
    {"currentthread", CmdCurrentThread, "", false},
    {"threads", CmdAllThreads, "", false},
    {"allthreads", CmdAllThreads, "", false},
    {"listconfig", CmdListConfig, "[section]", false},
    {"listconfigsections", CmdListConfigSections, "", false},
    {"listconfigdeltas", CmdListConfigDeltas, "", false},
    {"language", CmdLanguage, "[path]", false},
    {"setlanguage", CmdLanguage, "[path]", false},
    {"stringcount", CmdStringCount, "", false},
    {"fullscreenmode", CmdFullscreenMode, "", false},
    {"videostats", CmdVideoStats, "", false},
    {"videotests", CmdVideoTests, "", false},
    {"open", CmdOpenFolder, "[subfolder]", false},
    {"goto", CmdOpenFolder, "[subfolder]", false},
    {"folder", CmdOpenFolder, "[subfolder]", false},
    {"files", CmdOpenFolder, "[subfolder]", false},
    {"appdata", CmdOpenFolder, "[subfolder]", false},
    {"config", CmdOpenConfig, "", false},
    {"unlockachievement", CmdUnlockAchievement, "name", true},
    {"resetachievements", CmdResetAchievements, "", true},
    {"displayachievements", CmdDisplayAchievements, "", true},
    {"platformtests", CmdPlatformTests, "", false},
    {"outputrendertargets", CmdOutputRenderTargets, "", false},
    {"version", CmdVersion, "", false},
    {"libconfig", CmdLibConfig, "", false},
    {"locstats", CmdLocStats, "", false},
    {"sound", CmdSound, "FILE | loop FILE | stop", false},
};

}  // namespace

void ZBaseGame::RegisterConsoleCommands() {
    for (const BuiltInCommand& command : kBuiltInCommands) {
        RegisterConsoleCommand(command.name, command.handler, command.usage, command.developerOnly);
    }
}
