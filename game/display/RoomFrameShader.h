#pragma once

#include "foundation/ZHashedString.h"
#include "foundation/ZVector4.h"
#include "renderer/ZShader.h"

// The last frame of the room being left ("roomframe.fxo"), drawn under the
// new room while the camera pans: the picture of each eye's frame holder
// (the second eye's in the "(3D)" passes), moved by offset pixels.
class RoomFrameShader : public ZShader {
public:
    RoomFrameShader();
    ~RoomFrameShader() override;
    RoomFrameShader(const RoomFrameShader&) = delete;
    RoomFrameShader& operator=(const RoomFrameShader&) = delete;

    bool SetParameters(ZEffectParameter* binding, ZHashedString passName, ZParameterSource* source) override;

    // The textures that hold the old room's picture, for the first and the
    // second eye (fetched again whenever the holders swap).
    ZHashedString pictures[2];
    // Where the picture stands, in pixels of the frame (x right, y down).
    ZVector4 offset{0.0f, 0.0f, 0.0f, 0.0f};
};
