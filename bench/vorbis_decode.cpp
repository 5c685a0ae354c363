// Ogg Vorbis decoding through the engine (a package entry read through the
// range-bound callbacks, filled in half-second pieces by the stream fill the
// music thread uses) against bare libvorbisfile on the same bytes as a plain
// file. The 20-second stereo tune is made by sfxgen before the runs.
// "vs_bare" is the engine's time per pass divided by the bare decoder's.

#include <benchmark/benchmark.h>
#include <vorbis/vorbisfile.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "audio/ZOggSound.h"
#include "audio/ZOggSource.h"
#include "foundation/ZPackageFile.h"
#include "foundation/ZPackageWriter.h"

namespace {

struct Files {
    ~Files() {
        if (!folder.empty()) {
            std::filesystem::remove_all(folder);
        }
    }
    std::string folder;
    std::string ogg;
    std::string package;
    int64_t offset = 0;
    int64_t size = 0;
};

const Files& TestFiles() {
    static Files files;
    if (!files.folder.empty()) {
        return files;
    }
    char folder[] = "/tmp/korv-bench-vorbis-XXXXXX";
    if (!mkdtemp(folder)) {
        std::abort();
    }
    files.folder = folder;
    files.ogg = files.folder + "/tune.ogg";
    const std::string command =
        std::string(KORV_SFXGEN) + " tone " + files.ogg + " --seconds 20 --hz 440 --channels 2";
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "cannot make the tune: %s\n", command.c_str());
        std::abort();
    }
    files.package = files.folder + "/Music.zpk";
    ZPackageWriter writer;
    const std::string filler(100000, 'x');
    writer.AddData("a.bin", filler.data(), filler.size());
    writer.AddFile("tune.ogg", files.ogg.c_str());
    writer.AddData("z.bin", filler.data(), filler.size());
    if (!writer.Write(files.package.c_str())) {
        std::abort();
    }
    ZPackageFile package;
    package.Open(files.package.c_str());
    const char* path = nullptr;
    package.GetEntryLocation("tune.ogg", &files.size, &files.offset, &path);
    return files;
}

double gBareSeconds = 0.0;

void BM_BareVorbisfile(benchmark::State& state) {
    const Files& files = TestFiles();
    std::vector<char> buffer(4096);
    double total = 0.0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        OggVorbis_File vf;
        ov_fopen(files.ogg.c_str(), &vf);
        int bitstream = 0;
        while (ov_read(&vf, buffer.data(), static_cast<int>(buffer.size()), 0, 2, 1, &bitstream) > 0) {
            benchmark::DoNotOptimize(buffer.data());
        }
        ov_clear(&vf);
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    gBareSeconds = total / static_cast<double>(state.iterations());
}
BENCHMARK(BM_BareVorbisfile)->Unit(benchmark::kMillisecond);

void BM_EngineStream(benchmark::State& state) {
    const Files& files = TestFiles();
    std::vector<uint8_t> buffer(88200);  // half a second of 16-bit stereo
    double total = 0.0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        ZOggSource source;
        source.file = std::fopen(files.package.c_str(), "rb");
        source.offset = files.offset;
        source.size = files.size;
        OggVorbis_File vf;
        ZOggSound::OpenOggStream(&vf, &source, "tune.ogg");
        while (!ZOggSound::FillFromOgg(buffer.data(), static_cast<uint32_t>(buffer.size()), &vf, true, "tune.ogg")) {
            benchmark::DoNotOptimize(buffer.data());
        }
        ov_clear(&vf);
        std::fclose(source.file);
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    if (gBareSeconds > 0.0) {
        state.counters["vs_bare"] = total / static_cast<double>(state.iterations()) / gBareSeconds;
    }
}
BENCHMARK(BM_EngineStream)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
