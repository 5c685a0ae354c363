// The engine's own string files, read as the game reads them: from the source
// folder data/engine and from the built Engine.zpk. Every string the engine
// looks up exists in English, the second language translates every English
// string, and printf-style strings take the same arguments in both.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "LocFixture.h"
#include "foundation/ZINIFile.h"

namespace {

using loctest::H;
using loctest::Str;

const std::string kSourceData = std::string(KORV_FIXTURES_DIR) + "/../../data/engine";
const std::string kEnginePackage = std::string(KORV_DATA_BUILD_DIR) + "/Engine.zpk";

// Strings the engine asks for, by file, section (empty: none) and key.
struct Lookup {
    const char* file;
    const char* section;
    const char* key;
};
const Lookup kLookups[] = {
    {"Startup", "", "Autoglottonym"},
    {"Startup", "", "SplashText"},
    {"General", "", "FPS"},
    {"General", "", "RM_Rec"},
    {"General", "", "RM_Play"},
    {"General", "", "Confirm"},
    {"General", "D3DInitWarnings", "Header"},
    {"General", "D3DInitWarnings", "Footer"},
    {"General", "D3DInitWarnings", "HWVert"},
    {"General", "D3DInitWarnings", "MRTBits"},
    {"General", "D3DInitWarnings", "MRTBlend"},
    {"General", "D3DInitWarnings", "VS20"},
    {"General", "D3DInitWarnings", "PS30"},
    {"General", "D3DInitWarnings", "PresInt"},
    {"General", "D3DInitWarnings", "NonP2"},
    {"General", "D3DInitWarnings", "NonP2Cond"},
    {"General", "D3DInitWarnings", "NonSq"},
    {"General", "DialogHints", "Hours"},
    {"General", "DialogHints", "Minutes"},
    {"General", "DialogHints", "Seconds"},
    {"General", "DialogHints", "Millisecs"},
    {"EngineControls", "", "General"},
    {"EngineControls", "", "Utility"},
    {"EngineControls", "", "Menus"},
    {"EngineControls", "General", "Pause"},
    {"EngineControls", "Utility", "OpenConsole"},
    {"EngineControls", "Menus", "NavUp"},
    {"EngineControls", "Menus", "NavDown"},
    {"EngineControls", "Menus", "NavLeft"},
    {"EngineControls", "Menus", "NavRight"},
    {"EngineControls", "Menus", "NavNext"},
    {"EngineControls", "Menus", "Accept"},
    {"EngineControls", "Menus", "Cancel"},
    {"EngineControls", "Menus", "Click"},
    {"EngineControls", "Menus", "PrevTab"},
    {"EngineControls", "Menus", "NextTab"},
    {"EngineControls", "Menus", "PageUp"},
    {"EngineControls", "Menus", "PageDown"},
    {"Input", "Keyboard", "Key1"},
    {"Input", "Keyboard", "Key57"},
    {"Input", "Keyboard", "Key200"},
    {"Input", "Keyboard", "Key156"},
    {"Input", "Mouse", "MB0"},
    {"Input", "Mouse", "MouseX(+)"},
    {"Input", "Joystick", "JB9"},
    {"Input", "Joystick", "JB127"},
    {"Input", "Joystick", "JoyPOVHatY(+)"},
    {"Input", "Joystick", "JoyPosY(-)"},
    {"Input", "Xbox", "XB4096"},
    {"Input", "Xbox", "XB16"},
    {"Input", "Xbox", "XboxLSY(+)"},
    {"Input", "Xbox", "XboxRT(+)"},
    {"Menus", "TitleMenu", "NewGame"},
    {"Menus", "TitleMenu", "Options"},
    {"Menus", "TitleMenu", "Exit"},
    {"Menus", "TitleMenu", "ConfirmExit"},
    {"Menus", "PauseMenu", "Resume"},
    {"Menus", "PauseMenu", "Options"},
    {"Menus", "PauseMenu", "Title"},
    {"Menus", "PauseMenu", "ConfirmReset"},
    {"Menus", "OptionsMenu", "Game"},
    {"Menus", "OptionsMenu", "Video"},
    {"Menus", "OptionsMenu", "Audio"},
    {"Menus", "OptionsMenu", "Controls"},
    {"Menus", "OptionsMenu", "Language"},
    {"Menus", "OptionsMenu", "About"},
    {"Menus", "OptionsMenu", "Back"},
    {"Menus", "AboutMenu", "Back"},
    {"Menus", "AboutMenu", "PlaceholderText"},
    {"Menus", "ConfirmationMenu", "Yes"},
    {"Menus", "ConfirmationMenu", "No"},
    {"Menus", "ConfirmationMenu", "Cancel"},
    {"Menus", "ConfirmationMenu", "OK"},
    {"Menus", "GameOptionsMenu", "Back"},
    {"Menus", "VideoMenu", "Back"},
    {"Menus", "VideoMenu", "Resolution"},
    {"Menus", "VideoMenu", "Windowing"},
    {"Menus", "VideoMenu", "Windowing0"},
    {"Menus", "VideoMenu", "Windowing1"},
    {"Menus", "VideoMenu", "Windowing2"},
    {"Menus", "VideoMenu", "Windowing3"},
    {"Menus", "VideoMenu", "VSync"},
    {"Menus", "VideoMenu", "On"},
    {"Menus", "VideoMenu", "Off"},
    {"Menus", "VideoMenu", "Brightness"},
    {"Menus", "VideoMenu", "ConfirmChanges"},
    {"Menus", "AudioMenu", "Back"},
    {"Menus", "AudioMenu", "MasterVolume"},
    {"Menus", "AudioMenu", "VolumeBGM"},
    {"Menus", "AudioMenu", "VolumeSFX"},
    {"Menus", "AudioMenu", "VolumeSFXDesc"},
    {"Menus", "BrightnessMenu", "Back"},
    {"Menus", "BrightnessMenu", "Brightness"},
    {"Menus", "LanguageMenu", "Help"},
    {"Menus", "LanguageMenu", "Back"},
    {"Menus", "LanguageMenu", "Export"},
    {"Menus", "LanguageMenu", "ExportHelp"},
    {"Menus", "LanguageMenu", "Exported"},
    {"Menus", "ControlsMenu", "Bindings"},
    {"Menus", "ControlsMenu", "Mouse"},
    {"Menus", "ControlsMenu", "Joysticks"},
    {"Menus", "ControlsMenu", "Back"},
    {"Menus", "ControlGroupsMenu", "Groups"},
    {"Menus", "ControlGroupsMenu", "ControlsHeader"},
    {"Menus", "ControlGroupsMenu", "Controls"},
    {"Menus", "ControlGroupsMenu", "Back"},
    {"Menus", "ControlGroupsMenu", "Reset"},
    {"Menus", "ControlGroupsMenu", "Clear"},
    {"Menus", "ControlGroupsMenu", "CannotBind"},
    {"Menus", "ControlGroupsMenu", "ConfirmResetControls"},
    {"Menus", "ControlGroupsMenu", "ConfirmClearControls"},
    {"Menus", "BindingsMenu", "HowTo"},
    {"Menus", "JoysticksMenu", "Back"},
    {"Menus", "JoysticksMenu", "Devices"},
    {"Menus", "JoysticksMenu", "None"},
    {"Menus", "JoysticksMenu", "Selected"},
    {"Menus", "MouseMenu", "Back"},
    {"Menus", "MouseMenu", "MouseSpeed"},
    {"Menus", "TextEntryMenu", "Accept"},
    {"Menus", "TextEntryMenu", "Cancel"},
};

// Strings used as printf formats, with the arguments the engine passes.
void ExpectFormatsFit(const ZLocMgr& loc) {
    const char* const timeKeys[] = {"Hours", "Minutes", "Seconds", "Millisecs"};
    for (const char* key : timeKeys) {
        const std::string text = Str(loc.FormatString(H("General"), H("DialogHints"), H(key), 7));
        EXPECT_NE(text.find('7'), std::string::npos) << key << ": " << text;
    }
    const std::string howTo = Str(loc.FormatString(H("Menus"), H("BindingsMenu"), H("HowTo"), "Jump"));
    EXPECT_NE(howTo.find("Jump"), std::string::npos) << howTo;
}

class EngineStringFilesTest : public loctest::LocTest {
protected:
    // Mounts the engine data instead of the empty test folder, then starts up
    // as the base game does.
    void StartEngine(const std::string& source, const bool isPackage) {
        ZStreamMgr::DestroyInstance();
        if (isPackage) {
            ZStreamMgr::GetInstance()->AddPackageSource(source.c_str());
        } else {
            ZStreamMgr::GetInstance()->AddDirectorySource((source + "/").c_str());
        }
        m_loc->AddLanguageList("Language List.ini");
        m_loc->AddEngineStringFiles();
        m_loc->SetDefaultPath(true);
        m_loc->SetDefaultPath(false);
    }

