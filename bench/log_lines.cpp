// Lines per second into Log.txt: the log's file writer (its file held open,
// flushed after each line) against a baseline that opens, appends to and
// closes the file for every line, as the log once did. Standard output is
// left out of both. "vs_reopen" is the log's time per line divided by the
// baseline's.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "foundation/ZAppInfo.h"
#include "foundation/ZLog.h"
#include "foundation/ZTimer.h"

namespace {

class LoggingInfo : public ZAppInfo {
public:
    const char* GetGameFolderName() const override { return "Bench Game"; }
    bool IsLogging() const override { return true; }
};

// A documents folder of its own.
struct Setting {
    Setting() {
        char pattern[] = "/tmp/korv-bench-log-XXXXXX";
        if (mkdtemp(pattern) != nullptr) {
            folder = pattern;
            setenv("XDG_DOCUMENTS_DIR", folder.c_str(), 1);
        }
        gAppInfo = &info;
        gTimer.Start();
    }
    ~Setting() {
        ZLog::DestroyInstance();
        gAppInfo = nullptr;
        if (!folder.empty()) {
            std::filesystem::remove_all(folder);
        }
    }
    LoggingInfo info;
    std::string folder;
};

Setting& TheSetting() {
    static Setting setting;
    return setting;
}

double g_baselineSecondsPerLine = 0.0;

void BM_ReopenPerLineBaseline(benchmark::State& state) {
    const std::string path = TheSetting().folder + "/baseline.txt";
    const std::string line = "00001.2345: Config: no variable Junk.Entry; entry dropped\r\n";
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        std::FILE* file = std::fopen(path.c_str(), "ab");
        if (file != nullptr) {
            std::fwrite(line.data(), 1, line.size(), file);
            std::fclose(file);
        }
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    g_baselineSecondsPerLine = state.iterations() > 0 ? seconds / static_cast<double>(state.iterations()) : 0.0;
    state.counters["lines_per_second"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_LogLines(benchmark::State& state) {
    TheSetting();
    ZLog* log = GetLog();
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        log->LogLine("Config: no variable Junk.Entry; entry dropped");
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.counters["lines_per_second"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    if (g_baselineSecondsPerLine > 0.0 && state.iterations() > 0) {
        state.counters["vs_reopen"] = seconds / static_cast<double>(state.iterations()) / g_baselineSecondsPerLine;
    }
}

BENCHMARK(BM_ReopenPerLineBaseline);
BENCHMARK(BM_LogLines);

}  // namespace

BENCHMARK_MAIN();
