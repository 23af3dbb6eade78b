#include "sys/syscheck.h"

#include <windows.h>

#include <new>

#include "script/zynerror.h"
#include "sys/cpu.h"

namespace {

// The desktop window's device context, released on every path.
class DesktopDC {
public:
    DesktopDC() : window_(GetDesktopWindow()), dc_(GetDC(window_)) {}
    ~DesktopDC() {
        if (dc_ != nullptr) ReleaseDC(window_, dc_);
    }
    DesktopDC(const DesktopDC&) = delete;
    DesktopDC& operator=(const DesktopDC&) = delete;
    HDC get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

void ReadDisplay(SYSCHECK_INVENTORY* inv) {
    DesktopDC dc;
    if (dc.get() == nullptr) return;
    inv->res_x = GetDeviceCaps(dc.get(), HORZRES);
    inv->res_y = GetDeviceCaps(dc.get(), VERTRES);
    inv->bpp = static_cast<long>(GetDeviceCaps(dc.get(), BITSPIXEL)) * GetDeviceCaps(dc.get(), PLANES);
    inv->palette = (GetDeviceCaps(dc.get(), RASTERCAPS) & RC_PALETTE) ? 1 : 0;
}

long ReadMemoryMegabytes() {
    // The extended query also counts memory beyond 4 GB; the plain one is the fallback.
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    if (GlobalMemoryStatusEx(&status)) return SYSCHECK_MemoryMegabytes(status.ullTotalPhys);
    MEMORYSTATUS plain{};
    plain.dwLength = sizeof plain;
    GlobalMemoryStatus(&plain);
    return SYSCHECK_MemoryMegabytes(plain.dwTotalPhys);
}

std::string ReadBootDrive() {
    char comspec[MAX_PATH];
    DWORD n = GetEnvironmentVariableA("COMSPEC", comspec, sizeof comspec);
    // Only the first character matters, so a value longer than the buffer still counts.
    if (n == 0) return {};
    comspec[sizeof comspec - 1] = '\0';
    return SYSCHECK_BootDrive(comspec);
}

std::string ReadDirectory(UINT (WINAPI *query)(LPSTR, UINT)) {
    char path[MAX_PATH];
    UINT n = query(path, sizeof path);
    if (n == 0 || n >= sizeof path) return {};
    return SYSCHECK_DirectoryValue(path);
}

void StoreSystemVariables() {
    SYSCHECK_INVENTORY inv;
    inv.boot_drive = ReadBootDrive();
    inv.os = SYSCHECK_GetOS();
    inv.dos = SYSCHECK_DosName(GetVersion());
    ReadDisplay(&inv);
    inv.memory_mb = ReadMemoryMegabytes();

    CPU_INFO cpu;
    CPU_Identify(&cpu);
    CPU_CLASS cls = CPU_Classify(cpu);
    inv.cpu = cls.cpu;
    inv.cpu_subtype = cls.subtype;
    inv.cpu_intel = cpu.intel;
    inv.mhz = CPU_MeasureMHz(cpu);
    inv.mmx = cpu.has_mmx != 0;

    inv.windows_directory = ReadDirectory(GetWindowsDirectoryA);
    inv.system_directory = ReadDirectory(GetSystemDirectoryA);
    SYSCHECK_StoreInventory(inv);
}

}  // namespace

const char* SYSCHECK_GetOS() {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    bool ok = GetVersionExA(&version) != FALSE;
    return SYSCHECK_OsName(ok, version.dwPlatformId);
}

void COMMON_InitSystemVariables() {
    try {
        StoreSystemVariables();
    } catch (const std::bad_alloc&) {
        ZYNERROR_Fatal(ERROR_COMMON_MEMORY_ALLOCATE, "common", __LINE__);
    }
}
