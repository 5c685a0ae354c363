// Whole start-ups of the game with one file it reads broken on purpose, through
// the user's Mods folder or the user's own files: the game starts, says in its
// log which file is wrong, shuts down cleanly and keeps the user's data.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "framework_game/RunScenarios.h"
#include "game/display/KorvanthDisplay.h"
#include "game/world/KorvanthGame.h"
#include "platform/input/input.h"
#include "platform/sound/sound.h"
#include "platform/window/window.h"
#include "support/TempDir.h"

namespace {

// The game, on the build's packages, quitting by itself after a few drawn frames.
class ShortRunGame : public KorvanthGame {
public:
    // Start-up moves to the executable's folder; the packages sit in the build's.
    void addStreamSources() override {
        ASSERT_EQ(chdir(KORV_DATA_BUILD_DIR), 0);
        KorvanthGame::addStreamSources();
    }
    // The game opens no campaign at start: the run opens it, so that its
    // maps and their files are read as a start of play reads them.
    void postinit() override {
        KorvanthGame::postinit();
        OpenCampaignFile("Korvanth.kdd");
    }
    void PostRender() override {
        KorvanthGame::PostRender();
        if (++m_frames == 3) {
            RequestQuit();
        }
    }

private:
    int m_frames = 0;
};

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// A file the game ships, as the build packed it.
std::string Shipped(const std::string& name) {
    for (const char* stage : {"Korvanth.zpk.stage", "Engine.zpk.stage", "KorvanthHeavy.zpk.stage"}) {
        const std::filesystem::path path = std::filesystem::path(KORV_DATA_BUILD_DIR) / stage / name;
        if (std::filesystem::exists(path)) {
            return ReadFile(path);
        }
    }
    ADD_FAILURE() << name << " is not among the built game files";
    return {};
}

// The game's own package with a few bytes at `at` replaced.
std::string PatchedPackage(size_t at, const std::string& bytes) {
    std::string package = ReadFile(std::filesystem::path(KORV_DATA_BUILD_DIR) / "Korvanth.zpk");
    package.replace(at, bytes.size(), bytes);
    return package;
}

std::string FirstHalf(const std::string& bytes) { return bytes.substr(0, bytes.size() / 2); }

std::string Garbage(size_t size) {
    std::string bytes(size, '\0');
    uint32_t state = 0x2545F491u;
    for (char& byte : bytes) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        byte = static_cast<char>(state >> 24);
    }
    return bytes;
}

// Every count the reader meets is as large as it gets.
std::string HugeCounts() { return std::string(256, '\xFF'); }

struct Case {
    const char* name;
    const char* file;      // under the game's user folder
    std::string bytes;     // what it holds
    const char* expected;  // a log line holding this names the fault (null: none is asked for)
    bool userData;         // the player's own file: its bytes must survive the run
};

