#include "game/menus/KorvanthPauseMenu.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "framework/ZBaseGame.h"
#include "framework/ZLocMgr.h"
#include "game/menus/GameFlow.h"
#include "game/menus/GameMenuSupport.h"
#include "game/menus/RandomizerInfoMenu.h"
#include "game/player/Player.h"
#include "game/player/PlayerSave.h"
#include "game/player/PlayerTransition.h"
#include "game/progression/MinimapComponent.h"
#include "game/progression/RandomizerComponent.h"
#include "entity/ZComponentLookup.h"
#include "entity/ZSpatialComponent.h"
#include "game/world/KorvanthGame.h"
#include "menu/ConfirmationMenu.h"
#include "menu/PauseMenu.h"
#include "menu/ZMenuLabel.h"
#include "menu/ZMenuMgr.h"

KorvanthPauseMenu::KorvanthPauseMenu() {
    const bool demo = ZBaseGame::GetInstance()->IsDemoMode();
    const bool randomized = gameflow::IsRandomized();
    struct Button {
        const char* name;
        bool engineText;
        bool shown;
    };
    const Button buttons[] = {
        {"Resume", true, true},
        {"Options", true, !demo},
        {"DebugReset", false, randomized},
        {"DebugCritPath", false, randomized},
        {"Title", true, true},
    };
    int32_t n = 0;
    for (const Button& b : buttons) n += b.shown ? 1 : 0;
    std::vector<const ZMenuItem*> framed;
    int32_t k = 0;
    for (const Button& b : buttons) {
        if (!b.shown) continue;
        if (b.name[0] == 'T' && randomized) {
            // The information sits outside the panel, before Title in the list.
            AddMenuItem<ZMenuLabel>(*this, BuildRandomizerInfoText(), 32.0f, 32.0f, 1, 0.5f);
        }
        const ZString text = b.engineText ? EngineMenuText("PauseMenu", b.name) : GameMenuText("PauseMenu", b.name);
        const float y = 384.0f + 56.0f * (static_cast<float>(k) - static_cast<float>(n - 1) / 2.0f);
        framed.push_back(AddMenuItem(*this, text, 512.0f, y, 0, 1.0f, b.name));
        ++k;
    }
    ArrangeAround(*this, framed.data(), framed.size(), 80.0f, 64.0f);
}

void KorvanthPauseMenu::HandleAction(const ZMenuEvent& event, ZMenuMouseState* mouse) {
    ZMenu::HandleAction(event, mouse);
    if (event.kind != ZMenuEventKind::Accept) return;
    const ZMenuItem* selected = GetSelectedItem();
    const ZHashedString name = selected != nullptr ? selected->GetName() : ZHashedString::None();
    ZBaseGame* game = ZBaseGame::GetInstance();
    if (name == ZHashedString("Resume")) {
        GetMenuMgr()->CloseMenu();
    } else if (name == ZHashedString("Options")) {
        GetMenuMgr()->OpenMenu(game->CreateOptionsMenu());
    } else if (name == ZHashedString("Title")) {
        ZMenu* menu = game->CreateConfirmationMenu(false);
        if (auto* confirmation = dynamic_cast<ConfirmationMenu*>(menu)) {
            confirmation->SetDescription(EngineMenuText("PauseMenu", "ConfirmReset"));
            confirmation->yesCallback = PauseMenu::OnConfirmReset;
            confirmation->context = this;
        }
        GetMenuMgr()->OpenMenu(menu);
    } else if (name == ZHashedString("DebugReset")) {
        ResetToOverworldStart();
        GetMenuMgr()->CloseMenu();
    } else if (name == ZHashedString("DebugCritPath")) {
        GetMenuMgr()->OpenMenu(new RandomizerInfoMenu());
    }
}

