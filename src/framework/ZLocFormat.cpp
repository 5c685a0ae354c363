#include "framework/ZLocFormat.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

// One conversion as read from the pattern.
struct Conversion {
    bool literalPercent = false;
    int32_t position = 0;  // 1-based, 0 when the conversion names no argument
    std::string flags;
    int32_t width = -1;
    int32_t precision = -1;
    char conversion = 0;
    int32_t end = 0;  // index just after the conversion
};

bool IsDigit(const char c) { return c >= '0' && c <= '9'; }

// Reads digits into value, refusing numbers above limit. False on overflow.
bool ReadNumber(const char* p, const int32_t length, int32_t& i, const int32_t limit, int32_t& value) {
    value = 0;
    while (i < length && IsDigit(p[i])) {
        value = value * 10 + (p[i] - '0');
        if (value > limit) {
            return false;
        }
        ++i;
    }
    return true;
}

ZLocFormat::Kind KindOf(const char conversion, bool& ok) {
    ok = true;
    switch (conversion) {
        case 'd': case 'i': case 'u': case 'o': case 'x': case 'X': case 'c':
            return ZLocFormat::Kind::kInteger;
        case 'f': case 'F': case 'e': case 'E': case 'g': case 'G': case 'a': case 'A':
            return ZLocFormat::Kind::kNumber;
        case 's':
            return ZLocFormat::Kind::kText;
        default:
            ok = false;
            return ZLocFormat::Kind::kInteger;
    }
}

// Reads the conversion starting at the '%' at start. False for anything
// outside the accepted grammar.
bool ReadConversion(const char* p, const int32_t length, const int32_t start, Conversion& conv) {
    int32_t i = start + 1;
    if (i < length && p[i] == '%') {
        conv.literalPercent = true;
        conv.end = i + 1;
        return true;
    }

    // "n$" names the argument; digits without '$' are the width.
    if (i < length && IsDigit(p[i]) && p[i] != '0') {
        int32_t j = i;
        int32_t n = 0;
        if (ReadNumber(p, length, j, 9999, n) && j < length && p[j] == '$') {
            conv.position = n;
            i = j + 1;
        }
    }
    while (i < length && std::strchr("-+ #0", p[i]) != nullptr && p[i] != 0) {
        if (conv.flags.size() >= 5) {
            return false;
        }
        conv.flags += p[i];
        ++i;
    }
    if (i < length && IsDigit(p[i])) {
        if (!ReadNumber(p, length, i, ZLocFormat::kMaxWidth, conv.width)) {
            return false;
        }
    }
    if (i < length && p[i] == '.') {
        ++i;
        if (!ReadNumber(p, length, i, ZLocFormat::kMaxWidth, conv.precision)) {
            return false;
        }
    }
    if (i >= length) {
        return false;
    }
    bool ok = false;
    KindOf(p[i], ok);
    if (!ok) {
        return false;
    }
    conv.conversion = p[i];
    conv.end = i + 1;
    return true;
}

// Walks every conversion of the pattern; calls visit(conv, argIndex) for each
// argument conversion and append(start, n) for each run of literal bytes.
// False when a conversion is malformed or does not fit the arguments.
template <typename Visit, typename Append>
bool Walk(const char* p, const int32_t length, const ZLocFormat::Arg* args, const uint32_t count, Visit visit,
          Append append) {
    int32_t sequential = 0;
    bool anyPositional = false;
    bool anySequential = false;
    uint64_t used = 0;  // bit per argument; more than 64 arguments are refused
    if (count > 64) {
        return false;
    }

    int32_t runStart = 0;
    int32_t i = 0;
    while (i < length) {
        if (p[i] != '%') {
            ++i;
            continue;
        }
        if (i > runStart) {
            append(runStart, i - runStart);
        }
        Conversion conv;
        if (!ReadConversion(p, length, i, conv)) {
            return false;
        }
        if (conv.literalPercent) {
            append(i, 1);
        } else {
            int32_t index = 0;
            if (conv.position > 0) {
                anyPositional = true;
                index = conv.position - 1;
            } else {
                anySequential = true;
                index = sequential++;
            }
            if (anyPositional && anySequential) {
                return false;
            }
            if (index < 0 || static_cast<uint32_t>(index) >= count) {
                return false;
            }
            bool ok = false;
            if (KindOf(conv.conversion, ok) != args[index].kind) {
                return false;
            }
            used |= uint64_t{1} << index;
            visit(conv, index);
        }
        i = conv.end;
        runStart = i;
    }
    if (length > runStart) {
        append(runStart, length - runStart);
    }
    const uint64_t all = count == 64 ? ~uint64_t{0} : (uint64_t{1} << count) - 1;
    return used == all;
}

