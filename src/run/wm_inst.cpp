#include "run/wm_inst.h"

// Placeholders until start-up lands.
LRESULT CALLBACK WMINST_MainWndProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    return DefWindowProcA(window, message, wparam, lparam);
}
int WMINST_RunFromTemp(HINSTANCE, const char*) { return 0; }
int WMINST_ReadSourceDirectory(const char*) { return 0; }
