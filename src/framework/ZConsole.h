#pragma once

#include <cstdint>

#include "foundation/ZArray.h"
#include "foundation/ZColor32.h"
#include "foundation/ZMatrix4.h"
#include "framework/ZConsoleCommand.h"

class ZBaseGame;
class ZFont;
class ZRenderable;

// One text the console draws: where (pixels from the top-left), in which
// colour. The text points into the console or the name table and stays valid
// until the console changes.
struct ZConsoleDrawItem {
    const char* text = "";
    float x = 0.0f;
    float y = 0.0f;
    ZColor32 color;
};

// What one frame of the console looks like, worked out before anything is
// drawn, so that the placement can be checked without a font.
struct ZConsoleLayout {
    // Text rows the backdrop covers: the output lines, the prompt and margins.
    int32_t rows = 0;
    float lineHeight = 0.0f;
    // The backdrop's transform: x scale 1, y scale -(lineHeight * rows), z 0.
    ZMatrix4 backdropTransform;
    // The output block, the cursor, the hint, then name and usage of each candidate.
    ZArray<ZConsoleDrawItem> items;
};

// Width in pixels of one line of text in the console's font.
using ZConsoleMeasure = float (*)(const char* text, const void* context);

// The developer console drawn over the game: 24 output lines, an input line
// with a prompt, a grey completion hint and the list of matching commands.
// It belongs to the base game, which opens it (pausing the game), runs
// Update every frame while it is open, loads the memory of typed lines at
// start-up and saves it at shutdown. Print is the one way to write to it.
//
// Keys come from the input handler's snapshot (GetInputHandler), Shift and
// Caps Lock from the window system. Main thread only.
class ZConsole {
public:
    static constexpr int kLineCount = 24;
    static constexpr int kOutputLineSize = 257;  // 256 characters and the terminator
    static constexpr int kMemoryLineSize = 65;   // 64 characters and the terminator
    static constexpr int kInputLineSize = 257;
    static constexpr int kMaxInputLength = 64;
    static constexpr int kTextBlockSize = 6427;

    // game is the owner; without one the console reaches the base-game
    // singleton when it needs a game (running lines, pausing, completion).
    explicit ZConsole(ZBaseGame* game = nullptr);
    virtual ~ZConsole() = default;
    ZConsole(const ZConsole&) = delete;
    ZConsole& operator=(const ZConsole&) = delete;

    // Writes the banner (title and version, engine and version, notice and
    // author, a blank) into the last four output lines.
    void Init();
    // Empties every output line.
    void Clear();
    // Adds the text's lines (split at line feeds, empty pieces included) below
    // the others, pushing the oldest out; each is cut to 256 characters. Null
    // prints as empty.
    void Print(const char* text);
    // Print of printf-style text, formatted in the C locale without a size limit.
    void Printf(const char* format, ...) __attribute__((format(printf, 2, 3)));

    // Reads "MemoryLine00".."MemoryLine23" into the memory slots; a key that is
    // missing leaves its slot as it is. False when the file was not read.
    bool LoadMemory(const char* path);
    // Writes the non-empty slots under consecutive keys from MemoryLine00,
    // replacing the file atomically. False (with a log line) when it cannot.
    bool SaveMemory(const char* path) const;

    // Opens or closes the console and adds or removes a pause request.
    void Toggle();
    // An empty input line forgets the browsing position; the cursor shows at once.
    void OnOpen();
    // Once per frame while open: the keys, then the drawing.
    void Update();
    // One pass over the keyboard: the characters typed since the last pass,
    // then editing, history, Enter, clipboard and Tab completion.
    void HandleKeys();
    // A character the window's text input produced (the main window's WM_CHAR).
    // Typed text comes from these, so no keystroke is lost between two frames
    // however slow they are; the per-frame key snapshot serves the editing
    // keys. Printable ASCII is kept until the next pass; control characters,
    // the console key's own characters and what the line has no room for are
    // dropped.
    void OnCharTyped(char16_t character);
    // The non-empty output lines, oldest first, each ended by CR LF.
    void CopyToClipboard() const;
    // Inserts the first non-empty line of the clipboard at the cursor.
    void PasteFromClipboard();

