#pragma once

// The os module: our own stand-in for the Windows kernel and shell services
// the engine uses, on POSIX. Include this, or the topic headers it gathers.
// Message boxes belong to the window module.

#include "platform/os/clock.h"
#include "platform/os/files.h"
#include "platform/os/system.h"
#include "platform/os/threads.h"