    void CheckEverything() {
        ZArray<ZString> languages;
        m_loc->ListLanguages(languages);
        ASSERT_GE(languages.Count(), 1u);

        for (const Lookup& l : kLookups) {
            EXPECT_TRUE(m_loc->HasString(H(l.file), H(l.section), H(l.key)))
                << l.file << "." << l.section << "." << l.key;
        }
        ExpectFormatsFit(*m_loc);
        const std::string english = Get("Startup", "", "Autoglottonym");

        for (const ZString& language : languages) {
            m_loc->ChangeLanguage(language.GetText());
            int32_t total = 0;
            int32_t translated = 0;
            m_loc->GetCoverage(total, translated);
            EXPECT_GT(total, 0);
            EXPECT_EQ(translated, total) << Str(language) << " is not complete";
            EXPECT_NE(Get("Startup", "", "Autoglottonym"), english);
            ExpectFormatsFit(*m_loc);
        }
    }
};

TEST_F(EngineStringFilesTest, SourceDataIsCompleteInEveryLanguage) {
    ASSERT_TRUE(std::filesystem::exists(kSourceData + "/General.txt")) << kSourceData;
    StartEngine(kSourceData, false);
    CheckEverything();
}

TEST_F(EngineStringFilesTest, PackedDataIsCompleteInEveryLanguage) {
    if (!std::filesystem::exists(kEnginePackage)) {
        GTEST_SKIP() << "Engine.zpk has not been built";
    }
    StartEngine(kEnginePackage, true);
    CheckEverything();
}

// Every key the translation has is one the default files have: a translated
// key under a misspelt name would never be shown.
TEST_F(EngineStringFilesTest, TranslationsHoldNoUnknownKeys) {
    for (const auto& entry : std::filesystem::directory_iterator(kSourceData + "/Localization")) {
        for (const auto& file : std::filesystem::directory_iterator(entry.path())) {
            ZINIFile translated;
            ZINIFile english;
            ASSERT_TRUE(translated.LoadINIFile(file.path().c_str(), true));
            ASSERT_TRUE(english.LoadINIFile((kSourceData + "/" + file.path().filename().string()).c_str(), true))
                << file.path();
            for (const auto& section : translated.GetSections()) {
                for (const auto& key : section.value) {
                    EXPECT_TRUE(english.HasKey(section.key, key.key))
                        << file.path() << ": " << section.key.GetText() << "." << key.key.GetText();
                }
            }
        }
    }
}

}  // namespace
