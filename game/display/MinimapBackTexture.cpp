#include "game/display/MinimapBackTexture.h"

MinimapBackTexture::MinimapBackTexture() {
    textureName = ZHashedString("Minimap Texture (Back)");
    position = ZVector3(200.0f, 176.0f, 0.0f);
    scale = ZVector3(40.0f, 32.0f, 1.0f);
}
