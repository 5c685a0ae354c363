// The built-in console commands: their replies, byte for byte, and their effects.

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "ConsoleFixture.h"
#include "foundation/ZStreamMgr.h"
#include "foundation/ZUserFolders.h"
#include "platform/os/fake/fake.h"
#include "platform/os/files.h"
#include "renderer/ZRenderer.h"

namespace consoletest {
namespace {

using Lines = std::vector<std::string>;
using ConsoleCommands = ConsoleTest;

TEST_F(ConsoleCommands, ConfigurationRepliesByteForByte) {
    struct Case {
        const char* line;
        Lines reply;
    };
    const Case cases[] = {
        {"set", {"\"set\" command requires optional section name and variable name and value"}},
        {"set FOV", {"\"set\" command requires optional section name and variable name and value"}},
        {"set VSync 0", {"variable \"VSync\" not found"}},
        {"SET Video VSync 0", {}},
        {"set Nowhere VSync 0", {"variable \"[Nowhere].VSync\" not found"}},
        {"set FOV 90", {}},
        {"set Video FXAA 2 ignored", {}},
        {"unset", {"\"unset\" command requires variable name"}},
        {"Reset", {"\"Reset\" command requires variable name"}},
        {"unset Missing", {"variable \"Missing\" not found"}},
        {"reset Video Missing", {"variable \"[Video].Missing\" not found"}},
        {"resetall", {"\"resetall\" command requires section name"}},
        {"UnsetAll", {"\"UnsetAll\" command requires section name"}},
        {"resetall NeverRegistered", {}},
        {"show", {"\"show\" command requires variable name"}},
        {"show Video Nope", {"variable \"[Video].Nope\" not found"}},
        {"show Nope", {"variable \"Nope\" not found"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Run(c.line), c.reply) << c.line;
    }
    EXPECT_FALSE(game->m_vsync);
    EXPECT_FLOAT_EQ(game->m_fov, 90.0f);
    EXPECT_EQ(game->m_fxaa, 2);

    // (The fixture switched logging off.)
    EXPECT_EQ(Run("listconfigdeltas"),
              (Lines{"Config deltas are:", "NULL.FOV: 90.000000* (default: 75.000000)",
                     "NULL.DoLogging: false* (default: true)", "Video.FXAA: 2* (default: 0)",
                     "Video.VSync: false* (default: true)"}));
    // show resets before it reports, so it always shows the default.
    EXPECT_EQ(Run("show Video FXAA"), Lines{"Video.FXAA: 0"});
    EXPECT_EQ(game->m_fxaa, 0);
    EXPECT_EQ(Run("show fov"), Lines{"    FOV: 75.000000"});
    EXPECT_FLOAT_EQ(game->m_fov, 75.0f);
    EXPECT_EQ(Run("reset Video VSync"), Lines{});
    EXPECT_TRUE(game->m_vsync);

    EXPECT_EQ(Run("set Video Tate 2"), Lines{});
    EXPECT_EQ(Run("set Video PixelSize 3"), Lines{});
    EXPECT_EQ(Run("resetall Video"), Lines{});
    EXPECT_EQ(game->m_tate, 0);
    EXPECT_FLOAT_EQ(game->m_pixelSize, 1.0f);
}

TEST_F(ConsoleCommands, ListingsNameTheirSection) {
    const Lines video = Run("listconfig Video");
    ASSERT_GE(video.size(), 5u);
    EXPECT_EQ(video[0], "Variables in config section [Video] are:");
    EXPECT_EQ(video[1], "    WidthWindowed: 1024");
    EXPECT_EQ(video[4], "    HeightFullscreen: 1080");
    const Lines base = Run("listconfig");
    ASSERT_GE(base.size(), 2u);
    EXPECT_EQ(base[0], "Variables in config section [NULL] are:");
    EXPECT_EQ(base[1], "    ShowInitialSetup: true");
    EXPECT_EQ(Run("listconfigsections"),
              (Lines{"Config sections are:", "    NULL", "    Video", "    Audio", "    Input"}));
}

TEST_F(ConsoleCommands, SetresReadsTheDimensions) {
    ASSERT_TRUE(Run("set Video FXAA 3").empty());
    ASSERT_TRUE(Run("set Video VSync false").empty());
    struct Case {
        const char* line;
        Lines reply;
        int32_t width, height;  // 0: no change of video mode
    };
    const Case cases[] = {
        {"setres", {"\"setres\" command requires dimensions of the form \"1280x720\""}, 0, 0},
        {"setres 1280x720", {}, 1280, 720},
        {"setres 1280X720", {}, 1280, 720},
        {"setres 1280 720", {}, 1280, 720},
        {"setres 800x600 extra", {}, 800, 600},
        {"setres 1280 x 720", {}, 1280, 720},
        {"setres 9999921111x2", {"resolution 2147483647x2 not available; the display allows up to 1920x1080"}, 0, 0},
        {"setres 1920x1200", {"resolution 1920x1200 not available; the display allows up to 1920x1080"}, 0, 0},
        {"setres 0x600", {"resolution 0x600 not available; the display allows up to 1920x1080"}, 0, 0},
        {"setres 1920x1080", {}, 1920, 1080},
        {"setres x720", {"resolution \"x720\" not parsed. syntax is \"1280x720\""}, 0, 0},
        {"setres 1280by720", {"resolution \"1280by720\" not parsed. syntax is \"1280x720\""}, 0, 0},
    };
    for (const Case& c : cases) {
        game->video.clear();
        EXPECT_EQ(Run(c.line), c.reply) << c.line;
        if (c.width == 0) {
            EXPECT_TRUE(game->video.empty()) << c.line;
            continue;
        }
        ASSERT_EQ(game->video.size(), 1u) << c.line;
        const TestGame::VideoCall& call = game->video[0];
        EXPECT_EQ(call.width, c.width) << c.line;
        EXPECT_EQ(call.height, c.height) << c.line;
        EXPECT_EQ(call.fxaa, 3) << c.line;
        EXPECT_FALSE(call.vsync) << c.line;
        EXPECT_TRUE(call.fullscreen) << c.line;
        EXPECT_TRUE(call.fullscreenWindowed) << c.line;
    }
}

TEST_F(ConsoleCommands, SlomoClampsTheSecondTimeScale) {
    struct Case {
        const char* line;
        float scale;
    };
    const Case cases[] = {
        {"slomo 0.5", 0.5f}, {"slomo 50", 10.0f},  {"slomo -1", 0.0f},  {"slomo 10", 10.0f},
        {"slomo abc", 0.0f}, {"slomo inf", 10.0f}, {"slomo nan", 0.0f}, {"slomo 2 9", 2.0f},
    };
    for (const Case& c : cases) {
        game->SetTimeScale(1, 1.0f);
        EXPECT_TRUE(Run(c.line).empty()) << c.line;
        EXPECT_EQ(game->GetTimeScale(1), c.scale) << c.line;
        EXPECT_EQ(game->GetTimeScale(0), 1.0f) << c.line;
    }
    game->SetTimeScale(1, 0.25f);
    EXPECT_EQ(Run("slomo"), Lines{"\"slomo\" command requires value"});
    EXPECT_EQ(game->GetTimeScale(1), 0.25f);
}

TEST_F(ConsoleCommands, LanguageXxxTurnsPseudoLocalizationOn) {
    ZLocMgr* loc = ZLocMgr::GetInstance();
    EXPECT_TRUE(Run("language xxx").empty());
    EXPECT_TRUE(loc->IsPseudoLocalized());
    EXPECT_TRUE(Run("language").empty());
    EXPECT_FALSE(loc->IsPseudoLocalized());
    EXPECT_TRUE(loc->GetCurrentLanguage().IsEmpty());
    EXPECT_TRUE(Run("SetLanguage XXX").empty());
    EXPECT_TRUE(loc->IsPseudoLocalized());
    EXPECT_TRUE(Run("language German").empty());
    EXPECT_FALSE(loc->IsPseudoLocalized());
}

TEST_F(ConsoleCommands, ClipboardCopiesAndPastes) {
    EXPECT_EQ(Run("clipboard"),
              Lines{"\"clipboard\" command requires action [copy|paste] and optional value if copying"});
    EXPECT_TRUE(Run("clipboard copy \"two words\"").empty());
    EXPECT_EQ(windows->Clipboard(), "two words");
    EXPECT_EQ(Run("clipboard PASTE"), Lines{"Clipboard data is: two words"});
    EXPECT_TRUE(Run("clipboard Copy").empty());
    EXPECT_EQ(Run("clipboard paste"), Lines{"Clipboard data is: "});
    EXPECT_EQ(Run("clipboard cut"), Lines{"\"clipboard\" action must be \"copy\" or \"paste\""});
}

TEST_F(ConsoleCommands, ClearWritesTheBannerAgain) {
    Console().Print("old line");
    game->ExecuteConsoleLine("cls");
    for (int i = 0; i < 20; ++i) {
        EXPECT_STREQ(Console().GetOutputLine(i), "") << i;
    }
    EXPECT_STREQ(Console().GetOutputLine(20), "ZORP Game 1.00.0000");
    EXPECT_STREQ(Console().GetOutputLine(21), "ZORP Game Engine 1.08.0000");
    EXPECT_EQ(std::string(Console().GetOutputLine(22)),
              std::string(game->GetLegalNotice()) + " Korvanth Works");
    EXPECT_STREQ(Console().GetOutputLine(23), " ");
}

TEST_F(ConsoleCommands, FixedReplies) {
    struct Case {
        const char* line;
        Lines reply;
    };
    const Case cases[] = {
        {"version", {"ZORP Game (1.00.0000) ZORP Game Engine (1.08.0000)"}},
        {"videotests",
         {"Repeat each test on every OS from XP SP2 to Windows 7:",
          "1. Alt+Enter to toggle to and from fullscreen.", "    A. In exclusive fullscreen mode.",
          "    B. In windowed fullscreen mode.", "2. Windows key to escape game.", "    A. From window.",
          "    B. From exclusive fullscreen.", "    C. From windowed fullscreen.",
          "3. Alt+Tab to escape game.", "4. Minimize window.", "5. Win+L to lock screen.",
          "6. Ctrl+Alt+Del to lock screen."}},
        {"unlockachievement", {"\"unlockachievement\" command requires achievement name"}},
        {"unlockachievement FirstJump", {"Achievement \"FirstJump\" not unlocked."}},
        {"resetachievements", {}},
        {"displayachievements", {}},
        {"dumprenderinfo", {}},
        {"hitch", {"\"hitch\" command requires variable duration"}},
        {"dumpcontent", {"Dumping all content...", "...done!"}},
        {"crash", {"Checked stack: FakeCrash / DerefNullInt"}},
        {"libconfig",
         {"ZORP Math:  _FINALRELEASE _PLAT_WIN\r", "ZORP Util:  _FINALRELEASE _PLAT_WIN\r",
          "ZORP Renderer:  _FINALRELEASE _PLAT_WIN\r", "ZORP Audio:  _FINALRELEASE _PLAT_WIN\r",
          "ZORP Game:  _FINALRELEASE _PLAT_WIN\r", ""}},
        {"showname", {"PC name is ."}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Run(c.line), c.reply) << c.line;
    }
    EXPECT_TRUE(game->GetNameStack().IsEmpty());
    EXPECT_EQ(game->exits, 0);
}

TEST_F(ConsoleCommands, DebugNameOverridesTheMachineName) {
    ZString id;
    EXPECT_EQ(Run("debugname tester").size(), 1u);
    game->GetMachineIdText(id);
    EXPECT_EQ(Run("showname"), Lines{"PC name is tester."});
    EXPECT_EQ(Run("debugname tester"),
              Lines{std::string("Set debug PC name to \"tester\" with hash ") + id.GetText() + "."});
    EXPECT_EQ(Run("debugname").size(), 1u);
    EXPECT_EQ(Run("showname"), Lines{"PC name is ."});
}

TEST_F(ConsoleCommands, StatisticsAndThreads) {
    const Lines stats = Run("stringcount");
    ASSERT_EQ(stats.size(), 6u);
    EXPECT_EQ(stats[0].rfind("The hashed string table contains ", 0), 0u) << stats[0];
    EXPECT_NE(stats[0].find(" strings across 1024 rows."), std::string::npos) << stats[0];
    EXPECT_EQ(stats[1].rfind("Min: ", 0), 0u);
    EXPECT_EQ(stats[2].rfind("Max: ", 0), 0u);
    EXPECT_EQ(stats[3].rfind("Mean: ", 0), 0u);
    EXPECT_EQ(stats[4].rfind("Variance: ", 0), 0u);
    EXPECT_EQ(stats[5].rfind("Standard deviation: ", 0), 0u);

    const Lines current = Run("currentthread");
    ASSERT_EQ(current.size(), 1u);
    EXPECT_EQ(current[0].rfind("Current thread is: Main Thread", 0), 0u) << current[0];
    const Lines all = Run("allthreads");
    ASSERT_GE(all.size(), 2u);
    EXPECT_EQ(all[0], "All threads are:");
    EXPECT_NE(all[1].find("Main Thread"), std::string::npos) << all[1];

    const Lines loc = Run("locstats");
    ASSERT_EQ(loc.size(), 4u);
    EXPECT_EQ(loc[0].rfind("Current language: ", 0), 0u);
    EXPECT_EQ(loc[1], "Percent of localization of known strings: 0.00% (0 / 0)");
    EXPECT_EQ(loc[2], "Number of strings: 0");
    EXPECT_EQ(loc[3], "Number of words: 0");

    const Lines sizes = Run("platformtests");
    ASSERT_EQ(sizes.size(), 12u);
    EXPECT_EQ(sizes[0], "sizeof(int): 4");
    EXPECT_EQ(sizes[3], "sizeof(long long): 8");
    EXPECT_EQ(sizes[10], "sizeof(void*): " + std::to_string(sizeof(void*)));
    // Paths shown to the player use '/'.
    const ZString dataPath = GetUserFolderPath(game->GetGameFolderName(), nullptr, false);
    EXPECT_EQ(sizes[11], "Game data path: " + os::TranslatePath(dataPath.GetText()));
    EXPECT_EQ(sizes[11].find('\\'), std::string::npos);
}

TEST_F(ConsoleCommands, VideoCommands) {
    const Lines stats = Run("videostats");
    ASSERT_EQ(stats.size(), 14u);
    EXPECT_EQ(stats[0], "Cached desktop dimensions are 1920x1080.");
    EXPECT_EQ(stats[1], "Current monitor dimensions are " + std::to_string(windows->GetSystemMetrics(0)) +
                            "x" + std::to_string(windows->GetSystemMetrics(1)) + ".");
    EXPECT_EQ(stats[2], "Current window client dimensions are 0x0.");
    EXPECT_EQ(stats[4], "Fullscreen game dimensions are 1920x1080.");
    EXPECT_EQ(stats[5], "Windowed game dimensions are 1024x768.");
    EXPECT_EQ(stats[6], "Fullscreen is enabled.");
    EXPECT_EQ(stats[7], "Fullscreen mode is windowed.");
    EXPECT_EQ(stats[8], "Fullscreen windowed stretching is enabled.");
    EXPECT_EQ(stats[9], "Anti-aliasing quality is 0.");
    EXPECT_EQ(stats[10], "VSync is enabled.");
    EXPECT_EQ(stats[12], "Tate is 0 degrees clockwise.");
    EXPECT_EQ(stats[13], "Window is not maximized.");
    game->m_tate = 3;
    EXPECT_EQ(Run("videostats")[12], "Tate is 270 degrees clockwise.");

    game->video.clear();
    EXPECT_EQ(Run("fullscreenmode"), Lines{"Fullscreen windowed mode: disabled"});
    EXPECT_FALSE(game->m_fullscreenWindowed);
    ASSERT_EQ(game->video.size(), 1u);
    EXPECT_EQ(game->video[0].width, 1920);
    EXPECT_FALSE(game->video[0].fullscreenWindowed);
    EXPECT_EQ(Run("fullscreenmode"), Lines{"Fullscreen windowed mode: enabled"});

    game->video.clear();
    EXPECT_TRUE(Run("applyvideooptions").empty());
    ASSERT_EQ(game->video.size(), 1u);

    EXPECT_TRUE(Run("screenshot").empty());
    EXPECT_TRUE(game->IsScreenshotRequested());
    game->CancelScreenshot();
    EXPECT_TRUE(Run("outputrendertargets").empty());
    EXPECT_TRUE(GetRenderer()->dumpRenderTargets);
    GetRenderer()->dumpRenderTargets = false;
}

TEST_F(ConsoleCommands, EditModeNeedsDevModeAndUITestOpensAMenu) {
    EXPECT_TRUE(Run("edit").empty());
    EXPECT_FALSE(game->IsEditMode());
    game->m_devMode = true;
    EXPECT_EQ(Run("editmode"), Lines{"Edit mode enabled"});
    EXPECT_TRUE(game->IsEditMode());
    EXPECT_EQ(Run("EDITOR"), Lines{"Edit mode disabled"});
    EXPECT_FALSE(game->IsEditMode());

    EXPECT_TRUE(Run("testui").empty());
    EXPECT_EQ(GetMenuMgr()->GetQueuedOpenCount(), 1u);
}

TEST_F(ConsoleCommands, HitchHoldsTheThreadForItsDuration) {
    for (const char* line : {"hitch 0", "hitch -3", "hitch abc", "hitch inf"}) {
        const auto start = std::chrono::steady_clock::now();
        EXPECT_TRUE(Run(line).empty()) << line;
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1)) << line;
    }
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(Run("hitch 0.05").empty());
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(50));
}

