// Saved-state files from untrusted bytes: the store must stay inside the bytes
// it is given, keep only whole entries, and save what it kept so that it
// loads back the same.

#include <cstddef>
#include <cstdint>
#include <string>

#include "foundation/ZStateStore.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 1 << 16) {
        return 0;
    }
    ZStateStore store;
    store.LoadBytes(data, size);
    const std::string bytes = store.SaveBytes();
    ZStateStore back;
    if (!back.LoadBytes(bytes.data(), bytes.size())) {
        __builtin_trap();
    }
    for (const auto& entry : store.GetEntries()) {
        if (!entry.value.IsEmpty() && !(back.Get(entry.key) == entry.value)) {
            __builtin_trap();
        }
    }
    for (const auto& entry : back.GetEntries()) {
        if (!store.Has(entry.key)) {
            __builtin_trap();
        }
    }
    return 0;
}
