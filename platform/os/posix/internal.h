#pragma once

// Helpers shared by the POSIX implementation of the os module.

#include <cstdio>
#include <string_view>

namespace os::posix {

inline char FoldCase(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
bool EqualsNoCase(std::string_view a, std::string_view b);
// <0, 0, >0 ignoring ASCII case.
int CompareNoCase(std::string_view a, std::string_view b);

bool IsWriteMode(const char* mode);
// Puts a stream behind the simulated full disk when it is on: reads and seeks
// pass through, every write fails with ENOSPC. Returns file unchanged otherwise.
std::FILE* ApplyDiskFull(std::FILE* file, const char* mode);

}  // namespace os::posix
