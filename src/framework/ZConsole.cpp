#include "framework/ZConsole.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

#include "foundation/ZHashedString.h"
#include "foundation/ZINIFile.h"
#include "foundation/ZString.h"
#include "foundation/ZTimer.h"
#include "framework/ZBaseGame.h"
#include "framework/ZClipboard.h"
#include "framework/ZRuntimeRand.h"
#include "input/ZInputHandler.h"
#include "platform/window/keycodes.h"
#include "platform/window/window.h"
#include "renderer/ZFont.h"
#include "renderer/ZRenderable.h"

namespace {

const ZColor32 kWhite(255, 255, 255, 255);
const ZColor32 kGrey(128, 128, 128, 255);
const ZColor32 kLightGrey(192, 192, 192, 255);

// Copies at most size - 1 bytes of text and terminates.
void CopyBounded(char* out, const int size, const char* text, int32_t length) {
    if (length > size - 1) {
        length = size - 1;
    }
    if (length < 0) {
        length = 0;
    }
    std::memmove(out, text, static_cast<size_t>(length));
    out[length] = 0;
}

void CopyBounded(char* out, const int size, const char* text) {
    CopyBounded(out, size, text, static_cast<int32_t>(std::strlen(text)));
}

ZHashedString MemoryKey(const int index) {
    char key[24];  // room for any int, so the key is never cut
    std::snprintf(key, sizeof key, "MemoryLine%02d", index);
    return ZHashedString(key);
}

// sin(2 pi k / 256) for k = 0..255, made once.
struct SineTable {
    float values[256];
    SineTable() {
        for (int k = 0; k < 256; ++k) {
            values[k] = static_cast<float>(std::sin(2.0 * 3.14159265358979323846 * k / 256.0));
        }
    }
};

// --- The console's font ---

float ConsoleFontLineHeight(const ZFont* font) {
    return static_cast<float>(font->GetLineHeight());
}

float MeasureWithConsoleFont(const char* text, const void* font) {
    float width = 0.0f;
    static_cast<const ZFont*>(font)->DrawTextFormatted(text, static_cast<int32_t>(std::strlen(text)), &width,
                                                      nullptr, 1.0f, 1.0f);
    return width;
}

// Each text in its own colour, top and bottom alike.
void DrawConsoleLayout(ZFont* font, const ZConsoleLayout& layout) {
    for (const ZConsoleDrawItem& item : layout.items) {
        const int32_t length = static_cast<int32_t>(std::strlen(item.text));
        if (length > 0) {
            font->DrawText(item.text, length, item.x, item.y, 1.0f, 1.0f, item.color, item.color);
        }
    }
}

}  // namespace

ZConsole::ZConsole(ZBaseGame* game) : m_game(game) {
    m_lastEditTime = Now();
    m_candidates.SetMinCapacity(8);
}

ZBaseGame* ZConsole::Game() const {
    return m_game != nullptr ? m_game : ZBaseGame::PeekInstance();
}

float ZConsole::Now() {
    return static_cast<float>(gTimer.GetElapsed());
}

void ZConsole::Init() {
    const ZBaseGame* game = Game();
    if (game == nullptr) {
        return;
    }
    std::snprintf(m_outputLines[20], kOutputLineSize, "%s %s", TextOrEmpty(game->GetGameTitle()),
                  TextOrEmpty(game->GetVersionText()));
    std::snprintf(m_outputLines[21], kOutputLineSize, "%s %s", TextOrEmpty(game->GetEngineName()),
                  TextOrEmpty(game->GetEngineVersionText()));
    std::snprintf(m_outputLines[22], kOutputLineSize, "%s %s", TextOrEmpty(game->GetLegalNotice()),
                  TextOrEmpty(game->GetAuthor()));
    std::snprintf(m_outputLines[23], kOutputLineSize, " ");
}

void ZConsole::Clear() {
    std::memset(m_outputLines, 0, sizeof m_outputLines);
}

void ZConsole::Print(const char* text) {
    if (text == nullptr) {
        text = "";
    }
    const char* start = text;
    for (;;) {
        const char* end = std::strchr(start, '\n');
        if (end == nullptr) {
            PushOutputLine(start, static_cast<int32_t>(std::strlen(start)));
            return;
        }
        PushOutputLine(start, static_cast<int32_t>(end - start));
        start = end + 1;
    }
}