    // Places this frame's texts for a font of the given line height.
    void BuildLayout(float lineHeight, ZConsoleMeasure measure, const void* context, float now,
                     ZConsoleLayout& out);
    // The cursor's blink value: visible while above 0, 1 right after an edit.
    static float CursorBlink(float secondsSinceEdit);
    // Sine from a 256-entry table with linear steps between entries.
    static float TableSin(float x);

    // --- State ---
    bool IsOpen() const { return m_isOpen; }
    bool IsBackdropVisible() const { return m_backdropVisible; }
    // The panel drawn behind the console (not owned; null: none): shown while
    // open, its transform set each drawn frame.
    void SetBackdrop(ZRenderable* backdrop);
    ZRenderable* GetBackdrop() const { return m_backdrop; }
    const char* GetOutputLine(int index) const { return m_outputLines[index]; }
    const char* GetMemoryLine(int index) const { return m_memoryLines[index]; }
    // Stores text (cut to 64 characters) in a memory slot.
    void SetMemoryLine(int index, const char* text);
    const char* GetInputLine() const { return m_inputLine; }
    int32_t GetCursor() const { return m_cursor; }
    int32_t GetInputLength() const { return m_inputLength; }
    const ZArray<ZConsoleCompletion>& GetCandidates() const { return m_candidates; }
    const char* GetTabPrefix() const { return m_tabPrefix; }
    const char* GetHintText() const { return m_hintText; }
    const char* GetNextSuffix() const { return m_nextSuffix; }
    int32_t GetTabIndex() const { return m_tabIndex; }
    const char* GetRecentVerb(int index) const { return m_recentVerbs[index]; }
    int32_t GetHistoryIndex() const { return m_historyIndex; }
    float GetLastEditTime() const { return m_lastEditTime; }

    // Orders candidates for completion: a command entered more recently first,
    // then entered ones before the rest, then shorter names first.
    static int CompareCompletions(const ZConsoleCompletion& a, const ZConsoleCompletion& b,
                                  const ZConsole& console);
    // Quicksort with a random pivot (the engine's runtime generator).
    static void SortCompletions(ZConsoleCompletion* items, uint32_t count, const ZConsole& console);

private:
    ZBaseGame* Game() const;
    static float Now();
    void PushOutputLine(const char* text, int32_t length);
    void InsertChar(char c);
    void EraseAt(int32_t position);
    void SetInput(const char* text);
    void EnterLine();
    void BrowseHistory(int32_t step);
    void TabStep();
    void RefreshCompletion();
    void SetHint(const ZConsoleCompletion& best, int32_t from);

    ZBaseGame* m_game = nullptr;
    bool m_isOpen = false;
    char m_outputLines[kLineCount][kOutputLineSize] = {};
    char m_memoryLines[kLineCount][kMemoryLineSize] = {};
    char m_inputLine[kInputLineSize] = {};
    int32_t m_cursor = 0;
    int32_t m_inputLength = 0;
    ZArray<ZConsoleCompletion> m_candidates;
    // The input as it was at the first Tab of a cycle; empty outside one.
    char m_tabPrefix[kMemoryLineSize] = {};
    // The rest of the best candidate's name, drawn in grey after the cursor.
    char m_hintText[kMemoryLineSize] = {};
    // The rest of the name the next Tab inserts.
    char m_nextSuffix[kMemoryLineSize] = {};
    int32_t m_tabIndex = 0;
    // Length of the typed first word at the last completion; the suffixes
    // start there.
    int32_t m_completionWordLength = 0;
    // The first word of each memory line, in the same slots.
    char m_recentVerbs[kLineCount][kMemoryLineSize] = {};
    float m_lastEditTime = 0.0f;
    int32_t m_historyIndex = -1;
    bool m_inputChanged = false;
    // Characters typed since the last pass over the keys.
    char m_typed[kMaxInputLength] = {};
    int32_t m_typedCount = 0;
    bool m_backdropVisible = false;
    ZRenderable* m_backdrop = nullptr;

    // The drawing's text block ("%s\n" per output line, then the prompt) and
    // the text the usage of a candidate is measured from.
    char m_textBlock[kTextBlockSize] = {};
    char m_promptToCursor[kInputLineSize + 2] = {};
    char m_measureScratch[kOutputLineSize + 1] = {};
    ZConsoleLayout m_layout;
};
