#pragma once

#include "foundation/ZArray.h"
#include "foundation/ZString.h"

// Cuts a line of expression text into tokens: identifiers, numbers, quoted
// strings (quotes kept), character entities such as "&lt;" and operator or
// punctuation symbols from the operator table, longest match first. Bytes that
// start no token are dropped. Main thread only.

// Fills the operator table with the engine's 49 symbols, longest first.
// Called once at start-up, before anything is scanned.
void InitOperatorTokens();
// Copies the list into the operator table and sorts it longest first.
void SetOperatorTokens(const ZArray<ZString>& symbols);
// The operator table as it stands (empty until InitOperatorTokens).
const ZArray<ZString>& GetOperatorTokens();

// Clears tokens and appends the tokens of the text, in order. Whitespace
// outside quotes separates pieces; a null or blank text gives no tokens.
void TokenizeExpression(const char* text, ZArray<ZString>& tokens);
void TokenizeExpression(const ZString& text, ZArray<ZString>& tokens);

// Appends the tokens of the bytes [begin, end), one piece without whitespace
// outside quotes. Scanning stops at end or at a zero byte.
void ScanTokens(const char* begin, const char* end, ZArray<ZString>& tokens);

// The single-kind scanners: each takes what it recognises at pos (never past
// end), appends it as one token and leaves pos after it.
void ScanIdentifier(const char*& pos, const char* end, ZArray<ZString>& tokens);
void ScanNumber(const char*& pos, const char* end, ZArray<ZString>& tokens);
void ScanQuotedString(const char*& pos, const char* end, ZArray<ZString>& tokens);
void ScanEntity(const char*& pos, const char* end, ZArray<ZString>& tokens);
// The longest symbol of the table that starts at pos; with none, pos moves one
// byte on and nothing is appended.
void ScanOperatorToken(const char*& pos, const char* end, ZArray<ZString>& tokens);

// Sort callback: longer strings first.
int CompareLengthDescending(const ZString& a, const ZString& b, void* context);
