#pragma once

#include <cstdint>
#include <memory>

#include "entity/ZSerialComponent.h"
#include "foundation/ZRandom.h"
#include "foundation/ZUpdatable.h"
#include "foundation/ZVector2.h"

class NPCPaletteMaterial;
class NPCShader;
class ZEntity;
class ZImage;

// A non-player character: a look of its own drawn from its GUID (one of
// eight figures of the sheet and a three-colour palette row of
// "NPC_Palettes.bmp"), idle wandering (standing and walking left or right
// for one to three seconds at a time) and facing (the way it walks, and
// towards whoever talks to it). The script commands "initnpc" and "trypop"
// run the look set-up once the entity's components exist.
class NPCComponent : public ZSerialComponent, public ZUpdatable {
    Z_RTTI(NPCComponent, ZSerialComponent)

public:
    static constexpr int32_t kFigureCount = 8;
    static constexpr float kFigureRow = 0.09375f;

    // The first live NPC makes the shared shader and reads the palette image.
    NPCComponent();
    // The last one to go deletes the shared shader.
    ~NPCComponent() override;

    ZHashedString GetSerialName() const override {
        static const ZHashedString kind("NPC");
        return kind;
    }
    // Events, then "Stationary" ("true" in any case), "WalkSpeed" and "Face"
    // ("right" in any case faces right).
    void ReadDefinition(const ZDefNode& element) override;

    // The look: figure and palette from the GUID, the figure's rows on the
    // animations, the material on the sprite, the facing and frob callbacks.
    // Needs the sprite, animation, renderable and GUID components; a missing
    // frob component only loses the turn towards the talker. Without palette
    // rows the colours stay as they were.
    void Setup();

    // Fixed step (mask bit 2): wandering and facing.
    void Update(float timeStep, uint8_t mask) override;

    // Faces the other object: left when it stands left of the NPC.
    void FaceTowards(uint32_t otherHandle);

    NPCPaletteMaterial* GetMaterial() const { return m_material.get(); }
    int32_t GetFigure() const { return m_figure; }
    int32_t GetPaletteRow() const { return m_paletteRow; }

    float walkTimer = -1.0f;
    ZVector2 facing{-1.0f, 0.0f};
    bool stationary = false;
    float walkSpeed = 48.0f;
    ZRandom random;

    // Shared by every NPC: the shader and the palette image, made with the
    // first NPC and kept from then on, so a room change loads neither again.
    static NPCShader* GetSharedShader();
    static const ZImage& GetPaletteImage();
    static int32_t GetLiveCount();
    // The game's shutdown: the shader goes while the shader manager still
    // holds its effects (with the last NPC, when some still live), and the
    // next NPC makes it anew.
    static void ReleaseSharedShader();

private:
    std::unique_ptr<NPCPaletteMaterial> m_material;
    int32_t m_figure = -1;      // -1 until the set-up drew one
    int32_t m_paletteRow = -1;  // -1 while none is drawn (no palette rows)
};
