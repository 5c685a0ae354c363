// The console's "sound" command on a base game: files from the mounted
// sources are heard on the device, and bad requests answer in the console.
// The menus' navigation sound plays through the audio manager.

#include <cstdlib>
#include <string>

#include "audio/AudioFixture.h"
#include "framework/ZBaseGame.h"
#include "framework/ZConsole.h"
#include "menu/ZMenuMgr.h"

namespace {

using atest::AudioTest;
using atest::MonoWav;

bool ConsoleHas(ZBaseGame& game, const std::string& text) {
    for (int i = 0; i < ZConsole::kLineCount; ++i) {
        if (std::string(game.GetConsole().GetOutputLine(i)).find(text) != std::string::npos) {
            return true;
        }
    }
    return false;
}

bool Heard(const platform::sound::FakeSoundSystem& device) {
    for (const int16_t s : device.GetMixed()) {
        if (s != 0) {
            return true;
        }
    }
    return false;
}

TEST_F(AudioTest, TheSoundCommandPlaysLoopsAndStops) {
    ZBaseGame game;
    game.SetLogging(false);
    game.RegisterConsoleCommands();
    game.CreateSoundGroups();
    // No configuration is loaded here: full volume everywhere.
    audio->SetMasterVolume(1.0f);
    audio->FindSoundGroup(game.GetSFXAudioGroupName())->SetVolume(1.0f);
    audio->FindSoundGroup(game.GetBGMAudioGroupName())->SetVolume(1.0f);
    Start();
    dir.Write("boop.wav", MonoWav(2000, 9000));
    Tool("tone " + dir.File("tune.ogg") + " --seconds 1");

    game.ExecuteConsoleLine("sound boop.wav");
    EXPECT_TRUE(ConsoleHas(game, "Playing \"boop.wav\""));
    device->Advance(1000);
    EXPECT_TRUE(Heard(*device));
    EXPECT_EQ(audio->FindSound(ZHashedString("boop.wav"))->group,
              audio->FindSoundGroup(game.GetSFXAudioGroupName()));

    device->ClearMixed();
    game.ExecuteConsoleLine("sound loop tune.ogg");
    EXPECT_TRUE(ConsoleHas(game, "Playing \"tune.ogg\" (looping)"));
    Play(44100 * 2);
    EXPECT_TRUE(Heard(*device));
    EXPECT_NE(Out(44100 * 2 - 100), 0) << "still playing after its end: it loops";

    game.ExecuteConsoleLine("sound stop");
    audio->RunMusicThreadPass();
    EXPECT_EQ(audio->GetSoundCount(), 0u);
    device->ClearMixed();
    Play(4410);
    EXPECT_FALSE(Heard(*device));

    game.ExecuteConsoleLine("sound missing.wav");
    EXPECT_TRUE(ConsoleHas(game, "Cannot play \"missing.wav\""));
    game.ExecuteConsoleLine("sound");
    EXPECT_TRUE(ConsoleHas(game, "usage: sound FILE"));
}

TEST_F(AudioTest, TheSoundCommandPlaysTunesOnTheMultiSynth) {
    ZBaseGame game;
    game.SetLogging(false);
    game.RegisterConsoleCommands();
    audio->SetMasterVolume(1.0f);
    Start();
    dir.Write("beep.zmt", "0: a4/1 a4/1\n");
    ASSERT_EQ(std::system((std::string(KORV_TOOLS_DIR) + "/zmstune build " + dir.File("beep.zmt") + " " +
                           dir.File("beep.zms"))
                              .c_str()),
              0);
    dir.Write("broken.zms", "ZMS");
    game.ExecuteConsoleLine("sound beep.zms");
    EXPECT_TRUE(ConsoleHas(game, "Playing tune \"beep.zms\" on the MultiSynth"));
    Play(22050);
    int distinct = 0;
    for (size_t i = 1; i < MixedFrames(); ++i) {
        distinct += Out(i) != Out(i - 1) ? 1 : 0;
    }
    EXPECT_GT(distinct, 100) << "a 440 Hz pulse changes level about 880 times a second";
    game.ExecuteConsoleLine("sound broken.zms");
    EXPECT_TRUE(ConsoleHas(game, "Cannot play \"broken.zms\""));
    game.ExecuteConsoleLine("sound stop");
    audio->RunMusicThreadPass();
    EXPECT_EQ(audio->GetSoundCount(), 0u);
}

}  // namespace

namespace {

TEST_F(AudioTest, TheMenusNavigationSoundIsHeard) {
    Start();
    dir.Write("boop.wav", atest::MonoWav(2000, 5000));
    ASSERT_NE(audio->CreateSound("boop.wav", ZHashedString("Boop"), ZHashedString::None(), false), nullptr);
    ZMenuMgr* menus = GetMenuMgr();
    menus->PlayNavigationSound();  // no sound named yet: counted, nothing heard
    device->Advance(100);
    EXPECT_EQ(Out(50), 0);
    menus->SetNavigationSound(ZHashedString("Boop"));
    menus->PlayNavigationSound();
    device->Advance(100);
    EXPECT_EQ(Out(150), 5000);
    EXPECT_EQ(menus->GetNavigationSoundCount(), 2u);
    DestroyMenuMgr();
}

}  // namespace
