// The zynlog tool as support staff run it: the built tool beside this test program.
// The scenarios read every log they check through its "show".
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>

#include "support/testsupport.h"

namespace {

namespace fs = std::filesystem;
using zyntest::ReadFileBytes;

int RunZynlog(const std::string& arguments) {
    const fs::path tool = fs::read_symlink("/proc/self/exe").parent_path() / "zynlog";
    const int status = std::system((tool.string() + " " + arguments + " >/dev/null 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

const std::string kInstalled =
    "[HEADER]\r\n{\r\n\t\"Max Demo\" = \"1\"\r\n\t\"Demo 0\" = \"Zyn Demo\"\r\n}\r\n"
    "[Demo 0]\r\n{\r\n\t[Files]\r\n\t{\r\n\t\t\"C:\\\\ZYN\\\\A.EXE\" = \"0\"\r\n\t}\r\n}\r\n";

// Check only reads; normalize writes what a save writes.
TEST(ZynlogTool, CheckTellsCleanFromDamagedAndNormalizeRewrites) {
    zyntest::TempDir dir;
    for (const auto& [bytes, expected] : {std::pair<std::string, int>{kInstalled, 0}, {"}[A]", 1}}) {
        zyntest::WriteFileBytes(dir.file("case.log"), bytes);
        EXPECT_EQ(RunZynlog("check " + dir.file("case.log")), expected);
        EXPECT_EQ(ReadFileBytes(dir.file("case.log")), bytes);
    }
    const std::string in = dir.file("messy.log"), out = dir.file("clean.log");
    zyntest::WriteFileBytes(in, "[HEADER]\"Max Demo\"\"1\"\"Demo 0\" \"Zyn Demo\"}  [Demo 0][Files]\"C:\\\\ZYN\\\\A.EXE\"=\"0\"");
    EXPECT_EQ(RunZynlog("normalize " + in + " " + out), 0);
    EXPECT_EQ(ReadFileBytes(out), kInstalled);
}

}  // namespace
