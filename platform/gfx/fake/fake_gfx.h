#pragma once

// The scriptable graphics backend for tests. It keeps every resource in
// memory, records each call as a line of text, fills render targets on Clear
// (draws change no pixels), and can be told to fail device creation, report
// missing capabilities, lose the device at a given present, and answer the
// cooperative-level test and Reset with any result.
//
// Like the platform it stands in for, Reset refuses (InvalidCall) while
// default-pool resources or references to the back buffer are alive.

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/gfx/gfx.h"

namespace gfx::fake {

enum class DeviceState { Operational, Lost, NotReset };

// Every capability the renderer asks about, present.
Caps FullCaps();

struct Script {
    Caps caps = FullCaps();
    DisplayMode desktop{1280, 720, 60, Format::X8R8G8B8};
    std::vector<DisplayMode> modes{{640, 480, 60, Format::X8R8G8B8},
                                   {1280, 720, 60, Format::X8R8G8B8},
                                   {1920, 1080, 60, Format::X8R8G8B8},
                                   {1280, 720, 60, Format::R5G6B5}};

    // Results of the system's calls before and at device creation.
    Result getDeviceCaps = Result::Ok;
    Result enumModes = Result::Ok;
    Result checkDeviceType = Result::Ok;
    Result checkDeviceFormat = Result::Ok;
    Result checkDeviceFormatConversion = Result::Ok;
    Result checkDeviceMultiSampleType = Result::Ok;
    Result checkDepthStencilMatch = Result::Ok;
    Result createDevice = Result::Ok;

    // The n-th Present (counting from 1) loses the device; 0 never.
    uint32_t losePresent = 0;
    // Answers given before the device's own: TestCooperativeLevel and Reset
    // take the front entry while there is one.
    std::deque<Result> cooperativeLevel;
    std::deque<Result> reset;

    // Extra bytes at the end of every locked row, to catch code that ignores the pitch.
    uint32_t pitchPadding = 0;

    // When set, CreateEffect fails with CompileFailed and these errors (none for nullopt).
    bool failEffects = false;
    std::optional<std::string> effectErrors;
};

// Shared between the test and the fake objects; outlives them if the test keeps it.
struct State {
    Script script;
    std::vector<std::string> calls;  // "Name(arguments)", with " -> RESULT" when not Ok
    DeviceState deviceState = DeviceState::Operational;
    uint32_t presents = 0;
    int liveObjects = 0;  // fake objects not yet destroyed (system and device included)
    uint32_t nextId = 0;  // numbers given to fake objects, for the call log

    // Number of recorded calls that begin with `prefix`.
    size_t Count(const std::string& prefix) const;
    // Index of the first call at or after `from` that begins with `prefix`, or -1.
    int Find(const std::string& prefix, size_t from = 0) const;
};

System* CreateSystem(std::shared_ptr<State> state);

// The number by which calls name a fake object ("#3"), or 0 for other objects.
uint32_t IdOf(const Object* object);

}  // namespace gfx::fake
