#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>

namespace HSK {

constexpr uint32_t LogMask_Regular = 0x100;
constexpr uint32_t LogMask_Debug = 0x200;
constexpr uint32_t LogMask_All = LogMask_Regular | LogMask_Debug;

enum LogMessageType : uint32_t {
    Log_Text = LogMask_Regular | 0,
    Log_Error = LogMask_Regular | 1,
    Log_DebugText = LogMask_Debug | 0,
    Log_Debug = LogMask_Debug | 1,
    Log_Assert = LogMask_Debug | 2,
};

// The SDK's log. A message is written when its type shares a bit with the mask
// and it is not of the debug class. Lines go to standard output when that is a
// terminal, otherwise to the debugger output (os::DebugOutput: standard error,
// only while KORV_DEBUG_OUTPUT asks for it), or to the output hook when one is set.
class Log {
public:
    static constexpr size_t kBufferSize = 2048;
    using OutputHook = void (*)(uint32_t type, const char* text);

    explicit Log(uint32_t mask = LogMask_Debug) : m_mask(mask) {}
    virtual ~Log() = default;

    void SetLoggingMask(uint32_t mask) { m_mask = mask; }
    uint32_t GetLoggingMask() const { return m_mask; }

    void LogMessage(LogMessageType type, const char* format, ...) __attribute__((format(printf, 3, 4)));
    virtual void LogMessageVarg(LogMessageType type, const char* format, va_list args);
    // Writes finished text; the default goes to the output described above.
    virtual void DefaultLogOutput(uint32_t type, const char* text);

    bool Writes(LogMessageType type) const { return (type & m_mask) != 0 && (type & LogMask_Debug) == 0; }

    // Formats one message into buffer (size bytes, at least 16): prefix, text cut
    // to fit, and "\n" after prefixed messages, always terminated. Returns the length.
    static size_t FormatMessage(char* buffer, size_t size, LogMessageType type, const char* format, va_list args);

    static Log* GetGlobalLog();
    static void SetGlobalLog(Log* log);
    static Log* GetDefaultLog();
    // Test seam: while set, every log writes here instead.
    static void SetOutputHook(OutputHook hook);

private:
    uint32_t m_mask;
};

// Through the global log, when there is one.
void LogText(const char* format, ...) __attribute__((format(printf, 1, 2)));
void LogError(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace HSK
