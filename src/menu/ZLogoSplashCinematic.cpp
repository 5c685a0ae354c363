#include "menu/ZLogoSplashCinematic.h"

#include <algorithm>
#include <cmath>

#include "audio/ZAudioMgr.h"
#include "foundation/ZMatrix4.h"
#include "foundation/ZVector4.h"
#include "framework/ZBaseGame.h"
#include "menu/ZMenuMgr.h"
#include "menu/ZSplashLogoShader.h"
#include "menu/ZSplashMeshShader.h"
#include "renderer/ZCamera.h"
#include "renderer/ZEffectParameter.h"
#include "renderer/ZIndexBuffer.h"
#include "renderer/ZM3DMesh.h"
#include "renderer/ZQuadRenderable.h"
#include "renderer/ZRenderGroup.h"
#include "renderer/ZRenderer.h"
#include "renderer/ZTransform.h"
#include "renderer/ZVertexBuffer.h"

namespace {

constexpr float kPi = 3.14159265f;
// Ends 0.05 s before the duration, after the 0.2 s start delay.
constexpr float kT = ZLogoSplashCinematic::kDuration - ZLogoSplashCinematic::kStingerDelay - 0.05f;
// tan 2.5 degrees: the distance at which the final 5 degree view frames the logo.
const float kD0 = 54.0f * std::tan(2.5f * kPi / 180.0f);

float SmootherStep(const float s) { return s * s * s * (s * (6.0f * s - 15.0f) + 10.0f); }
float Clamp01(const float v) { return std::clamp(v, 0.0f, 1.0f); }

const ZHashedString& StingerName() {
    static const ZHashedString name("QMW Stinger");
    return name;
}

void AddToGroup(ZRenderable* renderable, const ZHashedString group) {
    if (ZRenderer* renderer = PeekRenderer()) {
        if (ZRenderGroup* found = renderer->FindRenderGroup(group)) {
            found->Add(renderable);
        }
    }
}

void FreeRenderable(ZRenderable*& renderable, const bool ownsBuffers) {
    if (renderable == nullptr) {
        return;
    }
    if (ZRenderer* renderer = PeekRenderer()) {
        renderer->RemoveFromAllRenderGroups(renderable);
    }
    delete renderable->shader;
    renderable->shader = nullptr;
    if (ownsBuffers) {
        if (renderable->vertexBuffer != nullptr) {
            renderable->vertexBuffer->Release();
            delete renderable->vertexBuffer;
        }
        if (renderable->indexBuffer != nullptr) {
            renderable->indexBuffer->Release();
            delete renderable->indexBuffer;
        }
        renderable->vertexBuffer = nullptr;
        renderable->indexBuffer = nullptr;
    }
    delete renderable;
    renderable = nullptr;
}

}  // namespace

ZLogoSplashCinematic::ZLogoSplashCinematic() {
    duration = kDuration;
    skippableAfter = 0.0f;
    confirmWindow = 0.0f;
    runsOnGameTime = true;
    blocksInput = true;
    priority = 0;
    if (ZBaseGame::GetInstance()->IsQuickStart()) {
        // Nothing to play: the manager starts and ends it at once.
        duration = 0.0f;
    }
}

ZLogoSplashCinematic::~ZLogoSplashCinematic() { FreeScene(); }

void ZLogoSplashCinematic::Start() {
    elapsed = 0.0f;
    ZBaseGame* game = ZBaseGame::GetInstance();

    m_logoQuad = new ZQuadRenderable();
    auto* logoShader = new ZSplashLogoShader();
    ZTransform::SetParent(logoShader, this);
    m_logoQuad->shader = logoShader;
    AddToGroup(m_logoQuad, game->GetTitleScreenGroupName());

    m_logoMesh = new ZRenderable();
    // A missing or broken file is reported by the loader; the flat logo still shows.
    LoadM3DMesh("qmw.m3d", m_logoMesh);
    auto* meshShader = new ZSplashMeshShader();
    ZTransform::SetParent(meshShader, this);
    m_logoMesh->shader = meshShader;
    // The ring is drawn with the flat logo, over the scene, which stays black
    // while the splash plays (the title menu fades it in afterwards). In the
    // default group it would be drawn into the scene, where the game's display
    // chain and the black fade would hide it.
    if (m_logoMesh->vertexBuffer != nullptr && m_logoMesh->indexBuffer != nullptr) {
        AddToGroup(m_logoMesh, game->GetTitleScreenGroupName());
    }
    game->SetScreenFadeLevel(0.0f);

    const int32_t height = game->GetScreenHeight();
    const float aspect = height > 0 ? static_cast<float>(game->GetScreenWidth()) / static_cast<float>(height) : 1.0f;
    m_camera = new ZCamera(90.0f, aspect, 0.1f, 100.0f);
    m_camera->FollowScreenSize();
    m_camera->referenceAspect = 1.3333334f;
    m_camera->SetUseWorldUp(false);
    // The start pose: in front of the logo's end point, looking straight down
    // -z, with x (the coming swing's axis) as the picture's horizontal, which
    // in the camera's basis is minus its forward axis (see AimCamera). The
    // first update swings it behind the logo.
    m_camera->SetPosition(StartPosition());
    m_camera->SetOrientation(ZVector3(-1.0f, 0.0f, 0.0f), ZVector3(0.0f, 0.0f, -1.0f));

    GetAudioMgr()->CreateSound("qmw.wav", StingerName(), game->GetSFXAudioGroupName(), false);
}

