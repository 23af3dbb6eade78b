#include "sys/syscheck.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "script/var.h"
#include "support/process_win.h"
#include "support/testsupport.h"
#include "sys/cpu.h"

namespace {

std::string Get(const char* name) { return zyntest::VarText(name); }

long GetNumber(const char* name) { return std::strtol(Get(name).c_str(), nullptr, 10); }

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// What the host says about the machine, read through Wine's view of the Linux file system.
// These are the independent witnesses for the values the inventory reads through Win32.
struct HostFacts {
    bool known = false;
    std::string vendor;
    int family = -1;
    bool mmx = false;
    long memory_kb = 0;
};

HostFacts ReadHostFacts() {
    HostFacts facts;
    std::ifstream cpuinfo("Z:\\proc\\cpuinfo");
    std::ifstream meminfo("Z:\\proc\\meminfo");
    if (!cpuinfo || !meminfo) return facts;
    std::string line;
    while (std::getline(cpuinfo, line) && !line.empty()) {
        std::string key = line.substr(0, line.find(':'));
        std::string value = line.find(':') == std::string::npos ? "" : line.substr(line.find(':') + 1);
        if (key.rfind("vendor_id", 0) == 0) std::istringstream(value) >> facts.vendor;
        if (key.rfind("cpu family", 0) == 0) facts.family = std::atoi(value.c_str());
        if (key.rfind("flags", 0) == 0) facts.mmx = (value + " ").find(" mmx ") != std::string::npos;
    }
    while (std::getline(meminfo, line)) {
        if (line.rfind("MemTotal:", 0) == 0) facts.memory_kb = std::atol(line.c_str() + 9);
    }
    facts.known = !facts.vendor.empty() && facts.family >= 0 && facts.memory_kb > 0;
    return facts;
}

class SysInventoryWin : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(VAR_Init(VAR_DEFAULT_MAX_NUM), 0);
        COMMON_InitSystemVariables();
    }
    void TearDown() override { VAR_Terminate(); }
};

TEST_F(SysInventoryWin, OperatingSystemAndDirectoriesAreWinesDefaults) {
    // Wine presents itself as Windows 7 (NT 6.1) unless told otherwise.
    EXPECT_EQ(Get("OS"), "WinNT");
    EXPECT_EQ(Get("DOS"), "DOS6");
    EXPECT_EQ(Get("BootDrive"), "C:");
    EXPECT_EQ(Lower(Get("WindowsDirectory")), "c:\\windows");
    EXPECT_EQ(Lower(Get("WindowsSystemDirectory")), "c:\\windows\\system32");
    EXPECT_EQ(Get("InstallIs32Bit"), "Y");
    EXPECT_EQ(Get("InstallBulletproofing"), "Y");
    EXPECT_EQ(Get("BackDoor"), "N");
}

