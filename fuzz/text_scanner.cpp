// Expression text and engine strings from untrusted bytes: the tokenizer, and
// the string operations that walk UTF-8 and inline-image escapes, must stay
// inside the bytes they are given whatever those bytes are.

#include <cstddef>
#include <cstdint>
#include <string>

#include "foundation/ZString.h"
#include "foundation/ZTokenizer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool initialised = (InitOperatorTokens(), true);
    (void)initialised;
    if (size > 1 << 16) {
        return 0;
    }
    const char* bytes = reinterpret_cast<const char*>(data);

    // The tokenizer reads zero-terminated text.
    const std::string text(bytes, size);
    ZArray<ZString> tokens;
    TokenizeExpression(text.c_str(), tokens);
    for (const ZString& token : tokens) {
        if (token.IsEmpty()) {
            __builtin_trap();  // every token holds at least one byte
        }
    }
    // Scanning an exact-size piece must not look past its end.
    ScanTokens(bytes, bytes + size, tokens);

    // Strings hold any bytes, zero bytes included.
    const ZString s = ZString::FromBytes(bytes, static_cast<int32_t>(size));
    const int32_t chars = s.CountChars(-1);
    if (chars > s.GetLength() || s.CharToByteOffset(-1) > s.GetLength()) {
        __builtin_trap();
    }
    for (int32_t n = -1; n <= chars + 1 && n < 64; ++n) {
        if (s.CharToByteOffset(n) > s.GetLength() || s.CountChars(n) > chars) {
            __builtin_trap();
        }
    }
    ZArray<ZString> pieces;
    s.Split(":", pieces);
    s.Replace("\\n", "\n").EncodeImageTags().ToUpper().KeepIdentifierChars();
    s.Mid(1, 7).Trim().ToLower();
    s.Find("<img>", 1);
    s.ToInt();
    s.ToFloat();
    s.ToBool();
    HexToInt(text.c_str());
    ParseBool(text.c_str());
    return 0;
}
