#include "game/display/TunerBackTexture.h"

TunerBackTexture::TunerBackTexture() {
    textureName = ZHashedString("Tuner Texture (Back)");
    position = ZVector3(160.0f, 64.0f, 0.0f);
    scale = ZVector3(64.0f, 128.0f, 1.0f);
}
