#pragma once

// What the player's fixed step reads of the controls: values of the movement
// controls (0 to 1) and the presses and holds of the buttons. Read once per
// step from the controller component; tests fill it directly.
struct PlayerControls {
    // "Gameplay"
    float moveRight = 0.0f;
    float moveLeft = 0.0f;
    float enter = 0.0f;  // value of "Enter", for the vertical dead zone
    float jumpDown = 0.0f;
    bool enterPressed = false;
    bool jumpDownPressed = false;
    bool jumpDownHeld = false;
    bool jumpPressed = false;
    bool jumpHeld = false;
    bool interactPressed = false;
    bool statusPressed = false;
    bool fullMapPressed = false;
    // "Overworld"
    float moveEast = 0.0f;
    float moveWest = 0.0f;
    float moveSouth = 0.0f;
    float moveNorth = 0.0f;
};

// The side-view horizontal input: right minus left, with pressing up or down
// taking a dead zone (capped at 0.9) off it and stretching the rest to 0..1.
float SideViewInput(float moveRight, float moveLeft, float enter, float jumpDown);
// The forced horizontal input blended in: w = sqrt(remaining / duration).
float BlendForcedInput(float h, float forced, float remaining, float duration);
// The walk cycle: advances by max(|h|, |y|) x 9 frames a second (half under
// water) and wraps at 6.
float AdvanceWalkPhase(float phase, float h, float y, bool underwater, float dt);
// Low-friction ground: the smoothed speed follows the wanted one at rate x dt
// and stops when both are small.
float SmoothGroundSpeed(float smoothed, float wanted, float rate, float dt);