template <typename T>
void AppendPrintf(std::string& out, const std::string& format, T value) {
    char small[256];
    const int n = std::snprintf(small, sizeof(small), format.c_str(), value);
    if (n < 0) {
        return;
    }
    if (static_cast<size_t>(n) < sizeof(small)) {
        out.append(small, static_cast<size_t>(n));
        return;
    }
    std::string big(static_cast<size_t>(n) + 1, '\0');
    std::snprintf(big.data(), big.size(), format.c_str(), value);
    out.append(big.data(), static_cast<size_t>(n));
}

void AppendArg(std::string& out, const Conversion& conv, const ZLocFormat::Arg& arg) {
    std::string format = "%" + conv.flags;
    if (conv.width >= 0) {
        format += std::to_string(conv.width);
    }
    if (conv.precision >= 0) {
        format += "." + std::to_string(conv.precision);
    }
    switch (arg.kind) {
        case ZLocFormat::Kind::kInteger:
            if (conv.conversion == 'c') {
                format += 'c';
                AppendPrintf(out, format, static_cast<int>(arg.integer));
            } else {
                format += "ll";
                format += conv.conversion;
                AppendPrintf(out, format, arg.integer);
            }
            return;
        case ZLocFormat::Kind::kNumber:
            format += conv.conversion;
            AppendPrintf(out, format, arg.number);
            return;
        case ZLocFormat::Kind::kText:
            // A plain %s copies every byte, so inline-image escapes (which
            // hold zero bytes) survive; with a width or precision the text is
            // taken up to its first zero byte.
            if (conv.width < 0 && conv.precision < 0) {
                out.append(arg.text, static_cast<size_t>(arg.textLength));
                return;
            }
            format += 's';
            AppendPrintf(out, format, arg.text);
            return;
    }
}

}  // namespace

char PseudoLocalizedByte(const char c) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x20 || b == 0x20 || b == 0x7F || b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D) {
        return c;
    }
    return 'X';
}

bool ZLocFormat::Check(const char* pattern, const int32_t length, const Arg* args, const uint32_t count) {
    if (pattern == nullptr || length < 0) {
        return false;
    }
    return Walk(
        pattern, length, args, count, [](const Conversion&, int32_t) {}, [](int32_t, int32_t) {});
}

bool ZLocFormat::Format(const ZString& pattern, const Arg* args, const uint32_t count, const bool pseudo,
                        ZString& out) {
    const char* p = pattern.GetText();
    std::string text;
    const bool ok = Walk(
        p, pattern.GetLength(), args, count,
        [&](const Conversion& conv, const int32_t index) { AppendArg(text, conv, args[index]); },
        [&](const int32_t start, const int32_t n) {
            for (int32_t k = 0; k < n; ++k) {
                text += pseudo ? PseudoLocalizedByte(p[start + k]) : p[start + k];
            }
        });
    if (!ok) {
        return false;
    }
    out = ZString::FromBytes(text.data(), static_cast<int32_t>(text.size()));
    out.DetectEncoding();
    return true;
}
