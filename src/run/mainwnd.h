// Program-wide handles of start-up: the executable's instance and the main
// window. Error, message and dialog code read them to find their resources
// and their owner; both stay null until start-up sets them.
#pragma once

#include <windows.h>

void WMINST_SetInstance(HINSTANCE instance);
HINSTANCE WMINST_GetInstance();
void WMINST_SetMainWindow(HWND window);
HWND WMINST_GetMainWindow();
