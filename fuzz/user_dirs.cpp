// user-dirs.dirs: whatever the file holds, the documents folder it names is
// empty (none) or an absolute path without a trailing '/'.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/os/system.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const char* home : {"/home/player", "/"}) {
        const std::string folder = os::DocumentsFromUserDirsText(text, home);
        if (folder.empty()) {
            continue;
        }
        if (folder[0] != '/' || (folder.size() > 1 && folder.back() == '/')) {
            std::abort();
        }
    }
    return 0;
}
