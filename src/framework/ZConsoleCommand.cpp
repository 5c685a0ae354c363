#include "framework/ZConsoleCommand.h"

#include <cstring>

#include "framework/ZBaseGame.h"

namespace {

// The decimal number from p on, as the runtime's conversion reads it, held at
// the 32-bit maximum instead of overflowing.
int32_t ReadDecimal(const char* p) {
    int64_t value = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        value = value * 10 + (*p - '0');
        if (value > INT32_MAX) {
            value = INT32_MAX;
        }
    }
    return static_cast<int32_t>(value);
}

}  // namespace

bool EqualsNoCaseASCII(const char* a, const char* b, const int32_t n) {
    a = a != nullptr ? a : "";
    b = b != nullptr ? b : "";
    for (int32_t i = 0; n < 0 || i < n; ++i) {
        if (ToLowerASCII(a[i]) != ToLowerASCII(b[i])) {
            return false;
        }
        if (a[i] == 0) {
            return true;
        }
    }
    return true;
}

bool TokenizeCommandLine(ZConsoleWordList& words, const char* text) {
    words.Resize(0);
    if (text == nullptr || text[0] == 0) {
        return false;
    }
    bool blankEnded = false;
    const char* p = text;
    for (;;) {
        while (IsSpaceChar(*p)) {
            ++p;
        }
        if (*p == 0) {
            break;
        }
        char quote = 0;
        if (*p == '"' || *p == '\'') {
            quote = *p++;
        }
        const char* start = p;
        while (*p != 0 && (quote != 0 ? *p != quote : !IsSpaceChar(*p))) {
            ++p;
        }
        words.PushBack(ZString(start, static_cast<int32_t>(p - start)));
        // A blank or a closing quote ends the word; both count as a blank, so
        // that completion knows the first word is finished.
        if (*p != 0) {
            blankEnded = true;
            ++p;
        }
    }
    return blankEnded;
}

bool ParseResolutionText(const char* text, int32_t& width, int32_t& height) {
    if (text == nullptr || text[0] == 0) {
        return false;
    }
    // A width, then an "x" or blanks or both ("1280x720", "1280 720",
    // "1280 x 720", as the usage shows), then a height; anything after the
    // height is ignored.
    const char* p = text;
    while (IsSpaceChar(*p)) {
        ++p;
    }
    if (*p < '0' || *p > '9') {
        return false;
    }
    const int32_t w = ReadDecimal(p);
    while (*p >= '0' && *p <= '9') {
        ++p;
    }
    bool separated = false;
    while (IsSpaceChar(*p)) {
        ++p;
        separated = true;
    }
    const unsigned char c = static_cast<unsigned char>(*p);
    if (c == 'x' || c == 'X' || c == 0xD7) {
        ++p;
        separated = true;
        while (IsSpaceChar(*p)) {
            ++p;
        }
    }
    if (!separated || *p < '0' || *p > '9') {
        return false;
    }
    const int32_t h = ReadDecimal(p);
    width = w;
    height = h;
    return true;
}

// --- The base game's registry ---

void ZBaseGame::RegisterConsoleCommand(const char* name, const ZConsoleHandler handler, const char* usage,
                                       const bool developerOnly) {
    ZConsoleCommand& command = m_consoleCommands[ZHashedString(name)];
    command.handler = handler;
    command.usage = ZHashedString(usage != nullptr ? usage : "");
    command.developerOnly = developerOnly;
}

void ZBaseGame::ExecuteConsoleLine(const char* line) {
    m_console.Printf("> %s", line != nullptr ? line : "");
    ZConsoleWordList words;
    TokenizeCommandLine(words, line);
    ExecuteConsoleCommand(words);
}

bool ZBaseGame::ExecuteConsoleCommand(const ZConsoleWordList& words) {
    const ZHashedString verb = words.IsEmpty() ? ZHashedString::None() : ZHashedString(words[0].GetText());
    if (const auto* node = m_consoleCommands.Find(verb); node != nullptr && node->value.handler != nullptr) {
        node->value.handler(words, 0);
        return true;
    }
    const char* text = verb.GetText();
    m_console.Printf("command \"%s\" unrecognized", text != nullptr ? text : "");
    return false;
}

void ZBaseGame::RunCommandLineText(const char* text, const bool secondPass) {
    if (text == nullptr || text[0] == 0) {
        return;
    }
    ZConsoleWordList words;
    TokenizeCommandLine(words, text);
    HandleCommandLineArgs(words, secondPass ? 1 : 0);
}

int32_t ZBaseGame::CollectConsoleCompletions(const char* text, ZArray<ZConsoleCompletion>& out) const {
    out.Resize(0);
    ZConsoleWordList words;
    const bool blankEnded = TokenizeCommandLine(words, text);
    if (words.IsEmpty()) {
        return 0;
    }
    const ZString& word = words[0];
    const int32_t n = word.GetLength();
    // While the first word is still being typed it is a prefix; once a blank
    // ended it, only the command of exactly that name matches.
    for (const auto& node : m_consoleCommands) {
        const char* name = node.key.GetText();
        if (name == nullptr || static_cast<int32_t>(std::strlen(name)) < n) {
            continue;
        }
        if (!EqualsNoCaseASCII(name, word.GetText(), blankEnded ? -1 : n)) {
            continue;
        }
        if (node.value.developerOnly && !m_devMode) {
            continue;
        }
        out.PushBack(ZConsoleCompletion{node.key, node.value.usage});
    }
    return n;
}
