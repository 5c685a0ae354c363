#pragma once

// An object that keeps something in the device's default pool (a dynamic
// vertex buffer, a font's drawing buffers). A device reset destroys that
// memory, so the renderer calls ReleaseResource on every registered object
// before the reset and RenewResource after a successful one, in list order.
class ZDynamicResource {
public:
    virtual ~ZDynamicResource() = default;
    virtual void ReleaseResource() = 0;
    virtual void RenewResource() = 0;
};
