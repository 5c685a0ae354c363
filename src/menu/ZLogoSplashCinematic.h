#pragma once

#include "foundation/ZVector3.h"
#include "menu/ZSplashCinematic.h"
#include "renderer/ZParameterSource.h"

class ZCamera;
class ZRenderable;

// The start-up splash: the studio's flat logo and a logo ring seen by a
// camera that swings over the ring from behind while its field of view
// narrows (a dolly zoom), with a stinger sound at 0.2 s. 4.5 s on game time,
// one press of Accept, Cancel or Click skips it; with quick start it has
// nothing to play and the game starts at once.
//
// It answers its two shaders' parameters ("wvpMat", "worldMat", "camPos",
// "MeshModColor", "ModColor") as their owner.
class ZLogoSplashCinematic : public ZSplashCinematic, public ZParameterSource {
public:
    static constexpr float kDuration = 4.5f;
    static constexpr float kStingerDelay = 0.2f;

    ZLogoSplashCinematic();
    // Frees what Start made when End did not run.
    ~ZLogoSplashCinematic() override;

    // Builds the logo quad, the ring and the camera; loads the stinger; the
    // scene goes black behind the logo.
    void Start() override;
    // Opens the first menu, then releases the stinger and frees the logo, the
    // ring and the camera.
    void End() override;
    bool Update(float clock, float dt) override;

    bool SetParameters(ZEffectParameter* binding, ZHashedString passName, ZParameterSource* source) override;

    // The camera at elapsed time e: its field of view (degrees), position
    // and the point it looks at.
    static void ComputeCamera(float e, float& fovDegrees, ZVector3& position, ZVector3& lookAt);
    // Sets the camera's field of view, position and orientation for time e.
    static void AimCamera(ZCamera& camera, float e);
    // The ring's brightness (in, then out by 2.75 s) and the flat logo's (in
    // from 1.16 s, out by 4.45 s) at elapsed time e, 0..1.
    static float MeshFade(float e);
    static float LogoFade(float e);

    ZRenderable* GetLogoQuad() const { return m_logoQuad; }
    ZRenderable* GetLogoMesh() const { return m_logoMesh; }
    // Where Start puts the camera before the first update.
    static ZVector3 StartPosition();
    ZCamera* GetCamera() const { return m_camera; }
    bool IsStingerPlayed() const { return m_stingerPlayed; }

private:
    void FreeScene();

    ZRenderable* m_logoQuad = nullptr;  // owned, with its shader
    ZRenderable* m_logoMesh = nullptr;  // owned, with its shader and buffers
    ZCamera* m_camera = nullptr;        // owned
    bool m_stingerPlayed = false;
};
