#pragma once

#include <cstdint>

#include "foundation/ZHashedString.h"
#include "foundation/ZMap.h"
#include "foundation/ZString.h"
#include "menu/ZMenu.h"

class ZMenuLabel;

// The languages the game can show; while the selection rests on one, its
// splash text shows under the list in that language. Choosing one loads its
// strings, tells every text holder, closes every menu and rebuilds the title
// menu when one was open. Help opens the export page.
class LanguageMenu : public ZMenu {
public:
    LanguageMenu();
    ~LanguageMenu() override;

    void HandleAction(const ZMenuEvent& event, ZMenuMouseState* mouse) override;
    // Shows the selected language's splash text, or hides the panel.
    void ShowSplashText();
    void ChooseLanguage(const ZMenuItem* button);

    ZMenuLabel* GetSplashLabel() const { return splashLabel; }
    ZMenuUnderlay* GetSplashPanel() const { return splashPanel; }
    bool IsSplashPanelVisible() const;

private:
    ZMenuLabel* splashLabel = nullptr;     // owned by the item list
    ZMenuUnderlay* splashPanel = nullptr;  // owned by the underlay list
    int32_t lastSelection = -10000;
    bool splashShown = false;
    ZMap<ZHashedString, ZString> languages;  // button name -> language name
};

// The translators' page: a help text, and Export, which writes the default
// language's string files into the user's Localization\English folder.
class LocalizationExportMenu : public ZMenu {
public:
    LocalizationExportMenu();

    void HandleAction(const ZMenuEvent& event, ZMenuMouseState* mouse) override;
    void Export();
    const ZString& GetHelpText() const { return helpText; }

private:
    ZString helpText;
};
