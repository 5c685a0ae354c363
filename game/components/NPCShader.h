#pragma once

#include "game/world/WorldShader.h"

// The one shader every non-player character draws with ("NPC Shader",
// "npc.fxo", "NPCTech"): a sprites shader whose effect recolours the sheet's
// three palette channels with the colours of each character's material.
class NPCShader : public SpritesShader {
public:
    NPCShader();
    ~NPCShader() override;
};
