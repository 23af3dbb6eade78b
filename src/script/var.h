// The variable store: one table of named string variables for the whole run, the
// substitution of $(Name) references and $[ ] blocks in script tokens, and the
// reader of the script's [Application] section.
//
// Names are compared ignoring case and keep the case of the last set. Every
// operation that takes a name accepts "Name" or "$(Name)"; given a writable string,
// it strips the "$(" and ")" in that string itself, as callers may rely on.
#pragma once

#include "script/errcodes.h"

inline constexpr int VAR_DEFAULT_MAX_NUM = 100;
inline constexpr int VAR_MAX_WORK_LENGTH = 1024;  // work text of a substitution, with terminator
inline constexpr int VAR_MAX_NAME_LENGTH = 49;    // characters of a name (its slot holds 50)

// Allocates count empty slots and lists VAR_Terminate on the clean-up list: 0 or -101.
// Calling it again replaces the whole store.
int VAR_Init(int count);
// Frees every variable and the table; always 0.
int VAR_Terminate();

// Creates or replaces: 0, -101, -102 (table full), -107. An empty name is -103,
// a name longer than VAR_MAX_NAME_LENGTH -104.
int VAR_Set(char* name, const char* value);
int VAR_Set(const char* name, const char* value);
// Copies the value into buffer: 0, -103 (buffer set empty), -104 when the value does
// not fit with its terminator (buffer untouched), -107.
int VAR_Get(char* name, char* buffer, int size);
int VAR_Get(const char* name, char* buffer, int size);
// 1 when the variable is defined, else 0 (also without an initialised store).
int VAR_Exists(char* name);
int VAR_Exists(const char* name);
// Flag test of the value (first character 1, t or y). An undefined name or a store
// that was never initialised is a fatal error.
int VAR_GetFlag(char* name);
int VAR_GetFlag(const char* name);
// As VAR_Set, with the number written as "%ld".
int VAR_SetNumber(char* name, long number);
int VAR_SetNumber(const char* name, long number);
// As VAR_Get; converts up to 29 characters as a signed decimal. *number is 0 on
// -103 and -104.
int VAR_GetNumber(char* name, long* number);
int VAR_GetNumber(const char* name, long* number);
// to receives from's value: 0, -103 when from is undefined, or a VAR_Set error.
int VAR_Copy(char* from, char* to);
int VAR_Copy(const char* from, const char* to);
// 0, -103, -107.
int VAR_Delete(char* name);
int VAR_Delete(const char* name);

// Expands text into buffer: every $(Name) is replaced, pass after pass, until nothing
// is left to replace; a result that is one $[ ] block is evaluated and written as
// its decimal value. Returns 0, -101, -103, -104 (result does not fit in size),
// -105 (no ")"), -106 (longer than 1023 characters at any point, or references that
// never stop expanding), -107. An evaluation error is fatal. The buffer is written
// only on success; text and buffer may be the same.
int VAR_Substitute(const char* text, char* buffer, int size);
// The same expansion without evaluating a block: the text a block would be
// evaluated from. For tools and checks that must not end the run on a bad block.
int VAR_Expand(const char* text, char* buffer, int size);

// Sets a variable for every "$(Name)=value" line of [Application], values unexpanded.
// Returns 0, the script reader's errors, or VAR_Set's.
int VAR_ReadApplicationSection();
