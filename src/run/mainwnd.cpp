#include "run/mainwnd.h"

namespace {

HINSTANCE g_instance = nullptr;
HWND g_mainWindow = nullptr;

}  // namespace

void WMINST_SetInstance(HINSTANCE instance) { g_instance = instance; }
HINSTANCE WMINST_GetInstance() { return g_instance; }
void WMINST_SetMainWindow(HWND window) { g_mainWindow = window; }
HWND WMINST_GetMainWindow() { return g_mainWindow; }
