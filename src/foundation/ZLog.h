#pragma once

#include <cstdio>
#include <string>

#include "platform/os/system.h"
#include "platform/os/threads.h"

// The process-wide log: timestamped lines appended to Log.txt in the user's
// Logs folder (kept open, flushed after every line) and the same lines to
// standard output; a copy goes to the debugger output (standard error) only
// when KORV_DEBUG_OUTPUT is set to something other than 0 when the log is
// made. The first line of a run empties the file. Any thread may log; a mutex
// keeps lines whole.
//
// A line reads "<seconds>: text" with the seconds as "%010.4f", taken from
// gTimer's latest tick. Paths in the text read as the file system names them:
// each '\' (the engine's folder separator) is written as '/'. Logging sites ask the application description whether
// logging is on and tick gTimer first, so the stamp is the time of writing;
// Printf does all of that in one call. The log itself checks nothing.
class ZLog {
public:
    // "If the description's IsLogging answers true: tick gTimer, format,
    // LogLine and DebugLine". Only the thread that ticks gTimer (the main loop)
    // ticks it here; a line from another thread carries the latest tick's stamp.
    static void Printf(const char* format, ...) __attribute__((format(printf, 1, 2)));

    // Closes and frees the log, so the next use starts a new run (its first
    // line empties Log.txt again). Shutdown calls it once no thread logs.
    static void DestroyInstance();

    // The environment variable that asks for the debugger copy of each line.
    static constexpr const char* kDebugOutputVariable = os::kDebugOutputVariable;

    // Appends the line to Log.txt; a file that does not open loses the line.
    void LogLine(const char* text);
    // Sends the line to standard output, and to the debugger output when asked.
    void DebugLine(const char* text);

    // Closes the held file, when one is held.
    void CloseFile();

    // The file lines go to, as built when the log was made.
    const std::string& GetFilePath() const { return m_path; }

    ZLog(const ZLog&) = delete;
    ZLog& operator=(const ZLog&) = delete;

private:
    friend ZLog* GetLog();
    ZLog();
    ~ZLog();

    bool m_firstLineWritten = false;
    std::FILE* m_file = nullptr;
    os::Mutex m_mutex;
    std::string m_path;
    bool m_debugCopy = false;  // KORV_DEBUG_OUTPUT was set
};

// The log, made on first use (which makes the Logs folder).
ZLog* GetLog();
