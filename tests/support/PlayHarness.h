#pragma once

// Plays the game the way a player does: the real start-up of KorvanthGame on
// fake window, input and sound devices (or the offscreen GL window when
// pictures matter), straight into a room with the player standing in it, then
// a script of held controls fed through the fake keyboard frame by frame, one
// fixed step of 1/60 s per frame, with the player's state read back after
// every step. The script format is in PlayHarness.md beside this file.
//
// A run frees process-wide singletons at its end: run each one in a child
// process (gametest::RunInChild) and check what it recorded there.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "foundation/ZVector3.h"

class Player;

namespace playtest {

// The player after one fixed step.
struct PlaySample {
    int32_t frame = 0;  // script frame the step belongs to, from 0
    ZVector3 position;
    ZVector3 velocity;
    bool grounded = false;
    bool onWall = false;
    bool dead = false;
    bool inWater = false;
    bool underwaterPhysics = false;
    int32_t jumpsLeft = 0;
    int32_t deaths = 0;
    int32_t stepState = 0;  // overworld: 1 while stepping
    int32_t roomX = 0;      // the game's current room
    int32_t roomY = 0;
    ZVector3 camera;        // the game camera the player moves
    bool transition = false;  // a room or door transition plays
};

// One line of a script: these controls held for that many frames.
struct PlayFrames {
    int32_t frames = 0;
    std::vector<uint8_t> keys;  // scan codes held
    uint16_t padButtons = 0;    // the pad's buttons held (XInput bits)
    int16_t padStickX = 0;      // the pad's left stick, -32768 to 32767 (right)
};

// Parses the script text; false with a message naming the line on error.
bool ParsePlayScript(const std::string& text, std::vector<PlayFrames>& out, std::string& error);

// How the run reaches play: straight into the setup's room, or through the
// title's New Game or Continue (the campaign's own rooms and the autosave).
enum class PlayStart { kRoom, kNewGame, kContinue };

struct PlaySetup {
    // The folder of the built packages (test programs are told it; the
    // support library is not).
#ifdef KORV_DATA_BUILD_DIR
    std::string dataDir = KORV_DATA_BUILD_DIR;
#else
    std::string dataDir;
#endif
    // The room as text (PlayRoom.h); its 'P' is the start and the checkpoint.
    std::vector<std::string> room;
    // Or a room of a campaign with its placed entities, started as the
    // command line's QuickStart does (the room text is then not used).
    struct QuickStart {
        std::string campaign = "Korvanth.kdd";
        std::string map;
        int32_t roomX = 0;
        int32_t roomY = 0;
        int32_t tileX = 16;
        int32_t tileY = 14;
    };
    std::optional<QuickStart> quickStart;
    // With quickStart, not empty: a randomized game of this seed (the
    // command line's "Seed").
    std::string seed;
    // A QuickStart into a room of the campaign's map at a tile.
    static QuickStart QuickStartAt(std::string map, int32_t roomX, int32_t roomY, int32_t tileX, int32_t tileY) {
        QuickStart q;
        q.map = std::move(map);
        q.roomX = roomX;
        q.roomY = roomY;
        q.tileX = tileX;
        q.tileY = tileY;
        return q;
    }
    // Powerup ids the player holds from the start.
    std::vector<uint32_t> powerups;
    // Open the offscreen GL window (for screenshots) instead of the fake one.
    bool gl = false;
    // With gl: the game's retro display draws the frames, as in the game.
    bool display = false;
    // Config.ini lines added to the harness's own.
    std::string config;
    PlayStart start = PlayStart::kRoom;
    // The documents folder (the user's saves); empty: a new one for the run.
    std::string documents;
    // Runs once the player stands in the room, before the first script frame.
    std::function<void(Player&)> prepare;
    // Runs after each script frame's steps, with the frame's index.
    std::function<void(Player&, int32_t frame)> afterFrame;
    // Runs in the game's shutdown once the game has let its world go, while
    // the saved-state store still exists.
    std::function<void()> atShutdown;
};

struct PlayResult {
    bool started = false;       // the player reached the room
    std::string error;          // a script or room that could not be used
    std::vector<PlaySample> samples;
    int32_t framesWithoutOneStep = 0;  // frames that ran other than one fixed step
    std::vector<std::string> log;      // the run's Log.txt lines
};

// Runs the script from the setup; returns what the steps left.
PlayResult RunPlay(const PlaySetup& setup, const std::string& script);

// During a run (from setup.afterFrame): what the title's New Game (false) or
// Continue (true) does, for a second game in the same run.
void StartFromTitle(bool continueGame);

}  // namespace playtest
