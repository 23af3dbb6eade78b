// zynkeepalive: one small window that lives for a whole test run.
// Wine closes its desktop about a second after the last window of any program
// goes away, and restarting it stalls the next program for seconds in some
// runs; with this window open the desktop stays up between tests.
//   zynkeepalive SECONDS READYFILE
// ends on WM_CLOSE, at wineserver -k, or after SECONDS; creates
// READYFILE once its window is up. Tests must not start before that: the
// first program with a window starts the desktop process, which keeps that
// program's output pipes open, and CTest then waits for them until it times out.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

static LRESULT CALLBACK KeepAliveProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_TIMER) DestroyWindow(window);
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcA(window, message, wparam, lparam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    if (__argc != 3) return 2;
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = KeepAliveProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "ZynKeepAlive";
    // Visible but off the screen: it keeps the desktop alive without showing in screenshots.
    HWND window = RegisterClassA(&windowClass) ? CreateWindowExA(WS_EX_TOOLWINDOW, "ZynKeepAlive", "keep-alive",
                                                                  WS_POPUP | WS_VISIBLE, -200, -200, 8, 8, nullptr,
                                                                  nullptr, instance, nullptr)
                                               : nullptr;
    if (window == nullptr) return 1;
    SetTimer(window, 1, static_cast<UINT>(std::atol(__argv[1])) * 1000u, nullptr);
    if (FILE* ready = std::fopen(__argv[2], "wb")) std::fclose(ready);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
    return 0;
}
