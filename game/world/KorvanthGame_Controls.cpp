// The game's control groups, controls and default bindings.

#include "foundation/ZLog.h"
#include "game/world/KorvanthGame.h"
#include "input/ZControlMgr.h"
#include "input/ZInputBinding.h"
#include "input/ZStickControl.h"

void KorvanthGame::CreateControls() {
    ZLog::Printf("KorvanthGame::CreateControls");
    ZControlMgr* controls = GetControlMgr();
    const ZHashedString gameplay("Gameplay");
    const ZHashedString overworld("Overworld");
    // Both groups: blocked by cinematics, cleared by the menu, read on fixed steps.
    controls->AddControlGroup(gameplay, true, true, false, false);
    for (const char* name : {"MoveLeft", "MoveRight", "Jump", "JumpDown", "Interact", "Enter", "Status", "FullMap"}) {
        controls->AddControl(gameplay, ZHashedString(name), false);
    }
    controls->AddControlGroup(overworld, true, true, false, false);
    for (const char* name : {"MoveWest", "MoveEast", "MoveNorth", "MoveSouth"}) {
        controls->AddControl(overworld, ZHashedString(name), false);
    }
    // Up, Numpad 8 and W are both Jump and Enter.
    ZArray<ZHashedString> shared;
    for (const char* name : {"Jump", "Enter", "Interact"}) shared.PushBack(ZHashedString(name));
    controls->AddShareSet(gameplay, shared);
    if (ZStickControl* stick = controls->AddStick(overworld, ZHashedString("MoveNorth"), ZHashedString("MoveSouth"),
                                                  ZHashedString("MoveEast"), ZHashedString("MoveWest"))) {
        stick->responseExponent = 1.0f;
        stick->initialCap = 1.0f;
        stick->rampThreshold = 1.0f;
        stick->rampDelay = 0.0f;
        stick->rampRate = 1.0f;
    }
    // The engine's groups come after the game's.
    ZBaseGame::CreateControls();
}