void ZConsole::Printf(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    char small[512];
    const int length = std::vsnprintf(small, sizeof small, format, args);
    va_end(args);
    if (length < 0) {
        va_end(again);
        return;
    }
    if (static_cast<size_t>(length) < sizeof small) {
        va_end(again);
        Print(small);
        return;
    }
    // Reports of any length (thread lists, long names) are printed whole.
    std::string text(static_cast<size_t>(length) + 1, '\0');
    std::vsnprintf(text.data(), text.size(), format, again);
    va_end(again);
    Print(text.c_str());
}

void ZConsole::PushOutputLine(const char* text, const int32_t length) {
    std::memmove(m_outputLines[0], m_outputLines[1], sizeof m_outputLines - sizeof m_outputLines[0]);
    CopyBounded(m_outputLines[kLineCount - 1], kOutputLineSize, text, length);
}

// --- The memory file ---

bool ZConsole::LoadMemory(const char* path) {
    ZINIFile file;
    if (!file.LoadINIFile(path, true)) {
        return false;
    }
    ZString value;
    for (int i = 0; i < kLineCount; ++i) {
        if (file.GetValue(ZHashedString::None(), MemoryKey(i), value)) {
            SetMemoryLine(i, value.GetText());
        }
    }
    return true;
}

bool ZConsole::SaveMemory(const char* path) const {
    ZINIFile file;
    int next = 0;
    for (const auto& line : m_memoryLines) {
        if (line[0] != 0) {
            file.SetValue(ZHashedString::None(), MemoryKey(next++), ZString(line));
        }
    }
    return file.SaveINIFile(path);
}

void ZConsole::SetMemoryLine(const int index, const char* text) {
    if (index >= 0 && index < kLineCount && text != nullptr) {
        CopyBounded(m_memoryLines[index], kMemoryLineSize, text);
    }
}

// --- Opening and closing ---

void ZConsole::SetBackdrop(ZRenderable* backdrop) {
    m_backdrop = backdrop;
    if (m_backdrop != nullptr) {
        m_backdrop->visible = m_isOpen;
    }
}

void ZConsole::Toggle() {
    m_isOpen = !m_isOpen;
    if (m_isOpen) {
        OnOpen();
    }
    m_backdropVisible = m_isOpen;
    if (m_backdrop != nullptr) {
        m_backdrop->visible = m_isOpen;
    }
    if (ZBaseGame* game = Game()) {
        game->PushPause(m_isOpen);
    }
}

void ZConsole::OnOpen() {
    // What was typed while closed (the key that opened it among it) is not
    // meant for the line.
    m_typedCount = 0;
    if (m_inputLength == 0) {
        m_historyIndex = -1;
    }
    m_lastEditTime = Now();
}

void ZConsole::Update() {
    HandleKeys();
    const ZBaseGame* game = Game();
    ZFont* font = game != nullptr ? game->GetConsoleFont() : nullptr;
    if (font == nullptr) {
        return;
    }
    BuildLayout(ConsoleFontLineHeight(font), MeasureWithConsoleFont, font, Now(), m_layout);
    if (m_backdrop != nullptr) {
        m_backdrop->transform = m_layout.backdropTransform;
    }
    DrawConsoleLayout(font, m_layout);
}

// --- The input line ---

void ZConsole::InsertChar(const char c) {
    // Every insertion path (typing, paste, Tab) stops at 64 characters.
    if (m_inputLength >= kMaxInputLength) {
        return;
    }
    if (m_cursor < m_inputLength) {
        std::memmove(m_inputLine + m_cursor + 1, m_inputLine + m_cursor,
                     static_cast<size_t>(m_inputLength - m_cursor));
    }
    m_inputLine[m_cursor] = c;
    ++m_cursor;
    ++m_inputLength;
    m_inputLine[m_inputLength] = 0;
    m_lastEditTime = Now();
}

void ZConsole::EraseAt(const int32_t position) {
    std::memmove(m_inputLine + position, m_inputLine + position + 1,
                 static_cast<size_t>(m_inputLength - position - 1));
    --m_inputLength;
    m_inputLine[m_inputLength] = 0;
    m_lastEditTime = Now();
}

void ZConsole::SetInput(const char* text) {
    std::memset(m_inputLine, 0, sizeof m_inputLine);
    CopyBounded(m_inputLine, kMemoryLineSize, text);
    m_inputLength = static_cast<int32_t>(std::strlen(m_inputLine));
    m_cursor = m_inputLength;
}

