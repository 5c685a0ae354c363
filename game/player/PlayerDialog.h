#pragma once

class Player;

// The player's dialog box and interaction prompts, once a frame: the
// typewriter moves on, the box is laid out at the top or the bottom of the
// screen (away from the player when someone else talks), and while no dialog
// is open and "ShowInteractPrompts" is on, the frob and door prompts show
// over what the player faces.
void UpdatePlayerDialogFrame(Player& player);
