#include "sys/syscheck.h"

#include <windows.h>

#include <cstdint>
#include <new>
#include <string_view>

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

#if !defined(_WIN64)
// The registers of a DOS call made through the Windows 95 VWIN32 device.
struct DiocRegisters {
    DWORD ebx, edx, ecx, eax, edi, esi, flags;
};
constexpr DWORD kVwin32DosIoctl = 1;
constexpr DWORD kCarryFlag = 1;

// Windows 95 knows no device names for drive letters; its DOS layer tells a diskette
// drive by the "get device parameters" call.
bool IsFloppyByDosCall(char letter) {
    struct Device {
        HANDLE h = CreateFileA("\\\\.\\vwin32", 0, 0, nullptr, 0, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        ~Device() {
            if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
        }
    } device;
    if (device.h == INVALID_HANDLE_VALUE) return false;
    BYTE parameters[256] = {};
    DiocRegisters regs{};
    regs.eax = 0x440D;
    regs.ebx = static_cast<DWORD>((letter | 0x20) - 'a' + 1);
    regs.ecx = 0x0860;
    regs.edx = static_cast<DWORD>(reinterpret_cast<uintptr_t>(parameters));
    regs.flags = kCarryFlag;
    DWORD returned = 0;
    BOOL ok = DeviceIoControl(device.h, kVwin32DosIoctl, &regs, sizeof regs, &regs, sizeof regs, &returned, nullptr);
    return ok && !(regs.flags & kCarryFlag) && SYSCHECK_IsFloppyDeviceType(parameters[1]);
}
#endif

bool IsFloppyDrive(char letter) {
    const char name[3] = {letter, ':', '\0'};
    char device[512];
    if (QueryDosDeviceA(name, device, sizeof device)) return SYSCHECK_IsFloppyDevice(device);
#if !defined(_WIN64)
    if (std::string_view(SYSCHECK_GetOS()) == "Win95") return IsFloppyByDosCall(letter);
#endif
    return false;
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

int SYSCHECK_GetDriveClass(const char* root) {
    if (root == nullptr || root[0] == '\0') return SYSCHECK_DRIVE_UNDETERMINED;
    UINT type = GetDriveTypeA(root);
    bool lettered = ((root[0] | 0x20) >= 'a' && (root[0] | 0x20) <= 'z') && root[1] == ':';
    return SYSCHECK_DriveClass(type, type == DRIVE_REMOVABLE && lettered && IsFloppyDrive(root[0]));
}

void COMMON_InitSystemVariables() {
    try {
        StoreSystemVariables();
    } catch (const std::bad_alloc&) {
        ZYNERROR_Fatal(ERROR_COMMON_MEMORY_ALLOCATE, "common", __LINE__);
    }
}