std::vector<Case> Cases() {
    return {
        {"empty campaign", "Mods/Korvanth.kdd", "", "Definition file Korvanth.kdd is too short", false},
        {"truncated campaign", "Mods/Korvanth.kdd", FirstHalf(Shipped("Korvanth.kdd")),
         "Definition file Korvanth.kdd is truncated or damaged", false},
        {"garbage campaign", "Mods/Korvanth.kdd", Garbage(4096), "Korvanth.kdd", false},
        {"empty map", "Mods/Caverns.map", "", "Caverns.map: damaged or truncated file", false},
        {"truncated map", "Mods/Caverns.map", FirstHalf(Shipped("Caverns.map")),
         "Caverns.map: damaged or truncated file", false},
        {"map of huge counts", "Mods/Caverns.map", HugeCounts(), "Caverns.map:", false},
        {"garbage map", "Mods/Caverns.map", Garbage(4096), "Caverns.map:", false},
        {"truncated tile sheet", "Mods/Caverns.bmp", FirstHalf(Shipped("Caverns.bmp")), "Caverns.bmp is not a BMP",
         false},
        {"tile sheet of huge sizes", "Mods/Caverns.bmp", HugeCounts(), "Caverns.bmp is not a BMP", false},
        {"truncated collision classes", "Mods/Caverns.col", FirstHalf(Shipped("Caverns.col")), "Caverns.col:", false},
        {"truncated custom tiles", "Mods/Caverns.cus", FirstHalf(Shipped("Caverns.cus")),
         "Caverns.cus: damaged or truncated", false},
        {"garbage animations", "Mods/Caverns.ani", Garbage(512), "Caverns.ani:", false},
        {"truncated palette", "Mods/nes_palette_w_trans.pal", FirstHalf(Shipped("nes_palette_w_trans.pal")),
         "Palette \"nes_palette_w_trans.pal\"", false},
        {"truncated NTSC table", "Mods/ntschack.bmp", FirstHalf(Shipped("ntschack.bmp")),
         "ntschack.bmp is not a BMP", false},
        {"truncated scanlines", "Mods/scanlines_tall_crt_wide.dds",
         FirstHalf(Shipped("scanlines_tall_crt_wide.dds")), "scanlines_tall_crt_wide.dds was not loaded", false},
        {"garbage effect", "Mods/composite.fxo", Garbage(2048), "composite.fxo did not compile", false},
        {"garbage final pass", "Mods/__ZORP_Final_Pass.fxo", Garbage(2048), "__ZORP_Final_Pass.fxo did not compile",
         false},
        {"empty glyph effect", "Mods/__ZORP_Default_Glyph.fxo", "", "__ZORP_Default_Glyph.fxo", false},
        {"truncated font picture", "Mods/Font_Tahoma_8_256.dds", FirstHalf(Shipped("Font_Tahoma_8_256.dds")),
         "Font_Tahoma_8_256.dds was not loaded", false},
        {"garbage glyph table", "Mods/Font_Tahoma_8_256.uv", Garbage(1024), "Font_Tahoma_8_256.uv is not a glyph table",
         false},
        {"garbage language list", "Mods/Korvanth Language List.ini", Garbage(1024),
         "Language list Korvanth Language List.ini holds no", false},
        {"empty version file", "Mods/Version.ini", "", "Version file Version.ini is missing or holds no entries",
         false},
        {"garbage add-on package", "Mods/zz.kpk", Garbage(4096), "Mods/zz.kpk is not a package", false},
        {"truncated add-on package", "Mods/zz.kpk",
         FirstHalf(ReadFile(std::filesystem::path(KORV_DATA_BUILD_DIR) / "Korvanth.zpk")), "zz.kpk", false},
        {"add-on package of a later version", "Mods/zz.kpk", PatchedPackage(4, std::string("\x63\0\0\0", 4)),
         "zz.kpk", false},
        {"add-on package with its index past the end", "Mods/zz.kpk", PatchedPackage(8, "\xF0\xFF\xFF\x7F"),
         "zz.kpk", false},
        {"add-on package with a huge index", "Mods/zz.kpk", PatchedPackage(12, "\xFF\xFF\xFF\xFF"), "zz.kpk",
         false},
        {"empty add-on package", "Mods/zz.kpk", "", "zz.kpk is not a package", false},
        // The user's files are named with their folders, as the file system names them.
        {"garbage autosave", "Saves/autosave.zsd", Garbage(4096),
         "/My Games/Drovani Skyreach/Saves/autosave.zsd could not be read", true},
        {"autosave of huge counts", "Saves/autosave.zsd", HugeCounts(), "Saves/autosave.zsd could not be read", true},
        {"garbage control bindings", "Config/ControlBindings.bnd", Garbage(4096), "Config/ControlBindings.bnd", true},
        {"control bindings of huge counts", "Config/ControlBindings.bnd", HugeCounts(), "Config/ControlBindings.bnd",
         true},
        // Settings decide whether the log is kept: this one keeps it on. The
        // log is quiet while settings load, so only the clean run is checked.
        {"settings with garbage", "Config/Config.ini", "DoLogging: true\r\n" + Garbage(4096), nullptr, false},
    };
}

// Every byte of `bytes` is still in the folder: in the file itself or in a
// copy beside it that the game kept.
bool Survives(const std::filesystem::path& file, const std::string& bytes) {
    for (const auto& entry : std::filesystem::directory_iterator(file.parent_path())) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(file.filename().string(), 0) == 0 && ReadFile(entry.path()) == bytes) {
            return true;
        }
    }
    return false;
}

void RunWithBrokenFile(const Case& c) {
    korvtest::TempDir documents;
    const std::filesystem::path game = documents.Path() / "My Games" / KorvanthGame::kTitle;
    documents.Write(std::string("My Games/") + KorvanthGame::kTitle + "/" + c.file, c.bytes);
    setenv("XDG_DOCUMENTS_DIR", documents.Path().c_str(), 1);
    platform::window::SetWindowSystem(platform::window::CreateWindowSystem(platform::window::Backend::Sdl));
    platform::input::SetInputSystem(platform::input::CreateInputSystem(platform::input::Backend::Fake));
    platform::sound::SetSoundSystem(platform::sound::CreateSoundSystem(platform::sound::Backend::Fake));
    ShortRunGame* run = new ShortRunGame();
    run->SetDisplay(std::make_unique<KorvanthDisplay>());
    ZBaseGame::Run(run, 0, 0, "", platform::window::SW_SHOWNORMAL);
    ZBaseGame::DestroyInstance();
    platform::sound::SetSoundSystem(nullptr);
    platform::input::SetInputSystem(nullptr);
    platform::window::SetWindowSystem(nullptr);

    const std::string log = ReadFile(game / "Logs" / "Log.txt");
    EXPECT_NE(log.find("Initialization took"), std::string::npos) << "start-up did not finish";
    EXPECT_NE(log.find("Closing the log"), std::string::npos) << "shutdown did not finish";
    bool named = c.expected == nullptr;
    std::istringstream lines(log);
    for (std::string line; std::getline(lines, line);) {
        named = named || line.find(c.expected) != std::string::npos;
    }
    EXPECT_TRUE(named) << "no log line holds \"" << (c.expected != nullptr ? c.expected : "") << "\"";
    if (c.userData) {
        EXPECT_TRUE(Survives(game / c.file, c.bytes)) << c.file << " was lost";
    }
}

TEST(BrokenFiles, TheGameStartsNamesTheFileAndKeepsTheUsersData) {
    for (const Case& c : Cases()) {
        SCOPED_TRACE(c.name);
        gametest::RunInChild([&c] { RunWithBrokenFile(c); });
    }
}

}  // namespace
