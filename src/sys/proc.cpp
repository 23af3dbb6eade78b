// Process control.
#include "sys/proc.h"

#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <new>
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

// The driver's state: the snapshot source and what was there before the last launch.
struct Driver {
    CreateSnapshotFn create_snapshot = nullptr;
    ThreadWalkFn thread_first = nullptr;
    ThreadWalkFn thread_next = nullptr;
    std::vector<Entry> before;
    std::vector<HWND> windows_before;
} g_driver;

// Written by the watcher while the main thread may read them.
std::atomic<HWND> g_front{nullptr};
std::atomic<bool> g_restore_front{true};

// What one watcher works from, owned by it: the next launch replaces the driver's
// snapshot, and the Launch section ends the driver long before a program it does not
// wait for has ended.
struct WatchJob {
    zyn::Handle process;
    zyn::Handle thread;
    std::vector<Entry> before;
};

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

bool ProcessKnownBefore(const std::vector<Entry>& before, DWORD process) {
    return std::any_of(before.begin(), before.end(), [process](const Entry& e) { return e.process == process; });
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

std::vector<HWND> NewThreadWindows(const std::vector<Entry>& before) {
    std::vector<HWND> windows;
    for (const Entry& e : Snapshot()) {
        if (ProcessKnownBefore(before, e.process)) continue;
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

DWORD WINAPI Watch(LPVOID parameter) {
    std::unique_ptr<WatchJob> job(static_cast<WatchJob*>(parameter));
    if (!job->process) return 0;
    WaitForInputIdle(job->process.get(), INFINITE);
    for (HWND window : NewThreadWindows(job->before)) {
        LONG style = GetWindowLongA(window, GWL_STYLE);
        if ((style & WS_VISIBLE) && (style & WS_SYSMENU)) {
            SetForegroundWindow(window);
            ShowOwnedPopups(window, TRUE);
            g_front = GetForegroundWindow();
        }
    }
    WaitForSingleObject(job->process.get(), INFINITE);
    if (HWND front = g_front; g_restore_front && front != nullptr) SetForegroundWindow(front);
    return 0;
}

int DriverInit() {
    g_driver = Driver{};
    g_front = nullptr;
    g_restore_front = true;
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

// The launched process's handles belong to its watcher, which closes them when the
// process has ended.
int DriverTerminate() { return 0; }

int DriverStart(int show, const char* program, const char* arguments) {
    std::string command = program;
    if (arguments != nullptr && arguments[0] != '\0') command += std::string(" ") + arguments;
    g_driver.before = Snapshot();
    g_driver.windows_before = TopLevelWindows();
    g_front = GetForegroundWindow();
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_FORCEONFEEDBACK;
    startup.wShowWindow = static_cast<WORD>(show);
    auto job = std::make_unique<WatchJob>();
    job->before = g_driver.before;
    PROCESS_INFORMATION info{};
    const bool created =
        CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info) != 0;
    if (created) {
        job->process.reset(info.hProcess);
        job->thread.reset(info.hThread);
    }
    // The watcher's own handle is not kept: it ends with the watched process.
    if (HANDLE watcher = CreateThread(nullptr, 0, Watch, job.get(), 0, nullptr)) {
        job.release();
        CloseHandle(watcher);
    }
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
        if (!ProcessKnownBefore(g_driver.before, e.process)) return 1;
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
        int result = -1;
        try {
            result = g_current->start(kShowNormal, program, arguments);
        } catch (const std::bad_alloc&) {
            // Without memory for the snapshots nothing is started: as a failed start.
        }
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

int PROC_SetRestoreFront(int flag) { return g_restore_front.exchange(flag != 0) ? 1 : 0; }

void PROC_Terminate() {
    for (const PROC_DRIVER* driver : g_drivers) driver->terminate();
    g_drivers.clear();
    g_current = nullptr;
}
