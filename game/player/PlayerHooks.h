#pragma once

class Player;

// Where the player hands over to parts of the game that are built elsewhere:
// room loading on a respawn, the status and full-map screens and doors (the
// room transition's is in PlayerRoomExit.h). Each is null until its owner
// installs it, and the player then does only its own share (a respawn stays
// in the current room, the buttons do nothing).
using PlayerRespawnHook = void (*)(Player& player);    // checkpoint room, camera snap, autosave
using PlayerScreensHook = void (*)(Player& player, bool status);  // status (true) or full map
using PlayerDoorHook = bool (*)(Player& player);      // true when a door was entered

PlayerRespawnHook& GetPlayerRespawnHook();
PlayerScreensHook& GetPlayerScreensHook();
PlayerDoorHook& GetPlayerDoorHook();

// The game's overworld flag (false without a game).
bool IsOverworldMode();
// A room or door transition plays.
bool IsTransitionPlaying();
