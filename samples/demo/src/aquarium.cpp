// The Zyn Aquarium demo program and, built a second time as zynaqua.scr, its screen
// saver: fish swimming across a blue gradient. The number of fish comes from
// aquarium.ini beside the program ([Aquarium] Fish=N).
//   aquarium.exe          a window of its own
//   zynaqua.scr /s        full screen until a key or a mouse move; /c and /p as a
//                         screen saver is asked (no settings, no preview)
#include <windows.h>

#include <array>
#include <cstdlib>
#include <string>

namespace {

constexpr char kClass[] = "ZynAquarium";
constexpr UINT_PTR kTimer = 1;
constexpr int kMaxFish = 32;

struct Fish {
    int x, y, speed, size;
    COLORREF colour;
};

std::array<Fish, kMaxFish> g_fish;
int g_count = 12;
bool g_saver = false;
POINT g_firstMouse{-1, -1};

std::string BesideProgram(const char* name) {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir(path, n);
    return dir.substr(0, dir.find_last_of('\\') + 1) + name;
}

void Spawn(int width, int height) {
    g_count = static_cast<int>(GetPrivateProfileIntA("Aquarium", "Fish", 12, BesideProgram("aquarium.ini").c_str()));
    if (g_count < 1) g_count = 1;
    if (g_count > kMaxFish) g_count = kMaxFish;
    for (int i = 0; i < g_count; ++i) {
        g_fish[i] = {std::rand() % (width + 1), 20 + std::rand() % (height > 60 ? height - 40 : 20),
                     1 + std::rand() % 4, 10 + std::rand() % 20,
                     RGB(150 + std::rand() % 106, 60 + std::rand() % 140, std::rand() % 80)};
    }
}

void Paint(HWND window, HDC dc) {
    RECT client;
    GetClientRect(window, &client);
    for (int y = client.top; y < client.bottom; y += 4) {
        int depth = 255 - 200 * y / (client.bottom > 0 ? client.bottom : 1);
        HBRUSH water = CreateSolidBrush(RGB(0, depth / 3, depth));
        RECT band{client.left, y, client.right, y + 4};
        FillRect(dc, &band, water);
        DeleteObject(water);
    }
    for (int i = 0; i < g_count; ++i) {
        const Fish& f = g_fish[i];
        HBRUSH body = CreateSolidBrush(f.colour);
        HGDIOBJ old = SelectObject(dc, body);
        Ellipse(dc, f.x - f.size, f.y - f.size / 2, f.x + f.size, f.y + f.size / 2);
        POINT tail[3] = {{f.x - f.size, f.y}, {f.x - f.size * 3 / 2, f.y - f.size / 2}, {f.x - f.size * 3 / 2, f.y + f.size / 2}};
        Polygon(dc, tail, 3);
        SelectObject(dc, old);
        DeleteObject(body);
    }
}

void Swim(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    for (int i = 0; i < g_count; ++i) {
        g_fish[i].x += g_fish[i].speed;
        if (g_fish[i].x - 2 * g_fish[i].size > client.right) g_fish[i].x = -g_fish[i].size;
    }
    InvalidateRect(window, nullptr, FALSE);
}

LRESULT CALLBACK AquariumProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_CREATE: {
            RECT client;
            GetClientRect(window, &client);
            Spawn(client.right, client.bottom);
            SetTimer(window, kTimer, 50, nullptr);
            return 0;
        }
        case WM_TIMER: Swim(window); return 0;
        case WM_ERASEBKGND: return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(window, &ps);
            Paint(window, dc);
            EndPaint(window, &ps);
            return 0;
        }
        case WM_MOUSEMOVE: {
            if (!g_saver) break;
            POINT p{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
            // The first move is the window appearing under the pointer, not the user.
            if (g_firstMouse.x < 0) {
                g_firstMouse = p;
            } else if (std::abs(p.x - g_firstMouse.x) + std::abs(p.y - g_firstMouse.y) > 4) {
                DestroyWindow(window);
            }
            return 0;
        }
        case WM_KEYDOWN:
        case WM_LBUTTONDOWN:
            if (g_saver) DestroyWindow(window);
            return 0;
        case WM_DESTROY:
            KillTimer(window, kTimer);
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int show) {
    std::string args = commandLine ? commandLine : "";
    const char mode = args.size() >= 2 && (args[0] == '/' || args[0] == '-') ? static_cast<char>(args[1] | 0x20) : 0;
    if (mode == 'p') return 0;
    if (mode == 'c') {
        MessageBoxA(nullptr, "This screen saver has no settings.", "Zyn Aquarium", MB_OK | MB_ICONINFORMATION);
        return 0;
    }
    g_saver = mode == 's';
    std::srand(GetTickCount());

    WNDCLASSA wc{};
    wc.lpfnWndProc = AquariumProc;
    wc.hInstance = instance;
    wc.hCursor = g_saver ? nullptr : LoadCursorA(nullptr, IDC_ARROW);
    wc.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    wc.lpszClassName = kClass;
    if (!RegisterClassA(&wc)) return 1;
    HWND window = g_saver ? CreateWindowExA(WS_EX_TOPMOST, kClass, "Zyn Aquarium", WS_POPUP, 0, 0,
                                            GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr,
                                            nullptr, instance, nullptr)
                          : CreateWindowA(kClass, "Zyn Aquarium", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 640,
                                          420, nullptr, nullptr, instance, nullptr);
    if (!window) return 1;
    ShowWindow(window, g_saver ? SW_SHOW : show);
    UpdateWindow(window);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}
