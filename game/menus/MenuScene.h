#pragma once

// What the menus switch in the game's scene: the tuner preview, the wipe
// overlay and the world's text layer. The display follows the first two each
// frame; the loading screen hides the text layer itself and keeps the flag.
struct MenuScene {
    bool tunerPreviewVisible = false;
    bool wipeVisible = false;
    float wipe = 0.0f;
    bool textLayerVisible = true;
};

// The one scene state of the program.
MenuScene& GetMenuScene();
