#pragma once

#include <cstdint>

// The developer console's state as the base game drives it: open or closed,
// the scroll-back of output lines and the memory of typed lines, which is
// loaded at start-up and saved at shutdown. Main thread only.
//
// The input line, completion and drawing are not built yet: Update does
// nothing, so an open console only holds the game paused.
class ZConsole {
public:
    static constexpr int kLineCount = 24;
    static constexpr int kOutputLineSize = 257;  // 256 characters and the terminator
    static constexpr int kMemoryLineSize = 65;   // 64 characters and the terminator

    ZConsole() = default;
    virtual ~ZConsole() = default;
    ZConsole(const ZConsole&) = delete;
    ZConsole& operator=(const ZConsole&) = delete;

    // Writes the banner (title and version, engine and version, notice and
    // author, a blank) into the last four output lines.
    void Init();
    // Adds the text's lines (split at line feeds) below the others, pushing
    // the oldest out; each is cut to 256 characters. Null prints as empty.
    void Print(const char* text);

    // Reads "MemoryLine00".."MemoryLine23" into the memory slots; a missing
    // file leaves them as they are. False when the file was not read.
    bool LoadMemory(const char* path);
    // Writes the non-empty slots under consecutive keys from MemoryLine00.
    bool SaveMemory(const char* path) const;

    // Opens or closes the console; the base game is paused while it is open.
    void Toggle();
    // The per-frame key handling and drawing, while open.
    void Update() {}

    bool IsOpen() const { return m_isOpen; }
    const char* GetOutputLine(int index) const { return m_outputLines[index]; }
    const char* GetMemoryLine(int index) const { return m_memoryLines[index]; }
    // Stores text (cut to 64 characters) in a memory slot.
    void SetMemoryLine(int index, const char* text);

private:
    void PushOutputLine(const char* text, int32_t length);

    bool m_isOpen = false;
    char m_outputLines[kLineCount][kOutputLineSize] = {};
    char m_memoryLines[kLineCount][kMemoryLineSize] = {};
};
