// INI text from untrusted bytes: the parser must stay inside the bytes it is
// given, and what it keeps must write out as text that parses again. (The
// format has no escapes, so a key such as ";x" or "[x" does not survive the
// trip unchanged; only memory safety is checked.)

#include <cstddef>
#include <cstdint>

#include "foundation/ZINIFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 1 << 16) {
        return 0;
    }
    ZINIFile ini;
    ini.LoadINIText(reinterpret_cast<const char*>(data), size);
    const ZString text = ini.ToText();
    ZINIFile back;
    back.LoadINIText(text.GetText(), static_cast<size_t>(text.GetLength()));
    return 0;
}
