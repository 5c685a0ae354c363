#pragma once

#include "entity/ZEntity.h"

class ZRenderable;
class ZShader;
struct ZRenderPassDesc;
struct ZVector4;

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

    // True, with the colour, when clearing the pass's target to that colour
    // as the pass begins draws the picture that the quad drawn by the pass
    // would: the pass draws the quad over its whole target (see
    // ZRenderer::DrawsOverWholeTarget) once, into one target, with a depth
    // surface over the whole range cleared to the far plane, without a colour
    // clear of its own and without a headset's two views; its shader draws one plain colour; and whatever the pass may
    // draw before it (the enabled groups ahead of the quad's, the rest of its
    // own group) is opaque in front, so that the quad would only colour what
    // nothing covered. What the pass draws after it sees the same pixels
    // either way. The frame may then leave the quad out.
    static bool CanClearInstead(const ZRenderPassDesc* pass, ZRenderable* quad, ZVector4& color);

private:
    ZShader* m_shader = nullptr;  // the quad's shader, owned
};
