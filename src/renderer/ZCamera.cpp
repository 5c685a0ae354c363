#include "renderer/ZCamera.h"

#include "foundation/ZMath.h"
#include "renderer/ZRenderHost.h"
#include "hmd/ZHMDMgr.h"

namespace {

constexpr float kDegreesToRadians = 0.017453292f;
constexpr float kHalfPi = 1.5707964f;
constexpr float kMaxPitchDegrees = 89.0f;
// How far each eye sits from the centre, along the rotated right axis.
constexpr float kEyeOffset = 0.2f;

bool HeadsetActive() {
    const ZHMDMgr* hmd = GetHMDManager();
    return hmd != nullptr && hmd->IsActive();
}

// The eye being drawn: 1 is the left one, anything else the right one.
bool LeftEye() {
    return GetHMDManager()->eye == 1;
}

ZVector3 Rotate(const ZVector3& v, const ZVector3& axis, const float angle) {
    return ZMatrix4::RotationAxis(axis, angle).TransformPoint(v);
}

}  // namespace

ZCamera::ZCamera(const float fovDegrees, const float aspectRatio, const float nearZ, const float farZ)
    : fov(fovDegrees * kDegreesToRadians),
      aspect(aspectRatio),
      nearPlane(nearZ),
      farPlane(farZ),
      maxPitch(kMaxPitchDegrees * kDegreesToRadians) {
    Update();
}

ZCamera::~ZCamera() {
    if (m_listening) {
        if (ZRenderHost* host = ZRenderHost::Get()) {
            host->RemoveResolutionListener(this);
        }
    }
}

void ZCamera::FollowScreenSize() {
    if (m_listening) {
        return;
    }
    if (ZRenderHost* host = ZRenderHost::Get()) {
        host->AddResolutionListener(this);
        m_listening = true;
    }
}

void ZCamera::OnResolutionChanged(const int32_t width, const int32_t height) {
    if (width > 0 && height > 0) {
        SetAspectRatio(static_cast<float>(width) / static_cast<float>(height));
    }
}

void ZCamera::SetFieldOfView(const float value) {
    fov = orthographic ? value : value * kDegreesToRadians;
    if (HeadsetActive()) {
        fov = GetHMDManager()->GetVerticalFOV();
    }
    dirty = true;
}

void ZCamera::SetAspectRatio(const float aspectRatio) {
    aspect = aspectRatio;
    dirty = true;
}

void ZCamera::SetClipPlanes(const float nearZ, const float farZ) {
    nearPlane = nearZ;
    farPlane = farZ;
    dirty = true;
}

void ZCamera::SetOrthographic(const bool ortho) {
    orthographic = ortho;
    dirty = true;
}

void ZCamera::SetPixelSnap(const bool snap) {
    pixelSnap = snap;
    dirty = true;
}

void ZCamera::SetUseWorldUp(const bool use) {
    useWorldUp = use;
    dirty = true;
}

void ZCamera::SetPosition(const ZVector3& p) {
    position = p;
    dirty = true;
}

void ZCamera::SetOrientation(const ZVector3& forwardAxis, const ZVector3& upAxis) {
    forward = forwardAxis.Normalized();
    up = upAxis.Normalized();
    dirty = true;
}

void ZCamera::MoveForward(const float distance) {
    position += forward * distance;
    dirty = true;
}

void ZCamera::MoveRight(const float distance) {
    position += right * distance;
    dirty = true;
}

void ZCamera::MoveUp(const float distance) {
    position += up * distance;
    dirty = true;
}

void ZCamera::Yaw(const float angle) {
    forward = Rotate(forward, UpAxis(), angle).Normalized();
    dirty = true;
}

void ZCamera::Roll(const float angle) {
    up = Rotate(up, forward, angle).Normalized();
    dirty = true;
}

