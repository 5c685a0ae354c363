// Definition files from untrusted bytes: the reader must stay inside the bytes
// it is given, whatever lengths and counts they claim, and whatever it keeps
// must write out and read back as the same tree.

#include <cstddef>
#include <cstdint>
#include <string>

#include "foundation/ZDefinitionFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 1 << 16) {
        return 0;
    }
    ZDefNode root;
    ReadDefinitionBytes(root, data, size);

    std::string bytes(kDefinitionFileMagic, sizeof(kDefinitionFileMagic));
    bytes.append("\x01\x00\x01\x00", 4);
    SerializeDefinitionNode(bytes, root);
    ZDefNode back;
    if (!ReadDefinitionBytes(back, bytes.data(), bytes.size()) || !(back == root)) {
        __builtin_trap();
    }
    return 0;
}
