// The input handler and the controls on SDL's virtual joysticks: a stick
// moved and a button pressed show up in the controls, as they do in the game.

#include <gtest/gtest.h>

#include <SDL.h>

#include "input/ZControlMgr.h"
#include "input/ZInputHandler.h"
#include "platform/input/input.h"
#include "support/VirtualJoysticks.h"

using namespace platform;

namespace {

const ZHashedString kMenus("Menus");
const ZHashedString kAccept("Accept");
const ZHashedString kNavUp("NavUp");
const ZHashedString kNavRight("NavRight");

class InputOnSdl : public testing::Test {
protected:
    void SetUp() override {
        input::SetInputSystem(input::CreateInputSystem(input::Backend::Sdl));
        ZControlMgr* mgr = GetControlMgr();
        mgr->AddControlGroup(kMenus, false, false, true, false);
        for (const ZHashedString name : {kAccept, kNavUp, kNavRight}) {
            mgr->AddControl(kMenus, name, false);
        }
        mgr->AddBinding(kMenus, kAccept, ZInputBinding::Button(ZInputDevice::Joystick, 2));
        mgr->AddBinding(kMenus, kAccept, ZInputBinding::Button(ZInputDevice::XInput, input::XINPUT_GAMEPAD_A));
        mgr->AddBinding(kMenus, kNavRight, ZInputBinding::Axis(ZInputAxis::JoyPosX, 1.0f));
        mgr->AddBinding(kMenus, kNavUp, ZInputBinding::Axis(ZInputAxis::XboxLSY, 1.0f));
    }

    void TearDown() override {
        DeleteControlMgr();
        DeleteInputHandler();
        m_joysticks.DetachAll();
        input::SetInputSystem(nullptr);
    }

    // A pad with a common gamepad's ids, or a stick with a common flight stick's.
    SDL_Joystick* Attach(const char* name, const bool gamepad) {
        const int index = m_joysticks.Attach(name, gamepad, gamepad ? 0x045E : 0x046D, gamepad ? 0x028E : 0xC215);
        return index < 0 ? nullptr : m_joysticks.Open(index);
    }

    // Start-up as the framework runs it, then the controller chosen by name.
    void Start(const char* controller) {
        ZInputHandler* handler = GetInputHandler();
        handler->InitInputDevices(false);
        handler->IsXInputPadConnected();
        handler->XInputEnable(true);
        handler->SelectJoystickByName(controller);
        GetControlMgr()->ResetActiveDeviceClass();
    }

    void Frame() {
        m_time += 1.0f / 60.0f;
        ZControlMgr* mgr = GetControlMgr();
        GetInputHandler()->PollDevices(1.0f / 60.0f, mgr->GetActiveDeviceClass());
        mgr->Update(1.0f / 60.0f, m_time, 1);
    }

    korvtest::VirtualJoysticks m_joysticks;
    float m_time = 0.0f;
};

}  // namespace

TEST_F(InputOnSdl, VirtualStickDrivesTheControls) {
    SDL_Joystick* stick = Attach("Virtual Stick", false);
    ASSERT_NE(stick, nullptr);
    Start("virtual stick");
    ZInputHandler* handler = GetInputHandler();
    ASSERT_TRUE(handler->HasJoystickDevice());
    ZControlMgr* mgr = GetControlMgr();
    EXPECT_EQ(mgr->GetActiveDeviceClass(), ZDeviceClass::Joystick);

    mgr->SetActiveDeviceClass(ZDeviceClass::KeyboardMouse);
    Frame();
    EXPECT_EQ(mgr->GetValue(kMenus, kNavRight), 0.0f);
    SDL_JoystickSetVirtualAxis(stick, 0, 32767);
    SDL_JoystickSetVirtualButton(stick, 2, SDL_PRESSED);
    Frame();
    EXPECT_FLOAT_EQ(mgr->GetValue(kMenus, kNavRight), 1.0f);
    EXPECT_TRUE(mgr->WasPressed(kMenus, kAccept, 0.5f));
    EXPECT_EQ(mgr->GetActiveDeviceClass(), ZDeviceClass::Joystick);

    ZInputBinding scanned;
    SDL_JoystickSetVirtualButton(stick, 5, SDL_PRESSED);
    Frame();
    ASSERT_TRUE(handler->ScanForNewInput(scanned));
    EXPECT_EQ(scanned.device, ZInputDevice::Joystick);
    EXPECT_EQ(scanned.code, 5);
}

TEST_F(InputOnSdl, VirtualGamepadIsThePadAndRumbles) {
    SDL_Joystick* pad = Attach("Virtual Pad", true);
    ASSERT_NE(pad, nullptr);
    Start("Virtual Pad");
    ZInputHandler* handler = GetInputHandler();
    ASSERT_TRUE(handler->IsPadSelected());
    ASSERT_TRUE(handler->IsPadConnected(0));
    ZControlMgr* mgr = GetControlMgr();
    EXPECT_EQ(mgr->GetActiveDeviceClass(), ZDeviceClass::XInputPad);

    SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_A, SDL_PRESSED);
    SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTY, -32768);  // pushed up
    Frame();
    EXPECT_TRUE(mgr->WasPressed(kMenus, kAccept, 0.5f));
    EXPECT_FLOAT_EQ(mgr->GetValue(kMenus, kNavUp), 1.0f);

    ZInputHandler::RumbleEffect effect;
    effect.startTime = handler->GetRumbleClock();
    effect.leftStrength = 1.0f;
    effect.leftAttackEnd = effect.startTime;
    effect.leftHoldEnd = effect.startTime + 10.0f;
    effect.leftReleaseEnd = effect.startTime + 10.0f;
    handler->AddRumbleEffect(effect);
    Frame();
    EXPECT_GT(m_joysticks.rumble.calls, 0);
    EXPECT_EQ(m_joysticks.rumble.low, 65535);
    handler->SetRumblePaused(true);
    EXPECT_EQ(m_joysticks.rumble.low, 0);
}