void ZConsole::HandleKeys() {
    using namespace platform;
    ZInputHandler* input = GetInputHandler();
    bool changed = m_inputChanged;
    m_inputChanged = false;

    const bool ctrl = input->IsKeyDown(DIK_LCONTROL) || input->IsKeyDown(DIK_RCONTROL);

    // The console key types nothing: its characters on this layout, either case.
    const uint8_t consoleKeyChars[2] = {input->GetChar(DIK_GRAVE, false, false),
                                        input->GetChar(DIK_GRAVE, true, false)};
    for (int32_t i = 0; i < m_typedCount; ++i) {
        const char c = m_typed[i];
        if (static_cast<uint8_t>(c) == consoleKeyChars[0] || static_cast<uint8_t>(c) == consoleKeyChars[1]) {
            continue;
        }
        if (m_inputLength < kMaxInputLength) {
            InsertChar(c);
            changed = true;
        }
    }
    m_typedCount = 0;
    if (input->CheckKeyRepeat(DIK_BACK) && m_cursor > 0) {
        --m_cursor;
        EraseAt(m_cursor);
        changed = true;
    }
    if (input->CheckKeyRepeat(DIK_DELETE) && m_cursor < m_inputLength) {
        EraseAt(m_cursor);
        changed = true;
    }
    if ((input->WasKeyPressed(DIK_RETURN) || input->WasKeyPressed(DIK_NUMPADENTER)) && m_inputLength > 0) {
        EnterLine();
        changed = true;
    }
    if (input->CheckKeyRepeat(DIK_UP)) {
        BrowseHistory(-1);
        changed = true;
    }
    if (input->CheckKeyRepeat(DIK_DOWN)) {
        BrowseHistory(1);
        changed = true;
    }
    if (input->CheckKeyRepeat(DIK_LEFT)) {
        m_cursor = m_cursor > 0 ? m_cursor - 1 : 0;
        m_lastEditTime = Now();
    }
    if (input->CheckKeyRepeat(DIK_RIGHT)) {
        m_cursor = m_cursor < m_inputLength ? m_cursor + 1 : m_inputLength;
        m_lastEditTime = Now();
    }
    if (input->WasKeyPressed(DIK_HOME)) {
        m_cursor = 0;
        m_lastEditTime = Now();
    }
    if (input->WasKeyPressed(DIK_END)) {
        m_cursor = m_inputLength;
        m_lastEditTime = Now();
    }
    if (ctrl && input->WasKeyPressed(DIK_C)) {
        CopyToClipboard();
    }
    if (ctrl && input->CheckKeyRepeat(DIK_V)) {
        PasteFromClipboard();
        changed = true;
    }
    if (input->WasKeyPressed(DIK_TAB)) {
        TabStep();
    } else if (changed) {
        RefreshCompletion();
    }
}

void ZConsole::OnCharTyped(const char16_t character) {
    // The line holds single-byte text; what the font could not show is dropped.
    if (character < 0x20 || character > 0x7E || m_typedCount >= kMaxInputLength) {
        return;
    }
    m_typed[m_typedCount++] = static_cast<char>(character);
}

void ZConsole::EnterLine() {
    char line[kMemoryLineSize];
    CopyBounded(line, kMemoryLineSize, m_inputLine);

    // A repeated line moves to the newest slot instead of being kept twice;
    // otherwise a free slot (or the oldest line) makes room.
    int slot = -1;
    for (int i = 0; i < kLineCount && slot < 0; ++i) {
        if (EqualsNoCaseASCII(m_memoryLines[i], line)) {
            slot = i;
        }
    }
    for (int i = 0; i < kLineCount && slot < 0; ++i) {
        if (m_memoryLines[i][0] == 0) {
            slot = i;
        }
    }
    if (slot < 0) {
        slot = 0;
    }
    for (int i = slot; i < kLineCount - 1; ++i) {
        std::memcpy(m_memoryLines[i], m_memoryLines[i + 1], kMemoryLineSize);
    }
    CopyBounded(m_memoryLines[kLineCount - 1], kMemoryLineSize, line);

    if (ZBaseGame* game = Game()) {
        game->ExecuteConsoleLine(line);
    }
    std::memset(m_inputLine, 0, sizeof m_inputLine);
    m_cursor = 0;
    m_inputLength = 0;
    m_historyIndex = -1;
    m_lastEditTime = Now();
}

