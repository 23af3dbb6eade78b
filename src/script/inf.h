// The install script reader: loads the sectioned script text once, finds sections,
// hands out a section's data lines and cuts a line into a fixed number of tokens.
// One script and one read position per process.
#pragma once

#include <cstddef>

#include "script/errcodes.h"

// Loads the TEXT resource name of the running executable as the script. A missing
// resource or no memory is fatal (source "inf"); otherwise 0.
int INF_Load(const char* name);
// Builds the script from length bytes of text exactly as INF_Load does from the
// resource (author tools and tests). 0, -501 without memory, -502 for a null text.
int INF_LoadText(const char* text, size_t length);
// Frees the script and leaves the clean-up list. Always 0.
int INF_Terminate();
// Upper-cases name in place and positions the reader on the line after the header
// "[name]" that starts a line; the first such header wins. 0 or -505.
int INF_FindSection(char* name);
// The next data line of the section into buffer: 0 stored, 1 end of section (buffer
// empty), -503 the line does not fit in size - 1 characters (the reader has passed it),
// -501 no memory, or the error of a failing event line. Comments, blank lines and event
// lines are passed over.
int INF_ReadLine(char* buffer, int size);
// The next data line cut into n fields of w characters (table holds n * w bytes):
// 0 exactly n tokens, 1 end of section, -503 line or token too long, -506 too few,
// -507 too many (the tokens found stay in the table), -501 no memory.
int INF_ReadTokens(char* table, int n, int w);
// Event lines are handed to the event handler while on (the default), passed over
// without effect while off.
void INF_SetEventLines(bool on);
// The event module registers the function that receives each event line; a negative
// result stops the line read with that code. Without a handler event lines are passed over.
using INF_EVENT_HANDLER = int (*)(const char* line);
void INF_SetEventHandler(INF_EVENT_HANDLER handler);
// 1-based line in the script of the last line the reader returned or failed on (for a
// section search, its header line; inside the event handler, the event line); 0 when
// there is none.
int INF_GetLineNumber();

// Trim sides: bit 2 the start, bit 1 the end.
inline constexpr int INF_TRIM_END = 1;
inline constexpr int INF_TRIM_START = 2;
inline constexpr int INF_TRIM_BOTH = 3;
// Removes blanks, tabs and line feeds at the chosen sides, never shortening a
// non-empty text below one character.
void INF_Trim(char* text, int sides);
