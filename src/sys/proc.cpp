// Process control.
#include "sys/proc.h"

#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>
#include <string>
#include <vector>

#include "script/common.h"
#include "sys/handle.h"

namespace {

struct Entry {
    DWORD thread;
    DWORD process;
};

using CreateSnapshotFn = HANDLE(WINAPI*)(DWORD, DWORD);
using ThreadWalkFn = BOOL(WINAPI*)(HANDLE, LPTHREADENTRY32);

// The driver's state: what was there before the launch, and the launched process.
struct Driver {
    CreateSnapshotFn create_snapshot = nullptr;
    ThreadWalkFn thread_first = nullptr;
    ThreadWalkFn thread_next = nullptr;
    std::vector<Entry> before;
    std::vector<HWND> windows_before;
    HWND front = nullptr;
    HANDLE process = nullptr;
    HANDLE thread = nullptr;
    bool restore_front = true;
} g_driver;

std::vector<Entry> Snapshot() {
    std::vector<Entry> entries;
    if (g_driver.create_snapshot == nullptr) return entries;
    zyn::Handle snapshot(g_driver.create_snapshot(TH32CS_SNAPTHREAD, 0));
    if (!snapshot) return entries;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = g_driver.thread_first(snapshot.get(), &entry); more;
         more = g_driver.thread_next(snapshot.get(), &entry)) {
        if (entries.size() == PROC_MAX_SNAPSHOT) {
            COMMON_DebugPrint("GTL Max");
            break;
        }
        entries.push_back({entry.th32ThreadID, entry.th32OwnerProcessID});
    }
    return entries;
}

bool ProcessKnownBefore(DWORD process) {
    return std::any_of(g_driver.before.begin(), g_driver.before.end(),
                       [process](const Entry& e) { return e.process == process; });
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM list) {
    auto* windows = reinterpret_cast<std::vector<HWND>*>(list);
    if (GetWindowLongA(window, GWL_STYLE) & WS_CHILD) return TRUE;
    if (windows->size() == PROC_MAX_WINDOWS) {
        COMMON_DebugPrint("EWP MAX");
        return FALSE;
    }
    windows->push_back(window);
    return TRUE;
}

std::vector<HWND> TopLevelWindows() {
    std::vector<HWND> windows;
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

std::vector<HWND> NewThreadWindows() {
    std::vector<HWND> windows;
    for (const Entry& e : Snapshot()) {
        if (ProcessKnownBefore(e.process)) continue;
        std::vector<HWND> own;
        EnumThreadWindows(e.thread, CollectWindow, reinterpret_cast<LPARAM>(&own));
        for (HWND w : own) {
            if (std::find(windows.begin(), windows.end(), w) == windows.end()) windows.push_back(w);
        }
    }
    // Owners before the windows they own, then reversed: owned windows come out first.
    std::stable_sort(windows.begin(), windows.end(), [](HWND a, HWND b) { return GetWindow(b, GW_OWNER) == a; });
    std::reverse(windows.begin(), windows.end());
    return windows;
}

DWORD WINAPI Watch(LPVOID) {
    HANDLE process = g_driver.process;
    if (process == nullptr) return 0;
    WaitForInputIdle(process, INFINITE);
    for (HWND window : NewThreadWindows()) {
        LONG style = GetWindowLongA(window, GWL_STYLE);
        if ((style & WS_VISIBLE) && (style & WS_SYSMENU)) {
            SetForegroundWindow(window);
            ShowOwnedPopups(window, TRUE);
            g_driver.front = GetForegroundWindow();
        }
    }
    WaitForSingleObject(process, INFINITE);
    if (g_driver.restore_front && g_driver.front != nullptr) SetForegroundWindow(g_driver.front);
    return 0;
}

int DriverInit() {
    g_driver = Driver{};
    HMODULE kernel = GetModuleHandleA("KERNEL32.DLL");
    if (kernel == nullptr) return ERROR_PROC_NO_SNAPSHOT;
    g_driver.create_snapshot = reinterpret_cast<CreateSnapshotFn>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "CreateToolhelp32Snapshot")));
    g_driver.thread_first =
        reinterpret_cast<ThreadWalkFn>(reinterpret_cast<void*>(GetProcAddress(kernel, "Thread32First")));
    g_driver.thread_next =
        reinterpret_cast<ThreadWalkFn>(reinterpret_cast<void*>(GetProcAddress(kernel, "Thread32Next")));
    if (g_driver.create_snapshot == nullptr || g_driver.thread_first == nullptr || g_driver.thread_next == nullptr)
        return ERROR_PROC_NO_SNAPSHOT;
    return 0;
}

