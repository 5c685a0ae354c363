#pragma once

// What the menus switch in the game's scene: the tuner preview, the wipe
// overlay and the world's text layer. Stand-in flags until the display chain
// draws those renderables; the display reads them from here then.
struct MenuScene {
    bool tunerPreviewVisible = false;
    bool wipeVisible = false;
    float wipe = 0.0f;
    bool textLayerVisible = true;
};

// The one scene state of the program.
MenuScene& GetMenuScene();
