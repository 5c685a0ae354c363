#pragma once

class ZBaseGame;

// The game's render passes and groups: the 2D passes that draw the world,
// maps, overlays and HUD into "Clean Frame", their "(3D)" twins that draw the
// second eye into "Cln3D Frame", and the post-process passes that turn the
// clean frame into the picture of a CRT. The game's overrides of the base
// game's render set-up call these; each calls the base game's version at its
// place in the order. Existing passes and groups are left as they are, so a
// second call adds nothing.

// The passes in drawing order, the engine's default pass between "Composite
// Pass" and "Downsample Pass"; "EDITOR Pass" is disabled.
void CreateGameRenderPasses(ZBaseGame& game);
// The engine's groups, then the game's.
void CreateGameRenderGroups(ZBaseGame& game);
// Which group each pass draws; rows whose pass or group is missing are skipped.
void AssignGameGroupsToPasses(ZBaseGame& game);
