#include "game/menus/GameMenuSupport.h"

#include "framework/ZConfigVar.h"
#include "framework/ZLocMgr.h"
#include "menu/ZMenuItem.h"
#include "menu/ZMenuMgr.h"
#include "menu/ZMenuUnderlay.h"

ZString GameMenuText(const char* section, const char* key) {
    static const ZHashedString kFile("KorvanthMenus");
    return ZLocMgr::GetInstance()->GetString(kFile, ZHashedString(section), ZHashedString(key));
}

ZString EngineMenuText(const char* section, const char* key) {
    static const ZHashedString kFile("Menus");
    return ZLocMgr::GetInstance()->GetString(kFile, ZHashedString(section), ZHashedString(key));
}

ZString SwitchText(const ZString& label, const ZString& value) {
    return ZString("< ") + label + ": " + value + " >";
}

ZMenuUnderlay* ArrangeAround(ZMenu& menu, const ZMenuItem* const* around, const size_t count, const float padX,
                             const float padY) {
    float min[2] = {10000.0f, 10000.0f};
    float max[2] = {-10000.0f, -10000.0f};
    for (size_t i = 0; i < count; ++i) {
        if (around[i] != nullptr) around[i]->ExpandBounds(min, max);
    }
    auto* underlay = new ZMenuUnderlay();
    underlay->SetPosition((min[0] + max[0]) * 0.5f, (min[1] + max[1]) * 0.5f);
    underlay->SetSize(max[0] - min[0] + 2.0f * padX, max[1] - min[1] + 2.0f * padY);
    underlay->Refresh();
    menu.underlays.PushBack(underlay);
    return underlay;
}

void WidenPanel(ZMenuUnderlay* panel, const float minimumWidth) {
    if (panel == nullptr || panel->width >= minimumWidth) return;
    panel->SetSize(minimumWidth, panel->height);
    panel->Refresh();
}

float SmootherStep(const float t) { return t * t * t * (t * (6.0f * t - 15.0f) + 10.0f); }

void TransitionOnlyBackdrop(float* opacity) {
    const ZMenuMgr* menus = GetMenuMgr();
    const int32_t state = menus->GetTransitionState();
    const int32_t direction = menus->GetDirection();
    if ((state == ZMenuMgr::kOpening && direction == ZMenuMgr::kForward) ||
        (state == ZMenuMgr::kClosing && direction == ZMenuMgr::kBack)) {
        // The progress has had the top menu's adjustment already.
        *opacity = 1.0f - menus->GetProgress();
        return;
    }
    *opacity = 0.0f;
}

bool* FindConfigBool(const ZHashedString section, const ZHashedString name) {
    for (ZConfigSection& s : GetConfigSections()) {
        if (!(s.id == section)) continue;
        for (ZConfigVar& var : s.vars) {
            if (var.name == name && var.type == ZConfigVar::kTypeBool) return static_cast<bool*>(var.storage);
        }
    }
    return nullptr;
}

void SetConfigBool(const ZHashedString section, const ZHashedString name, const bool value) {
    ZConfigVar::SetFromString(value ? "true" : "false", section, name);
}
