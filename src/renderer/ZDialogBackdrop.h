#pragma once

#include "entity/ZEntity.h"
#include "foundation/ZHashedString.h"

class AnaglyphBackdropShader;

// The framed box behind dialog text: a unit quad drawn with the anaglyph
// backdrop shader, which the dialog code sizes and places. It owns the quad
// and the shader and deletes them with itself.
class ZDialogBackdrop : public ZEntity {
    Z_RTTI(ZDialogBackdrop, ZEntity)

public:
    // Joins the named render group when it exists; otherwise it is drawn nowhere.
    explicit ZDialogBackdrop(ZHashedString renderGroup);
    ~ZDialogBackdrop() override;

    // The box's size and placement are set on it.
    AnaglyphBackdropShader* GetShader() const { return m_shader; }

private:
    AnaglyphBackdropShader* m_shader = nullptr;  // owned
};
