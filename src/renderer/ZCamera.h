#pragma once

#include "foundation/ZMatrix4.h"
#include "foundation/ZVector3.h"
#include "foundation/ZVector4.h"
#include "renderer/ZResolutionListener.h"

// The process-wide up direction: (0, 0, 1) until the game sets it. Cameras
// that use the world up, and the ground and wall tests, read it.
inline ZVector3 gWorldUp{0.0f, 0.0f, 1.0f};

// Clamps to [0, 1]; NaN gives 0.
inline float Saturate(const float value) {
    if (!(value > 0.0f)) {
        return 0.0f;
    }
    return value > 1.0f ? 1.0f : value;
}

// Turns a position and an orientation into view, projection and
// view-projection matrices, perspective or orthographic. An orthographic
// camera that snaps looks from pixel centres so that pixel art stays crisp.
// With a headset it keeps a view and a view-projection per eye as well.
//
// Every mutator only marks the camera dirty; the next getter rebuilds all the
// matrices (Update). Code that writes the public fields directly sets dirty.
class ZCamera : public ZResolutionListener {
public:
    // fov in degrees (perspective); the orientation starts at zero vectors, so
    // set it (SetOrientation) before drawing with the camera.
    ZCamera(float fovDegrees, float aspectRatio, float nearZ, float farZ);
    ~ZCamera() override;
    ZCamera(const ZCamera&) = delete;
    ZCamera& operator=(const ZCamera&) = delete;

    // Adds the camera to the render host's screen-size listeners (when a host
    // exists): its aspect ratio then follows the render size. It leaves them
    // when destroyed.
    void FollowScreenSize();
    void OnResolutionChanged(int32_t width, int32_t height) override;

    // Perspective: degrees, stored in radians. Orthographic: the full view
    // height in world units, stored as given. A headset replaces either with
    // its vertical field of view.
    void SetFieldOfView(float value);
    float GetFieldOfView() const { return fov; }
    void SetAspectRatio(float aspectRatio);
    void SetClipPlanes(float nearZ, float farZ);
    void SetOrthographic(bool ortho);
    void SetPixelSnap(bool snap);
    void SetUseWorldUp(bool use);

    void SetPosition(const ZVector3& p);
    const ZVector3& GetPosition() const { return position; }
    // Forward and up (right follows from them at the next update).
    void SetOrientation(const ZVector3& forwardAxis, const ZVector3& upAxis);

    void MoveForward(float distance);
    void MoveRight(float distance);
    void MoveUp(float distance);
    // Turns forward about the up axis (the world up when the camera uses it).
    void Yaw(float angle);
    // Turns forward about the right axis; a turn beyond the maximum pitch from
    // the horizontal stops at the maximum.
    void Pitch(float angle);
    // Turns up about the forward axis.
    void Roll(float angle);

    // Rebuilds everything when dirty: orthonormal axes, views, projection,
    // view-projections, frustum planes.
    void Update();
    // Mono, or with a headset the view of the eye being drawn (1 left, others right).
    void GetView(ZMatrix4& out);
    void GetProjection(ZMatrix4& out);
    void GetViewProjection(ZMatrix4& out);
    ZMatrix4 GetViewProjection() {
        ZMatrix4 m;
        GetViewProjection(m);
        return m;
    }
    // Near, far, top, bottom, left, right of the mono view-projection.
    const ZVector4* GetFrustumPlanes() {
        Update();
        return frustum;
    }

    ZVector3 position;
    ZVector3 forward;
    ZVector3 right;
    ZVector3 up;
    ZMatrix4 view;
    ZMatrix4 viewLeft;
    ZMatrix4 viewRight;
    ZMatrix4 projection;
    ZMatrix4 viewProjection;
    ZMatrix4 viewProjectionLeft;
    ZMatrix4 viewProjectionRight;
    float fov = 0.0f;  // radians (perspective) or view height (orthographic)
    float aspect = 1.0f;
    float nearPlane = 0.0f;
    float farPlane = 0.0f;
    // Handed to the perspective builder: when wider than the aspect ratio its
    // horizontal extent is kept; -1 keeps the vertical field of view.
    float referenceAspect = -1.0f;
    bool orthographic = false;
    bool pixelSnap = false;
    bool useWorldUp = true;
    float maxPitch = 0.0f;  // radians from the horizontal
    ZVector4 frustum[6];
    bool dirty = true;

private:
    // The up axis turns and the pitch limit use: the world up or the camera's own.
    ZVector3 UpAxis() const { return useWorldUp ? gWorldUp : up; }
    void Orthonormalize();
    void BuildView(bool headset);
    void BuildProjection(bool headset);

    bool m_builtWithHeadset = false;
    bool m_listening = false;
};
