#pragma once

#include "hmd/sdk/Allocator.h"
#include "hmd/sdk/Log.h"

namespace HSK {

// Start and stop of the SDK: its allocator, its global log and its clock.
class System {
public:
    // Lets regular and debug messages through the default log. Only when no
    // allocator is installed yet: makes the default log (or log) the global
    // log, takes the 1 ms timer period, resets the clock and installs the
    // default allocator (or allocator). A second start changes nothing more.
    static void Init(Log* log = nullptr, Allocator* allocator = nullptr);
    // Nothing while stopped. Otherwise waits for every SDK thread to end, stops
    // the allocator, gives back the timer period and restores the default log.
    static void Destroy();
    static bool IsInitialized() { return Allocator::GetInstance() != nullptr; }
    // Whether the 1 ms timer period is held (a no-op on this platform, kept so
    // that start and stop stay paired).
    static bool HoldsTimerPeriod();
};

}  // namespace HSK
