// The frame: render passes drawing their groups, pass sets, the default-target
// override, stereo views and render-target dumps.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "foundation/ZLog.h"
#include "hmd/ZHMDMgr.h"
#include "platform/gfx/effect.h"
#include "renderer/ZEffect.h"
#include "renderer/ZEffectParameter.h"
#include "renderer/ZRenderGroup.h"
#include "renderer/ZRenderPassDesc.h"
#include "renderer/ZRenderPassSet.h"
#include "renderer/ZRenderTarget.h"
#include "renderer/ZRenderable.h"
#include "renderer/ZRenderer.h"
#include "renderer/ZShader.h"

namespace {

constexpr float kViewportEpsilon = 1e-05f;

// Per-eye figures of a stereo frame.
constexpr float kEyeScale = 0.5f;
constexpr float kEyeVertScale = 1.25f;
constexpr float kEyeFovScale = 1.9296875f;

// Rounds half up to whole pixels within 0..limit; NaN gives 0.
int32_t RoundPixels(const float value, const int32_t limit) {
    const float v = value + 0.5f;
    if (!(v > 0.0f)) {
        return 0;
    }
    if (v >= static_cast<float>(limit)) {
        return limit;
    }
    return static_cast<int32_t>(v);
}

float ClampDepth(const float z) {
    if (!(z > 0.0f)) {
        return 0.0f;
    }
    return z > 1.0f ? 1.0f : z;
}

// Hands every binding of a scope to the source; true when there was one.
bool HandOver(const ZEffectParameterList& list, ZParameterSource* source, const ZHashedString passName) {
    if (source == nullptr || list.Count() == 0) {
        return false;
    }
    for (uint32_t i = 0; i < list.Count(); ++i) {
        source->SetParameters(list[i], passName, source);
    }
    return true;
}

// Parameter sources carry no visible flag of their own; a source that is a
// renderable answers with its flag.
bool IsVisible(ZParameterSource* source) {
    const auto* renderable = dynamic_cast<ZRenderable*>(source);
    return renderable == nullptr || renderable->visible;
}

uintptr_t Key(const void* pointer) {
    return reinterpret_cast<uintptr_t>(pointer);
}

}  // namespace

// --- The lists ------------------------------------------------------------------

ZRenderPassDesc* ZRenderer::FindRenderPass(const ZHashedString name) const {
    for (ZRenderPassDesc* pass : renderPasses) {
        if (pass != nullptr && pass->name == name) {
            return pass;
        }
    }
    return nullptr;
}

void ZRenderer::AddRenderPass(ZRenderPassDesc* pass) {
    if (pass != nullptr) {
        renderPasses.AddUnique(pass);
    }
}

ZRenderPassDesc* ZRenderer::CreateRenderPass(const ZHashedString name) {
    if (ZRenderPassDesc* pass = FindRenderPass(name)) {
        return pass;
    }
    auto* pass = new ZRenderPassDesc(name);
    renderPasses.PushBack(pass);
    return pass;
}

ZRenderPassSet* ZRenderer::FindPassSet(const ZHashedString name) const {
    for (ZRenderPassSet* set : passSets) {
        if (set != nullptr && set->name == name) {
            return set;
        }
    }
    return nullptr;
}

ZRenderPassSet* ZRenderer::CreatePassSet(const ZHashedString name) {
    if (ZRenderPassSet* set = FindPassSet(name)) {
        return set;
    }
    auto* set = new ZRenderPassSet(name);
    passSets.PushBack(set);
    return set;
}

ZRenderGroup* ZRenderer::CreateRenderGroup(const ZHashedString name) {
    if (ZRenderGroup* group = FindRenderGroup(name)) {
        return group;
    }
    auto* group = new ZRenderGroup(name);
    renderGroups.PushBack(group);
    return group;
}

ZRenderGroup* ZRenderer::FindRenderGroup(const ZHashedString name) const {
    for (ZRenderGroup* group : renderGroups) {
        if (group != nullptr && group->name == name) {
            return group;
        }
    }
    return nullptr;
}

