// Pictures on the main window: a background tiled over the whole screen, a picture at
// a fixed place, and the billboards that event lines add and remove. Each picture is a
// bitmap file carried as a resource of type IMAGETYPE and shown in a child window.
#pragma once

#include <windows.h>

#include <cstdint>

#include "ui/bmpdisp_text.h"

inline constexpr char BMPDISP_CLASS_NAME[] = "IMAGETYPE";
inline constexpr char BMPDISP_RESOURCE_TYPE[] = "IMAGETYPE";
inline constexpr int BMPDISP_MAX_IMAGES = 5;
inline constexpr int BMPDISP_NAME_SIZE = 30;  // 29 characters and the terminator
inline constexpr int BMPDISP_FIRST_CHILD_ID = 101;
inline constexpr uint32_t BMPDISP_FLAG_BACKGROUND = 0x02;  // tiled over the whole screen
inline constexpr uint32_t BMPDISP_FLAG_PALETTE = 0x40;     // colours go into the shared palette
inline constexpr uint32_t BMPDISP_FLAG_SHOWN = 0x80;

struct IMAGE_INFO {
    char name[BMPDISP_NAME_SIZE];  // resource name, window title, key for removal
    int32_t x;
    int32_t y;
    int32_t width;   // set when the picture is shown
    int32_t height;
    uint32_t flags;
    uint32_t background;  // 1 for the tiled background
    HWND window;
    const BMPDISP_PICTURE* bits;  // the loaded picture, or null
};

// Enters BMPDISP_Terminate in the clean-up list and shows the start-up pictures:
// TileBmp tiled, or else StaticBmp at (StaticBmpX, StaticBmpY), hidden when there is
// no InstallName (the uninstaller). Unreadable variables are fatal. Returns 0.
int BMPDISP_Init();
// A record and its hidden window. A sixth picture gets the "Too Many IMAGES!" box and
// is not added; a name of more than 29 characters is not added either.
void BMPDISP_AddImage(const char* name, int x, int y, uint32_t flags, int background);
// Shows every picture window not shown yet (only the background with the switch set).
void BMPDISP_ShowImages(int background_only);
// Hides the picture of exactly this name, which drops its record, and redraws the
// picture parent with all its children. An unknown name does nothing.
void BMPDISP_RemoveImage(const char* name);
// 1 while a tiled background picture is on the screen, else 0.
int BMPDISP_TileActive();
// Destroys the picture windows (newest first), frees the pictures, empties the table,
// repaints the main window and leaves the clean-up list. Returns 0.
int BMPDISP_Terminate();

// The table as it stands (for tests and diagnostics): the number of records and one
// record by index (null out of range).
int BMPDISP_GetCount();
const IMAGE_INFO* BMPDISP_GetImage(int index);
