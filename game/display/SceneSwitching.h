#pragma once

class KorvanthGame;
class Player;
class ZBaseGame;

// The game scene's states after start-up: which CRT screen group shows,
// whether the world is drawn, and the title screen's reset.

// "Screen Group" on with CRTSim, "No CRT Group" on without it; the depth
// backdrop ("Depth Backdrop") clears to a dark grey.
void SetUpScreenGroups(ZBaseGame& game);
// Shows or hides the player's figure (its sprite).
void SetPlayerFigureVisible(const Player& player, bool visible);
// Shows or hides the world: the tile layers, the player's sprite (shown only
// once the player stands in a room), the game's HUD font and its listed
// entities.
void SetUpWorldLayerMeshes(ZBaseGame& game, bool visible);
// Back to the title screen: room entities and cinematics gone, the TV static
// showing over a hidden world with a new attract cycle, the synthesizer
// silent, the camera back in front of the tube. Twice is the same as once.
void ResetToTitleScene(KorvanthGame* game);
// Leaving the title for play: the static, wipe and tuner go, the world and
// the screen the CRT setting asks for show.
void LeaveTitleScene(ZBaseGame& game);
