#pragma once

#include <cstdint>

// Small pieces that tie the engine to the process: the working folder and the
// teardown of the engine's singletons.
// Main thread only.

// Working folder := the executable's folder; that folder (the empty path) is
// mounted as a stream source; the global timer starts. Run first by preinit,
// so files beside the executable come before every other source.
void SetWorkingDirToExe();

// Deletes the engine's singletons, each that exists, in their fixed order:
// the store, world and menu state first, the hashed-name table after the
// update registry and before the input managers, the log and the localisation
// near the end and the thread registry last. A singleton never made is
// skipped. While threads other than the main thread are still registered (a
// shutdown that gave up waiting), the singletons those threads share (audio,
// temporary strings, hashed names, log, thread registry) are kept, so a late
// thread never touches freed memory.
void ShutdownEngine();

// From ShutdownEngine's middle on: accessors that must not make their object
// again during teardown (the entity command table) ask this.
bool IsEngineShuttingDown();

// Stops the standard-input console when one runs. Nothing in this program
// starts one, so it finds none and returns.
void ShutdownStdinConsole();
