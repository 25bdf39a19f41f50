// Text commands beyond the text value itself: numbers formatted to a width, hexadecimal dumps, single
// characters, console lines, searching, replacing and splitting.
//
// Commands never fail: where there is nothing sensible to return they give an empty text or -1.
#pragma once

#include <cstdio>
#include <cstdint>

#include "text/arrays.h"
#include "text/basic_string.h"

// The longest text FormatNumber gives; longer results are cut to this many characters.
constexpr int32_t kFormattedNumberLimit = 39;
// The most bytes ReadConsoleLine takes from one line; the rest of a longer line is read by the next call.
constexpr int32_t kConsoleLineLimit = 4094;

// The value printed as "%<width>.<decimals>f" (a negative width aligns left), cut to 39 characters.
BasicString FormatNumber(float width, float decimals, float value);

// Two upper-case hexadecimal digits per byte, high nibble first. Exactly count bytes are read; a count below
// 1, or one too large for a text to hold twice over, gives "".
BasicString HexText(const void* bytes, int32_t count);
// The same over a text's own bytes; count is limited to the text's length.
BasicString HexText(const BasicString& bytes, int32_t count);

// A text of length 1 holding the low 8 bits of code (code 0 gives a length-1 text whose byte is 0).
BasicString CharText(int32_t code);

// One line from standard input without its '\n'; "" at the end of input.
BasicString ReadConsoleLine();
// The same from any stream.
BasicString ReadConsoleLineFrom(FILE* stream);

// The length of the text NumberToText (precision 10) gives for the value, respectively "%d".
int32_t NumberTextLength(float value);
int32_t NumberTextLength(int32_t value);

// The position of the first needle in text at or after start, counted from the beginning of text, or -1. A
// start beyond the end of text or negative gives -1; an empty needle gives start.
int32_t Find(const BasicString& text, const BasicString& needle, int32_t start);
int32_t Find(const BasicString& text, const char* needle, int32_t start);
int32_t Find(const char* text, const BasicString& needle, int32_t start);
int32_t Find(const char* text, const char* needle, int32_t start);

// Every occurrence of search replaced, left to right; text produced by a replacement is never searched again.
// An empty search gives the text unchanged.
BasicString ReplaceText(const BasicString& text, const BasicString& search, const BasicString& replacement);

// Splits text into fields at any of the delimiter characters; runs of delimiters count as one and no field is
// empty. The array is emptied and receives the fields in order; the result is their number.
int32_t SplitText(const BasicString& text, const BasicString& delimiters, StrArray& fields);
