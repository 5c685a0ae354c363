#include "game/menus/RandomizerMenu.h"

#include "framework/ZBaseGame.h"
#include "framework/ZRuntimeRand.h"
#include "game/menus/GameMenuSupport.h"
#include "menu/ZMenuMgr.h"
#include "menu/ZMenuTextField.h"
#include "renderer/ZFont.h"

RandomizerMenu::RandomizerMenu() {
    AddMenuItem(*this, GameMenuText("RandomizerMenu", "Original"), 256.0f, 328.0f, 4, 0.75f);
    AddMenuItem(*this, GameMenuText("RandomizerMenu", "Random"), 256.0f, 384.0f, 4, 0.75f);
    const ZString seedLabel = GameMenuText("RandomizerMenu", "Seed");
    AddMenuItem(*this, seedLabel, 256.0f, 440.0f, 4, 0.75f);
    float width = 0.0f;
    const ZBaseGame* game = ZBaseGame::PeekInstance();
    if (ZFont* font = game != nullptr ? game->GetMenuFont() : nullptr) {
        font->DrawTextFormatted(seedLabel.GetText(), seedLabel.GetLength(), &width, nullptr, 0.75f, 0.75f);
    }
    seedField = ZMenuItem::Create<ZMenuTextField>(ZString(), 256.0f + width + 32.0f, 440.0f, 4, 0.75f);
    seedField->SetText(RollSeedString());  // the field's own setter fills its edit buffer too
    AddItem(seedField);
    Arrange(80.0f, 64.0f);
}

ZString RandomizerMenu::RollSeedString() {
    static const char kConsonants[] = "BCDFGHJKLMNPQRSTVWXYZ";
    char seed[10];
    for (int i = 0, out = 0; i < 8; ++i) {
        if (i == 4) seed[out++] = ' ';
        const double r = static_cast<double>(RuntimeRand());
        const auto index = static_cast<int32_t>((r + 0.5) * (1.0 / 32768.0) * 21.0);
        seed[out++] = kConsonants[index < 21 ? index : 20];
    }
    seed[9] = '\0';
    return ZString(seed);
}

void RandomizerMenu::HandleAction(const ZMenuEvent& event, ZMenuMouseState* mouse) {
    ZMenu::HandleAction(event, mouse);
    switch (event.kind) {
        case ZMenuEventKind::Opened:
            if (GetItemCount() > 0) Select(0);
            break;
        case ZMenuEventKind::Accept:
            if (selectedIndex == 0 || selectedIndex == 1) {
                GetMenuMgr()->CloseMenu();
                if (completion != nullptr && owner != nullptr) {
                    const ZString seed = seedField->GetFieldText();
                    completion(owner, selectedIndex == 1, seed);
                }
            } else if (selectedIndex == 2) {
                seedField->SetText(RollSeedString());
            }
            break;
        default: break;
    }
}
