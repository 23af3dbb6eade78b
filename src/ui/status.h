// What the installer is doing: the status window with its descriptions, file names
// and progress bars, fed by the copy engine's callbacks, and the please-wait box.
#pragma once

#include <windows.h>

#include <cstdint>

#include "script/errcodes.h"
#include "sys/zyndisk.h"

inline constexpr int STATUS_INSTALL = 1;
inline constexpr int STATUS_UNINSTALL = 2;
inline constexpr int STATUS_DESCRIPTION_SIZE = 80;

struct STATUS_INFO {
    char sourceDescription[STATUS_DESCRIPTION_SIZE];
    char sourcePath[260];
    char destDescription[STATUS_DESCRIPTION_SIZE];
    char destPath[260];
    float filePercent;   // negative: a file has just started
    float totalPercent;  // negative: the total is counted again from zero
};

// Mode 1 opens "DLG_STATUS" and registers the copy callbacks, mode 2 opens
// "DLG_UNINSTALL_STATUS"; both from the language library, owned by the main window.
// Clears a cancel request. Any other mode: -2101 and no window. The window of an earlier
// pass is reused, reset to its template's texts. The uninstall window shows at once, the
// install window with its first file or refresh, so an empty section shows nothing.
int STATUS_Init(int mode);
// Makes mode's window and the please-wait box, hidden, while the user still reads a
// dialog: what opens them later only shows them. Mode's window is not made while a pass
// is on, or without a language library.
void STATUS_Prepare(int mode);
// Closes the status window if there is one: it is hidden and kept for the next pass,
// and there is no status window until then. Always 0.
int STATUS_Terminate();
// Destroys the kept windows (the program's tear-down; also on the clean-up list). 0.
int STATUS_Discard();
// Texts for the next file start (cut to 79 characters).
void STATUS_SetDescriptions(const char* source_description, const char* dest_description);
// Sets the total to percent and refreshes the window at most every 50 ms (the
// uninstall's progress).
void STATUS_SetPercent(int percent);
// The copy engine's callbacks. They repaint the window at most every 50 ms.
void STATUS_FileStart(const ZYNDISK_WALK* record);
int STATUS_FileProgress(uint32_t done, uint32_t size);  // 1 once the user has cancelled
// Redraws texts (when the destination changed) and bars; then drains the message queue.
void STATUS_Refresh();
// Paints control id of dialog as a bar filled to percent (clamped to 0..100) through an
// off-screen bitmap, then drains the message queue. No bitmap is fatal (-2102).
void STATUS_DrawBar(HWND dialog, int id, int percent);
// The path, or drive\...\name.ext when it is wider than the control (output: 260 bytes).
void STATUS_ShortenPath(HWND control, const char* path, char* output);

// The please-wait box: string id formatted with the further arguments, sized to fit,
// centred, captioned like a message box. Null when it cannot be created. The box is kept,
// hidden, from one use to the next; closing it hides it.
HWND STATUS_ShowWait(int string_id, ...);
void STATUS_CloseWait(HWND window);

// For callers that look at the state (tests, the uninstall driver).
const STATUS_INFO* STATUS_GetInfo();
HWND STATUS_GetWindow();
bool STATUS_IsCancelRequested();
