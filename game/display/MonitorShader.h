#pragma once

#include "game/display/ScanlinesShader.h"

// The monitor's case around the glass: its colour, lit like the glass, and
// the picture's glow reflected on its inner edge.
class MonitorShader : public ScanlinesShader {
public:
    MonitorShader();
    ~MonitorShader() override;
    bool SetParameters(ZEffectParameter* binding, ZHashedString passName, ZParameterSource* source) override;
    // monitor.fxo draws without blending and writes the case's depth, so the
    // backdrop drawn after it leaves it alone.
    bool DrawsOpaqueInFront() const override { return TechniqueDeclares("OpaqueInFront"); }
};
