#include "game/display/GameMenuUnderlayShader.h"

GameMenuUnderlayShader::GameMenuUnderlayShader() : MenuUnderlayShader("korv_underlay.dds", 256.0f) {}
