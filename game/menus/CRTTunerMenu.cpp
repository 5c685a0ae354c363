#include "game/menus/CRTTunerMenu.h"

#include <cmath>
#include <limits>

#include "foundation/ZLog.h"
#include "framework/ZConfigVar.h"
#include "game/menus/GameMenuSupport.h"
#include "menu/ZMenuLabel.h"
#include "menu/ZMenuMgr.h"
#include "menu/ZMenuSpinner.h"

namespace {

constexpr float kNone = std::numeric_limits<float>::quiet_NaN();

constexpr CRTTunerMenu::Row kShape[] = {
    {"", "FOV", "%.2f", kNone},
    {"CRT", "Overscan", "%.3f", kNone},
    {"CRT", "Barrel", "%.2f", 0.0f},
    {"CRT", "PixelAspectRatio", "%.2f", 1.0f},
};

constexpr CRTTunerMenu::Row kColor[] = {
    {"CRT", "ScanOpacity", "%.2f", kNone}, {"CRT", "ScanBright", "%.2f", kNone},
    {"CRT", "NTSC", "%.2f", kNone},        {"CRT", "NTSCBlend", "%.2f", kNone},
    {"CRT", "Sharp", "%.2f", kNone},       {"CRT", "Pers", "%.2f", kNone},
    {"CRT", "Bleed", "%.2f", kNone},       {"CRT", "NTSCLUTBlend", "%.2f", kNone},
    {"NTSC", "Tint", "%.2f", kNone},       {"NTSC", "IScalar", "%.2f", kNone},
    {"NTSC", "QScalar", "%.2f", kNone},    {"CRT", "Sat", "%.2f", 1.0f},
};

constexpr CRTTunerMenu::Row kLighting[] = {
    {"Lighting", "LightPosX", "%.2f", kNone},        {"Lighting", "LightPosY", "%.2f", kNone},
    {"Lighting", "DiffuseLight", "%.2f", kNone},     {"Lighting", "SpecularLight", "%.2f", kNone},
    {"Lighting", "SpecularPower", "%.2f", kNone},    {"Lighting", "FresnelLight", "%.2f", kNone},
    {"Lighting", "BorderBrightness", "%.2f", kNone}, {"CRT", "Dim", "%.2f", kNone},
    {"CRT", "Refl", "%.2f", kNone},                  {"CRT", "Bloom", "%.2f", kNone},
    {"CRT", "BloomPower", "%.2f", kNone},
};

template <size_t N>
const CRTTunerMenu::Row* Rows(const CRTTunerMenu::Row (&rows)[N], int32_t& count) {
    count = static_cast<int32_t>(N);
    return rows;
}

}  // namespace

const CRTTunerMenu::Row* CRTTunerShapeMenu::GetRows(int32_t& count) const { return Rows(kShape, count); }
const CRTTunerMenu::Row* CRTTunerColorMenu::GetRows(int32_t& count) const { return Rows(kColor, count); }
const CRTTunerMenu::Row* CRTTunerLightingMenu::GetRows(int32_t& count) const { return Rows(kLighting, count); }

void CRTTunerMenu::BuildItems() {
    const ZMenuItem* back = AddMenuItem(*this, EngineMenuText("AudioMenu", "Back"), 64.0f, 656.0f, 1, 1.0f);
    ZMenuLabel* description = AddMenuItem<ZMenuLabel>(*this, ZString(" \n \n "), 960.0f, 656.0f, 3, 0.375f);
    int32_t count = 0;
    const Row* rows = GetRows(count);
    for (int32_t i = 0; i < count; ++i) {
        const Row& row = rows[i];
        const ZHashedString section = row.section[0] == '\0' ? ZHashedString::None() : ZHashedString(row.section);
        const ZString descKey = ZString(row.variable) + "Desc";
        ZMenuSpinner* spinner = AddValueSpinner(
            160.0f, 64.0f + 28.0f * static_cast<float>(i), 0.375f, 0.5f, GameMenuText("CRTTunerMenu", row.variable),
            GameMenuText("CRTTunerMenu", descKey.GetText()), description, section, ZHashedString(row.variable),
            row.format);
        if (spinner == nullptr) continue;  // logged: the variable has no range
        if (!std::isnan(row.extraMark) && spinner->maximum > spinner->minimum) {
            spinner->AddSnapPoint((row.extraMark - spinner->minimum) / (spinner->maximum - spinner->minimum));
        }
    }
    WidenPanel(ArrangeAround(*this, {back, description}, 60.0f, 48.0f), 960.0f);
}

void CRTTunerMenu::HandleAction(const ZMenuEvent& event, ZMenuMouseState* mouse) {
    ZMenu::HandleAction(event, mouse);
    if (event.kind == ZMenuEventKind::Accept && selectedIndex == 0) GetMenuMgr()->CloseMenu();
}
