#include "sys/syscheck.h"

#include <array>
#include <string>
#include <vector>

#include "script/common.h"
#include "script/var.h"
#include "script/zynerror.h"

namespace {

struct Row {
    const char* name;
    std::string value;
};

std::string Flag(bool on) { return on ? "Y" : "N"; }
std::string Number(long n) { return std::to_string(n); }  // the same text as "%ld"

void SetOrDie(const char* name, const std::string& value, const char* source) {
    int rc = VAR_Set(name, value.c_str());
    if (rc < 0) ZYNERROR_Fatal(rc, source, __LINE__);
}

// Platform ids in the order of their OS values.
struct Platform {
    unsigned long id;
    const char* os;
};
constexpr std::array<Platform, 3> kPlatforms{{
    {SYSCHECK_PLATFORM_WIN32S, "Win3.x"},
    {SYSCHECK_PLATFORM_WINDOWS, "Win95"},
    {SYSCHECK_PLATFORM_NT, "WinNT"},
}};

// The system's drive types (DRIVE_UNKNOWN ... DRIVE_RAMDISK) in order, as classes.
constexpr std::array<int, 7> kDriveTypeClasses{
    SYSCHECK_DRIVE_UNDETERMINED,  // unknown
    SYSCHECK_DRIVE_UNDETERMINED,  // no root directory
    SYSCHECK_DRIVE_REMOVABLE,     SYSCHECK_DRIVE_FIXED, SYSCHECK_DRIVE_NETWORK,
    SYSCHECK_DRIVE_CDROM,         SYSCHECK_DRIVE_RAMDISK,
};

// Device types of the "get device parameters" call that are diskette drives.
constexpr std::array<unsigned, 7> kFloppyDeviceTypes{0, 1, 2, 3, 4, 7, 9};

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

bool EqualNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && COMMON_CompareNoCase(a.data(), b.data(), a.size()) == 0;
}

}  // namespace

void SYSCHECK_StoreInventory(const SYSCHECK_INVENTORY& inv) {
    std::vector<Row> rows;
    try {
        rows = {
            {"InstallBulletproofing", "Y"},
            {"BootDrive", inv.boot_drive},
            {"OS", inv.os},
            {"DOS", inv.dos},
            {"SystemResX", Number(inv.res_x)},
            {"SystemResY", Number(inv.res_y)},
            {"SystemBPP", Number(inv.bpp)},
            {"SystemPalette", Number(inv.palette)},
            {"SystemMemory", Number(inv.memory_mb)},
            {"SystemCPU", Number(inv.cpu)},
            {"SystemCPUSubType", Number(inv.cpu_subtype)},
            {"SystemCPUManufacturer", Number(inv.cpu_intel)},
            {"SystemMHz", Number(inv.mhz)},
            {"SystemMMX", Flag(inv.mmx)},
            {"BackDoor", "N"},
            {"WindowsDirectory", inv.windows_directory},
            {"WindowsSystemDirectory", inv.system_directory},
            {"InstallIs32Bit", "Y"},
        };
    } catch (const std::bad_alloc&) {
        ZYNERROR_Fatal(ERROR_COMMON_MEMORY_ALLOCATE, "common", __LINE__);
    }
    for (const Row& row : rows) SetOrDie(row.name, row.value, "common");
}

void SYSCHECK_CommandLineSwitch(const char* word) {
    if (word == nullptr) return;
    if (EqualNoCase(word, "BPOFF")) {
        SetOrDie("InstallBulletproofing", "N", "syscheck");
    } else if (EqualNoCase(word, "PII")) {
        // Lets a demo that demands a fast processor be tried on any machine.
        SetOrDie("BackDoor", "Y", "syscheck");
        SetOrDie("SystemMMX", "Y", "syscheck");
        SetOrDie("SystemMHz", "266", "syscheck");
    }
}

const char* SYSCHECK_OsName(bool query_ok, unsigned long platform_id) {
    if (query_ok) {
        for (const auto& p : kPlatforms) {
            if (p.id == platform_id) return p.os;
        }
    }
    return "Unknown";
}

const char* SYSCHECK_DosName(uint32_t version) { return (version >> 24) < 6 ? "DOS5" : "DOS6"; }

long SYSCHECK_MemoryMegabytes(uint64_t bytes) {
    constexpr uint64_t kMegabyte = 1048576;
    return static_cast<long>((bytes + kMegabyte - 1) / kMegabyte);
}

std::string SYSCHECK_BootDrive(std::string_view comspec) {
    if (comspec.empty() || !IsAsciiLetter(comspec.front())) return {};
    return std::string(1, comspec.front()) + ":";
}

int SYSCHECK_DriveClass(unsigned drive_type, bool floppy) {
    if (drive_type >= kDriveTypeClasses.size()) return SYSCHECK_DRIVE_UNDETERMINED;
    int cls = kDriveTypeClasses[drive_type];
    return (cls == SYSCHECK_DRIVE_REMOVABLE && floppy) ? SYSCHECK_DRIVE_FLOPPY : cls;
}

bool SYSCHECK_IsFloppyDevice(std::string_view device) {
    // Only the device itself counts, not a folder that a drive letter is mapped to.
    constexpr std::string_view kFloppy = "\\DEVICE\\FLOPPY";
    return device.size() >= kFloppy.size() && EqualNoCase(device.substr(0, kFloppy.size()), kFloppy);
}

bool SYSCHECK_IsFloppyDeviceType(unsigned device_type) {
    for (unsigned t : kFloppyDeviceTypes) {
        if (t == device_type) return true;
    }
    return false;
}

std::string SYSCHECK_DirectoryValue(std::string_view path) {
    if (!path.empty() && path.back() == '\\') path.remove_suffix(1);
    return std::string(path);
}