void KorvanthGame::SetUpDefaultControlBindings() {
    ZBaseGame::SetUpDefaultControlBindings();
    ZLog::Printf("KorvanthGame::SetUpDefaultControlBindings");
    enum Kind { kKey, kPad, kJoy, kAxis };
    struct Row {
        const char* group;
        const char* control;
        Kind kind;
        int32_t code;  // scan code, pad mask, joystick button or axis id
        float direction;
    };
    using A = ZInputAxis;
    static const Row kRows[] = {
        // Keyboard.
        {"Gameplay", "MoveLeft", kKey, 203, 0},
        {"Gameplay", "MoveLeft", kKey, 75, 0},
        {"Gameplay", "MoveLeft", kKey, 30, 0},
        {"Gameplay", "MoveRight", kKey, 205, 0},
        {"Gameplay", "MoveRight", kKey, 77, 0},
        {"Gameplay", "MoveRight", kKey, 32, 0},
        {"Gameplay", "JumpDown", kKey, 208, 0},
        {"Gameplay", "JumpDown", kKey, 80, 0},
        {"Gameplay", "JumpDown", kKey, 31, 0},
        {"Gameplay", "Jump", kKey, 200, 0},
        {"Gameplay", "Jump", kKey, 72, 0},
        {"Gameplay", "Jump", kKey, 17, 0},
        {"Gameplay", "Jump", kKey, 45, 0},
        {"Gameplay", "Jump", kKey, 44, 0},
        {"Gameplay", "Jump", kKey, 57, 0},
        {"Gameplay", "Interact", kKey, 18, 0},
        {"Gameplay", "Enter", kKey, 200, 0},
        {"Gameplay", "Enter", kKey, 72, 0},
        {"Gameplay", "Enter", kKey, 17, 0},
        {"Gameplay", "Status", kKey, 15, 0},
        {"Gameplay", "FullMap", kKey, 50, 0},
        // Pad.
        {"Gameplay", "MoveLeft", kAxis, A::XboxLSX, -1.0f},
        {"Gameplay", "MoveLeft", kPad, 0x0004, 0},
        {"Gameplay", "MoveRight", kAxis, A::XboxLSX, 1.0f},
        {"Gameplay", "MoveRight", kPad, 0x0008, 0},
        {"Gameplay", "JumpDown", kAxis, A::XboxLSY, -1.0f},
        {"Gameplay", "JumpDown", kPad, 0x0002, 0},
        {"Gameplay", "Jump", kPad, 0x1000, 0},
        {"Gameplay", "Interact", kPad, 0x4000, 0},
        {"Gameplay", "Enter", kAxis, A::XboxLSY, 1.0f},
        {"Gameplay", "Enter", kPad, 0x0001, 0},
        {"Gameplay", "Status", kPad, 0x0020, 0},
        {"Gameplay", "FullMap", kPad, 0x8000, 0},
        // Joystick: its stick's Y runs down, its hat's Y up.
        {"Gameplay", "MoveLeft", kAxis, A::JoyPOVHatX, -1.0f},
        {"Gameplay", "MoveLeft", kAxis, A::JoyPosX, -1.0f},
        {"Gameplay", "MoveRight", kAxis, A::JoyPOVHatX, 1.0f},
        {"Gameplay", "MoveRight", kAxis, A::JoyPosX, 1.0f},
        {"Gameplay", "JumpDown", kAxis, A::JoyPOVHatY, -1.0f},
        {"Gameplay", "JumpDown", kAxis, A::JoyPosY, 1.0f},
        {"Gameplay", "Jump", kJoy, 1, 0},
        {"Gameplay", "Jump", kJoy, 2, 0},
        {"Gameplay", "Interact", kJoy, 0, 0},
        {"Gameplay", "Enter", kAxis, A::JoyPOVHatY, 1.0f},
        {"Gameplay", "Enter", kAxis, A::JoyPosY, -1.0f},
        {"Gameplay", "Status", kJoy, 8, 0},
        {"Gameplay", "FullMap", kJoy, 3, 0},
        // Overworld.
        {"Overworld", "MoveWest", kKey, 203, 0},
        {"Overworld", "MoveWest", kKey, 75, 0},
        {"Overworld", "MoveWest", kKey, 30, 0},
        {"Overworld", "MoveEast", kKey, 205, 0},
        {"Overworld", "MoveEast", kKey, 77, 0},
        {"Overworld", "MoveEast", kKey, 32, 0},
        {"Overworld", "MoveSouth", kKey, 208, 0},
        {"Overworld", "MoveSouth", kKey, 80, 0},
        {"Overworld", "MoveSouth", kKey, 31, 0},
        {"Overworld", "MoveNorth", kKey, 200, 0},
        {"Overworld", "MoveNorth", kKey, 72, 0},
        {"Overworld", "MoveNorth", kKey, 17, 0},
        {"Overworld", "MoveWest", kAxis, A::XboxLSX, -1.0f},
        {"Overworld", "MoveEast", kAxis, A::XboxLSX, 1.0f},
        {"Overworld", "MoveSouth", kAxis, A::XboxLSY, -1.0f},
        {"Overworld", "MoveNorth", kAxis, A::XboxLSY, 1.0f},
        {"Overworld", "MoveWest", kPad, 0x0004, 0},
        {"Overworld", "MoveEast", kPad, 0x0008, 0},
        {"Overworld", "MoveSouth", kPad, 0x0002, 0},
        {"Overworld", "MoveNorth", kPad, 0x0001, 0},
        {"Overworld", "MoveWest", kAxis, A::JoyPOVHatX, -1.0f},
        {"Overworld", "MoveWest", kAxis, A::JoyPosX, -1.0f},
        {"Overworld", "MoveEast", kAxis, A::JoyPOVHatX, 1.0f},
        {"Overworld", "MoveEast", kAxis, A::JoyPosX, 1.0f},
        {"Overworld", "MoveSouth", kAxis, A::JoyPOVHatY, -1.0f},
        {"Overworld", "MoveSouth", kAxis, A::JoyPosY, 1.0f},
        {"Overworld", "MoveNorth", kAxis, A::JoyPOVHatY, 1.0f},
        {"Overworld", "MoveNorth", kAxis, A::JoyPosY, -1.0f},
    };
    ZControlMgr* controls = GetControlMgr();
    for (const Row& row : kRows) {
        ZInputBinding binding;
        switch (row.kind) {
        case kKey:
            binding = ZInputBinding::Button(ZInputDevice::Keyboard, row.code);
            break;
        case kPad:
            binding = ZInputBinding::Button(ZInputDevice::XInput, row.code);
            break;
        case kJoy:
            binding = ZInputBinding::Button(ZInputDevice::Joystick, row.code);
            break;
        case kAxis:
            binding = ZInputBinding::Axis(static_cast<uint32_t>(row.code), row.direction);
            break;
        }
        controls->AddBinding(ZHashedString(row.group), ZHashedString(row.control), binding);
    }
}