void ZCamera::Pitch(const float angle) {
    const ZVector3 u = UpAxis();
    right = u.Cross(forward).Normalized();
    const ZVector3 turned = Rotate(forward, right, -angle).Normalized();
    const float along = turned.Dot(u);
    const ZVector3 newUp = turned.Cross(right).Normalized();
    const bool refused = ZMath::Abs(along) > ZMath::Cos(kHalfPi - maxPitch) || newUp.Dot(up) < 0.0f;
    if (refused) {
        // Stop at the limit, on the side the turn was heading for.
        const ZVector3 level = right.Cross(u).Normalized();
        const ZVector3 raised = Rotate(level, right, -maxPitch).Normalized();
        const ZVector3 lowered = Rotate(level, right, maxPitch).Normalized();
        const bool raisedIsUp = raised.Dot(u) > lowered.Dot(u);
        const bool wantUp = along > 0.0f;
        forward = (wantUp == raisedIsUp) ? raised : lowered;
    } else {
        forward = turned;
    }
    dirty = true;
}

void ZCamera::Update() {
    const bool headset = HeadsetActive();
    // Switching a headset on or off changes the matrices without any mutator.
    if (!dirty && headset == m_builtWithHeadset) {
        return;
    }
    dirty = false;
    m_builtWithHeadset = headset;
    Orthonormalize();
    BuildView(headset);
    BuildProjection(headset);
    ZMatrix4::Multiply(viewProjection, view, projection);
    ZMatrix4::Multiply(viewProjectionLeft, viewLeft, projection);
    ZMatrix4::Multiply(viewProjectionRight, viewRight, projection);
    ExtractFrustumPlanes(viewProjection, frustum);
}

void ZCamera::Orthonormalize() {
    const ZVector3 u = UpAxis();
    right = u.Cross(forward).Normalized();
    up = forward.Cross(right).Normalized();
}

void ZCamera::BuildView(const bool headset) {
    ZVector3 eye = position;
    if (orthographic && pixelSnap) {
        // To the nearest whole unit, then to the pixel's centre.
        eye.x = ZMath::Floor(eye.x + 0.5f) + 0.5f;
        eye.y = ZMath::Floor(eye.y + 0.5f) + 0.5f;
        eye.z = ZMath::Floor(eye.z + 0.5f) + 0.5f;
    }
    if (!headset) {
        view = ZMatrix4::LookAt(eye, forward, right, up);
        viewLeft = view;
        viewRight = view;
        return;
    }
    // The camera's basis in the view's axis order, turned by the headset.
    const ZMatrix4 basis = ZMatrix4::FromAxes(-forward, right, -up) * GetHMDManager()->orientation;
    ZVector3 ax;
    ZVector3 ay;
    ZVector3 az;
    basis.GetAxes(ax, ay, az);
    const ZVector3 f = -ax;
    const ZVector3 r = ay;
    const ZVector3 u = -az;
    view = ZMatrix4::LookAt(eye, f, r, u);
    viewLeft = ZMatrix4::LookAt(eye + r * kEyeOffset, f, r, u);
    viewRight = ZMatrix4::LookAt(eye - r * kEyeOffset, f, r, u);
}

void ZCamera::BuildProjection(const bool headset) {
    if (!orthographic) {
        projection = ZMatrix4::Perspective(fov, headset ? aspect * 0.5f : aspect, nearPlane, farPlane,
                                           referenceAspect);
        return;
    }
    // Top below bottom: y grows downward on screen.
    const float h = fov * 0.5f;
    projection = ZMatrix4::OrthoOffCenter(-h * aspect, h * aspect, -h, h, nearPlane, farPlane);
}

void ZCamera::GetView(ZMatrix4& out) {
    Update();
    if (HeadsetActive()) {
        out = LeftEye() ? viewLeft : viewRight;
        return;
    }
    out = view;
}

void ZCamera::GetProjection(ZMatrix4& out) {
    Update();
    out = projection;
}

void ZCamera::GetViewProjection(ZMatrix4& out) {
    Update();
    if (HeadsetActive()) {
        out = LeftEye() ? viewProjectionLeft : viewProjectionRight;
        return;
    }
    out = viewProjection;
}
