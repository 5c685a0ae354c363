#pragma once

class Player;

// Where the player hands over to parts of the game that are built elsewhere:
// room loading on a respawn, the status and full-map screens, doors, and the
// room-exit check. Each is null until its owner installs it, and the player
// then does only its own share (a respawn stays in the current room, the
// buttons do nothing, leaving the room starts no transition).
using PlayerRespawnHook = void (*)(Player& player);    // checkpoint room, camera snap, autosave
using PlayerScreensHook = void (*)(Player& player, bool status);  // status (true) or full map
using PlayerDoorHook = bool (*)(Player& player);      // true when a door was entered
using PlayerRoomExitHook = void (*)(Player& player);  // after each spatial step

PlayerRespawnHook& GetPlayerRespawnHook();
PlayerScreensHook& GetPlayerScreensHook();
PlayerDoorHook& GetPlayerDoorHook();
PlayerRoomExitHook& GetPlayerRoomExitHook();

// The game's overworld flag (false without a game).
bool IsOverworldMode();
// A room or door transition plays.
bool IsTransitionPlaying();
