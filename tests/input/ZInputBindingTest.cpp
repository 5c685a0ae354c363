#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "input/ZInputBinding.h"
#include "input/ZInputHandler.h"

using namespace platform::input;

namespace {

ZInputBinding Key(const int32_t code) { return ZInputBinding::Button(ZInputDevice::Keyboard, code); }
ZInputBinding Mouse(const int32_t code) { return ZInputBinding::Button(ZInputDevice::Mouse, code); }
ZInputBinding Joy(const int32_t code) { return ZInputBinding::Button(ZInputDevice::Joystick, code); }
ZInputBinding Pad(const int32_t mask) { return ZInputBinding::Button(ZInputDevice::XInput, mask); }
ZInputBinding Plus(const uint32_t axis) { return ZInputBinding::Axis(axis, 1.0f); }
ZInputBinding Minus(const uint32_t axis) { return ZInputBinding::Axis(axis, -1.0f); }

std::string Describe(const ZInputBinding& b) {
    ZHashedString device;
    const ZHashedString name = GetInputName(b, device);
    return name.IsNone() || name.GetText() == nullptr ? "(none)" : name.GetText();
}

// A handler whose snapshots the cases write directly; no devices.
struct Bench {
    ZInputHandler handler;
    Bench(const bool pad) {
        handler.padSelected = pad ? 1 : 0;
        handler.inverseFrameTime = 60.0f;
    }
};

}  // namespace

TEST(InputBinding, AxisConstructionTakesTheSignOfTheValue) {
    EXPECT_EQ(ZInputBinding::Axis(5, 0.3f).direction, 1.0f);
    EXPECT_EQ(ZInputBinding::Axis(5, -7.0f).direction, -1.0f);
    EXPECT_EQ(ZInputBinding::Axis(5, 0.0f).direction, 0.0f);
    EXPECT_EQ(ZInputBinding::Axis(5, 1.0f).kind, ZInputBinding::kAxis);
    EXPECT_EQ(ZInputBinding::Axis(5, 1.0f).lastUsed, 0.0f);
}

