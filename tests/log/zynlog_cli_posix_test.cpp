// The zynlog inspector as support staff run it: the built tool beside this test program.
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>

#include "support/testsupport.h"

namespace {

namespace fs = std::filesystem;
using zyntest::ReadFileBytes;

// The exit status and what the tool wrote to stdout and stderr together.
std::pair<int, std::string> Inspect(const std::string& arguments) {
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

// Every command only reads (a missing file is not made); the first row is the whole output.
TEST(Inspector, ShowAndCheckTellCleanFromDamaged) {
    zyntest::TempDir dir;
    const struct {
        const char* command;
        std::string bytes;
        int status;
        std::string says;
        bool exists = true;
    } cases[] = {
        {"show", "\"top\" = \"line\r\nbreak\"\r\n" + kInstalled, 0,
         "top = line\\r\\nbreak\n[HEADER]\n  Max Demo = 1\n  Demo 0 = Zyn Demo\n[Demo 0]\n  [Files]\n    C:\\ZYN\\A.EXE = 0\n"},
        {"show", "[A]{\"a\"=\"1\"}}[B]{}", 1, "[A]\n  a = 1\n"},
        {"check", kInstalled, 0, "loads cleanly: 3 keys, 3 values\n"},
        {"check", "", 1, "no such file", false},
        {"check", "[A]{\"n\" = \"cut off", 0, "note: not in the form a save writes"},
        {"check", "}[A]", 1, "a key or value follows a \"}\" that closes no key [-213"},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.says);
        const std::string log = dir.file("case" + std::to_string(n++) + ".log");
        if (c.exists) zyntest::WriteFileBytes(log, c.bytes);
        const auto [status, out] = Inspect(std::string(c.command) + " " + log);
        EXPECT_EQ(status, c.status) << out;
        if (n == 1) {
            EXPECT_EQ(out, c.says);
        }
        EXPECT_NE(out.find(c.says), std::string::npos) << out;
        EXPECT_EQ(fs::exists(log), c.exists);
        if (c.exists) {
            EXPECT_EQ(ReadFileBytes(log), c.bytes);
        }
    }
    for (const auto& entry : fs::directory_iterator(fs::temp_directory_path()))
        EXPECT_EQ(entry.path().filename().string().rfind("zynlog-check-", 0), std::string::npos) << "scratch left";
}

TEST(Inspector, NormalizeWritesWhatASaveWritesAndNothingForADamagedFile) {
    zyntest::TempDir dir;
    const std::string in = dir.file("messy.log"), out = dir.file("clean.log"), bad = dir.file("bad.log");
    zyntest::WriteFileBytes(in, "[HEADER]\"Max Demo\"\"1\"\"Demo 0\" \"Zyn Demo\"}  [Demo 0][Files]\"C:\\\\ZYN\\\\A.EXE\"=\"0\"");
    zyntest::WriteFileBytes(bad, "}}[A]");
    EXPECT_EQ(Inspect("normalize " + in + " " + out).first, 0);
    EXPECT_EQ(ReadFileBytes(out), kInstalled);
    EXPECT_EQ(Inspect("normalize " + bad + " " + dir.file("refused.log")).first, 1);
    EXPECT_FALSE(fs::exists(dir.file("refused.log")));
    for (const char* arguments : {"show", "normalize only-one"}) {
        const auto [status, text] = Inspect(arguments);
        EXPECT_EQ(status, 2) << arguments;
        EXPECT_NE(text.find("usage: zynlog show FILE"), std::string::npos) << arguments;
    }
}

}  // namespace
