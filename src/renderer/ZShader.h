#pragma once

#include "foundation/ZHashedString.h"
#include "foundation/ZMap.h"
#include "renderer/ZParameterSource.h"

struct ZPassBinding;
struct ZVector4;

// The base of every shader: which technique of which effect draws a
// renderable in a given pass (a default binding and per-pass ones), and the
// sources of its parameters. The bindings belong to their effects.
class ZShader : public ZParameterSource {
public:
    ZShader() = default;
    ~ZShader() override;

    // The binding stored under the pass name, else the default binding.
    virtual ZPassBinding* GetPassBinding(ZHashedString passName) const;
    // Clears the texture bindings of the effects of every binding held.
    virtual void ClearTextures();
    // The source of the material-instance parameters; null: the unscoped source.
    virtual ZParameterSource* GetMaterialInstanceSource() { return nullptr; }
    // The source of the unscoped parameters.
    virtual ZParameterSource* GetUnscopedSource() { return this; }
    virtual void Hook1() {}
    virtual void Hook2() {}

    // What a draw with this shader leaves behind, for frame code that would
    // put something cheaper in its place; a shader that cannot say answers
    // false. A plain colour: every pixel drawn becomes exactly `color` (no
    // blending, no texture, every channel written) and no depth is written.
    virtual bool GetPlainColor(ZVector4& /*color*/) const { return false; }
    // Opaque in front: every pixel drawn is replaced whole (no blending, every
    // channel written) and given a depth nearer than the far plane, so a later
    // draw at the far plane with the depth test on leaves it alone.
    virtual bool DrawsOpaqueInFront() const { return false; }
    // Whether the default technique's effect vouches for one of those answers
    // with a technique annotation `bool <name> = true`. A shader answers yes
    // only when its file says so: a modded effect that draws otherwise and
    // drops the annotation is drawn as it is.
    bool TechniqueDeclares(const char* name) const;

    void SetDefaultPassBinding(ZPassBinding* binding) { m_default = binding; }
    ZPassBinding* GetDefaultPassBinding() const { return m_default; }
    void SetPassBinding(ZHashedString passName, ZPassBinding* binding) { m_passes.Insert(passName, binding); }

private:
    ZPassBinding* m_default = nullptr;
    ZMap<ZHashedString, ZPassBinding*> m_passes;
};