void KorvanthPauseMenu::ResetToOverworldStart() {
    static const ZHashedString kOverworld("Overworld Map");
    static const ZHashedString kFromIntro("FromIntro");
    KorvanthGame* const game = KorvanthGame::Get();
    Player* const player = game != nullptr ? game->GetPlayer() : nullptr;
    if (player == nullptr) return;
    if (ZHashedString(game->GetCurrentMapName().GetText()) != kOverworld) game->LoadCampaign("Overworld Map");
    game->GetMapData().currentRoomX = 0;
    game->GetMapData().currentRoomY = 0;
    game->SetPreviousRoomShift(0.0f, 0.0f);
    game->LoadRoom();
    game->LoadEntityInstances(false);
    // The intro's arrival marker among every live entity (the room's and
    // the game's list), the last one when there are several, as arrivals
    // find theirs.
    ZVector3 start(128.0f, 112.0f, 0.0f);
    if (ZEntity* const marker = FindArrivalEntity(kFromIntro)) {
        const ZSpatialComponent* const spatial = GetComponent<ZSpatialComponent>(marker);
        start = ZVector3(spatial->current.position.x, spatial->current.position.y, 0.0f);
    }
    // Collected items and progress stay; only the place changes, and it
    // becomes the continue point.
    game->ArrivePlayer(*player, start);
    Autosave(*player, player->GetHandle(), false);
}

ZString KorvanthPauseMenu::DisplayCase(const ZString& name) {
    char buffer[256];
    std::snprintf(buffer, sizeof buffer, "%s", name.GetText());
    // The copy's own length bounds the walk: past it the buffer holds nothing written.
    const size_t length = std::strlen(buffer);
    for (size_t i = 1; i < length; ++i) {
        const char before = buffer[i - 1];
        const bool wordStart = before == ' ' || before == '\n' || before == '\r' || before == '\t' ||
                               before == '\v' || before == '\f';
        if (!wordStart && buffer[i] >= 'A' && buffer[i] <= 'Z') buffer[i] = static_cast<char>(buffer[i] - 'A' + 'a');
    }
    return ZString(buffer);
}

ZString KorvanthPauseMenu::BuildRandomizerInfoText() {
    const KorvanthGame* game = KorvanthGame::Get();
    Player* player = game != nullptr ? game->GetPlayer() : nullptr;
    if (player == nullptr) return ZString();
    const RandomizerComponent* randomizer = GetComponent<RandomizerComponent>(player);
    if (randomizer == nullptr || !randomizer->IsRandomized()) return ZString();
    return FormatRandomizerInfo(randomizer, GetComponent<MinimapComponent>(player), game->GetCurrentMapName(),
                                game->GetMapData().currentRoomX, game->GetMapData().currentRoomY);
}

ZString KorvanthPauseMenu::FormatRandomizerInfo(const RandomizerComponent* randomizer, const MinimapComponent* minimap,
                                                const ZString& mapName, const int32_t roomX, const int32_t roomY) {
    static const ZHashedString kFile("KorvanthGame");
    static const ZHashedString kSection("Collections");
    if (randomizer == nullptr || minimap == nullptr) return ZString();
    ZString name = mapName;
    const ZHashedString key = minimap->GetCurrentLocationTitleKey();
    if (const ZLocMgr* loc = ZLocMgr::GetInstance(); !key.IsNone() && loc->HasString(kFile, kSection, key)) {
        name = loc->GetString(kFile, kSection, key);
    }
    char hash[16];
    std::snprintf(hash, sizeof hash, "%08x", randomizer->GetSeedHash());
    char version[16];
    std::snprintf(version, sizeof version, "%d", randomizer->GetAlgorithmVersion());
    // Joined rather than formatted: labels and names are shown as they are.
    return GameMenuText("RandomizerMenu", "Seed") + ": \"" + randomizer->GetSeedString() + "\" (" + hash + ")\n" +
           GameMenuText("PauseMenu", "AlgorithmVersion") + ": " + version + "\n" +
           GameMenuText("PauseMenu", "CurrentMap") + ": " + DisplayCase(name) + " {X=" + std::to_string(roomX).c_str() +
           ",Y=" + std::to_string(roomY).c_str() + "}";
}