void ZRenderer::RemoveFromRenderGroup(const ZHashedString name, ZRenderable* renderable) {
    if (ZRenderGroup* group = FindRenderGroup(name)) {
        group->Remove(renderable);
    }
}

void ZRenderer::RemoveFromAllRenderGroups(ZRenderable* renderable) {
    for (ZRenderGroup* group : renderGroups) {
        if (group != nullptr) {
            group->Remove(renderable);
        }
    }
}

void ZRenderer::DeleteRenderPasses() {
    // A description may be listed by the default list and by sets alike: free each once.
    ZArray<ZRenderPassDesc*> all;
    for (ZRenderPassDesc* pass : renderPasses) {
        all.AddUnique(pass);
    }
    for (ZRenderPassSet* set : passSets) {
        for (ZRenderPassDesc* pass : set->passes) {
            all.AddUnique(pass);
        }
        delete set;
    }
    for (ZRenderPassDesc* pass : all) {
        delete pass;
    }
    renderPasses.Clear();
    passSets.Clear();
}

void ZRenderer::DeleteRenderGroups() {
    for (ZRenderGroup* group : renderGroups) {
        delete group;
    }
    renderGroups.Clear();
}

bool ZRenderer::DrawsOverWholeTarget(const ZRenderPassDesc* pass, ZRenderable* quad) {
    ZShader* shader = quad != nullptr ? quad->GetShader() : nullptr;
    if (pass == nullptr || shader == nullptr || !pass->enabled || !quad->visible) {
        return false;
    }
    if (pass->viewportX != 0.0f || pass->viewportY != 0.0f || pass->viewportWidth != 1.0f ||
        pass->viewportHeight != 1.0f) {
        return false;
    }
    bool held = false;
    for (const ZRenderGroup* group : pass->groups) {
        held = held || (group != nullptr && group->enabled && group->Contains(quad));
    }
    const ZPassBinding* binding = held ? shader->GetPassBinding(pass->name) : nullptr;
    return binding != nullptr && binding->effect != nullptr && binding->effect->GetEffect() != nullptr;
}

// --- The frame --------------------------------------------------------------------

void ZRenderer::RenderFrame(const ZHashedString passSetName) {
    ZHMDMgr* hmd = GetHMDManager();
    if (hmd == nullptr || !hmd->IsActive()) {
        finalView = true;
        RenderPasses(passSetName);
        dumpRenderTargets = false;
        return;
    }
    // The left eye first; per-frame batches empty only after the right one (finalView).
    hmd->viewportScale = kEyeScale;
    hmd->viewportOffset = 0.0f;
    hmd->eye = 1;
    hmd->lensCenter = hmd->lensOffset;
    hmd->vertScale = kEyeVertScale;
    hmd->fovScale = kEyeFovScale;
    finalView = false;
    RenderPasses(passSetName);

    hmd->viewportScale = kEyeScale;
    hmd->viewportOffset = 0.5f;
    hmd->eye = 2;
    hmd->lensCenter = -hmd->lensOffset;
    hmd->vertScale = kEyeVertScale;
    hmd->fovScale = kEyeFovScale;
    finalView = true;
    RenderPasses(passSetName);
    dumpRenderTargets = false;
}

