#pragma once

#include <cstdint>

#include "foundation/ZVector3.h"

class Player;
class ZEntity;

// Small player-side behaviours around the status screens, the room edges and
// water: the walk in from a side-view room's edge, the status and full-map
// screens (said by the player's own dialog provider), what happens when a
// player dialog closes, splashes and bubbles, and the give-items cheat.

// A player placed within 16 pixels of the left or right bound of the
// current room's area walks inward for the forced-input time (nothing in
// the overworld).
void StartEdgeWalk(Player& player);
// The status screen ("Status.zdd"; "StatusSpeedrun.zdd" on a speedrun
// course), opened as a dialog the player says to itself.
void OpenStatusDialog(Player& player);
// The full-map screen ("StatusFullMap.zdd") over the full map's pictures.
void OpenFullMapDialog(Player& player);
// The full map exists once the current map's minimap pictures are loaded.
bool IsFullMapAvailable();
// The full map's rooms and marker over the screen: only the full-map screen
// shows them, so play starts with them hidden.
void ShowFullMap(bool visible);
// The player's dialog consumer's closed callback: the dialog font's line
// spacing returns to 2 and the full map's pictures hide.
void OnPlayerDialogClosed(ZEntity* owner);
// The water sound and a "Splash.zdd" entity where the source stands (2 pixels
// lower when entering, 4 when leaving).
void SpawnSplash(ZEntity& source, bool down);
// Makes the effect entity of a definition file at a place and hands it to the
// game's entity list, which deletes it when its definition says so.
void PlaceEffect(const char* definition, const ZVector3& at);
// Under water, every 0.5 to 2.5 seconds, a "Bubble.zdd" rises from the
// player when the tile above is a water or hazard tile (or any open tile in
// a room that asks for it).
void UpdateBubbles(Player& player, float dt);
// The give-items cheat: the cube, gem and key counts of a finished game.
void GiveAllItems(ZEntity& entity);
