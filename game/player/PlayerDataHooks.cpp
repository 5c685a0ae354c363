#include "game/player/PlayerDataHooks.h"

#include "entity/ZComponentLookup.h"
#include "entity/ZDataComponent.h"
#include "entity/ZDatum.h"
#include "foundation/ZHandleRegistry.h"
#include "framework/ZLocMgr.h"
#include "game/player/Player.h"
#include "game/progression/MinimapComponent.h"
#include "game/progression/SpeedrunComponent.h"

namespace {

template <typename T>
T* ComponentOf(const uint32_t handle) {
    return ResolveComponent<T>(FindObjectByHandle(handle));
}

}  // namespace

std::string CentreLocationTitle(const char* title) {
    const std::string text = title != nullptr ? title : "";
    const int64_t spaces = (24 - static_cast<int64_t>(text.size())) / 2;
    return spaces > 0 ? std::string(static_cast<size_t>(spaces), ' ') + text : text;
}

bool HasDatumHook(const uint32_t handle, const ZHashedString key) {
    const SpeedrunComponent* const speedrun = ComponentOf<SpeedrunComponent>(handle);
    return speedrun != nullptr && speedrun->IsCoursePowerupKey(key);
}

bool GetDatumHook(const uint32_t handle, const ZHashedString key, ZDatumEntry* const out) {
    static const ZHashedString kCollected("smcubes_loc_coll");
    static const ZHashedString kTotal("smcubes_loc_total");
    static const ZHashedString kTitle("loc_title");
    const SpeedrunComponent* const speedrun = ComponentOf<SpeedrunComponent>(handle);
    if (speedrun == nullptr || out == nullptr) {
        return false;
    }
    if (speedrun->GetCoursePowerupDatum(key, *out)) {
        return true;
    }
    MinimapComponent* const minimap = ComponentOf<MinimapComponent>(handle);
    if (minimap == nullptr) {
        return false;
    }
    if (key == kCollected || key == kTotal) {
        const GemCount count = minimap->CountCurrentLocation();
        *out = ZDatumEntry::Int(key == kCollected ? count.collected : count.total);
        return true;
    }
    if (key == kTitle) {
        static const ZHashedString kFile("KorvanthGame");
        static const ZHashedString kSection("Collections");
        ZString title;
        if (const ZLocMgr* const loc = ZLocMgr::GetInstance()) {
            title = loc->GetString(kFile, kSection, minimap->GetCurrentLocationTitleKey());
        }
        *out = ZDatumEntry::String(ZString(CentreLocationTitle(title.GetText()).c_str()));
        return true;
    }
    return false;
}

bool RefuseDatumHook(uint32_t /*handle*/, ZHashedString /*key*/, ZDatumEntry* /*entry*/) { return false; }

void InstallPlayerDataHooks(Player& player) {
    ZDataComponent* const data = GetComponent<ZDataComponent>(&player);
    if (data == nullptr) {
        return;
    }
    ZDataComponent::Provider provider;
    provider.has = &HasDatumHook;
    provider.get = &GetDatumHook;
    provider.update = &RefuseDatumHook;
    provider.add = &RefuseDatumHook;
    provider.subtract = &RefuseDatumHook;
    data->SetProvider(provider, player.GetHandle());
}
