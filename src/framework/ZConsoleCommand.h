#pragma once

#include <cstdint>

#include "foundation/ZArray.h"
#include "foundation/ZHashedString.h"
#include "foundation/ZString.h"

// The small command language shared by the developer console and the process
// command line: a line is split into words, the first word names a command and
// the command's handler receives all the words (word 0 is the name as typed).
//
// The registry lives in the base game (ZBaseGame::RegisterConsoleCommand and
// friends); this header holds the types and the splitter. Main thread only.

// Words of one line. Each word owns its bytes, so a list stays valid for as
// long as it lives and a line of any length splits without a fixed buffer.
using ZConsoleWordList = ZArray<ZString>;

// A command's handler: the words, and a second argument that every dispatch
// passes as 0 (the built-in handlers ignore it).
using ZConsoleHandler = void (*)(const ZConsoleWordList& words, uintptr_t argument);

struct ZConsoleCommand {
    ZConsoleHandler handler = nullptr;
    // Describes the arguments ("[section] variable value"); the empty text's
    // name when the command takes none. Shown beside the name in the console.
    ZHashedString usage;
    // Offered by completion only while DevMode is on; dispatch runs it anyway.
    bool developerOnly = false;
};

// One candidate of the completion query.
struct ZConsoleCompletion {
    ZHashedString name;
    ZHashedString usage;
};

// Splits text into words. Blanks (space, LF, CR, TAB, VT, FF) separate words;
// a word that starts with a single or double quote runs to the next byte equal
// to that quote (blanks included) or to the end, without the quotes. True when
// at least one word was ended by a blank; a closing quote counts as one. A
// null or empty text gives no word and false.
bool TokenizeCommandLine(ZConsoleWordList& words, const char* text);

// Reads "<width>x<height>" as setres takes it: the separator is 'x', 'X', the
// Latin-1 multiplication sign (0xD7), blanks, or one of those signs with
// blanks around it ("1280 x 720", as the usage shows); blanks before the width
// are skipped, anything after the height is ignored, and any other byte fails.
// Numbers beyond the 32-bit range stop at its maximum.
bool ParseResolutionText(const char* text, int32_t& width, int32_t& height);

// True when a equals b ignoring ASCII case, comparing at most n bytes (n < 0:
// whole texts). Null counts as the empty text.
bool EqualsNoCaseASCII(const char* a, const char* b, int32_t n = -1);