void ZRenderer::RenderPasses(const ZHashedString passSetName) {
    if (!IsReady()) {
        return;
    }
    const ZArray<ZRenderPassDesc*>* passes = &renderPasses;
    if (!passSetName.IsNone()) {
        if (const ZRenderPassSet* set = FindPassSet(passSetName)) {
            passes = &set->passes;
        }
    }

    // Nothing of an earlier view carries over but the override.
    m_boundTargets.Resize(0);
    m_boundOverride = defaultTarget;
    m_viewportSet = false;
    m_drawEffect = nullptr;
    m_openBinding = nullptr;
    m_openEffect = nullptr;
    m_lastUnscoped = nullptr;
    m_lastRenderable = nullptr;
    BindTargetSlot(0, defaultTarget, false);

    bool first = true;
    // By index: a pre-pass callback may add passes.
    for (uint32_t i = 0; i < passes->Count(); ++i) {
        ZRenderPassDesc* pass = (*passes)[i];
        if (pass == nullptr || !pass->enabled) {
            continue;
        }
        const bool firstPass = first;
        first = false;
        if (pass->prePass != nullptr) {
            pass->prePass(0);
        }
        if (m_passDepthOff) {
            RestorePassDepth();
        }

        if (pass->switchTarget) {
            defaultTarget = pass->defaultTarget;
            // While no pass has bound targets of its own, the new default takes effect at once.
            if (m_boundTargets.IsEmpty()) {
                UnbindTextures();
                BindTargetSlot(0, defaultTarget, false);
                if (pass->targets.IsEmpty()) {
                    Check(m_device->SetDepthStencilSurface(m_defaultDepthStencil));
                }
            }
            continue;
        }

        bool changed = false;
        if (pass->bindTargets) {
            changed = pass->targets.Count() != m_boundTargets.Count() || defaultTarget != m_boundOverride;
            for (uint32_t slot = 0; !changed && slot < pass->targets.Count(); ++slot) {
                changed = pass->targets[slot] != m_boundTargets[slot];
            }
            if (changed) {
                BindPassTargets(*pass);
            }
            if ((changed || firstPass || pass->clearAlways) && (pass->clearColor || pass->clearDepth)) {
                Clear(pass->clearColor, pass->clearDepth,
                      pass->clearColor ? pass->clearColorValue.ToARGB() : 0u,
                      pass->clearDepth ? pass->clearDepthValue : 1.0f);
            }
        }
        SetPassViewport(*pass, changed);
        if (!pass->depthStencil) {
            SetPassWithoutDepth();
        }

        // By index: drawing may add groups or renderables.
        for (uint32_t g = 0; g < pass->groups.Count(); ++g) {
            ZRenderGroup* group = pass->groups[g];
            if (group != nullptr && group->enabled) {
                DrawGroup(*pass, *group);
            }
        }
        if (pass->resolveTarget != nullptr) {
            CopyToResolveTarget(*pass);
        }
    }
    EndTechnique();
    m_drawEffect = nullptr;
    if (m_passDepthOff) {
        RestorePassDepth();
    }
}

void ZRenderer::SetPassWithoutDepth() {
    gfx::Surface* bound = nullptr;
    Check(m_device->GetDepthStencilSurface(&bound));
    if (bound == nullptr) {
        return;
    }
    // The surface stays alive while the pass draws: its target or the renderer holds it.
    bound->Release();
    m_passDepth = bound;
    m_passDepthOff = true;
    Check(m_device->SetDepthStencilSurface(nullptr));
}

void ZRenderer::RestorePassDepth() {
    Check(m_device->SetDepthStencilSurface(m_passDepth));
    m_passDepth = nullptr;
    m_passDepthOff = false;
}

void ZRenderer::UnbindTextures() {
    for (uint32_t stage = 0; stage < gfx::kMaxSamplers; ++stage) {
        Check(m_device->SetTexture(stage, nullptr));
    }
}

void ZRenderer::BindTargetSlot(const uint32_t slot, ZRenderTarget* target, const bool unbind) {
    if (unbind) {
        Check(m_device->SetRenderTarget(slot, nullptr));
        return;
    }
    if (target != nullptr && target->surface != nullptr) {
        SetRenderTarget(slot, target);
        target->written = true;
    } else if (slot == 0) {
        SetRenderTarget(0, nullptr);
    } else {
        Check(m_device->SetRenderTarget(slot, m_backBuffer));
    }
    if (slot == 0) {
        m_slot0 = target != nullptr && target->surface != nullptr ? target : nullptr;
        // A new first target resets the device's viewport to the whole target.
        m_viewportSet = false;
    }
}

