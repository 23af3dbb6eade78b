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

// Chooses (by the language dialog when GetLanguage is true) and loads the language
// library beside the executable; 0 at once when one is loaded. -1 without GetLanguage,
// ERROR_LANGUAGE_DLL_NOT_LOADED when the library does not load.
int LANGUAGE_Load();
// Frees the loaded library and leaves the clean-up list. 0.
int LANGUAGE_Terminate();
// LANGUAGE_Terminate, then deletes the library file (the uninstaller's own copy).
void LANGUAGE_Discard();
