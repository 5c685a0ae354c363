#include "game/display/MinimapBackTexture.h"

MinimapBackTexture::MinimapBackTexture() {
    textureName = ZHashedString("Minimap Texture (Back)");
    position = ZVector3(kLeft, kBottom, 0.0f);
    scale = ZVector3(kWidth, kHeight, 1.0f);
}
