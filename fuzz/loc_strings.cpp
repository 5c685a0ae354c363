// String files from untrusted bytes (a player's own translation): every value
// is used as a localised printf pattern with a few argument lists, plain and
// pseudo-localised. Nothing may read or write outside its bytes, and a
// pattern is formatted exactly when the checker accepts it.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "foundation/ZINIFile.h"
#include "framework/ZLocFormat.h"
#include "framework/ZLocMgr.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 1 << 16) {
        return 0;
    }
    ZINIFile file;
    file.LoadINIText(reinterpret_cast<const char*>(data), size);

    const char escaped[] = {'a', 0x7F, 0, 0, 0, 0, 0, 0, 0, 0, 'b'};
    const ZString name = ZString::FromBytes(escaped, sizeof(escaped));
    const ZLocFormat::Arg lists[][3] = {
        {ZLocFormat::MakeArg(-12345), ZLocFormat::MakeArg(1e300), ZLocFormat::MakeArg(name)},
        {ZLocFormat::MakeArg("text"), ZLocFormat::MakeArg(int64_t{1} << 62), ZLocFormat::MakeArg(-0.5f)},
        {ZLocFormat::MakeArg(2.0), ZLocFormat::MakeArg(""), ZLocFormat::MakeArg('c')},
    };

    for (const auto& section : file.GetSections()) {
        for (const auto& entry : section.value) {
            const ZString& pattern = entry.value;
            ZLocMgr::PseudoLocalize(pattern);
            for (const auto& args : lists) {
                for (uint32_t count = 0; count <= 3; ++count) {
                    ZString out;
                    const bool ok = ZLocFormat::Format(pattern, args, count, (count & 1) != 0, out);
                    if (ok != ZLocFormat::Check(pattern, args, count)) {
                        std::abort();
                    }
                }
            }
        }
    }
    return 0;
}