void ZLogoSplashCinematic::FreeScene() {
    FreeRenderable(m_logoQuad, false);
    FreeRenderable(m_logoMesh, true);
    delete m_camera;
    m_camera = nullptr;
}

void ZLogoSplashCinematic::End() {
    ZSplashCinematic::End();
    // Without a title menu to fade it in (quick start, or a game that opens
    // none), the scene comes back at once.
    if (PeekMenuMgr() == nullptr || PeekMenuMgr()->GetQueuedOpenCount() == 0) {
        ZBaseGame::GetInstance()->SetScreenFadeLevel(1.0f);
    }
    GetAudioMgr()->ReleaseSound(StingerName());
    FreeScene();
}

ZVector3 ZLogoSplashCinematic::StartPosition() {
    return ZVector3(-0.425f, -0.0875f, kD0 / std::tan(45.0f * kPi / 180.0f));
}

void ZLogoSplashCinematic::ComputeCamera(const float e, float& fovDegrees, ZVector3& position, ZVector3& lookAt) {
    const float a = kStingerDelay + 0.4f * kT;
    const float s = e <= a ? Clamp01((e - kStingerDelay) / (a - kStingerDelay)) : 1.0f;
    const float p = SmootherStep(s);
    fovDegrees = 120.0f - 115.0f * p;
    lookAt = ZVector3(-0.425f * p, -0.0875f * p, 0.0f);
    const float dist = kD0 / std::tan(fovDegrees * 0.5f * kPi / 180.0f) * (0.31f + 0.69f * p);
    // Over the top: from behind the logo (z < 0) to its front.
    const float swing = kPi * (1.0f - p);
    const ZVector3 offset = ZMatrix4::RotationX(swing).TransformPoint(ZVector3(0.0f, 0.0f, dist));
    position = lookAt + offset;
}

void ZLogoSplashCinematic::AimCamera(ZCamera& camera, const float e) {
    float fov = 0.0f;
    ZVector3 position;
    ZVector3 lookAt;
    ComputeCamera(e, fov, position, lookAt);
    camera.SetFieldOfView(fov);
    camera.SetPosition(position);
    // The swing turns about the x axis, which stays the picture's horizontal.
    // In the camera's basis the view runs along its up axis and the picture's
    // x along minus its forward axis.
    const ZVector3 view = (lookAt - position).Normalized();
    camera.SetOrientation(ZVector3(-1.0f, 0.0f, 0.0f), view);
}

float ZLogoSplashCinematic::MeshFade(const float e) {
    const float b1 = kStingerDelay + 0.3f * kT;
    const float b2 = kStingerDelay + 0.6f * kT;
    const float s = e <= b1 ? Clamp01((e - kStingerDelay) / (b1 - kStingerDelay)) : Clamp01((e - b2) / (b1 - b2));
    return SmootherStep(s);
}

float ZLogoSplashCinematic::LogoFade(const float e) {
    const float c1 = kStingerDelay + 0.225f * kT;
    const float c2 = kStingerDelay + 0.6f * kT;
    const float c3 = kDuration - 0.05f - 0.3f * kT;
    const float c4 = kDuration - 0.05f;
    float s = 1.0f;
    if (e <= c2) {
        s = Clamp01((e - c1) / (0.3f * kT));
    } else if (e >= c3) {
        s = Clamp01((e - c4) / (c3 - c4));
    }
    return SmootherStep(s);
}

bool ZLogoSplashCinematic::Update(const float clock, const float dt) {
    const bool result = ZCinematic::Update(clock, dt);
    if (elapsed > kStingerDelay && !m_stingerPlayed) {
        m_stingerPlayed = true;
        // A stinger that did not load (no device, a missing file) plays nothing.
        ZAudioMgr* audio = GetAudioMgr();
        if (audio->FindSound(StingerName()) != nullptr) {
            audio->PlaySound(StingerName());
        }
    }
    if (m_camera != nullptr) {
        AimCamera(*m_camera, elapsed);
    }
    return result;
}

bool ZLogoSplashCinematic::SetParameters(ZEffectParameter* binding, const ZHashedString passName,
                                         ZParameterSource* source) {
    static const ZHashedString kWvp("wvpMat");
    static const ZHashedString kWorld("worldMat");
    static const ZHashedString kCamPos("camPos");
    static const ZHashedString kMeshMod("MeshModColor");
    static const ZHashedString kMod("ModColor");
    if (binding == nullptr) {
        return false;
    }
    if (binding->name == kWvp && m_camera != nullptr) {
        binding->SetMatrix(m_camera->GetViewProjection());
        return true;
    }
    if (binding->name == kWorld) {
        binding->SetMatrix(ZMatrix4::Identity());
        return true;
    }
    if (binding->name == kCamPos && m_camera != nullptr) {
        const ZVector3& p = m_camera->GetPosition();
        binding->SetVector(ZVector4(p.x, p.y, p.z, 0.0f));
        return true;
    }
    if (binding->name == kMeshMod) {
        const float v = MeshFade(elapsed);
        binding->SetVector(ZVector4(v, v, v, 1.0f));
        return true;
    }
    if (binding->name == kMod) {
        const float v = LogoFade(elapsed);
        binding->SetVector(ZVector4(v, v, v, 1.0f));
        return true;
    }
    return ZParameterSource::SetParameters(binding, passName, source);
}
