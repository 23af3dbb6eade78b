// The language resource library: the module that every text by string id and
// every template the executable does not carry is loaded from.
#pragma once

#include <windows.h>

// Module handle of the loaded library; null while none is loaded.
HINSTANCE LANGUAGE_GetInstance();
// Copies string id of the library into buffer (size bytes, terminator included)
// and returns its length; with no library loaded, or no such string, the
// buffer holds the empty text and the result is 0.
int LANGUAGE_LoadString(int id, char* buffer, int size);
// Hands in a library loaded elsewhere (start-up's own loading, tests); the
// caller keeps ownership.
void LANGUAGE_SetInstance(HINSTANCE library);
