#include "sys/syscheck.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "script/module.h"
#include "script/var.h"
#include "support/testsupport.h"

namespace {

std::string Get(const char* name) { return zyntest::VarText(name); }

TEST(SysInventoryText, PlatformIdsNameTheOperatingSystem) {
    struct Case {
        bool ok;
        unsigned long platform;
        const char* os;
    } cases[] = {
        {true, 0, "Win3.x"}, {true, 1, "Win95"}, {true, 2, "WinNT"},
        {true, 3, "Unknown"},  // a platform of a later age
        {false, 2, "Unknown"},  // the query failed: whatever it left is not trusted
    };
    for (const Case& c : cases) EXPECT_STREQ(SYSCHECK_OsName(c.ok, c.platform), c.os) << c.ok << " " << c.platform;
}

TEST(SysInventoryText, TopByteOfTheVersionGivesTheDosVersion) {
    struct Case {
        uint32_t version;
        const char* dos;
    } cases[] = {
        {0x05000000, "DOS5"}, {0x05FFFFFF, "DOS5"}, {0x00000A03, "DOS5"},
        {0x06000000, "DOS6"}, {0x1DB10106, "DOS6"},  // an NT answer: build 7601 in the high word
        {0xC0000004, "DOS6"},                        // the 95 family sets the top bit
    };
    for (const Case& c : cases) EXPECT_STREQ(SYSCHECK_DosName(c.version), c.dos) << std::hex << c.version;
}

TEST(SysInventoryText, MemoryIsRoundedUpToWholeMegabytes) {
    struct Case {
        uint64_t bytes;
        long mb;
    } cases[] = {
        {0, 0}, {1, 1}, {16ull << 20, 16}, {(16ull << 20) + 1, 17}, {(16ull << 20) - 1, 16},
        {8ull << 30, 8192},  // beyond what a 32-bit count could hold
    };
    for (const Case& c : cases) EXPECT_EQ(SYSCHECK_MemoryMegabytes(c.bytes), c.mb) << c.bytes;
}

TEST(SysInventoryText, BootDriveIsTheCommandInterpretersDriveLetter) {
    struct Case {
        const char* comspec;
        const char* drive;
    } cases[] = {
        {"C:\\WINDOWS\\COMMAND.COM", "C:"}, {"d:\\winnt\\system32\\cmd.exe", "d:"}, {"Z", "Z:"},
        {"", ""}, {"\\\\server\\share\\cmd.exe", ""}, {"1:\\cmd.exe", ""}, {" C:\\cmd.exe", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(SYSCHECK_BootDrive(c.comspec), c.drive) << c.comspec;
}

TEST(SysInventoryText, OneTrailingBackslashIsRemovedFromDirectories) {
    struct Case {
        const char* path;
        const char* value;
    } cases[] = {
        {"C:\\WINDOWS", "C:\\WINDOWS"}, {"C:\\WINDOWS\\", "C:\\WINDOWS"}, {"C:\\", "C:"},
        {"C:\\WINDOWS\\\\", "C:\\WINDOWS\\"}, {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(SYSCHECK_DirectoryValue(c.path), c.value) << c.path;
}

TEST(SysInventoryText, DriveTypesBecomeClassesAndFloppiesAreTold) {
    struct Case {
        unsigned type;
        bool floppy;
        int cls;
    } cases[] = {
        {0, false, SYSCHECK_DRIVE_UNDETERMINED}, {1, false, SYSCHECK_DRIVE_UNDETERMINED},
        {2, false, SYSCHECK_DRIVE_REMOVABLE},    {2, true, SYSCHECK_DRIVE_FLOPPY},
        {3, false, SYSCHECK_DRIVE_FIXED},        {3, true, SYSCHECK_DRIVE_FIXED},  // only removable drives are floppies
        {4, false, SYSCHECK_DRIVE_NETWORK},      {5, false, SYSCHECK_DRIVE_CDROM},
        {6, false, SYSCHECK_DRIVE_RAMDISK},      {7, false, SYSCHECK_DRIVE_UNDETERMINED},
        {0xFFFFFFFFu, true, SYSCHECK_DRIVE_UNDETERMINED},
    };
    for (const Case& c : cases) EXPECT_EQ(SYSCHECK_DriveClass(c.type, c.floppy), c.cls) << c.type << " " << c.floppy;
}

TEST(SysInventoryText, FloppyDevicesByNameAndByDeviceType) {
    struct Name {
        const char* device;
        bool floppy;
    } names[] = {
        {"\\Device\\Floppy0", true}, {"\\DEVICE\\FLOPPY1", true}, {"\\Device\\Harddisk1\\DP(1)0-0+3", false},
        {"\\Device\\CdRom0", false}, {"\\??\\C:\\floppy-images", false},
        {"\\??\\Z:\\Device\\Floppy0", false}, {"\\Device\\Flopp", false}, {"", false},
    };
    for (const Name& n : names) EXPECT_EQ(SYSCHECK_IsFloppyDevice(n.device), n.floppy) << n.device;
    // Diskette drives: 360K, 1.2M, 720K, 8-inch single and double, 1.44M, 2.88M.
    for (unsigned t = 0; t < 16; ++t) {
        bool floppy = t <= 4 || t == 7 || t == 9;
        EXPECT_EQ(SYSCHECK_IsFloppyDeviceType(t), floppy) << t;
    }
}

class SysInventoryStore : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(VAR_Init(VAR_DEFAULT_MAX_NUM), 0); }
    void TearDown() override { VAR_Terminate(); }

    static SYSCHECK_INVENTORY Sample() {
        SYSCHECK_INVENTORY inv;
        inv.boot_drive = "C:";
        inv.os = "Win95";
        inv.dos = "DOS6";
        inv.res_x = 800;
        inv.res_y = 600;
        inv.bpp = 8;
        inv.palette = 1;
        inv.memory_mb = 32;
        inv.cpu = 8;
        inv.cpu_subtype = 6;
        inv.cpu_intel = 1;
        inv.mhz = 233;
        inv.mmx = true;
        inv.windows_directory = "C:\\WINDOWS";
        inv.system_directory = "C:\\WINDOWS\\SYSTEM";
        return inv;
    }
};

TEST_F(SysInventoryStore, EveryVariableHoldsItsValueAsText) {
    SYSCHECK_StoreInventory(Sample());
    const std::vector<std::pair<const char*, const char*>> expected = {
        {"InstallBulletproofing", "Y"}, {"BootDrive", "C:"},        {"OS", "Win95"},
        {"DOS", "DOS6"},                {"SystemResX", "800"},      {"SystemResY", "600"},
        {"SystemBPP", "8"},             {"SystemPalette", "1"},     {"SystemMemory", "32"},
        {"SystemCPU", "8"},             {"SystemCPUSubType", "6"},  {"SystemCPUManufacturer", "1"},
        {"SystemMHz", "233"},           {"SystemMMX", "Y"},         {"BackDoor", "N"},
        {"WindowsDirectory", "C:\\WINDOWS"}, {"WindowsSystemDirectory", "C:\\WINDOWS\\SYSTEM"},
        {"InstallIs32Bit", "Y"},
    };
    for (const auto& [name, value] : expected) EXPECT_EQ(Get(name), value) << name;
}

// The fatal report names its source: natively on stderr, under Wine in the error
// dialog's details, which this clean-up function copies to stderr.
int ReportDialogSource() {
#ifdef _WIN32
    for (const auto& seen : zyntest::TakeErrorDialogsSeen()) std::fprintf(stderr, "fatal error in %s\n", seen.file.c_str());
#endif
    return 0;
}

TEST(SysInventoryStoreDeath, AStoreWithoutRoomEndsTheRun) {
    // Eighteen variables do not fit in seventeen slots; the last one is the fatal set.
    EXPECT_EXIT(
        {
            MODULE_Register(ReportDialogSource, 0);
            VAR_Init(17);
            SYSCHECK_StoreInventory(SYSCHECK_INVENTORY{});
            std::exit(0);
        },
        ::testing::ExitedWithCode(zyntest::kFatalExitCode), "common");
    EXPECT_EXIT(
        {
            VAR_Init(18);
            SYSCHECK_StoreInventory(SYSCHECK_INVENTORY{});
            std::exit(VAR_Exists("InstallIs32Bit") ? 7 : 8);
        },
        ::testing::ExitedWithCode(7), "");
}

class CommandLineSwitch : public SysInventoryStore {};

TEST_F(CommandLineSwitch, WordsChangeOnlyTheirVariables) {
    struct Case {
        std::vector<const char*> words;
        const char* bulletproofing;
        const char* backdoor;
        const char* mmx;
        const char* mhz;
    } cases[] = {
        {{}, "Y", "N", "N", "90"},
        {{"BPOFF"}, "N", "N", "N", "90"},
        {{"bpoff"}, "N", "N", "N", "90"},
        {{"PII"}, "Y", "Y", "Y", "266"},
        {{"Pii", "BpOff"}, "N", "Y", "Y", "266"},
        {{"PII", "bpoff"}, "N", "Y", "Y", "266"},
        {{"BPOFFX", "PI", "PIII", "/PII", "", "-bpoff"}, "Y", "N", "N", "90"},
    };
    for (const Case& c : cases) {
        SYSCHECK_INVENTORY inv = Sample();
        inv.mmx = false;
        inv.mhz = 90;
        SYSCHECK_StoreInventory(inv);
        std::string words;
        for (const char* w : c.words) {
            SYSCHECK_CommandLineSwitch(w);
            words += std::string(w) + " ";
        }
        EXPECT_EQ(Get("InstallBulletproofing"), c.bulletproofing) << words;
        EXPECT_EQ(Get("BackDoor"), c.backdoor) << words;
        EXPECT_EQ(Get("SystemMMX"), c.mmx) << words;
        EXPECT_EQ(Get("SystemMHz"), c.mhz) << words;
        EXPECT_EQ(Get("OS"), "Win95") << words;
    }
}

TEST(CommandLineSwitchDeath, AnUninitialisedStoreEndsTheRun) {
    VAR_Terminate();
    EXPECT_EXIT(
        {
            MODULE_Register(ReportDialogSource, 0);
            SYSCHECK_CommandLineSwitch("PII");
        },
        ::testing::ExitedWithCode(zyntest::kFatalExitCode), "syscheck");
    // Words it does not know touch nothing, not even a missing store.
    SYSCHECK_CommandLineSwitch("other");
    SYSCHECK_CommandLineSwitch(nullptr);
}

}  // namespace