TEST(InputBinding, EvaluatesDeadZonesRangesAndHalves) {
    using Set = void (*)(ZInputSnapshot&);
    struct Case {
        const char* what;
        ZInputBinding binding;
        bool padSelected;
        Set set;
        float expected;
    };
    const Case cases[] = {
        // Joystick positions: dead zone 6144, full at 31744, (-) reads the other half.
        {"joy at dead zone", Plus(ZInputAxis::JoyPosX), false, [](ZInputSnapshot& s) { s.joystick.lX = 6144; }, 0.0f},
        {"joy inside dead zone", Plus(ZInputAxis::JoyPosX), false, [](ZInputSnapshot& s) { s.joystick.lX = 5000; }, 0.0f},
        {"joy half way", Plus(ZInputAxis::JoyPosX), false, [](ZInputSnapshot& s) { s.joystick.lX = 18944; }, 0.5f},
        {"joy full", Plus(ZInputAxis::JoyPosX), false, [](ZInputSnapshot& s) { s.joystick.lX = 32767; }, 1.0f},
        {"joy negative half", Minus(ZInputAxis::JoyPosY), false, [](ZInputSnapshot& s) { s.joystick.lY = -20000; },
         13856.0f / 25600.0f},
        {"joy wrong half", Plus(ZInputAxis::JoyPosY), false, [](ZInputSnapshot& s) { s.joystick.lY = -20000; }, 0.0f},
        {"joy extreme negative", Minus(ZInputAxis::JoyForceRotZ), false,
         [](ZInputSnapshot& s) { s.joystick.lFRz = INT32_MIN; }, 1.0f},
        {"joy off while pad selected", Plus(ZInputAxis::JoyPosX), true, [](ZInputSnapshot& s) { s.joystick.lX = 32767; },
         0.0f},
        // Sliders: r / 65536, no dead zone.
        {"slider", Plus(ZInputAxis::JoyPosSlider), false, [](ZInputSnapshot& s) { s.joystick.rglSlider[0] = 32768; },
         0.5f},
        {"slider small", Minus(ZInputAxis::JoyAccSlider), false,
         [](ZInputSnapshot& s) { s.joystick.rglASlider[0] = -655; }, 655.0f / 65536.0f},
        // Hat: north is Y+, east X+; centred when the low 16 bits are 0xFFFF.
        {"hat north Y", Plus(ZInputAxis::JoyPOVHatY), false, [](ZInputSnapshot& s) { s.joystick.rgdwPOV[0] = 0; }, 1.0f},
        {"hat north X", Plus(ZInputAxis::JoyPOVHatX), false, [](ZInputSnapshot& s) { s.joystick.rgdwPOV[0] = 0; }, 0.0f},
        {"hat east", Plus(ZInputAxis::JoyPOVHatX), false, [](ZInputSnapshot& s) { s.joystick.rgdwPOV[0] = 9000; }, 1.0f},
        {"hat south", Minus(ZInputAxis::JoyPOVHatY), false, [](ZInputSnapshot& s) { s.joystick.rgdwPOV[0] = 18000; },
         1.0f},
        {"hat centred", Plus(ZInputAxis::JoyPOVHatY), false,
         [](ZInputSnapshot& s) { s.joystick.rgdwPOV[0] = 0xFFFFFFFF; }, 0.0f},
        {"hat centred low bits", Plus(ZInputAxis::JoyPOVHatY), false,
         [](ZInputSnapshot& s) { s.joystick.rgdwPOV[0] = 0x0000FFFF; }, 0.0f},
        {"hat off while pad selected", Plus(ZInputAxis::JoyPOVHatY), true,
         [](ZInputSnapshot& s) { s.joystick.rgdwPOV[0] = 0; }, 0.0f},
        // Pad sticks and triggers, only while the pad is selected.
        {"stick full", Plus(ZInputAxis::XboxLSY), true, [](ZInputSnapshot& s) { s.pads[0].gamepad.sThumbLY = 32767; },
         1.0f},
        {"stick other way", Plus(ZInputAxis::XboxLSY), true,
         [](ZInputSnapshot& s) { s.pads[0].gamepad.sThumbLY = -32768; }, 0.0f},
        {"stick minus", Minus(ZInputAxis::XboxRSX), true, [](ZInputSnapshot& s) { s.pads[0].gamepad.sThumbRX = -32768; },
         1.0f},
        {"stick off without pad", Plus(ZInputAxis::XboxLSY), false,
         [](ZInputSnapshot& s) { s.pads[0].gamepad.sThumbLY = 32767; }, 0.0f},
        {"trigger at dead zone", Plus(ZInputAxis::XboxLT), true, [](ZInputSnapshot& s) { s.pads[0].gamepad.bLeftTrigger = 64; },
         0.0f},
        {"trigger half", Plus(ZInputAxis::XboxLT), true, [](ZInputSnapshot& s) { s.pads[0].gamepad.bLeftTrigger = 152; },
         0.5f},
        {"trigger at full scale", Plus(ZInputAxis::XboxRT), true,
         [](ZInputSnapshot& s) { s.pads[0].gamepad.bRightTrigger = 240; }, 1.0f},
        {"trigger past full scale", Plus(ZInputAxis::XboxRT), true,
         [](ZInputSnapshot& s) { s.pads[0].gamepad.bRightTrigger = 255; }, 1.0f},
        // Buttons; codes outside their device's range read 0.
        {"key down", Key(57), false, [](ZInputSnapshot& s) { s.keys[57] = 0x80; }, 1.0f},
        {"key up", Key(57), false, [](ZInputSnapshot&) {}, 0.0f},
        {"key past 255", Key(256 + 57), false, [](ZInputSnapshot& s) { s.keys[57] = 0x80; }, 0.0f},
        {"key negative", Key(-1), false, [](ZInputSnapshot& s) { s.keys[255] = 0x80; }, 0.0f},
        {"mouse button 7", Mouse(7), false, [](ZInputSnapshot& s) { s.mouse.rgbButtons[7] = 0x80; }, 1.0f},
        {"mouse button 8", Mouse(8), false, [](ZInputSnapshot& s) { s.mouse.rgbButtons[7] = 0x80; }, 0.0f},
        {"joy button 127", Joy(127), false, [](ZInputSnapshot& s) { s.joystick.rgbButtons[127] = 0x80; }, 1.0f},
        {"joy button 128", Joy(128), false, [](ZInputSnapshot& s) { s.joystick.rgbButtons[127] = 0x80; }, 0.0f},
        {"joy button while pad selected", Joy(3), true, [](ZInputSnapshot& s) { s.joystick.rgbButtons[3] = 0x80; }, 0.0f},
        {"pad A", Pad(XINPUT_GAMEPAD_A), true, [](ZInputSnapshot& s) { s.pads[0].gamepad.wButtons = XINPUT_GAMEPAD_A; },
         1.0f},
        {"pad A not held", Pad(XINPUT_GAMEPAD_A), true,
         [](ZInputSnapshot& s) { s.pads[0].gamepad.wButtons = XINPUT_GAMEPAD_B; }, 0.0f},
        {"pad button without pad", Pad(XINPUT_GAMEPAD_A), false,
         [](ZInputSnapshot& s) { s.pads[0].gamepad.wButtons = XINPUT_GAMEPAD_A; }, 0.0f},
        {"pad 1 is not the controller", Pad(XINPUT_GAMEPAD_A), true,
         [](ZInputSnapshot& s) { s.pads[1].gamepad.wButtons = XINPUT_GAMEPAD_A; }, 0.0f},
        {"unknown device", ZInputBinding::Button(9, 1), false, [](ZInputSnapshot& s) { std::memset(s.keys, 0x80, 256); },
         0.0f},
        {"unknown axis", Plus(40), false, [](ZInputSnapshot& s) { s.joystick.lX = 32767; }, 0.0f},
        {"empty binding", ZInputBinding(), false, [](ZInputSnapshot& s) { std::memset(s.keys, 0x80, 256); }, 0.0f},
    };
    for (const Case& c : cases) {
        Bench bench(c.padSelected);
        ZInputSnapshot snapshot;
        c.set(snapshot);
        bool active = false;
        bool mouseDriven = false;
        const float value = EvaluateBinding(c.binding, bench.handler, snapshot, active, mouseDriven);
        EXPECT_NEAR(value, c.expected, 1e-6f) << c.what;
        EXPECT_EQ(active, c.expected != 0.0f) << c.what;
        EXPECT_FALSE(mouseDriven) << c.what;
    }
}