void ZRenderer::BindPassTargets(const ZRenderPassDesc& pass) {
    UnbindTextures();
    const uint32_t count = pass.targets.Count();
    const uint32_t bound = m_boundTargets.Count();
    // At least slot 0, so that a changed override is bound even between two passes without targets.
    const uint32_t slots = std::min(std::max({count, bound, 1u}), gfx::kMaxTargets);
    for (uint32_t slot = 0; slot < slots; ++slot) {
        if (slot < count) {
            if (slot >= bound || pass.targets[slot] != m_boundTargets[slot]) {
                BindTargetSlot(slot, pass.targets[slot], false);
            }
        } else if (slot == 0) {
            BindTargetSlot(0, defaultTarget, false);
        } else {
            BindTargetSlot(slot, nullptr, true);
        }
    }
    if (count == 0) {
        Check(m_device->SetDepthStencilSurface(m_defaultDepthStencil));
    }
    if (dumpRenderTargets) {
        DumpTargets(m_boundTargets);
    }
    m_boundTargets = pass.targets;
    m_boundOverride = defaultTarget;
}

void ZRenderer::SetPassViewport(const ZRenderPassDesc& pass, const bool force) {
    const float wanted[6] = {pass.viewportX,      pass.viewportY, pass.viewportWidth,
                             pass.viewportHeight, pass.minZ,      pass.maxZ};
    if (!force && m_viewportSet) {
        bool same = true;
        for (int i = 0; i < 6 && same; ++i) {
            same = std::fabs(wanted[i] - m_viewport[i]) <= kViewportEpsilon;
        }
        if (same) {
            return;
        }
    }
    if (m_targetWidth <= 0 || m_targetHeight <= 0) {
        return;
    }
    float eyeScale = 1.0f;
    float eyeOffset = 0.0f;
    const ZHMDMgr* hmd = GetHMDManager();
    if (hmd != nullptr && hmd->IsActive()) {
        eyeScale = hmd->viewportScale;
        eyeOffset = hmd->viewportOffset;
    }
    const auto w = static_cast<float>(m_targetWidth);
    const auto h = static_cast<float>(m_targetHeight);
    // Rounded, then kept inside the target: a rectangle one pixel too wide would be refused whole.
    const int32_t x =
        std::min(RoundPixels(w * (eyeOffset + pass.viewportX), m_targetWidth), m_targetWidth - 1);
    const int32_t y = std::min(RoundPixels(h * pass.viewportY, m_targetHeight), m_targetHeight - 1);
    const int32_t width = std::max(
        1, std::min(RoundPixels(w * eyeScale * pass.viewportWidth, m_targetWidth), m_targetWidth - x));
    const int32_t height =
        std::max(1, std::min(RoundPixels(h * pass.viewportHeight, m_targetHeight), m_targetHeight - y));
    gfx::Viewport viewport;
    viewport.x = static_cast<uint32_t>(x);
    viewport.y = static_cast<uint32_t>(y);
    viewport.width = static_cast<uint32_t>(width);
    viewport.height = static_cast<uint32_t>(height);
    viewport.minZ = ClampDepth(pass.minZ);
    viewport.maxZ = std::max(viewport.minZ, ClampDepth(pass.maxZ));
    Check(m_device->SetViewport(viewport));
    std::copy(wanted, wanted + 6, m_viewport);
    m_viewportSet = true;
}

// --- Groups -------------------------------------------------------------------------

