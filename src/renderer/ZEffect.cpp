#include "renderer/ZEffect.h"

#include <cstring>
#include <memory>
#include <optional>

#include "foundation/ZLog.h"
#include "foundation/ZStreamMgr.h"
#include "platform/window/window.h"
#include "renderer/ZEffectParameter.h"
#include "renderer/ZRenderer.h"

void ZEffectParameterList::Clear() {
    for (ZEffectParameter* binding : m_items) {
        delete binding;
    }
    m_items.Resize(0);
}

ZEffect::ZEffect(const char* fileName, const ZHashedString name) : m_name(name) {
    m_blocks.Insert(0, new ZParameterBlock());
    if (LoadEffectFromMemory(fileName, &m_effect)) {
        BuildRenderInstanceDef();
    }
}

ZEffect::~ZEffect() {
    ZRenderer* renderer = PeekRenderer();
    if (renderer != nullptr) {
        renderer->lastReleaseCount = 0;
    }
    if (m_effect != nullptr) {
        if (renderer != nullptr && renderer->currentEffect == m_effect) {
            renderer->currentEffect = nullptr;
        }
        const uint32_t left = m_effect->Release();
        if (renderer != nullptr) {
            renderer->lastReleaseCount = left;
        }
        m_effect = nullptr;
    }
    for (auto& node : m_techniques) {
        delete node.value;
    }
    m_techniques.Clear();
    for (auto& node : m_blocks) {
        delete node.value;
    }
    m_blocks.Clear();
}

ZParameterBlock* ZEffect::GetRenderInstanceDef() const { return m_blocks.Get(0); }

ZPassBinding* ZEffect::FindTechnique(const ZHashedString technique) const { return m_techniques.Get(technique); }

void ZEffect::ClearTextureBindings() {
    ZRenderer* renderer = GetRenderer();
    renderer->currentEffect = m_effect;
    renderer->techniquePassCount = 0;
    for (const auto& node : m_blocks) {
        for (const ZEffectParameterList& list : node.value->lists) {
            for (uint32_t i = 0; i < list.Count(); ++i) {
                list[i]->Unbind();
            }
        }
    }
}

void ZEffect::UnbindAllTextures() {
    if (m_effect == nullptr) {
        return;
    }
    const gfx::EffectDesc desc = m_effect->GetDesc();
    for (uint32_t i = 0; i < desc.parameters; ++i) {
        const gfx::Handle parameter = m_effect->GetParameter(0, i);
        gfx::ParamDesc pd;
        if (gfx::Succeeded(m_effect->GetParameterDesc(parameter, &pd)) && pd.paramClass == gfx::ParamClass::Object &&
            pd.type >= gfx::ParamType::Texture && pd.type <= gfx::ParamType::TextureCube) {
            m_effect->SetTexture(parameter, nullptr);
        }
    }
}

void ZEffect::BuildRenderInstanceDef() {
    const gfx::EffectDesc desc = m_effect->GetDesc();
    ZParameterBlock& block = *GetRenderInstanceDef();
    for (uint32_t i = 0; i < desc.parameters; ++i) {
        const gfx::Handle parameter = m_effect->GetParameter(0, i);
        gfx::ParamDesc pd;
        if (gfx::Succeeded(m_effect->GetParameterDesc(parameter, &pd)) && pd.name != nullptr) {
            ParseRenderInstanceDef(parameter, pd.name, block);
        }
    }
    for (uint32_t t = 0; t < desc.techniques; ++t) {
        const gfx::Handle technique = m_effect->GetTechnique(t);
        gfx::TechniqueDesc td;
        if (gfx::Failed(m_effect->GetTechniqueDesc(technique, &td)) || td.name == nullptr) {
            continue;
        }
        const ZHashedString techniqueName(td.name);
        if (m_techniques.Contains(techniqueName)) {
            continue;  // two techniques whose names differ only in case: the first one wins
        }
        auto* binding = new ZPassBinding{this, techniqueName, m_effect->GetTechniqueByName(td.name)};
        m_techniques.Insert(techniqueName, binding);
    }
}

