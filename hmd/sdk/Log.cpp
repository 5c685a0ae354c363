#include "hmd/sdk/Log.h"

#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstring>

#include "platform/os/system.h"

namespace HSK {

namespace {

std::atomic<Log*> gGlobalLog{nullptr};
std::atomic<Log::OutputHook> gHook{nullptr};
// 0 unknown, 1 terminal, 2 not a terminal: decided by the first message.
std::atomic<int> gStdoutKind{0};

}  // namespace

void Log::LogMessage(const LogMessageType type, const char* const format, ...) {
    va_list args;
    va_start(args, format);
    LogMessageVarg(type, format, args);
    va_end(args);
}

size_t Log::FormatMessage(char* const buffer, const size_t size, const LogMessageType type, const char* const format,
                          va_list args) {
    const char* prefix = "";
    switch (type) {
        case Log_Error: prefix = "Error: "; break;
        case Log_Debug: prefix = "Debug: "; break;
        case Log_Assert: prefix = "Assert: "; break;
        default: break;
    }
    const size_t prefixLength = std::strlen(prefix);
    std::memcpy(buffer, prefix, prefixLength + 1);
    // Prefixed messages keep two bytes for the newline and the terminator, so a
    // message that fills the buffer is cut, never overrun.
    const size_t reserve = prefixLength > 0 ? 2 : 1;
    const size_t room = size - prefixLength - reserve + 1;
    const int written = std::vsnprintf(buffer + prefixLength, room, format, args);
    size_t length = prefixLength;
    if (written > 0) length += static_cast<size_t>(written) < room ? static_cast<size_t>(written) : room - 1;
    if (prefixLength > 0) {
        buffer[length++] = '\n';
        buffer[length] = 0;
    }
    return length;
}

void Log::LogMessageVarg(const LogMessageType type, const char* const format, va_list args) {
    if (!Writes(type)) return;
    char buffer[kBufferSize];
    FormatMessage(buffer, sizeof(buffer), type, format, args);
    DefaultLogOutput(type, buffer);
}

void Log::DefaultLogOutput(const uint32_t type, const char* const text) {
    if (const OutputHook hook = gHook.load()) {
        hook(type, text);
        return;
    }
    int kind = gStdoutKind.load();
    if (kind == 0) {
        kind = isatty(STDOUT_FILENO) ? 1 : 2;
        gStdoutKind.store(kind);
    }
    if (kind == 1) {
        std::fputs(text, stdout);
        std::fflush(stdout);
        return;
    }
    // Not a console: the debugger output, which is only on when asked for.
    os::DebugOutput(text);
}

Log* Log::GetGlobalLog() {
    return gGlobalLog.load();
}

void Log::SetGlobalLog(Log* const log) {
    gGlobalLog.store(log);
}

Log* Log::GetDefaultLog() {
    static Log log;
    return &log;
}

void Log::SetOutputHook(const OutputHook hook) {
    gHook.store(hook);
}

void LogText(const char* const format, ...) {
    Log* const log = Log::GetGlobalLog();
    if (log == nullptr) return;
    va_list args;
    va_start(args, format);
    log->LogMessageVarg(Log_Text, format, args);
    va_end(args);
}

void LogError(const char* const format, ...) {
    Log* const log = Log::GetGlobalLog();
    if (log == nullptr) return;
    va_list args;
    va_start(args, format);
    log->LogMessageVarg(Log_Error, format, args);
    va_end(args);
}

}  // namespace HSK