void ZConsole::BrowseHistory(const int32_t step) {
    const int32_t stop = m_historyIndex >= 0 ? m_historyIndex : (step < 0 ? 0 : kLineCount - 1);
    do {
        m_historyIndex += step;
        if (m_historyIndex < 0) {
            m_historyIndex = kLineCount - 1;
        } else if (m_historyIndex >= kLineCount) {
            m_historyIndex = 0;
        }
    } while (m_memoryLines[m_historyIndex][0] == 0 && m_historyIndex != stop);
    SetInput(m_memoryLines[m_historyIndex]);
    m_lastEditTime = Now();
}

void ZConsole::TabStep() {
    if (m_tabPrefix[0] == 0) {
        CopyBounded(m_tabPrefix, kMemoryLineSize, m_inputLine);
    } else {
        SetInput(m_tabPrefix);
    }
    for (const char* c = m_nextSuffix; *c != 0; ++c) {
        InsertChar(*c);
    }
    m_hintText[0] = 0;
    m_nextSuffix[0] = 0;
    if (!m_candidates.IsEmpty()) {
        m_tabIndex = static_cast<int32_t>((static_cast<uint32_t>(m_tabIndex) + 1) % m_candidates.Count());
        const char* name = m_candidates[static_cast<uint32_t>(m_tabIndex)].name.GetText();
        // The suffix starts after the typed first word. A line with arguments
        // matches only the whole command name, whose suffix is then empty.
        if (name != nullptr && static_cast<int32_t>(std::strlen(name)) > m_completionWordLength) {
            CopyBounded(m_nextSuffix, kMemoryLineSize, name + m_completionWordLength);
        }
    }
}

void ZConsole::SetHint(const ZConsoleCompletion& best, const int32_t from) {
    const char* name = best.name.GetText();
    m_hintText[0] = 0;
    m_nextSuffix[0] = 0;
    if (name != nullptr && static_cast<int32_t>(std::strlen(name)) > from) {
        CopyBounded(m_hintText, kMemoryLineSize, name + from);
        CopyBounded(m_nextSuffix, kMemoryLineSize, name + from);
    }
}

void ZConsole::RefreshCompletion() {
    m_tabPrefix[0] = 0;
    m_tabIndex = 0;
    const ZBaseGame* game = Game();
    int32_t n = 0;
    if (game != nullptr) {
        n = game->CollectConsoleCompletions(m_inputLine, m_candidates);
    } else {
        m_candidates.Resize(0);
    }
    m_completionWordLength = n;
    m_hintText[0] = 0;
    m_nextSuffix[0] = 0;

    ZConsoleWordList words;
    for (int i = 0; i < kLineCount; ++i) {
        TokenizeCommandLine(words, m_memoryLines[i]);
        if (words.IsEmpty()) {
            m_recentVerbs[i][0] = 0;
        } else {
            CopyBounded(m_recentVerbs[i], kMemoryLineSize, words[0].GetText());
        }
    }

    if (!m_candidates.IsEmpty()) {
        SortCompletions(m_candidates.Data(), m_candidates.Count(), *this);
        SetHint(m_candidates[0], n);
    }
}

// --- Completion order ---

int ZConsole::CompareCompletions(const ZConsoleCompletion& a, const ZConsoleCompletion& b,
                                 const ZConsole& console) {
    const char* nameA = a.name.GetText();
    const char* nameB = b.name.GetText();
    nameA = nameA != nullptr ? nameA : "";
    nameB = nameB != nullptr ? nameB : "";
    // The newest use of each name counts: the search runs from the newest slot.
    int positionA = -1;
    int positionB = -1;
    for (int i = kLineCount - 1; i >= 0 && (positionA < 0 || positionB < 0); --i) {
        const char* verb = console.m_recentVerbs[i];
        if (positionA < 0 && EqualsNoCaseASCII(verb, nameA)) {
            positionA = i;
        }
        if (positionB < 0 && EqualsNoCaseASCII(verb, nameB)) {
            positionB = i;
        }
    }
    if (positionA >= 0 && positionB >= 0) {
        return positionB - positionA;
    }
    if (positionA >= 0) {
        return -1;
    }
    if (positionB >= 0) {
        return 1;
    }
    return static_cast<int>(std::strlen(nameA)) - static_cast<int>(std::strlen(nameB));
}

void ZConsole::SortCompletions(ZConsoleCompletion* items, uint32_t count, const ZConsole& console) {
    while (count > 1) {
        const uint32_t pivot = static_cast<uint32_t>(RuntimeRand()) % count;
        std::swap(items[pivot], items[count - 1]);
        uint32_t front = 0;
        for (uint32_t i = 0; i + 1 < count; ++i) {
            if (CompareCompletions(items[i], items[count - 1], console) <= 0) {
                std::swap(items[i], items[front]);
                ++front;
            }
        }
        std::swap(items[front], items[count - 1]);
        SortCompletions(items, front, console);
        items += front + 1;
        count -= front + 1;
    }
}

