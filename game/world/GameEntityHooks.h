#pragma once

// The game's answers to the entity framework's questions (frame time, screen
// size, fonts, the dialog strings and sounds, the sprite group, the light
// manager). Each answer reads the current game object, so a hook called with
// none answers as the engine would alone.
void InstallGameEntityHooks();
// Unsets every hook the game set.
void ClearGameEntityHooks();
