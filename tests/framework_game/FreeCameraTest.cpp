// The free camera: a game that turns it on flies the view camera from the
// keys held and the mouse, one fixed step at a time.

#include <gtest/gtest.h>

#include <cmath>

#include "RunScenarios.h"
#include "platform/window/keycodes.h"
#include "renderer/ZCamera.h"

namespace gametest {
namespace {

class FreeCameraGame : public TestGame {
public:
    bool IsFreeCameraOn() const override { return true; }
};

struct Pose {
    ZVector3 position;
    ZVector3 forward;
    ZVector3 up;
};

Pose PoseOf(const ZCamera& camera) { return Pose{camera.position, camera.forward, camera.up}; }

// Runs 60 steps of 1/60 s after start-up throttling with the key held (0:
// none) and the mouse moved by (mouseX, mouseY) each frame; the pose before
// and after.
void Fly(const uint8_t key, const int32_t mouseX, const int32_t mouseY, const bool pause, Pose& before,
         Pose& after) {
    GameRun run;
    delete run.game;
    run.game = new FreeCameraGame();
    run.game->clock = &run.clock;
    run.Configure("FixedGameFPS: 60\r\n");
    run.game->frameSeconds = {1.0 / 60};
    constexpr int kStart = 30;  // well past the throttling
    run.game->afterFrame = [&](TestGame& g, const int frame) {
        ZCamera* camera = g.GetViewCamera(0);
        ASSERT_NE(camera, nullptr);
        if (frame == kStart) {
            // The engine's camera has no pose until a game gives it one.
            camera->SetPosition(ZVector3{1.0f, 2.0f, 3.0f});
            camera->SetOrientation(ZVector3{0.0f, 1.0f, 0.0f}, ZVector3{0.0f, 0.0f, 1.0f});
            camera->Update();
            before = PoseOf(*camera);
            if (key != 0) {
                run.input->SetKey(key, true);
            }
            if (pause) {
                g.GetConsole().Toggle();
            }
        }
        if (frame >= kStart && frame < kStart + 60 && (mouseX != 0 || mouseY != 0)) {
            run.input->MoveMouse(mouseX, mouseY);
        }
        if (frame == kStart + 60) {
            after = PoseOf(*camera);
        }
    };
    run.game->quitAfterFrames = kStart + 60;
    run.Run();
}

float Distance(const ZVector3& a, const ZVector3& b) { return (a - b).Length(); }

TEST(FreeCamera, KeysMoveAndRollTheCameraThreeUnitsASecond) {
    struct Case {
        const char* name;
        uint8_t key;
        // Expected movement over one second along the camera's axes at the start.
        float forward, side, up;
        float roll;  // radians about forward
    };
    const Case cases[] = {
        {"W", platform::DIK_W, 3.0f, 0.0f, 0.0f, 0.0f},
        {"S", platform::DIK_S, -3.0f, 0.0f, 0.0f, 0.0f},
        {"A", platform::DIK_A, 0.0f, 3.0f, 0.0f, 0.0f},
        {"D", platform::DIK_D, 0.0f, -3.0f, 0.0f, 0.0f},
        {"Space", platform::DIK_SPACE, 0.0f, 0.0f, 3.0f, 0.0f},
        {"left Ctrl", platform::DIK_LCONTROL, 0.0f, 0.0f, -3.0f, 0.0f},
        {"E", platform::DIK_E, 0.0f, 0.0f, 0.0f, 1.5f},
        {"Q", platform::DIK_Q, 0.0f, 0.0f, 0.0f, -1.5f},
        {"no key", 0, 0.0f, 0.0f, 0.0f, 0.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RunInChild([&c] {
            Pose before;
            Pose after;
            Fly(c.key, 0, 0, false, before, after);
            const ZVector3 side = before.up.Cross(before.forward).Normalized();
            const ZVector3 moved = after.position - before.position;
            EXPECT_NEAR(moved.Dot(before.forward), c.forward, 1e-3f);
            EXPECT_NEAR(moved.Dot(side), c.side, 1e-3f);
            EXPECT_NEAR(moved.Dot(before.up), c.up, 1e-3f);
            // A roll turns up about forward, towards the side axis for a positive angle or away.
            const float turned = std::atan2(after.up.Dot(side), after.up.Dot(before.up));
            EXPECT_NEAR(std::fabs(turned), std::fabs(c.roll), 1e-3f);
            EXPECT_NEAR(Distance(after.forward, before.forward), 0.0f, 1e-4f);
        });
    }
}

TEST(FreeCamera, TheMouseTurnsTheLookAndNothingMovesWhilePaused) {
    RunInChild([] {
        Pose before;
        Pose after;
        Fly(0, 10, 0, false, before, after);
        EXPECT_GT(Distance(after.forward, before.forward), 0.1f) << "the mouse turned the camera";
        EXPECT_NEAR(Distance(after.position, before.position), 0.0f, 1e-6f);
    });
    RunInChild([] {
        Pose before;
        Pose after;
        Fly(platform::DIK_W, 10, 10, true, before, after);
        EXPECT_NEAR(Distance(after.position, before.position), 0.0f, 1e-6f) << "the open console pauses the game";
        EXPECT_NEAR(Distance(after.forward, before.forward), 0.0f, 1e-6f);
    });
}

}  // namespace
}  // namespace gametest
