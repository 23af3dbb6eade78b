// The machine description that scripts test (OS, display, memory, processor,
// directories) and the two command-line words that adjust it.
//
// syscheck_text.cpp holds the portable part: the decisions that turn raw system
// answers into variable values, storing them, and the command-line words.
// syscheck.cpp asks the running system (Windows only).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Raw answers of the system, already reduced to what the variables hold.
struct SYSCHECK_INVENTORY {
    std::string boot_drive;
    std::string os;
    std::string dos;
    long res_x = 0;
    long res_y = 0;
    long bpp = 0;
    long palette = 0;
    long memory_mb = 0;
    long cpu = 0;
    long cpu_subtype = 0;
    long cpu_intel = 0;
    long mhz = 0;
    bool mmx = false;
    std::string windows_directory;
    std::string system_directory;
};

// Platform ids of the extended version query.
inline constexpr unsigned long SYSCHECK_PLATFORM_WIN32S = 0;
inline constexpr unsigned long SYSCHECK_PLATFORM_WINDOWS = 1;
inline constexpr unsigned long SYSCHECK_PLATFORM_NT = 2;

// Fills every machine-description variable, in a fixed order. A variable that
// cannot be set is fatal (source "common").
void COMMON_InitSystemVariables();

// One word of the command line: "BPOFF" and "PII" (any case) change variables, other
// words are ignored. A variable that cannot be set is fatal (source "syscheck").
void SYSCHECK_CommandLineSwitch(const char* word);

// The running system's OS value ("Win3.x", "Win95", "WinNT" or "Unknown"), asked afresh.
const char* SYSCHECK_GetOS();

// Drive classes of a root directory such as "C:\\", as the directory checks and the
// bootstrap's drive search refuse them (mask bit 1 << class).
inline constexpr int SYSCHECK_DRIVE_UNDETERMINED = 0;
inline constexpr int SYSCHECK_DRIVE_REMOVABLE = 1;  // removable, but not a floppy drive
inline constexpr int SYSCHECK_DRIVE_FIXED = 2;
inline constexpr int SYSCHECK_DRIVE_NETWORK = 3;
inline constexpr int SYSCHECK_DRIVE_CDROM = 4;
inline constexpr int SYSCHECK_DRIVE_FLOPPY = 5;
inline constexpr int SYSCHECK_DRIVE_RAMDISK = 6;
int SYSCHECK_GetDriveClass(const char* root);

// --- portable decisions (syscheck_text.cpp) ---

// Stores the inventory under the variable names, in the documented order.
void SYSCHECK_StoreInventory(const SYSCHECK_INVENTORY& inventory);
const char* SYSCHECK_OsName(bool query_ok, unsigned long platform_id);
// From the plain version query's 32-bit value: "DOS5" or "DOS6".
const char* SYSCHECK_DosName(uint32_t version);
// Megabytes rounded up.
long SYSCHECK_MemoryMegabytes(uint64_t bytes);
// "X:" from the command interpreter's path when it starts with a letter, else empty.
std::string SYSCHECK_BootDrive(std::string_view comspec);
// Class from the system's drive type (the values of GetDriveType) and the floppy test.
int SYSCHECK_DriveClass(unsigned drive_type, bool floppy);
// 1 when a device name the system gives for a drive letter is a floppy device.
bool SYSCHECK_IsFloppyDevice(std::string_view device);
// 1 for the device-parameter types of diskette drives (360K ... 2.88M).
bool SYSCHECK_IsFloppyDeviceType(unsigned device_type);
// A directory as stored in a variable: one trailing backslash removed.
std::string SYSCHECK_DirectoryValue(std::string_view path);