int DriverTerminate() {
    if (g_driver.process != nullptr) CloseHandle(g_driver.process);
    if (g_driver.thread != nullptr) CloseHandle(g_driver.thread);
    g_driver.process = g_driver.thread = nullptr;
    return 0;
}

int DriverStart(int show, const char* program, const char* arguments) {
    std::string command = program;
    if (arguments != nullptr && arguments[0] != '\0') command += std::string(" ") + arguments;
    g_driver.before = Snapshot();
    g_driver.windows_before = TopLevelWindows();
    g_driver.front = GetForegroundWindow();
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_FORCEONFEEDBACK;
    startup.wShowWindow = static_cast<WORD>(show);
    PROCESS_INFORMATION info{};
    DriverTerminate();
    const bool created =
        CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info) != 0;
    if (created) {
        g_driver.process = info.hProcess;
        g_driver.thread = info.hThread;
    }
    // The watcher's own handle is not kept: it ends with the watched process.
    if (HANDLE watcher = CreateThread(nullptr, 0, Watch, nullptr, 0, nullptr)) CloseHandle(watcher);
    return created ? 0 : -1;
}

int DriverClose() { return 0; }

int DriverBringToFront() {
    for (HWND window : TopLevelWindows()) {
        if (std::find(g_driver.windows_before.begin(), g_driver.windows_before.end(), window) ==
            g_driver.windows_before.end())
            SetForegroundWindow(window);
    }
    return 0;
}

int DriverStop() { return 0; }

int DriverIsRunning() {
    for (const Entry& e : Snapshot()) {
        if (!ProcessKnownBefore(e.process)) return 1;
    }
    return 0;
}

constexpr PROC_DRIVER kSystemDriver = {DriverInit,         DriverTerminate, DriverStart,    DriverClose,
                                       DriverBringToFront, DriverStop,      DriverIsRunning};

struct Slot {
    bool used = false;
    const PROC_DRIVER* driver = nullptr;
};

std::vector<const PROC_DRIVER*> g_drivers;
const PROC_DRIVER* g_current = nullptr;
Slot g_slots[PROC_SLOTS];
constexpr int kShowNormal = SW_SHOWNORMAL;

}  // namespace

const PROC_DRIVER* PROC_SystemDriver() { return &kSystemDriver; }

int PROC_Init(const PROC_DRIVER* const* drivers) {
    g_drivers.clear();
    g_current = nullptr;
    int result = 0;
    for (; drivers != nullptr && *drivers != nullptr; ++drivers) {
        result = (*drivers)->init();
        if (result >= 0 && g_drivers.size() < 2) g_drivers.push_back(*drivers);
    }
    if (!g_drivers.empty()) g_current = g_drivers.front();
    return result;
}

int PROC_Start(const char* program, const char* arguments) {
    // Without a driver nothing may run unwatched.
    if (g_current == nullptr) return ERROR_PROC_NO_SNAPSHOT;
    for (int slot = 0; slot < PROC_SLOTS; ++slot) {
        if (g_slots[slot].used) continue;
        int result = g_current->start(kShowNormal, program, arguments);
        if (result < 0) return result;
        g_slots[slot] = {true, g_current};
        return slot;
    }
    return -1;
}

void PROC_BringToFront(int slot) {
    if (slot >= 0 && slot < PROC_SLOTS && g_slots[slot].used) g_slots[slot].driver->bring_to_front();
}

int PROC_IsRunning(int slot) {
    if (slot < 0 || slot >= PROC_SLOTS || !g_slots[slot].used) return 0;
    return g_slots[slot].driver->is_running() ? 1 : 0;
}

void PROC_Stop(int slot) {
    if (slot < 0 || slot >= PROC_SLOTS || !g_slots[slot].used) return;
    g_slots[slot].driver->stop();
    g_slots[slot].used = false;
}

int PROC_SetRestoreFront(int flag) {
    const int previous = g_driver.restore_front ? 1 : 0;
    g_driver.restore_front = flag != 0;
    return previous;
}

void PROC_Terminate() {
    for (const PROC_DRIVER* driver : g_drivers) driver->terminate();
    g_drivers.clear();
    g_current = nullptr;
}