TEST(InputBinding, MouseAxesAreSpeedsAndMarkTheMouse) {
    struct Case {
        ZInputBinding binding;
        int32_t x, y, wheel;
        float inverseFrameTime;
        float expected;
        bool mouseDriven;
    };
    const Case cases[] = {
        {Plus(ZInputAxis::MouseX), 10, 0, 0, 60.0f, 300.0f, true},  // counts/s times the 0.5 factor
        {Minus(ZInputAxis::MouseX), 10, 0, 0, 60.0f, 0.0f, true},   // moved, but the other half
        {Minus(ZInputAxis::MouseY), 0, -4, 0, 60.0f, 120.0f, true},
        {Plus(ZInputAxis::MouseZ), 0, 0, 120, 60.0f, 3600.0f, true},
        {Plus(ZInputAxis::MouseX), 10, 0, 0, 0.0f, 0.0f, false},  // dt 0: no speed
        {Plus(ZInputAxis::MouseX), 0, 0, 0, 60.0f, 0.0f, false},
    };
    for (const Case& c : cases) {
        ZInputHandler handler;
        handler.mouseScale = 0.5f;
        handler.inverseFrameTime = c.inverseFrameTime;
        ZInputSnapshot snapshot;
        snapshot.mouse.lX = c.x;
        snapshot.mouse.lY = c.y;
        snapshot.mouse.lZ = c.wheel;
        bool active = false;
        bool mouseDriven = false;
        EXPECT_FLOAT_EQ(EvaluateBinding(c.binding, handler, snapshot, active, mouseDriven), c.expected)
            << Describe(c.binding) << " " << c.x << "," << c.y << "," << c.wheel;
        EXPECT_EQ(mouseDriven, c.mouseDriven) << Describe(c.binding);
    }
}