TEST_F(SysInventoryWin, DisplayValuesDescribeTheScreen) {
    EXPECT_EQ(GetNumber("SystemResX"), GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(GetNumber("SystemResY"), GetSystemMetrics(SM_CYSCREEN));
    EXPECT_GT(GetNumber("SystemResX"), 0);
    const std::set<long> depths = {1, 4, 8, 15, 16, 24, 32};
    EXPECT_TRUE(depths.count(GetNumber("SystemBPP"))) << Get("SystemBPP");
    // True-colour displays need no palette.
    EXPECT_EQ(Get("SystemPalette"), GetNumber("SystemBPP") > 8 ? "0" : "1");
}

TEST_F(SysInventoryWin, MemoryAndProcessorAgreeWithTheHost) {
    HostFacts host = ReadHostFacts();
    if (!host.known) GTEST_SKIP() << "no host /proc to compare with";
    long host_mb = (host.memory_kb + 1023) / 1024;
    EXPECT_NEAR(GetNumber("SystemMemory"), host_mb, host_mb / 50 + 1);

    bool intel = host.vendor == "GenuineIntel";
    EXPECT_EQ(Get("SystemCPUManufacturer"), intel ? "1" : "0");
    EXPECT_EQ(Get("SystemMMX"), host.mmx ? "Y" : "N");
    // The host reports base plus extended family; the inventory looks at the base (4 bits).
    int base_family = host.family >= 15 ? 15 : host.family;
    long cpu = GetNumber("SystemCPU");
    if (base_family == 6) {
        EXPECT_TRUE(cpu == 7 || cpu == 8) << cpu;
    } else if (base_family <= 5) {
        EXPECT_EQ(cpu, base_family + 1);
    } else {
        EXPECT_EQ(cpu, base_family == 7 ? 9 : 0);
    }
    long mhz = GetNumber("SystemMHz");
    if (intel) {
        EXPECT_GT(mhz, 100);
        EXPECT_LT(mhz, 20000);
    } else {
        EXPECT_EQ(mhz, 0);  // only Intel processors are measured
    }
}

TEST(SysInventoryWinClock, TimeStampMeasurementIsPlausibleAndRepeatable) {
    long first = CPU_MeasureTimeStampMHz();
    long second = CPU_MeasureTimeStampMHz();
    RecordProperty("mhz", std::to_string(first) + " " + std::to_string(second));
    EXPECT_GT(first, 100);
    EXPECT_LT(first, 20000);
    EXPECT_NEAR(second, first, first / 10 + 1);
}

TEST(SysInventoryWinBootDrive, FollowsTheCommandInterpreterSetting) {
    char saved[MAX_PATH] = "";
    bool had = GetEnvironmentVariableA("COMSPEC", saved, sizeof saved) != 0;
    struct Case {
        const char* comspec;  // null: not set
        const char* drive;
    } cases[] = {
        {"D:\\WINNT\\SYSTEM32\\CMD.EXE", "D:"},
        {"e:\\command.com", "e:"},
        {"\\\\SERVER\\TOOLS\\CMD.EXE", ""},
        {nullptr, ""},
    };
    for (const Case& c : cases) {
        SetEnvironmentVariableA("COMSPEC", c.comspec);
        ASSERT_EQ(VAR_Init(VAR_DEFAULT_MAX_NUM), 0);
        COMMON_InitSystemVariables();
        EXPECT_EQ(Get("BootDrive"), c.drive) << (c.comspec ? c.comspec : "(unset)");
        VAR_Terminate();
    }
    SetEnvironmentVariableA("COMSPEC", had ? saved : nullptr);
}

TEST(SysInventoryWinDrives, RootsAreClassified) {
    char unused[] = "?:\\";
    DWORD present = GetLogicalDrives();
    for (char c = 'Z'; c >= 'D'; --c) {
        if (!(present & (1u << (c - 'A')))) unused[0] = c;
    }
    ASSERT_NE(unused[0], '?');
    struct Case {
        const char* root;
        int cls;
    } cases[] = {
        {"C:\\", SYSCHECK_DRIVE_FIXED},
        {"c:\\", SYSCHECK_DRIVE_FIXED},
        {unused, SYSCHECK_DRIVE_UNDETERMINED},  // no such drive
        {"", SYSCHECK_DRIVE_UNDETERMINED},
        {nullptr, SYSCHECK_DRIVE_UNDETERMINED},
    };
    for (const Case& c : cases) EXPECT_EQ(SYSCHECK_GetDriveClass(c.root), c.cls) << (c.root ? c.root : "(null)");
}

// Run as a child under a name that Wine is told to present as Windows 95.
TEST(SysInventoryWin95, DISABLED_ChildSeesTheWindows95Family) {
    ASSERT_EQ(VAR_Init(VAR_DEFAULT_MAX_NUM), 0);
    COMMON_InitSystemVariables();
    EXPECT_EQ(Get("OS"), "Win95");
    EXPECT_STREQ(SYSCHECK_GetOS(), "Win95");
    EXPECT_EQ(Get("DOS"), "DOS6");
    VAR_Terminate();
}

TEST(SysInventoryWin95, WineSetToWindows95GivesWin95) {
    zyntest::TempDir dir;
    EXPECT_EQ(zyntest::RunChildTestAsWindows95(dir.path(), "SysInventoryWin95.DISABLED_ChildSeesTheWindows95Family", 60000),
              0);
}

}  // namespace