TEST_F(ConsoleCommands, OpenAndConfigUseTheDesktopShell) {
    os::fake::FakeShell shell;
    const ZString gameFolder = GetUserFolderPath(game->GetGameFolderName(), "Config\\", true);
    const std::string config = GamePath("Config/Config.ini");

    EXPECT_EQ(Run("config"),
              Lines{"\"" + os::TranslatePath(gameFolder.GetText()) + "Config.ini\" does not exist."});
    EXPECT_TRUE(shell.Opened().empty());
    std::ofstream(config) << "FOV: 80\r\n";
    // Full screen gives way to a window before anything opens.
    game->video.clear();
    EXPECT_TRUE(game->m_fullscreen);
    EXPECT_TRUE(Run("config").empty());
    EXPECT_FALSE(game->m_fullscreen);
    EXPECT_EQ(game->video.size(), 1u);
    ASSERT_EQ(shell.Opened().size(), 1u);
    EXPECT_TRUE(std::filesystem::equivalent(shell.Opened()[0], config)) << shell.Opened()[0];

    EXPECT_TRUE(Run("open").empty());
    EXPECT_TRUE(Run("goto Config").empty());
    ASSERT_EQ(shell.Opened().size(), 3u);
    EXPECT_TRUE(std::filesystem::equivalent(shell.Opened()[1], GamePath("")));
    EXPECT_TRUE(std::filesystem::equivalent(shell.Opened()[2], GamePath("Config")));

    const ZString missing = GetUserFolderPath(game->GetGameFolderName(), "Saves", false);
    EXPECT_EQ(Run("folder Saves"), Lines{"\"" + os::TranslatePath(missing.GetText()) + "\" does not exist."});
    shell.SetSucceed(false);
    const ZString folder = GetUserFolderPath(game->GetGameFolderName(), nullptr, false);
    EXPECT_EQ(Run("files"),
              Lines{"Nothing on this system can open \"" + os::TranslatePath(folder.GetText()) + "\"."});
}

TEST_F(ConsoleCommands, DumpStringsCopiesTheDefaultFiles) {
    korvtest::TempDir data;
    data.Write("General.txt", "[Menu]\r\nTitle: Hello\r\n");
    ZStreamMgr::GetInstance()->AddDirectorySource((data.Path().string() + "/").c_str());
    ZLocMgr* loc = ZLocMgr::GetInstance();
    loc->AddStringFile("General.txt");
    loc->AddStringFile("Missing.txt");

    const Lines reply = Run("dumpstringtable");
    const std::string target = GamePath("Localization/English/General.txt");
    ASSERT_EQ(reply.size(), 1u);
    EXPECT_EQ(reply[0], "String table \"General\" dumped to " +
                            std::filesystem::path(target).lexically_normal().string());
    std::ifstream in(target, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes, "[Menu]\r\nTitle: Hello\r\n");
    EXPECT_FALSE(std::filesystem::exists(GamePath("Localization/English/Missing.txt")));
    ZStreamMgr::DestroyInstance();
}

}  // namespace
}  // namespace consoletest
