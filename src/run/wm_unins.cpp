#include "run/wm_unins.h"

#include "run/wm_inst.h"

HWND WMUNINS_FindRunning(const char* title) { return FindWindowA(WMUNINS_CLASS_NAME, title); }

bool WMUNINS_RegisterClass(HINSTANCE instance) {
    WNDCLASSA window_class{};
    window_class.style = CS_HREDRAW | CS_VREDRAW;
    window_class.lpfnWndProc = WMINST_MainWndProc;
    window_class.hInstance = instance;
    window_class.hIcon = LoadIconA(instance, "ICN_SETUP");
    window_class.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    window_class.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    window_class.lpszClassName = WMUNINS_CLASS_NAME;
    return RegisterClassA(&window_class) != 0;
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