void ZRenderer::DrawGroup(const ZRenderPassDesc& pass, ZRenderGroup& group) {
    // Sorted by layer, then effect, then pass binding, then sources, so that
    // each technique begins once per run and the broad scopes are set only
    // when their source changes.
    m_drawList.clear();
    for (ZRenderable* renderable : group.renderables) {
        if (renderable == nullptr) {
            continue;
        }
        DrawEntry entry{};
        entry.renderable = renderable;
        if (ZShader* shader = renderable->GetShader()) {
            entry.binding = shader->GetPassBinding(pass.name);
            entry.key[0] = Key(entry.binding != nullptr ? entry.binding->effect : nullptr);
            entry.key[1] = Key(entry.binding);
            entry.key[2] = Key(shader->GetUnscopedSource());
            entry.key[3] = Key(shader->GetMaterialInstanceSource());
        }
        entry.key[4] = Key(renderable->GetRenderableSource());
        entry.key[5] = Key(renderable->GetRenderInstanceSource());
        entry.key[6] = m_drawList.size();
        m_drawList.push_back(entry);
    }
    // Each key becomes the rank of its first appearance in the group. An
    // address would order the runs, and the sprites within a run, by where
    // the heap happened to put them: overlapping renderables of one layer
    // would cover each other differently from one build or run to the next.
    // Ranks keep the runs, in the order the group first meets them, and the
    // group's own order within a run (a sprite added later draws over one
    // added earlier), whatever the memory layout.
    for (size_t column = 0; column < 6; ++column) {
        m_keyOrder.clear();
        for (size_t i = 0; i < m_drawList.size(); ++i) {
            m_keyOrder.emplace_back(m_drawList[i].key[column], i);
        }
        // Equal values side by side, each run in the group's order: the
        // first of a run gives the rank of them all.
        std::sort(m_keyOrder.begin(), m_keyOrder.end());
        uintptr_t rank = 0;
        for (size_t k = 0; k < m_keyOrder.size(); ++k) {
            if (k == 0 || m_keyOrder[k].first != m_keyOrder[k - 1].first) {
                rank = m_keyOrder[k].second;
            }
            m_drawList[m_keyOrder[k].second].key[column] = rank;
        }
    }
    // Layers first: a renderable on a higher layer draws over the others.
    const auto byLayerThenKeys = [&group](const DrawEntry& a, const DrawEntry& b) {
        const int32_t layerA = group.layers.empty() ? 0 : group.GetLayer(a.renderable);
        const int32_t layerB = group.layers.empty() ? 0 : group.GetLayer(b.renderable);
        if (layerA != layerB) {
            return layerA < layerB;
        }
        return std::lexicographical_compare(a.key, a.key + 7, b.key, b.key + 7);
    };
    // Every entry's keys differ in the last one at least: a plain sort keeps
    // the group's order within a run, with no buffer to allocate per group.
    std::sort(m_drawList.begin(), m_drawList.end(), byLayerThenKeys);
    // The group keeps the order (a null entry goes to the end).
    uint32_t at = 0;
    for (const DrawEntry& entry : m_drawList) {
        group.renderables[at++] = entry.renderable;
    }
    while (at < group.renderables.Count()) {
        group.renderables[at++] = nullptr;
    }

    // The walk uses the sorted copy: a renderable's Draw may change the group.
    const std::vector<DrawEntry>& list = m_drawList;
    size_t begin = 0;
    while (begin < list.size()) {
        ZPassBinding* binding = list[begin].binding;
        size_t end = begin + 1;
        // A run ends where the layer changes: every pass of a lower layer
        // is drawn before the first of a higher one.
        const int32_t layer = group.layers.empty() ? 0 : group.GetLayer(list[begin].renderable);
        while (end < list.size() && list[end].binding == binding &&
               (group.layers.empty() || group.GetLayer(list[end].renderable) == layer)) {
            ++end;
        }
        ZEffect* effect = binding != nullptr ? binding->effect : nullptr;
        gfx::Effect* fx = effect != nullptr ? effect->GetEffect() : nullptr;
        if (fx == nullptr) {
            // No shader, no binding for this pass, or an effect that did not load.
            begin = end;
            continue;
        }
        if (effect != m_drawEffect) {
            EndTechnique();
            m_drawEffect = effect;
            // Values live in each effect: what was set on another is not set on this one.
            m_lastUnscoped = nullptr;
            m_lastRenderable = nullptr;
        }
        currentEffect = fx;
        if (m_openEffect != fx || m_openBinding == nullptr || m_openBinding->handle != binding->handle) {
            EndTechnique();
            uint32_t passCount = 0;
            if (gfx::Succeeded(Check(fx->SetTechnique(binding->handle))) &&
                gfx::Succeeded(Check(fx->Begin(&passCount, gfx::kDoNotSaveState)))) {
                m_openEffect = fx;
                m_openBinding = binding;
                techniquePassCount = passCount;
            }
        }
        const ZParameterBlock* block = effect->GetRenderInstanceDef();
        const uint32_t techniquePasses = m_openEffect == fx ? techniquePassCount : 0;
        for (uint32_t p = 0; p < techniquePasses; ++p) {
            if (gfx::Failed(Check(fx->BeginPass(p)))) {
                continue;
            }
            for (size_t k = begin; k < end; ++k) {
                ZRenderable& renderable = *list[k].renderable;
                ZParameterSource* instance = renderable.GetRenderInstanceSource();
                if (renderable.visible && IsVisible(renderable.GetRenderableSource()) &&
                    (instance == nullptr || IsVisible(instance))) {
                    currentEffect = fx;
                    DrawRenderable(renderable, pass, block);
                }
            }
            Check(fx->EndPass());
        }
        begin = end;
    }
}

