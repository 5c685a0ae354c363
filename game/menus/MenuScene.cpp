#include "game/menus/MenuScene.h"

MenuScene& GetMenuScene() {
    static MenuScene scene;
    return scene;
}
