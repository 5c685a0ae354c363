// ConsoleMemory.txt: any file loads into terminated memory slots, and what the
// console saves reads back to the same slots (a second save and load changes
// nothing).

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "driver/FuzzTempFolder.h"
#include "framework/ZConsole.h"

namespace {

const std::string& Folder() {
    return fuzz::TempFolder("console_memory");
}

void CheckTerminated(const ZConsole& console) {
    for (int i = 0; i < ZConsole::kLineCount; ++i) {
        if (strnlen(console.GetMemoryLine(i), ZConsole::kMemoryLineSize) >= ZConsole::kMemoryLineSize) {
            std::abort();
        }
    }
}

bool SameSlots(const ZConsole& a, const ZConsole& b) {
    for (int i = 0; i < ZConsole::kLineCount; ++i) {
        if (std::strcmp(a.GetMemoryLine(i), b.GetMemoryLine(i)) != 0) {
            return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 1 << 16) {
        return 0;
    }
    const std::string input = Folder() + "/ConsoleMemory.txt";
    const std::string first = Folder() + "/first.txt";
    const std::string second = Folder() + "/second.txt";
    std::FILE* file = std::fopen(input.c_str(), "wb");
    if (file == nullptr) {
        std::abort();
    }
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    ZConsole loaded;
    if (!loaded.LoadMemory(input.c_str())) {
        return 0;
    }
    CheckTerminated(loaded);
    ZConsole once;
    ZConsole twice;
    if (!loaded.SaveMemory(first.c_str())) {
        std::abort();
    }
    // With every slot empty the saved file is empty, and an empty file is not
    // read: the slots stay empty either way.
    const ZConsole empty;
    if (!once.LoadMemory(first.c_str()) && !SameSlots(loaded, empty)) {
        std::abort();
    }
    CheckTerminated(once);
    if (!once.SaveMemory(second.c_str())) {
        std::abort();
    }
    twice.LoadMemory(second.c_str());
    if (!SameSlots(once, twice)) {
        std::abort();
    }
    return 0;
}
