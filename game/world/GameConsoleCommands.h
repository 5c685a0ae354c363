#pragma once

#include "framework/ZConsoleCommand.h"

class KorvanthGame;

// The game's developer and test commands in the console: powerups and
// items, killing the player, revealing the minimap, moving the camera and
// erasing the autosave. Words are compared ignoring case.

// The typed commands ("crtref", "currentroom"/"room"/"which", "power",
// "gimme", "doublejump" and "walljump" with one word after them, "glitch",
// "reveal"): true when the line was one of them and has been handled; any
// other line is left to the engine's registered commands.
bool ExecuteGameConsoleCommand(KorvanthGame& game, const ZConsoleWordList& words);

// Registers the game's named commands after the engine's: "nukesave",
// "multisynth", the kill aliases ("stuck", "unstuck", "spawn", "respawn",
// "die", "kill", "suicide") and the speedrun developer words ("saveghost",
// "loadghost", "testlbui", "speedrunclear", "clearspeedrun"), which are
// accepted and do nothing.
void RegisterGameConsoleCommands(KorvanthGame& game);
