// Small string helpers shared by the whole program.
#pragma once

#include <cstddef>

#include "script/errcodes.h"

// Allocates (new[], the caller delete[]s it) a NUL-terminated copy of text[first..last];
// -2 when last < first (or an argument is missing), -1 without memory.
int MakeString(const char* text, int first, int last, char** result);
// 1 when the first character, lower-cased, is '1', 't' or 'y'.
int COMMON_IsTrue(const char* text);
// Like strncmp ignoring case: 0 when the first n characters match (or both strings end
// equal before n), else the difference of the first unequal characters, upper-cased.
int COMMON_CompareNoCase(const char* a, const char* b, size_t n);
// First occurrence of pattern in text ignoring case, or null.
const char* COMMON_FindNoCase(const char* text, const char* pattern);
// Removes one final backslash; a null or empty path is left alone.
void COMMON_RemoveTrailingBackslash(char* path);
// Splits like strtok with empty tokens between adjacent delimiters: text starts a new
// split (null continues the previous one), characters in skip that are not delimiters
// are passed over before a token, the token is ended in place. Null when the next token
// would start at or past the end, so a trailing delimiter yields no final empty token.
// One position per process.
char* COMMON_NextToken(char* text, const char* delimiters, const char* skip);
// printf-style trace to the debugger output; no effect on the run.
void COMMON_DebugPrint(const char* format, ...)
#if defined(__GNUC__) || defined(__clang__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;
// The platform half of COMMON_DebugPrint: writes one finished text.
void COMMON_DebugOutput(const char* text);
