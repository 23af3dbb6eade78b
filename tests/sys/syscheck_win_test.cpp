#include "sys/syscheck.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "script/var.h"
#include "support/testsupport.h"
#include "sys/cpu.h"

namespace {

using zyntest::VarText;
long GetNumber(const char* name) { return std::strtol(VarText(name).c_str(), nullptr, 10); }

// The host's own account, read through Wine's view of /proc, is the independent witness.
TEST(SysInventoryWin, MemoryAndProcessorAgreeWithTheHost) {
    std::ifstream cpuinfo("Z:\\proc\\cpuinfo"), meminfo("Z:\\proc\\meminfo");
    std::string line, vendor;
    bool mmx = false;
    long memory_kb = 0;
    while (std::getline(cpuinfo, line) && !line.empty()) {
        std::string value = line.substr(line.find(':') + 1);
        if (line.rfind("vendor_id", 0) == 0) std::istringstream(value) >> vendor;
        if (line.rfind("flags", 0) == 0) mmx = (value + " ").find(" mmx ") != std::string::npos;
    }
    while (std::getline(meminfo, line))
        if (line.rfind("MemTotal:", 0) == 0) memory_kb = std::atol(line.c_str() + 9);
    if (vendor.empty() || memory_kb <= 0) GTEST_SKIP() << "no host /proc to compare with";
    ASSERT_EQ(VAR_Init(VAR_DEFAULT_MAX_NUM), 0);
    COMMON_InitSystemVariables();
    long host_mb = (memory_kb + 1023) / 1024;
    EXPECT_NEAR(GetNumber("SystemMemory"), host_mb, host_mb / 50 + 1);
    bool intel = vendor == "GenuineIntel";
    EXPECT_EQ(VarText("SystemCPUManufacturer") + VarText("SystemMMX"), std::string(intel ? "1" : "0") + (mmx ? "Y" : "N"));
    long mhz = GetNumber("SystemMHz");
    if (intel) EXPECT_TRUE(mhz > 100 && mhz < 20000) << mhz;
    else EXPECT_EQ(mhz, 0);  // only Intel processors are measured
    long first = CPU_MeasureTimeStampMHz(), second = CPU_MeasureTimeStampMHz();
    EXPECT_TRUE(first > 100 && first < 20000) << first;
    EXPECT_NEAR(second, first, first / 10 + 1);
    VAR_Terminate();
}

}  // namespace
