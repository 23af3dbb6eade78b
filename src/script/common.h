// Small string helpers shared by the whole program.
#pragma once

#include <cstddef>

#include "script/errcodes.h"

// Allocates (new[]) a copy of text[first..last]; -2 when last < first, -1 without memory.
int MakeString(const char* text, int first, int last, char** result);
// 1 when the first character, lower-cased, is '1', 't' or 'y'.
int COMMON_IsTrue(const char* text);
int COMMON_CompareNoCase(const char* a, const char* b, size_t n);
// First occurrence of pattern in text ignoring case, or null.
const char* COMMON_FindNoCase(const char* text, const char* pattern);
void COMMON_RemoveTrailingBackslash(char* path);
// Splits like strtok with empty tokens between adjacent delimiters; one position per process.
char* COMMON_NextToken(char* text, const char* delimiters, const char* skip);
void COMMON_DebugPrint(const char* format, ...);
