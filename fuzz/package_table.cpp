// Fuzz target for the package reader: any bytes as a package file. Every
// entry that is listed must read whole; a write-back that succeeds must keep
// every entry's bytes, and one that fails must leave the file as it was.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "foundation/ZPackageFile.h"

namespace {

// One scratch file per process, removed at exit.
struct Scratch {
    Scratch() {
        char name[] = "/tmp/korv-fuzz-package-XXXXXX";
        const int fd = mkstemp(name);
        if (fd < 0) {
            std::abort();
        }
        close(fd);
        path = name;
    }
    ~Scratch() { std::remove(path.c_str()); }
    std::string path;
};

const std::string& ScratchPath() {
    static const Scratch scratch;
    return scratch.path;
}

void WriteScratch(const uint8_t* data, size_t size) {
    std::FILE* file = std::fopen(ScratchPath().c_str(), "wb");
    if (!file || (size > 0 && std::fwrite(data, 1, size, file) != size)) {
        std::abort();
    }
    std::fclose(file);
}

std::string ReadEntry(ZPackageFile& package, const char* name) {
    char* buffer = nullptr;
    int64_t size = -1;
    if (!package.ReadEntry(name, &buffer, &size)) {
        std::abort();  // listed entries lie inside the file
    }
    if (buffer[size] != 0) {
        std::abort();
    }
    std::string bytes(buffer, static_cast<size_t>(size));
    delete[] buffer;
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    WriteScratch(data, size);
    ZPackageFile package;
    if (!package.Open(ScratchPath().c_str())) {
        return 0;
    }
    // Names may repeat; FindEntry answers the first, so compare through it.
    std::vector<std::string> names;
    std::vector<std::string> contents;
    for (uint32_t i = 0; i < package.GetEntryCount(); ++i) {
        const char* name = package.GetEntry(i).name;
        if (std::strlen(name) >= ZPackageEntry::kNameSize) {
            std::abort();
        }
        names.emplace_back(name);
        contents.push_back(ReadEntry(package, name));
        std::FILE* file = nullptr;
        if (package.OpenEntry(name, &file) == 0) {
            std::fclose(file);
        }
    }
    ZArray<ZString> listed;
    package.ListEntries(listed, "*.txt");
    package.ListEntries(listed, "*");

    package.Compact();
    if (!package.WriteHeader()) {
        std::FILE* file = std::fopen(ScratchPath().c_str(), "rb");
        std::vector<uint8_t> now(size + 1);
        const size_t n = file ? std::fread(now.data(), 1, now.size(), file) : 0;
        if (file) {
            std::fclose(file);
        }
        if (n != size || (size > 0 && std::memcmp(now.data(), data, size) != 0)) {
            std::abort();
        }
        return 0;
    }
    ZPackageFile again;
    if (!again.Open(ScratchPath().c_str()) || again.GetEntryCount() != names.size()) {
        std::abort();
    }
    for (size_t i = 0; i < names.size(); ++i) {
        if (ReadEntry(again, names[i].c_str()) !=
            contents[static_cast<size_t>(package.FindEntry(names[i].c_str()))]) {
            std::abort();
        }
    }
    return 0;
}
