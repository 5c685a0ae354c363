#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "input/ZControlMgr.h"
#include "input/ZInputHandler.h"
#include "platform/input/fake/FakeInputSystem.h"
#include "platform/window/window.h"

namespace inputtest {

// Fake devices installed, a fresh handler and control manager, and a clock
// that the frame and step helpers advance the way the main loop does.
class InputFixture : public ::testing::Test {
protected:
    void SetUp() override {
        auto system = std::make_unique<platform::input::FakeInputSystem>();
        fake = system.get();
        platform::input::SetInputSystem(std::move(system));
        platform::window::SetWindowSystem(platform::window::CreateWindowSystem(platform::window::Backend::Fake));
        handler = GetInputHandler();
    }

    void TearDown() override {
        DeleteControlMgr();
        DeleteInputHandler();
        platform::input::SetInputSystem(nullptr);
        platform::window::SetWindowSystem(nullptr);
    }

    // Start-up as the framework runs it.
    void StartDevices(const bool selectPreferred = false) {
        handler->BuildCharTable();
        handler->InitInputDevices(selectPreferred);
        handler->IsXInputPadConnected();
        handler->XInputEnable(true);
    }

    ZControlMgr* Controls() { return GetControlMgr(); }

    // One frame: poll, then the per-frame control update.
    void Frame(const float dt = 1.0f / 60.0f) {
        time += dt;
        handler->PollDevices(dt, Controls()->GetActiveDeviceClass());
        Controls()->Update(dt, time, 1);
    }
    // One fixed step of the per-step groups.
    void Step(const float dt = 1.0f / 60.0f) {
        fixedTime += dt;
        Controls()->Update(dt, fixedTime, 2);
    }
    void FrameAndStep(const float dt = 1.0f / 60.0f) {
        Frame(dt);
        Step(dt);
    }

    // A pad plugged in and selected as the controller (pad 0).
    void UsePad() {
        platform::input::FakeInputSystem::JoystickDesc desc;
        desc.name = "Fake Pad";
        desc.isXInput = true;
        fake->AttachJoystick(desc);
        StartDevices();
        handler->SelectJoystick(0);
        ASSERT_TRUE(handler->IsPadSelected());
    }

    platform::input::FakeInputSystem* fake = nullptr;
    ZInputHandler* handler = nullptr;
    float time = 0.0f;
    float fixedTime = 0.0f;
};

}  // namespace inputtest