void ZEffect::ParseRenderInstanceDef(const gfx::Handle parameter, const std::string& fullName,
                                     ZParameterBlock& block) {
    gfx::ParamDesc desc;
    if (gfx::Failed(m_effect->GetParameterDesc(parameter, &desc))) {
        return;
    }
    uint32_t scope = ZParameterBlock::kUnscoped;
    bool automatic = true;
    for (uint32_t a = 0; a < desc.annotations; ++a) {
        const gfx::Handle annotation = m_effect->GetAnnotation(parameter, a);
        gfx::ParamDesc ad;
        if (gfx::Failed(m_effect->GetParameterDesc(annotation, &ad)) || ad.name == nullptr) {
            continue;
        }
        if (std::strcmp(ad.name, "Scope") == 0 && ad.type == gfx::ParamType::String) {
            const char* value = nullptr;
            m_effect->GetString(annotation, &value);
            const ZHashedString scopeName(value);
            if (scopeName == ZHashedString("MatInst")) {
                scope = ZParameterBlock::kMatInst;
            } else if (scopeName == ZHashedString("Renderable")) {
                scope = ZParameterBlock::kRenderable;
            } else if (scopeName == ZHashedString("RendInst") || scopeName == ZHashedString("Instance")) {
                scope = ZParameterBlock::kRendInst;
            }
        } else if (std::strcmp(ad.name, "AutoGen") == 0 && ad.paramClass == gfx::ParamClass::Scalar &&
                   ad.type == gfx::ParamType::Bool) {
            bool value = true;
            m_effect->GetBool(annotation, &value);
            automatic = value;
        }
        // "DefVal" is recognised and has no effect.
    }

    if (automatic) {
        int32_t kind = 0;
        switch (desc.paramClass) {
            case gfx::ParamClass::Scalar:
                kind = desc.type == gfx::ParamType::Float  ? ZEffectParameter::kFloat
                       : desc.type == gfx::ParamType::Int  ? ZEffectParameter::kInt
                       : desc.type == gfx::ParamType::Bool ? ZEffectParameter::kBool
                                                           : 0;
                break;
            case gfx::ParamClass::Vector: kind = ZEffectParameter::kVector; break;
            case gfx::ParamClass::MatrixRows:
            case gfx::ParamClass::MatrixColumns: kind = ZEffectParameter::kMatrix; break;
            case gfx::ParamClass::Object:
                kind = desc.type == gfx::ParamType::Texture ? ZEffectParameter::kTexture : 0;
                break;
            case gfx::ParamClass::Struct: break;
        }
        if (kind != 0) {
            const uint32_t elements = kind == ZEffectParameter::kTexture ? 0 : desc.elements;
            block.lists[scope].Add(new ZEffectParameter(this, fullName.c_str(), kind, elements));
        }
    }
    for (uint32_t m = 0; m < desc.structMembers; ++m) {
        const gfx::Handle member = m_effect->GetParameter(parameter, m);
        gfx::ParamDesc md;
        if (gfx::Succeeded(m_effect->GetParameterDesc(member, &md)) && md.name != nullptr) {
            ParseRenderInstanceDef(member, fullName + "." + md.name, block);
        }
    }
}

bool LoadEffectFromMemory(const char* fileName, gfx::Effect** effectOut) {
    *effectOut = nullptr;
    ZRenderer* renderer = GetRenderer();
    gfx::Device* device = renderer->GetDevice();
    if (fileName == nullptr || device == nullptr) {
        return false;
    }
    char* buffer = nullptr;
    int64_t size = -1;
    if (!ZStreamMgr::GetInstance()->ReadFile(fileName, &buffer, &size)) {
        return false;
    }
    const std::unique_ptr<char[]> bytes(buffer);
    std::optional<std::string> errors;
    const gfx::Result result =
        renderer->Check(gfx::CreateEffect(device, bytes.get(), static_cast<size_t>(size), effectOut, &errors));
    if (gfx::Succeeded(result) && *effectOut != nullptr) {
        return true;
    }
    *effectOut = nullptr;
    ZLog::Printf("LoadEffectFromMemory: %s did not compile", fileName);
    // An error buffer without text shows nothing.
    if (!errors.has_value()) {
        platform::window::MessageBox("Shader Compilation Error", "Error loading effect file",
                                     platform::window::MB_OK | platform::window::MB_ICONERROR);
    } else if (!errors->empty()) {
        platform::window::MessageBox("Shader Compilation Error", *errors,
                                     platform::window::MB_OK | platform::window::MB_ICONERROR);
    }
    return false;
}
