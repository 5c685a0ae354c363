// Reading every file of a 50 MB package through the stream manager, against
// plain read() calls for the same bytes. The package is made in a temporary
// folder before the runs; "vs_read" is the stream manager's time per pass
// divided by the plain reads' time per pass.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "foundation/ZPackageFile.h"
#include "foundation/ZPackageWriter.h"
#include "foundation/ZStreamMgr.h"

namespace {

constexpr uint32_t kFileCount = 800;
constexpr uint32_t kFileSize = 64 * 1024;  // 800 x 64 KiB = 50 MiB

struct Package {
    ~Package() {
        if (!folder.empty()) {
            std::filesystem::remove_all(folder);
        }
    }
    std::string folder;
    std::string path;
    std::vector<std::string> names;
    std::vector<uint32_t> offsets;
};

void MakePackage(Package& p) {
    char folder[] = "/tmp/korv-bench-stream-XXXXXX";
    if (!mkdtemp(folder)) {
        std::abort();
    }
    p.folder = folder;
    p.path = p.folder + "/Bench.zpk";
    ZPackageWriter writer;
    std::string bytes(kFileSize, '\0');
    uint32_t seed = 12345;
    for (uint32_t i = 0; i < kFileCount; ++i) {
        for (char& c : bytes) {
            seed = seed * 1664525u + 1013904223u;
            c = static_cast<char>(seed >> 24);
        }
        const std::string name = "Folder " + std::to_string(i % 8) + "\\File" + std::to_string(i) + ".bin";
        writer.AddData(name.c_str(), bytes.data(), bytes.size());
        p.names.push_back(name);
    }
    if (!writer.Write(p.path.c_str())) {
        std::fprintf(stderr, "cannot write the package: %s\n", writer.Error().c_str());
        std::abort();
    }
    ZPackageFile reader;
    reader.Open(p.path.c_str());
    for (uint32_t i = 0; i < reader.GetEntryCount(); ++i) {
        p.offsets.push_back(reader.GetEntry(i).offset);
    }
}

const Package& TestPackage() {
    static Package package;
    if (package.path.empty()) {
        MakePackage(package);
    }
    return package;
}

double gPlainSecondsPerPass = 0.0;

void BM_PlainRead(benchmark::State& state) {
    const Package& package = TestPackage();
    std::vector<char> buffer(kFileSize);
    double total = 0.0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const int fd = open(package.path.c_str(), O_RDONLY);
        for (uint32_t offset : package.offsets) {
            lseek(fd, offset, SEEK_SET);
            benchmark::DoNotOptimize(read(fd, buffer.data(), kFileSize));
        }
        close(fd);
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    gPlainSecondsPerPass = total / static_cast<double>(state.iterations());
    state.SetBytesProcessed(int64_t(state.iterations()) * kFileCount * kFileSize);
}
BENCHMARK(BM_PlainRead)->Unit(benchmark::kMillisecond);

void BM_StreamMgrReadFile(benchmark::State& state) {
    const Package& package = TestPackage();
    ZStreamMgr* streams = ZStreamMgr::GetInstance();
    streams->AddPackageSource(package.path.c_str());
    double total = 0.0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        for (const std::string& name : package.names) {
            char* buffer = nullptr;
            int64_t size = -1;
            streams->ReadFile(name.c_str(), &buffer, &size);
            benchmark::DoNotOptimize(buffer);
            delete[] buffer;
        }
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    ZStreamMgr::DestroyInstance();
    state.SetBytesProcessed(int64_t(state.iterations()) * kFileCount * kFileSize);
    if (gPlainSecondsPerPass > 0.0) {
        state.counters["vs_read"] = total / static_cast<double>(state.iterations()) / gPlainSecondsPerPass;
    }
}
BENCHMARK(BM_StreamMgrReadFile)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
