#include "foundation/ZString.h"
#include "foundation/ZTokenizer.h"

#include <cstring>
#include <iterator>

namespace {

ZArray<ZString>& OperatorTable() {
    static ZArray<ZString> table;
    return table;
}

bool IsLetter(const char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsDigit(const char c) { return c >= '0' && c <= '9'; }

void Take(const char* begin, const char* end, ZArray<ZString>& tokens) {
    tokens.PushBack(ZString::FromBytes(begin, static_cast<int32_t>(end - begin)));
}

// Calls visit(begin, end) for every non-empty piece of the zero-terminated
// text: pieces end at whitespace outside quotes. Either quote byte opens a
// quote; only the same byte closes it.
template <typename Visit>
void ForEachPiece(const char* text, Visit&& visit) {
    char quote = 0;
    const char* pieceStart = text;
    for (const char* p = text;; ++p) {
        const char c = *p;
        if (c == 0 || (quote == 0 && IsSpaceChar(c))) {
            if (p > pieceStart) {
                visit(pieceStart, p);
            }
            if (c == 0) {
                return;
            }
            pieceStart = p + 1;
        } else if (c == '\'' || c == '"') {
            if (quote == 0) {
                quote = c;
            } else if (quote == c) {
                quote = 0;
            }
        }
    }
}

}  // namespace

int CompareLengthDescending(const ZString& a, const ZString& b, void*) {
    return b.GetLength() - a.GetLength();
}

void InitOperatorTokens() {
    static const char* const kSymbols[] = {
        ";",  "(",  ")",  "{",  "}",  "[",  "]",   "?",   ":",   "=",  ",",  ".",  "+",
        "-",  "*",  "/",  "%",  "**", "+=", "-=",  "*=",  "/=",  "%=", "**=", "++", "--",
        "&",  "|",  "^",  "~",  "<<", ">>", "&=",  "|=",  "^=",  "~=", "<<=", ">>=",
        "&&", "||", "^^", "!",  "<",  ">",  "!=",  "<=",  ">=",  "==", "#",
    };
    static_assert(std::size(kSymbols) == 49);
    ZArray<ZString> symbols;
    for (const char* symbol : kSymbols) {
        symbols.PushBack(ZString(symbol));
    }
    SetOperatorTokens(symbols);
}

void SetOperatorTokens(const ZArray<ZString>& symbols) {
    ZArray<ZString>& table = OperatorTable();
    table = symbols;
    table.QuickSort(CompareLengthDescending, nullptr);
}

const ZArray<ZString>& GetOperatorTokens() { return OperatorTable(); }

void TokenizeExpression(const char* text, ZArray<ZString>& tokens) {
    tokens.Clear();
    if (text == nullptr) {
        return;
    }
    uint32_t pieces = 0;
    ForEachPiece(text, [&pieces](const char*, const char*) { ++pieces; });
    // Room for at least one token per piece while filling.
    const uint32_t keptMinimum = tokens.MinCapacity();
    tokens.SetMinCapacity(pieces);
    ForEachPiece(text, [&tokens](const char* begin, const char* end) { ScanTokens(begin, end, tokens); });
    tokens.SetMinCapacity(keptMinimum);
}

void TokenizeExpression(const ZString& text, ZArray<ZString>& tokens) {
    TokenizeExpression(text.GetText(), tokens);
}

void ScanTokens(const char* begin, const char* end, ZArray<ZString>& tokens) {
    if (begin == nullptr || end <= begin) {
        return;
    }
    if (const void* zero = std::memchr(begin, 0, size_t(end - begin))) {
        end = static_cast<const char*>(zero);
    }
    const char* pos = begin;
    while (pos < end) {
        const char c = *pos;
        const char next = pos + 1 < end ? pos[1] : 0;
        if (IsLetter(c) || c == '_') {
            ScanIdentifier(pos, end, tokens);
        } else if (IsDigit(c)) {
            ScanNumber(pos, end, tokens);
        } else if (c == '-') {
            const bool number = IsDigit(next) || (next == '.' && pos + 2 < end && IsDigit(pos[2]));
            if (number) {
                ScanNumber(pos, end, tokens);
            } else {
                ScanOperatorToken(pos, end, tokens);
            }
        } else if (c == '.') {
            if (IsDigit(next)) {
                ScanNumber(pos, end, tokens);
            } else {
                ScanOperatorToken(pos, end, tokens);
            }
        } else if (c == '\'' || c == '"') {
            ScanQuotedString(pos, end, tokens);
        } else if (c == '&') {
            ScanEntity(pos, end, tokens);
        } else {
            ScanOperatorToken(pos, end, tokens);
        }
    }
}

void ScanIdentifier(const char*& pos, const char* end, ZArray<ZString>& tokens) {
    if (pos >= end) {
        return;
    }
    const char* p = pos + 1;
    while (p < end && (IsLetter(*p) || IsDigit(*p) || *p == '_')) {
        ++p;
    }
    Take(pos, p, tokens);
    pos = p;
}

void ScanNumber(const char*& pos, const char* end, ZArray<ZString>& tokens) {
    bool suffixSeen = false;
    bool hexadecimal = false;
    const char* p = pos;
    for (; p < end; ++p) {
        const char c = *p;
        if (IsDigit(c) || c == '.') {
            if (suffixSeen) {
                break;
            }
        } else if (c == 'f') {
            if (suffixSeen) {
                break;
            }
            // In hexadecimal f is a digit, not the float suffix.
            suffixSeen = !hexadecimal;
        } else if (c == '-') {
            if (p != pos) {
                break;
            }
        } else if (c == 'x') {
            if (hexadecimal) {
                break;
            }
            if (p == pos + 1 && *pos == '0' && !suffixSeen) {
                hexadecimal = true;
            }
        } else {
            break;
        }
    }
    if (p == pos) {
        // Nothing here reads as a number; step over the byte so scanning ends.
        if (pos < end) {
            ++pos;
        }
        return;
    }
    Take(pos, p, tokens);
    pos = p;
}

void ScanQuotedString(const char*& pos, const char* end, ZArray<ZString>& tokens) {
    if (pos >= end) {
        return;
    }
    const char quote = *pos;
    const char* p = pos + 1;
    while (p < end && *p != quote) {
        ++p;
    }
    if (p < end) {
        ++p;  // the closing quote belongs to the token
    }
    Take(pos, p, tokens);
    pos = p;
}

void ScanEntity(const char*& pos, const char* end, ZArray<ZString>& tokens) {
    if (pos >= end) {
        return;
    }
    const char* p = pos + 1;
    while (p < end && *p != ';') {
        ++p;
    }
    if (p < end) {
        ++p;
    }
    Take(pos, p, tokens);
    pos = p;
}

void ScanOperatorToken(const char*& pos, const char* end, ZArray<ZString>& tokens) {
    if (pos >= end) {
        return;
    }
    const size_t left = size_t(end - pos);
    for (const ZString& symbol : OperatorTable()) {
        const size_t n = size_t(symbol.GetLength());
        // An empty entry would match everywhere without moving on.
        if (n != 0 && n <= left && std::memcmp(pos, symbol.GetText(), n) == 0) {
            tokens.PushBack(symbol);
            pos += n;
            return;
        }
    }
    ++pos;
}