TEST(InputBinding, NamesEveryKindOfInput) {
    struct Case {
        ZInputBinding binding;
        const char* name;
        const char* device;
    };
    const Case cases[] = {
        {Key(28), "Key28", "Keyboard"},
        {Mouse(1), "MB1", "Mouse"},
        {Joy(9), "JB9", "Joystick"},
        {Pad(XINPUT_GAMEPAD_A), "XB4096", "Xbox"},  // the mask, not a button index
        {ZInputBinding::Button(7, 3), "Bad button 7", nullptr},
        {Plus(ZInputAxis::MouseX), "MouseX(+)", "Mouse"},
        {Minus(ZInputAxis::MouseZ), "MouseZ(-)", "Mouse"},
        {Minus(ZInputAxis::JoyPOVHatY), "JoyPOVHatY(-)", "Joystick"},
        {Plus(ZInputAxis::JoyForceSlider), "JoyForceSlider(+)", "Joystick"},
        {Plus(ZInputAxis::XboxLSX), "XboxLSX(+)", "Xbox"},
        {Plus(ZInputAxis::XboxRT), "XboxRT(+)", "Xbox"},
        {Plus(40), "Bad axis 40", nullptr},
        {Plus(0), "Bad axis 0", nullptr},
    };
    for (const Case& c : cases) {
        ZHashedString device;
        const ZHashedString name = GetInputName(c.binding, device);
        ASSERT_NE(name.GetText(), nullptr);
        EXPECT_STREQ(name.GetText(), c.name);
        if (c.device != nullptr) {
            EXPECT_EQ(device, ZHashedString(c.device)) << c.name;
        } else {
            EXPECT_TRUE(device.IsNone()) << c.name;
        }
    }
}

