// Entry point of the game: the game object first, so it is the application
// description for the whole run; then the platform's real backends, the run
// itself, and the teardown.

#include <cstdio>
#include <memory>
#include <string>

#include "game/display/KorvanthDisplay.h"
#include "game/world/KorvanthGame.h"
#include "platform/hid/hid.h"
#include "platform/input/input.h"
#include "platform/os/system.h"
#include "platform/sound/sound.h"
#include "platform/window/window.h"

int main(int argc, char** argv) {
    KorvanthGame* game = KorvanthGame::GetGameInstance();
    if (game == nullptr) {
        // Never hand the engine a missing game: it would call through null.
        std::fprintf(stderr, "korvanth: the game object could not be made\n");
        return 1;
    }
    game->SetDisplay(std::make_unique<KorvanthDisplay>());

    platform::window::SetWindowSystem(platform::window::CreateWindowSystem(platform::window::Backend::Sdl));
    platform::input::SetInputSystem(platform::input::CreateInputSystem(platform::input::Backend::Sdl));
    platform::sound::SetSoundSystem(platform::sound::CreateSoundSystem(platform::sound::Backend::Sdl));

    const std::string commandLine = os::JoinCommandLine(argc, argv);
    ZBaseGame::Run(game, 0, 0, commandLine.c_str(), platform::window::SW_SHOWNORMAL);
    ZBaseGame::DestroyInstance();

    // Made only when a headset was looked for (this game declines it).
    platform::hid::SetHidSystem(nullptr);
    platform::sound::SetSoundSystem(nullptr);
    platform::input::SetInputSystem(nullptr);
    platform::window::SetWindowSystem(nullptr);
    return 0;
}
