#include "foundation/ZLog.h"

#include <atomic>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "foundation/ZAppInfo.h"
#include "foundation/ZTimer.h"
#include "foundation/ZUserFolders.h"
#include "platform/os/files.h"
#include "platform/os/system.h"

namespace {

std::atomic<ZLog*> g_log{nullptr};
std::mutex g_logCreation;

// "%010.4f: " of the seconds from gTimer's start to its latest tick.
std::string LineText(const char* text) {
    char stamp[64];
    std::snprintf(stamp, sizeof(stamp), "%010.4f: ", gTimer.GetElapsed());
    std::string line = stamp;
    line += text != nullptr ? text : "";
    line += "\r\n";
    return line;
}

std::string FormatV(const char* format, va_list args) {
    char small[512];
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(small, sizeof(small), format, copy);
    va_end(copy);
    if (length < 0) {
        return std::string();
    }
    if (static_cast<size_t>(length) < sizeof(small)) {
        return std::string(small, static_cast<size_t>(length));
    }
    std::string text(static_cast<size_t>(length), '\0');
    std::vsnprintf(text.data(), text.size() + 1, format, args);
    return text;
}

}  // namespace

ZLog* GetLog() {
    ZLog* log = g_log.load();
    if (log != nullptr) {
        return log;
    }
    std::lock_guard<std::mutex> lock(g_logCreation);
    log = g_log.load();
    if (log == nullptr) {
        log = new ZLog();
        g_log.store(log);
    }
    return log;
}

void ZLog::DestroyInstance() {
    std::lock_guard<std::mutex> lock(g_logCreation);
    ZLog* log = g_log.exchange(nullptr);
    if (log != nullptr) {
        log->CloseFile();
        delete log;
    }
}

void ZLog::Printf(const char* format, ...) {
    const ZAppInfo* info = ZAppInfo::GetInstance();
    if (info == nullptr || !info->IsLogging() || format == nullptr) {
        return;
    }
    if (gTimer.IsTickThread()) {
        gTimer.Tick();
    }
    va_list args;
    va_start(args, format);
    // The engine writes paths with '\\' between folders and the os layer
    // turns each into '/' when it opens them: the line names a file as the
    // file system does, whichever layer built its path.
    const std::string text = os::TranslatePath(FormatV(format, args));
    va_end(args);
    ZLog* log = GetLog();
    log->LogLine(text.c_str());
    log->DebugLine(text.c_str());
}

ZLog::ZLog() {
    // The description may already be gone late in shutdown; its defaults still
    // name a folder.
    const ZAppInfo* info = ZAppInfo::GetInstance();
    const ZAppInfo defaults;
    if (info == nullptr) {
        info = &defaults;
    }
    const ZString folder = GetUserFolderPath(info->GetGameFolderName(), info->GetLogsFolder(), true);
    m_path = folder.GetText();
    m_path += "Log.txt";
    m_debugCopy = os::DebugOutputEnabled();
}

ZLog::~ZLog() { CloseFile(); }

void ZLog::LogLine(const char* text) {
    std::lock_guard<os::Mutex> lock(m_mutex);
    // The file stays open between lines (reopening it for each line made a
    // long start-up crawl); each line is flushed, so a crash loses nothing.
    // A first line that cannot empty the file leaves the next line to try, so
    // one run's lines never join the previous run's. The file is emptied on its
    // own and then held open for appending: every line lands at the file's end
    // as it is then, so a second game that empties the file again meanwhile
    // (two games sharing the user's folder) leaves whole lines after its own,
    // never a hole of zero bytes where this run's offset used to be.
    if (m_file == nullptr) {
        if (!m_firstLineWritten) {
            std::FILE* const emptied = os::OpenFile(m_path, "wb");
            if (emptied == nullptr) {
                return;
            }
            std::fclose(emptied);
            m_firstLineWritten = true;
        }
        m_file = os::OpenFile(m_path, "ab");
        if (m_file == nullptr) {
            return;
        }
    }
    const std::string line = LineText(text);
    if (std::fwrite(line.data(), 1, line.size(), m_file) != line.size() || std::fflush(m_file) != 0) {
        // A full disk or a vanished file: let the next line open it afresh.
        std::fclose(m_file);
        m_file = nullptr;
    }
}

void ZLog::DebugLine(const char* text) {
    std::lock_guard<os::Mutex> lock(m_mutex);
    const std::string line = LineText(text);
    // In a terminal standard error shows next to standard output, so the
    // debugger copy goes out only when asked for.
    if (m_debugCopy) {
        os::DebugOutput(line);
    }
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fflush(stdout);
}

void ZLog::CloseFile() {
    std::lock_guard<os::Mutex> lock(m_mutex);
    if (m_file != nullptr) {
        std::fclose(m_file);
        m_file = nullptr;
    }
}
