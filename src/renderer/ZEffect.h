#pragma once

#include <cstdint>
#include <string>

#include "foundation/ZArray.h"
#include "foundation/ZHashedString.h"
#include "foundation/ZMap.h"
#include "platform/gfx/effect.h"

class ZEffect;
class ZEffectParameter;

// A technique of an effect as shaders and the frame code use it. The effect
// owns its pass bindings; shaders only refer to them.
struct ZPassBinding {
    ZEffect* effect = nullptr;
    ZHashedString technique;
    gfx::Handle handle = 0;
};

// A list of automatic bindings that owns its elements.
class ZEffectParameterList {
public:
    ZEffectParameterList() = default;
    virtual ~ZEffectParameterList() { Clear(); }
    ZEffectParameterList(const ZEffectParameterList&) = delete;
    ZEffectParameterList& operator=(const ZEffectParameterList&) = delete;

    void Add(ZEffectParameter* binding) { m_items.PushBack(binding); }
    // Deletes every element.
    void Clear();
    uint32_t Count() const { return m_items.Count(); }
    ZEffectParameter* operator[](uint32_t i) const { return m_items[i]; }

private:
    ZArray<ZEffectParameter*> m_items;
};

// The automatic bindings of an effect by scope.
struct ZParameterBlock {
    enum Scope : uint32_t { kUnscoped = 0, kMatInst = 1, kRenderable = 2, kRendInst = 3, kScopeCount = 4 };
    ZEffectParameterList lists[kScopeCount];
};

// A compiled effect with the automatic bindings read from its parameters'
// annotations and a pass binding for each technique. An effect whose file is
// missing or does not compile keeps no device effect, no bindings and no
// techniques; everything on it then does nothing.
class ZEffect {
public:
    ZEffect(const char* fileName, ZHashedString name);
    virtual ~ZEffect();
    ZEffect(const ZEffect&) = delete;
    ZEffect& operator=(const ZEffect&) = delete;

    // The pass binding of a technique by hashed name, or null.
    ZPassBinding* FindTechnique(ZHashedString technique) const;
    // Makes this effect current (with no technique passes) and unbinds every texture binding.
    void ClearTextureBindings();
    // Sets no texture on every texture parameter, automatic or not, so that the
    // effect holds no texture (before a device reset).
    void UnbindAllTextures();

    gfx::Effect* GetEffect() const { return m_effect; }
    ZHashedString GetName() const { return m_name; }
    // The bindings the frame code fills while drawing (the block under key 0).
    ZParameterBlock* GetRenderInstanceDef() const;

private:
    // Reads every parameter, function and technique of the effect.
    void BuildRenderInstanceDef();
    // Classifies one parameter (and a structure's members) and files its binding.
    void ParseRenderInstanceDef(gfx::Handle parameter, const std::string& fullName, ZParameterBlock& block);

    ZMap<uint32_t, ZParameterBlock*> m_blocks;
    ZHashedString m_name;
    gfx::Effect* m_effect = nullptr;
    ZMap<ZHashedString, ZPassBinding*> m_techniques;
};

// Reads an effect file through the stream manager and compiles it on the
// renderer's device. A failure shows the "Shader Compilation Error" box with
// the compiler's text and leaves *effectOut null.
bool LoadEffectFromMemory(const char* fileName, gfx::Effect** effectOut);
