#pragma once

#include <cstdint>

#include "framework/ZConsoleCommand.h"

// The engine's built-in console commands, registered by
// ZBaseGame::RegisterConsoleCommands under all their names. Every handler
// reaches the base game through ZBaseGame::PeekInstance (doing nothing when
// there is none), writes its replies to the game's console and ignores its
// second argument. Word 0 is the command's name as typed.

// --- The game and the console (ZConsoleCommands_System.cpp) ---
void CmdQuit(const ZConsoleWordList& words, uintptr_t argument);
void CmdCrash(const ZConsoleWordList& words, uintptr_t argument);
void CmdClear(const ZConsoleWordList& words, uintptr_t argument);
void CmdHitch(const ZConsoleWordList& words, uintptr_t argument);
void CmdDumpStrings(const ZConsoleWordList& words, uintptr_t argument);
void CmdDumpContent(const ZConsoleWordList& words, uintptr_t argument);
void CmdEditMode(const ZConsoleWordList& words, uintptr_t argument);
void CmdSlomo(const ZConsoleWordList& words, uintptr_t argument);
void CmdDebugName(const ZConsoleWordList& words, uintptr_t argument);
void CmdShowName(const ZConsoleWordList& words, uintptr_t argument);
void CmdClipboard(const ZConsoleWordList& words, uintptr_t argument);
void CmdUITest(const ZConsoleWordList& words, uintptr_t argument);
void CmdCurrentThread(const ZConsoleWordList& words, uintptr_t argument);
void CmdAllThreads(const ZConsoleWordList& words, uintptr_t argument);
void CmdStringCount(const ZConsoleWordList& words, uintptr_t argument);
void CmdOpenFolder(const ZConsoleWordList& words, uintptr_t argument);
void CmdOpenConfig(const ZConsoleWordList& words, uintptr_t argument);
void CmdUnlockAchievement(const ZConsoleWordList& words, uintptr_t argument);
void CmdResetAchievements(const ZConsoleWordList& words, uintptr_t argument);
void CmdDisplayAchievements(const ZConsoleWordList& words, uintptr_t argument);
void CmdPlatformTests(const ZConsoleWordList& words, uintptr_t argument);
void CmdVersion(const ZConsoleWordList& words, uintptr_t argument);
void CmdLibConfig(const ZConsoleWordList& words, uintptr_t argument);

// --- Configuration variables (ZConsoleCommands_Config.cpp) ---
// set, unset, reset, unsetall and resetall: one handler that goes by word 0.
void CmdConfigVar(const ZConsoleWordList& words, uintptr_t argument);
void CmdShow(const ZConsoleWordList& words, uintptr_t argument);
void CmdListConfig(const ZConsoleWordList& words, uintptr_t argument);
void CmdListConfigSections(const ZConsoleWordList& words, uintptr_t argument);
void CmdListConfigDeltas(const ZConsoleWordList& words, uintptr_t argument);

// --- Video (ZConsoleCommands_Video.cpp) ---
void CmdResetRenderer(const ZConsoleWordList& words, uintptr_t argument);
void CmdApplyVideoOptions(const ZConsoleWordList& words, uintptr_t argument);
void CmdSetRes(const ZConsoleWordList& words, uintptr_t argument);
void CmdScreenshot(const ZConsoleWordList& words, uintptr_t argument);
void CmdDumpRenderInfo(const ZConsoleWordList& words, uintptr_t argument);
void CmdFullscreenMode(const ZConsoleWordList& words, uintptr_t argument);
void CmdVideoStats(const ZConsoleWordList& words, uintptr_t argument);
void CmdVideoTests(const ZConsoleWordList& words, uintptr_t argument);
void CmdOutputRenderTargets(const ZConsoleWordList& words, uintptr_t argument);

// --- Localisation (ZConsoleCommands_Loc.cpp) ---
void CmdLanguage(const ZConsoleWordList& words, uintptr_t argument);
void CmdLocStats(const ZConsoleWordList& words, uintptr_t argument);

// --- The audio (ZConsoleCommands_Audio.cpp) ---
void CmdSound(const ZConsoleWordList& words, uintptr_t argument);
