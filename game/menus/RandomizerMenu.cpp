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
    // The label is measured at the size it is drawn (0.75 of a 56-unit line),
    // so the field starts 32 units after its last letter.
    float width = 0.0f;
    const ZBaseGame* game = ZBaseGame::PeekInstance();
    ZFont* font = game != nullptr ? game->GetMenuFont() : nullptr;
    if (font != nullptr && font->GetLineHeight() > 0) {
        const float scale = 0.75f * 56.0f / static_cast<float>(font->GetLineHeight());
        font->DrawTextFormatted(seedLabel.GetText(), seedLabel.GetLength(), &width, nullptr, scale, scale);
    }
    seedField = ZMenuItem::Create<ZMenuTextField>(ZString(), 256.0f + width + 32.0f, 440.0f, 4, 0.75f);
    // The panel is made around the widest seed a roll can give, and the field
    // keeps to that width: a longer seed, rolled or typed, is drawn smaller
    // and never leaves the panel.
    seedField->SetText(WidestSeedString(font));
    seedField->maxWidth = seedField->width;
    AddItem(seedField);
    Arrange(80.0f, 64.0f);
    seedField->SetText(RollSeedString());  // the field's own setter fills its edit buffer too
}

ZString RandomizerMenu::WidestSeedString(ZFont* font) {
    ZString widest("WWWW WWWW");
    float widestWidth = -1.0f;
    for (const char* letter = kSeedLetters; font != nullptr && *letter != '\0'; ++letter) {
        const char four[] = {*letter, *letter, *letter, *letter, ' ', *letter, *letter, *letter, *letter, '\0'};
        float w = 0.0f;
        font->DrawTextFormatted(four, 9, &w, nullptr, 1.0f, 1.0f);
        if (w > widestWidth) {
            widestWidth = w;
            widest = ZString(four);
        }
    }
    return widest;
}

ZString RandomizerMenu::RollSeedString() {
    char seed[10];
    for (int i = 0, out = 0; i < 8; ++i) {
        if (i == 4) seed[out++] = ' ';
        const double r = static_cast<double>(RuntimeRand());
        const auto index = static_cast<int32_t>((r + 0.5) * (1.0 / 32768.0) * 21.0);
        seed[out++] = kSeedLetters[index < 21 ? index : 20];
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
