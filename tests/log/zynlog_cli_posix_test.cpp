// The zynlog tool as support staff run it: the built tool beside this test program.
// The scenarios read every log they check through its "show".
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <tuple>
#include <utility>

#include "support/testsupport.h"

namespace {

namespace fs = std::filesystem;
using zyntest::ReadFileBytes;

// The exit status and what the tool wrote to stdout and stderr together.
std::pair<int, std::string> RunZynlog(const std::string& arguments) {
    const fs::path tool = fs::read_symlink("/proc/self/exe").parent_path() / "zynlog";
    std::pair<int, std::string> run{-1, ""};
    std::FILE* pipe = popen((tool.string() + " " + arguments + " 2>&1").c_str(), "r");
    if (pipe == nullptr) return run;
    char chunk[4096];
    for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;) run.second.append(chunk, n);
    const int status = pclose(pipe);
    run.first = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

const std::string kInstalled =
    "[HEADER]\r\n{\r\n\t\"Max Demo\" = \"1\"\r\n\t\"Demo 0\" = \"Zyn Demo\"\r\n}\r\n"
    "[Demo 0]\r\n{\r\n\t[Files]\r\n\t{\r\n\t\t\"C:\\\\ZYN\\\\A.EXE\" = \"0\"\r\n\t}\r\n}\r\n";

// Check only reads; normalize writes what a save writes, and nothing for a damaged file.
TEST(ZynlogTool, CheckTellsCleanFromDamagedAndNormalizeRewrites) {
    zyntest::TempDir dir;
    const std::tuple<std::string, int, const char*> cases[] = {
        {kInstalled, 0, "loads cleanly: 3 keys, 3 values\n"},
        {"[A]{\"n\" = \"cut off", 0, "note: not in the form a save writes"},
        {"}[A]", 1, "a key or value follows a \"}\" that closes no key [-213"},
    };
    for (const auto& [bytes, expected, says] : cases) {
        zyntest::WriteFileBytes(dir.file("case.log"), bytes);
        const auto [status, out] = RunZynlog("check " + dir.file("case.log"));
        EXPECT_EQ(status, expected) << out;
        EXPECT_NE(out.find(says), std::string::npos) << out;
        EXPECT_EQ(ReadFileBytes(dir.file("case.log")), bytes);
    }
    EXPECT_EQ(RunZynlog("check " + dir.file("missing.log")).first, 1);
    EXPECT_FALSE(fs::exists(dir.file("missing.log")));
    for (const auto& entry : fs::directory_iterator(fs::temp_directory_path()))
        EXPECT_EQ(entry.path().filename().string().rfind("zynlog-check-", 0), std::string::npos) << "scratch left";
    const std::string in = dir.file("messy.log"), out = dir.file("clean.log");
    zyntest::WriteFileBytes(in, "[HEADER]\"Max Demo\"\"1\"\"Demo 0\" \"Zyn Demo\"}  [Demo 0][Files]\"C:\\\\ZYN\\\\A.EXE\"=\"0\"");
    EXPECT_EQ(RunZynlog("normalize " + in + " " + out).first, 0);
    EXPECT_EQ(ReadFileBytes(out), kInstalled);
    EXPECT_EQ(RunZynlog("normalize " + dir.file("case.log") + " " + dir.file("refused.log")).first, 1);
    EXPECT_FALSE(fs::exists(dir.file("refused.log")));
    EXPECT_EQ(RunZynlog("normalize only-one").first, 2);
}

}  // namespace