// --- Clipboard ---

void ZConsole::CopyToClipboard() const {
    ZString text;
    for (const auto& line : m_outputLines) {
        if (line[0] != 0) {
            text += line;
            text += "\r\n";
        }
    }
    SetClipboardText(text);
}

void ZConsole::PasteFromClipboard() {
    ZString text;
    GetClipboardText(text);
    ZArray<ZString> pieces;
    text.Split("\n", pieces);
    for (const ZString& piece : pieces) {
        if (piece.IsEmpty()) {
            continue;
        }
        for (int32_t i = 0; i < piece.GetLength() && m_inputLength < kMaxInputLength; ++i) {
            InsertChar(piece.GetText()[i]);
        }
        break;
    }
    m_lastEditTime = Now();
}

// --- Drawing ---

float ZConsole::TableSin(const float x) {
    static const SineTable table;
    if (!std::isfinite(x)) {
        return 0.0f;
    }
    const float u = x * 40.743664f;
    const float i = std::floor(u);
    const float f = u - i;
    // Wrap in 64 bits so that any finite x lands in 0..255.
    const int64_t index = static_cast<int64_t>(std::fmod(i, 256.0f));
    const int64_t k = ((index % 256) + 256) % 256;
    return (1.0f - f) * table.values[k] + f * table.values[(k + 1) % 256];
}

float ZConsole::CursorBlink(const float secondsSinceEdit) {
    return TableSin(secondsSinceEdit * 8.0f + 1.5707964f);
}

void ZConsole::BuildLayout(const float lineHeight, const ZConsoleMeasure measure, const void* context,
                           const float now, ZConsoleLayout& out) {
    const float h = lineHeight;
    out.items.Resize(0);

    int32_t rows = 3;
    size_t used = 0;
    m_textBlock[0] = 0;
    const auto append = [this, &used](const char* format, const char* text) {
        if (used + 1 >= sizeof m_textBlock) {
            return;
        }
        const int written = std::snprintf(m_textBlock + used, sizeof m_textBlock - used, format, text);
        if (written > 0) {
            used += static_cast<size_t>(written);
            if (used >= sizeof m_textBlock) {
                used = sizeof m_textBlock - 1;
            }
        }
    };
    for (const auto& line : m_outputLines) {
        if (line[0] != 0) {
            append("%s\n", line);
            ++rows;
        }
    }
    append("> %s", m_inputLine);

    out.rows = rows;
    out.lineHeight = h;
    out.backdropTransform = ZMatrix4();
    out.backdropTransform.m[5] = -(h * static_cast<float>(rows));
    out.backdropTransform.m[10] = 0.0f;

    const auto width = [measure, context](const char* text) {
        return measure != nullptr ? measure(text, context) : 0.0f;
    };
    out.items.PushBack(ZConsoleDrawItem{m_textBlock, h, h, kWhite});

    // The prompt is the block's last line, (rows - 3) lines below its first.
    std::snprintf(m_promptToCursor, sizeof m_promptToCursor, "> %.*s", static_cast<int>(m_cursor),
                  m_inputLine);
    const float cursorX = h + width(m_promptToCursor);
    const float promptY = static_cast<float>(rows - 2) * h;
    const char* cursor = CursorBlink(now - m_lastEditTime) > 0.0f ? "_" : " ";
    out.items.PushBack(ZConsoleDrawItem{cursor, cursorX, promptY, kWhite});
    out.items.PushBack(ZConsoleDrawItem{m_hintText, cursorX, promptY, kGrey});

    for (uint32_t i = 0; i < m_candidates.Count(); ++i) {
        const char* name = m_candidates[i].name.GetText();
        const char* usage = m_candidates[i].usage.GetText();
        name = name != nullptr ? name : "";
        usage = usage != nullptr ? usage : "";
        const float y = static_cast<float>(rows + 1 + static_cast<int32_t>(i)) * h;
        std::snprintf(m_measureScratch, sizeof m_measureScratch, "%s ", name);
        out.items.PushBack(ZConsoleDrawItem{name, h, y, kLightGrey});
        out.items.PushBack(ZConsoleDrawItem{usage, h + width(m_measureScratch), y, kGrey});
    }
}
