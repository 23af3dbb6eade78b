#include "run/wm_unins.h"

#include "run/wm_inst.h"

HWND WMUNINS_FindRunning(const char* title) { return FindWindowA(WMUNINS_CLASS_NAME, title); }

bool WMUNINS_RegisterClass(HINSTANCE instance) {
    return WMINST_RegisterClass(instance, WMUNINS_CLASS_NAME);
}

void WMUNINS_UnregisterClass(HINSTANCE instance) { UnregisterClassA(WMUNINS_CLASS_NAME, instance); }

HWND WMUNINS_CreateWindow(HINSTANCE instance, const char* title) {
    HWND window = CreateWindowExA(0, WMUNINS_CLASS_NAME, title, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) return nullptr;
    ShowWindow(window, SW_SHOWMAXIMIZED);
    UpdateWindow(window);
    return window;
}