TEST(InputBinding, DeviceClassesAndPadInputs) {
    struct Case {
        ZInputBinding binding;
        int32_t deviceClass;
        bool pad;
    };
    const Case cases[] = {
        {Key(1), ZDeviceClass::KeyboardMouse, false},
        {Mouse(0), ZDeviceClass::KeyboardMouse, false},
        {Plus(ZInputAxis::MouseZ), ZDeviceClass::KeyboardMouse, false},
        {Joy(0), ZDeviceClass::Joystick, true},
        {Plus(ZInputAxis::JoyPosX), ZDeviceClass::Joystick, true},
        {Plus(ZInputAxis::JoyPOVHatY), ZDeviceClass::Joystick, true},
        {Pad(1), ZDeviceClass::XInputPad, true},
        {Plus(ZInputAxis::XboxLSX), ZDeviceClass::XInputPad, true},
        {Plus(ZInputAxis::XboxRT), ZDeviceClass::XInputPad, true},
        {Plus(40), ZDeviceClass::None, false},
        {ZInputBinding::Button(5, 0), ZDeviceClass::None, false},
        {ZInputBinding(), ZDeviceClass::None, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(GetDeviceClass(c.binding), c.deviceClass) << Describe(c.binding);
        EXPECT_EQ(IsPadInput(c.binding), c.pad) << Describe(c.binding);
    }
}

TEST(InputBinding, SameInputComparesKindDeviceCodeAndDirectionSign) {
    struct Case {
        ZInputBinding a, b;
        bool same;
    };
    ZInputBinding used = Key(3);
    used.lastUsed = 9.0f;
    ZInputBinding half = Plus(ZInputAxis::XboxLSY);
    half.direction = 0.25f;
    const Case cases[] = {
        {Key(3), used, true},
        {Key(3), Key(4), false},
        {Key(3), Mouse(3), false},
        {Plus(ZInputAxis::XboxLSY), half, true},
        {Plus(ZInputAxis::XboxLSY), Minus(ZInputAxis::XboxLSY), false},
        {Plus(ZInputAxis::XboxLSY), Plus(ZInputAxis::XboxLSX), false},
        {Key(3), Plus(3), false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.a.SameInput(c.b), c.same) << Describe(c.a) << " vs " << Describe(c.b);
    }
}

// lastUsed moves when a binding's value changes while it reads non-zero, so a
// held button keeps its time and a moving stick refreshes it.
TEST(InputBinding, EvaluateBindingsStampsChangesAndTheDeviceClass) {
    ZInputHandler handler;
    handler.padSelected = 1;
    ZArray<ZInputBinding> bindings;
    bindings.PushBack(Key(57));
    bindings.PushBack(Pad(XINPUT_GAMEPAD_A));
    bindings.PushBack(Plus(ZInputAxis::XboxLSX));

    bool active = false;
    bool mouseDriven = false;
    int32_t deviceClass = ZDeviceClass::None;

    handler.current.keys[57] = 0x80;  // pressed
    float sum = EvaluateBindings(bindings, handler, active, mouseDriven, deviceClass, 1.0f);
    EXPECT_FLOAT_EQ(sum, 1.0f);
    EXPECT_TRUE(active);
    EXPECT_EQ(deviceClass, ZDeviceClass::KeyboardMouse);
    EXPECT_EQ(bindings[0].lastUsed, 1.0f);

    handler.previous = handler.current;  // held
    handler.current.pads[0].gamepad.sThumbLX = 18944;
    sum = EvaluateBindings(bindings, handler, active, mouseDriven, deviceClass, 2.0f);
    EXPECT_FLOAT_EQ(sum, 1.5f);  // bindings add up, unclamped
    EXPECT_EQ(bindings[0].lastUsed, 1.0f);
    EXPECT_EQ(bindings[2].lastUsed, 2.0f);
    EXPECT_EQ(deviceClass, ZDeviceClass::XInputPad);

    handler.previous = handler.current;
    handler.current.pads[0].gamepad.sThumbLX = 32767;  // still moving
    EvaluateBindings(bindings, handler, active, mouseDriven, deviceClass, 3.0f);
    EXPECT_EQ(bindings[2].lastUsed, 3.0f);

    handler.previous = handler.current;  // stick held still: no change
    EvaluateBindings(bindings, handler, active, mouseDriven, deviceClass, 4.0f);
    EXPECT_EQ(bindings[2].lastUsed, 3.0f);

    handler.current = ZInputSnapshot();
    handler.previous = ZInputSnapshot();
    EXPECT_EQ(EvaluateBindings(bindings, handler, active, mouseDriven, deviceClass, 5.0f), 0.0f);
    EXPECT_FALSE(active);
}

TEST(InputBinding, FindMostRecentBindingPicksByClassAndTime) {
    auto at = [](ZInputBinding b, const float t) {
        b.lastUsed = t;
        return b;
    };
    struct Case {
        const char* what;
        ZInputBinding list[4];
        uint32_t count;
        int32_t deviceClass;
        const char* expected;
    };
    const Case cases[] = {
        {"newest of the class", {at(Key(1), 2), at(Pad(16), 9), at(Key(2), 5)}, 3, 1, "Key2"},
        {"equal times: the earliest", {at(Key(1), 5), at(Key(2), 5)}, 2, 1, "Key1"},
        {"never used: first of the class", {Pad(16), Key(7), Key(8)}, 3, 1, "Key7"},
        {"no binding of the class: the first", {at(Key(1), 3), at(Key(2), 4)}, 2, 2, "Key1"},
        {"pad class", {at(Key(1), 3), at(Pad(4096), 1), at(Plus(ZInputAxis::XboxLSY), 2)}, 3, 2, "XboxLSY(+)"},
        {"empty list", {}, 0, 1, "(none)"},
    };
    for (const Case& c : cases) {
        ZArray<ZInputBinding> bindings;
        for (uint32_t i = 0; i < c.count; ++i) {
            bindings.PushBack(c.list[i]);
        }
        EXPECT_EQ(Describe(FindMostRecentBinding(bindings, c.deviceClass)), c.expected) << c.what;
    }
}

TEST(InputBinding, ScanFindsTheFirstNewInputInOrder) {
    using Set = void (*)(ZInputSnapshot& now, ZInputSnapshot& before);
    struct Case {
        const char* what;
        bool padSelected;
        Set set;
        const char* expected;  // null: nothing found
    };
    const Case cases[] = {
        {"nothing", false, [](ZInputSnapshot&, ZInputSnapshot&) {}, nullptr},
        {"mouse moved 10", false, [](ZInputSnapshot& n, ZInputSnapshot&) { n.mouse.lX = 10; }, nullptr},
        {"mouse moved 11", false, [](ZInputSnapshot& n, ZInputSnapshot&) { n.mouse.lX = 11; }, "MouseX(+)"},
        {"mouse up", false, [](ZInputSnapshot& n, ZInputSnapshot&) { n.mouse.lY = -11; }, "MouseY(-)"},
        {"wheel", false, [](ZInputSnapshot& n, ZInputSnapshot&) { n.mouse.lZ = -120; }, "MouseZ(-)"},
        {"mouse before keys", false,
         [](ZInputSnapshot& n, ZInputSnapshot&) {
             n.mouse.rgbButtons[2] = 0x80;
             n.keys[30] = 0x80;
         },
         "MB2"},
        {"key pressed", false, [](ZInputSnapshot& n, ZInputSnapshot&) { n.keys[30] = 0x80; }, "Key30"},
        {"key held", false,
         [](ZInputSnapshot& n, ZInputSnapshot& b) {
             n.keys[30] = 0x80;
             b.keys[30] = 0x80;
         },
         nullptr},
        {"trigger past 64", true,
         [](ZInputSnapshot& n, ZInputSnapshot& b) {
             n.pads[0].gamepad.bRightTrigger = 65;
             b.pads[0].gamepad.bRightTrigger = 64;
         },
         "XboxRT(+)"},
        {"stick at 16384", true, [](ZInputSnapshot& n, ZInputSnapshot&) { n.pads[0].gamepad.sThumbLX = 16384; }, nullptr},
        {"stick past 16384", true, [](ZInputSnapshot& n, ZInputSnapshot&) { n.pads[0].gamepad.sThumbRY = -16385; },
         "XboxRSY(-)"},
        {"pad button", true, [](ZInputSnapshot& n, ZInputSnapshot&) { n.pads[0].gamepad.wButtons = 0x0030; }, "XB16"},
        {"pad ends the scan", true, [](ZInputSnapshot& n, ZInputSnapshot&) { n.joystick.rgbButtons[1] = 0x80; }, nullptr},
        {"pad ignored without selection", false,
         [](ZInputSnapshot& n, ZInputSnapshot&) { n.pads[0].gamepad.wButtons = 0x1000; }, nullptr},
        {"joystick axis", false, [](ZInputSnapshot& n, ZInputSnapshot&) { n.joystick.lRy = 20000; }, "JoyPosRotY(+)"},
        {"joystick axis already out", false,
         [](ZInputSnapshot& n, ZInputSnapshot& b) {
             n.joystick.lX = 30000;
             b.joystick.lX = 20000;
         },
         nullptr},
        {"slider has no absolute value", false,
         [](ZInputSnapshot& n, ZInputSnapshot&) { n.joystick.rglSlider[0] = -30000; }, nullptr},
        {"slider", false, [](ZInputSnapshot& n, ZInputSnapshot&) { n.joystick.rglSlider[0] = 30000; },
         "JoyPosSlider(+)"},
        {"hat east", false, [](ZInputSnapshot& n, ZInputSnapshot&) { n.joystick.rgdwPOV[0] = 9000; }, "JoyPOVHatX(+)"},
        {"hat north", false, [](ZInputSnapshot& n, ZInputSnapshot&) { n.joystick.rgdwPOV[0] = 0; }, "JoyPOVHatY(+)"},
        {"hat east to north-east", false,
         [](ZInputSnapshot& n, ZInputSnapshot& b) {
             n.joystick.rgdwPOV[0] = 4500;
             b.joystick.rgdwPOV[0] = 9000;
         },
         "JoyPOVHatY(+)"},
        {"joystick button", false, [](ZInputSnapshot& n, ZInputSnapshot&) { n.joystick.rgbButtons[127] = 0x80; },
         "JB127"},
    };
    for (const Case& c : cases) {
        ZInputHandler handler;
        handler.padSelected = c.padSelected ? 1 : 0;
        c.set(handler.current, handler.previous);
        ZInputBinding found;
        const bool any = handler.ScanForNewInput(found);
        EXPECT_EQ(any, c.expected != nullptr) << c.what;
        if (any && c.expected != nullptr) {
            EXPECT_EQ(Describe(found), c.expected) << c.what;
        }
    }
}
