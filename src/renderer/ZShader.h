#pragma once

#include "foundation/ZHashedString.h"
#include "foundation/ZMap.h"
#include "renderer/ZParameterSource.h"

struct ZPassBinding;

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

    void SetDefaultPassBinding(ZPassBinding* binding) { m_default = binding; }
    ZPassBinding* GetDefaultPassBinding() const { return m_default; }
    void SetPassBinding(ZHashedString passName, ZPassBinding* binding) { m_passes.Insert(passName, binding); }

private:
    ZPassBinding* m_default = nullptr;
    ZMap<ZHashedString, ZPassBinding*> m_passes;
};
