#pragma once

#include <cstdint>

// Small pieces that tie the engine to the process: the working folder, the
// teardown of the engine's singletons and the decoding of text characters.
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

// The character that starts at text, as a 16-bit value, and its length in
// bytes. When the application description says texts are not UTF-8 every byte
// is one character. In UTF-8 a four-byte sequence gives the low 16 bits of its
// code point. Length 0 (character 0) means no character starts here: a null
// pointer, a byte that starts no sequence, or a sequence cut short by the
// terminator or by a byte that does not continue it. The caller then steps
// over one byte. Never reads past the terminator.
uint16_t DecodeChar(const char* text, int32_t* outLength);
// The same for bytes that need not end in a zero: nothing at or beyond end is
// read (end == text reads nothing and gives length 0).
uint16_t DecodeChar(const char* text, const char* end, int32_t* outLength);
