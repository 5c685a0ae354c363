#pragma once

// A temporary folder of the fuzz target's own, made on first use and removed
// when the process exits.

#include <cstdlib>
#include <filesystem>
#include <string>

namespace fuzz {

inline std::string& TempFolderPath() {
    static std::string path;
    return path;
}

inline const std::string& TempFolder(const char* const name) {
    static const bool made = [name] {
        std::string pattern = (std::filesystem::temp_directory_path() / (std::string(name) + "_XXXXXX")).string();
        if (mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        TempFolderPath() = pattern;
        std::atexit([] {
            std::error_code error;
            std::filesystem::remove_all(TempFolderPath(), error);
        });
        return true;
    }();
    (void)made;
    return TempFolderPath();
}

}  // namespace fuzz
