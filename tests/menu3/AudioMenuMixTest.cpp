// The audio page on the fake sound device: moving its sliders changes what
// the mixer writes at once, while the page is still open.

#include <algorithm>
#include <cstdlib>

#include "audio/AudioFixture.h"
#include "framework/ZBaseGame.h"
#include "framework/ZConfigVar.h"
#include "menu/AudioMenu.h"
#include "menu/ZMenuMgr.h"
#include "menu/ZMenuSpinner.h"

namespace {

using atest::AudioTest;
using atest::MonoWav;

int Peak(const platform::sound::FakeSoundSystem& device) {
    int peak = 0;
    for (const int16_t s : device.GetMixed()) {
        peak = std::max(peak, std::abs(static_cast<int>(s)));
    }
    return peak;
}

TEST_F(AudioTest, AudioPageSlidersChangeTheMixedSamples) {
    ZBaseGame game;
    game.SetLogging(false);
    ClearConfigRegistry();
    game.registerConfigVars();
    game.SetLogging(false);
    game.RegisterConsoleCommands();
    game.CreateSoundGroups();
    Start();
    dir.Write("boop.wav", MonoWav(44100, 9000));

    auto* page = static_cast<AudioMenu*>(game.CreateAudioMenu());
    ZMenuSpinner* rows[3] = {};
    int found = 0;
    for (ZMenuItem* item : page->items) {
        if (auto* row = dynamic_cast<ZMenuSpinner*>(item); row != nullptr && found < 3) rows[found++] = row;
    }
    ASSERT_EQ(found, 3);
    ZMenuSpinner* master = rows[0];
    ZMenuSpinner* effects = rows[2];
    for (int i = 0; i < 20; ++i) {
        master->Adjust(1);
        effects->Adjust(1);
    }

    // The same sound heard at each setting: full, the effects slider at half, master at 0.
    const auto heard = [&] {
        device->ClearMixed();
        now += 1.0;  // past the voice pool's spacing between two plays
        game.ExecuteConsoleLine("sound boop.wav");
        device->Advance(2000);
        const int peak = Peak(*device);
        audio->StopAllSounds();
        device->Advance(500);
        return peak;
    };
    const int full = heard();
    EXPECT_GT(full, 4000);
    for (int i = 0; i < 10; ++i) effects->Adjust(-1);
    const int half = heard();
    EXPECT_GT(half, 0);
    EXPECT_LT(half, full * 3 / 4);
    for (int i = 0; i < 20; ++i) master->Adjust(-1);
    EXPECT_EQ(heard(), 0);

    delete page;
    DestroyMenuMgr();
    ClearConfigRegistry();
}

}  // namespace
