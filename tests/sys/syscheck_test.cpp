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

TEST(SysInventoryText, OsDosMemoryBootDriveAndDirectories) {
    // A failed query's platform is not trusted.
    struct Os { bool ok; unsigned long platform; const char* os; } oses[] = {
        {true, 0, "Win3.x"}, {true, 1, "Win95"}, {true, 2, "WinNT"}, {true, 3, "Unknown"}, {false, 2, "Unknown"}};
    for (const Os& c : oses) EXPECT_STREQ(SYSCHECK_OsName(c.ok, c.platform), c.os) << c.ok << " " << c.platform;
    // The top byte counts: an NT build number or the 95 family's top bit do not.
    struct Dos { uint32_t version; const char* dos; } doses[] = {
        {0x05FFFFFF, "DOS5"}, {0x00000A03, "DOS5"}, {0x06000000, "DOS6"}, {0xC0000004, "DOS6"}};
    for (const Dos& c : doses) EXPECT_STREQ(SYSCHECK_DosName(c.version), c.dos) << std::hex << c.version;
    struct Memory { uint64_t bytes; long mb; } memories[] = {
        {0, 0}, {1, 1}, {16ull << 20, 16}, {(16ull << 20) + 1, 17}, {(16ull << 20) - 1, 16}, {8ull << 30, 8192}};
    for (const Memory& c : memories) EXPECT_EQ(SYSCHECK_MemoryMegabytes(c.bytes), c.mb) << c.bytes;
    struct Text { const char *in, *out; } boots[] = {{"C:\\WINDOWS\\COMMAND.COM", "C:"}, {"d:\\winnt\\cmd.exe", "d:"},
        {"Z", "Z:"}, {"", ""}, {"\\\\server\\share\\cmd.exe", ""}, {"1:\\cmd.exe", ""}, {" C:\\cmd.exe", ""}};
    for (const Text& c : boots) EXPECT_EQ(SYSCHECK_BootDrive(c.in), c.out) << c.in;
    const Text directories[] = {{"C:\\WINDOWS\\", "C:\\WINDOWS"}, {"C:\\", "C:"}, {"C:\\WINDOWS\\\\", "C:\\WINDOWS\\"}};
    for (const Text& c : directories) EXPECT_EQ(SYSCHECK_DirectoryValue(c.in), c.out) << c.in;
}

TEST(SysInventoryText, DriveClassesAndFloppyDevices) {
    // Only removable drives can be floppies.
    struct Case { unsigned type; bool floppy; int cls; } cases[] = {
        {0, false, SYSCHECK_DRIVE_UNDETERMINED}, {2, false, SYSCHECK_DRIVE_REMOVABLE}, {2, true, SYSCHECK_DRIVE_FLOPPY},
        {3, true, SYSCHECK_DRIVE_FIXED}, {4, false, SYSCHECK_DRIVE_NETWORK}, {5, false, SYSCHECK_DRIVE_CDROM},
        {6, false, SYSCHECK_DRIVE_RAMDISK}, {7, false, SYSCHECK_DRIVE_UNDETERMINED}};
    for (const Case& c : cases) EXPECT_EQ(SYSCHECK_DriveClass(c.type, c.floppy), c.cls) << c.type << " " << c.floppy;
    struct Name { const char* device; bool floppy; } names[] = {
        {"\\DEVICE\\FLOPPY1", true}, {"\\Device\\CdRom0", false}, {"\\??\\Z:\\Device\\Floppy0", false},
        {"\\Device\\Flopp", false}, {"", false}};
    for (const Name& n : names) EXPECT_EQ(SYSCHECK_IsFloppyDevice(n.device), n.floppy) << n.device;
    // Diskette drives: 360K, 1.2M, 720K, 8-inch single and double, 1.44M, 2.88M.
    for (unsigned t = 0; t < 16; ++t) EXPECT_EQ(SYSCHECK_IsFloppyDeviceType(t), t <= 4 || t == 7 || t == 9) << t;
}

class SysInventoryStore : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(VAR_Init(VAR_DEFAULT_MAX_NUM), 0);
        inv_.boot_drive = "C:", inv_.os = "Win95", inv_.dos = "DOS6";
        inv_.res_x = 800, inv_.res_y = 600, inv_.bpp = 8, inv_.palette = 1, inv_.memory_mb = 32;
        inv_.cpu = 8, inv_.cpu_subtype = 6, inv_.cpu_intel = 1, inv_.mhz = 233, inv_.mmx = true;
        inv_.windows_directory = "C:\\WINDOWS", inv_.system_directory = "C:\\WINDOWS\\SYSTEM";
    }
    void TearDown() override { VAR_Terminate(); }
    SYSCHECK_INVENTORY inv_;
};

TEST_F(SysInventoryStore, EveryVariableHoldsItsValueAsTextAndCommandLineWordsChangeOnlyTheirs) {
    SYSCHECK_StoreInventory(inv_);
    const std::vector<std::pair<const char*, const char*>> expected = {
        {"InstallBulletproofing", "Y"}, {"BootDrive", "C:"},        {"OS", "Win95"},
        {"DOS", "DOS6"},                {"SystemResX", "800"},      {"SystemResY", "600"},
        {"SystemBPP", "8"},             {"SystemPalette", "1"},     {"SystemMemory", "32"},
        {"SystemCPU", "8"},             {"SystemCPUSubType", "6"},  {"SystemCPUManufacturer", "1"},
        {"SystemMHz", "233"},           {"SystemMMX", "Y"},         {"BackDoor", "N"},
        {"WindowsDirectory", "C:\\WINDOWS"}, {"WindowsSystemDirectory", "C:\\WINDOWS\\SYSTEM"},
        {"InstallIs32Bit", "Y"}};
    for (const auto& [name, value] : expected) EXPECT_EQ(Get(name), value) << name;
    struct Case { std::vector<const char*> words; const char* values; } cases[] = {
        {{}, "YNN90"}, {{"BPOFF"}, "NNN90"}, {{"PII"}, "YYY266"}, {{"Pii", "BpOff"}, "NYY266"},
        {{"BPOFFX", "PI", "PIII", "/PII", "", "-bpoff"}, "YNN90"}};
    inv_.mmx = false, inv_.mhz = 90;
    for (const Case& c : cases) {
        SYSCHECK_StoreInventory(inv_);
        std::string words;
        for (const char* w : c.words) SYSCHECK_CommandLineSwitch(w), words += std::string(w) + " ";
        EXPECT_EQ(Get("InstallBulletproofing") + Get("BackDoor") + Get("SystemMMX") + Get("SystemMHz") + Get("OS"),
                  c.values + std::string("Win95")) << words;
    }
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
    EXPECT_EXIT((MODULE_Register(ReportDialogSource, 0), VAR_Init(17), SYSCHECK_StoreInventory({}), std::exit(0)),
                ::testing::ExitedWithCode(zyntest::kFatalExitCode), "common");
    EXPECT_EXIT((VAR_Init(18), SYSCHECK_StoreInventory({}), std::exit(VAR_Exists("InstallIs32Bit") ? 7 : 8)),
                ::testing::ExitedWithCode(7), "");
}

}  // namespace
