#pragma once

class Player;

// Where the player hands over to parts of the game that are built elsewhere:
// room loading on a respawn (the room transition's is in PlayerRoomExit.h).
// Null until its owner installs it, and the player then does only its own
// share (a respawn stays in the current room).
using PlayerRespawnHook = void (*)(Player& player);    // checkpoint room, camera snap, autosave

PlayerRespawnHook& GetPlayerRespawnHook();

// The game's overworld flag (false without a game).
bool IsOverworldMode();
// A room or door transition plays.
bool IsTransitionPlaying();
