#pragma once

#include "renderer/ZShader.h"

// The composite signal: blends the NTSC-encoded frame with the previous
// composite frame (phosphor persistence), bleeds colour sideways and sharpens.
// The composite frames are used in turn: with the parity flag set this pass
// reads "Composite Frame 1" as the previous frame (and writes frame 2).
class CompositeShader : public ZShader {
public:
    CompositeShader();
    ~CompositeShader() override;
    bool SetParameters(ZEffectParameter* binding, ZHashedString passName, ZParameterSource* source) override;

    bool parity = false;
};
