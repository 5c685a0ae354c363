#pragma once

#include "entity/ZEntity.h"

class ZRenderable;
class ZShader;

// The entity that puts the render host's depth backdrop on screen: the host's
// backdrop quad with its depth backdrop shader, in the default backdrop
// group. It owns both and deletes them with itself.
class ZDepthBackdrop : public ZEntity {
    Z_RTTI(ZDepthBackdrop, ZEntity)

public:
    ZDepthBackdrop();
    ~ZDepthBackdrop() override;

    // The quad (null when the host made none or it is gone).
    ZRenderable* GetQuad() const;

private:
    ZShader* m_shader = nullptr;  // the quad's shader, owned
};