void ZRenderer::DrawRenderable(ZRenderable& renderable, const ZRenderPassDesc& pass,
                               const ZParameterBlock* block) {
    ZShader* shader = renderable.GetShader();
    ZParameterSource* unscoped = shader->GetUnscopedSource();
    ZParameterSource* material = shader->GetMaterialInstanceSource();
    ZParameterSource* source = renderable.GetRenderableSource();
    ZParameterSource* instance = renderable.GetRenderInstanceSource();

    bool handed = false;
    if (block != nullptr) {
        if (unscoped != m_lastUnscoped) {
            m_lastUnscoped = unscoped;
            handed |= HandOver(block->lists[ZParameterBlock::kUnscoped], unscoped, pass.name);
        }
        handed |= HandOver(block->lists[ZParameterBlock::kMatInst], material != nullptr ? material : unscoped,
                           pass.name);
        if (source != m_lastRenderable) {
            m_lastRenderable = source;
            handed |= HandOver(block->lists[ZParameterBlock::kRenderable], source, pass.name);
        }
        handed |= HandOver(block->lists[ZParameterBlock::kRendInst], instance != nullptr ? instance : source,
                           pass.name);
    }
    if (handed && currentEffect != nullptr) {
        Check(currentEffect->CommitChanges());
    }
    // The renderable source draws when it is a renderable; otherwise the renderable itself.
    auto* drawer = dynamic_cast<ZRenderable*>(source);
    (drawer != nullptr ? drawer : &renderable)->Draw(this, instance);
}

void ZRenderer::EndTechnique() {
    if (m_openEffect != nullptr) {
        Check(m_openEffect->End());
    }
    m_openEffect = nullptr;
    m_openBinding = nullptr;
    techniquePassCount = 0;
}

// --- Resolve and dump ---------------------------------------------------------------

void ZRenderer::CopyToResolveTarget(const ZRenderPassDesc& pass) {
    ZRenderTarget* into = pass.resolveTarget;
    if (into->surface == nullptr) {
        return;
    }
    // What the pass drew into: its first target, or whatever slot 0 held for it.
    gfx::Surface* from = m_slot0 != nullptr ? m_slot0->surface : m_backBuffer;
    if (from == nullptr || from == into->surface) {
        return;
    }
    Check(m_device->StretchRect(from, nullptr, into->surface, nullptr, gfx::TextureFilter::Linear));
}

void ZRenderer::DumpTargets(const ZArray<ZRenderTarget*>& targets) {
    for (ZRenderTarget* target : targets) {
        // A null entry stands for the back buffer.
        gfx::Surface* surface = target != nullptr ? target->surface : m_backBuffer;
        gfx::SurfaceDesc desc;
        if (surface == nullptr || gfx::Failed(surface->GetDesc(&desc)) || desc.width == 0 ||
            desc.height == 0) {
            continue;
        }
        std::vector<uint32_t> pixels(static_cast<size_t>(desc.width) * desc.height, 0xFF000000u);
        ReadRenderTargetPixels(surface, pixels.data(), ZHashedString::None());
        char name[64];
        std::snprintf(name, sizeof name, kDumpFileFormat, static_cast<int>(dumpCounter));
        ++dumpCounter;
        if (!WriteBMP(name, pixels.data(), static_cast<int32_t>(desc.width),
                      static_cast<int32_t>(desc.height))) {
            ZLog::Printf("Could not write the render target dump %s", name);
        }
    }
}
