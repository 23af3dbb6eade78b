// The zynlog inspector as support staff run it: the built tool beside this test program.
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "support/testsupport.h"

namespace {

namespace fs = std::filesystem;
using zyntest::ReadFileBytes;
using zyntest::WriteFileBytes;

struct Outcome {
    int status;
    std::string out;  // stdout and stderr together
};

Outcome Inspect(const std::string& arguments) {
    fs::path tool = fs::read_symlink("/proc/self/exe").parent_path() / "zynlog";
    EXPECT_TRUE(fs::exists(tool)) << tool;
    Outcome run{-1, ""};
    std::FILE* pipe = popen((tool.string() + " " + arguments + " 2>&1").c_str(), "r");
    if (pipe == nullptr) return run;
    char chunk[4096];
    for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;) run.out.append(chunk, n);
    int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

const std::string kInstalled =
    "[HEADER]\r\n{\r\n\t\"Max Demo\" = \"1\"\r\n\t\"Demo 0\" = \"Zyn Demo\"\r\n}\r\n"
    "[Demo 0]\r\n{\r\n\t[Files]\r\n\t{\r\n\t\t\"C:\\\\ZYN\\\\A.EXE\" = \"0\"\r\n\t}\r\n}\r\n";

class Inspector : public ::testing::Test {
protected:
    std::string Log(const std::string& name, const std::string& bytes) {
        std::string path = dir_.file(name);
        WriteFileBytes(path, bytes);
        return path;
    }
    zyntest::TempDir dir_;
};

TEST_F(Inspector, ShowPrintsIndentedKeysAndValues) {
    std::string log = Log("ZYNDEMO.LOG", "\"top\" = \"line\r\nbreak\"\r\n" + kInstalled);
    Outcome run = Inspect("show " + log);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out,
              "top = line\\r\\nbreak\n[HEADER]\n  Max Demo = 1\n  Demo 0 = Zyn Demo\n[Demo 0]\n  [Files]\n"
              "    C:\\ZYN\\A.EXE = 0\n");
    EXPECT_EQ(ReadFileBytes(log), "\"top\" = \"line\r\nbreak\"\r\n" + kInstalled) << "never written";
}

TEST_F(Inspector, ShowPrintsWhatLoadedAndFailsOnADamagedFile) {
    Outcome run = Inspect("show " + Log("bad.log", "[A]{\"a\"=\"1\"}}[B]{}"));
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("[A]\n  a = 1\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("-213 ERROR_ZYNLOG_KEY_NOT_OPEN"), std::string::npos) << run.out;
}

TEST_F(Inspector, CheckTellsCleanFromDamaged) {
    struct Case {
        const char* name;
        std::string bytes;
        int status;
        const char* says;
    };
    for (const Case& c : {
             Case{"clean.log", kInstalled, 0, "loads cleanly: 3 keys, 3 values\n"},
             Case{"empty.log", "", 0, "loads cleanly: 0 keys, 0 values\n"},
             Case{"cut.log", "[A]{\"n\" = \"cut off", 0, "note: not in the form a save writes"},
             Case{"brace.log", "}[A]", 1, "a key or value follows a \"}\" that closes no key [-213"},
             Case{"long.log", "[" + std::string(600, 'k') + "]", 1, "512 or more characters [-201"},
         }) {
        std::string log = Log(c.name, c.bytes);
        Outcome run = Inspect("check " + log);
        EXPECT_EQ(run.status, c.status) << c.name << ": " << run.out;
        EXPECT_NE(run.out.find(c.says), std::string::npos) << c.name << ": " << run.out;
        EXPECT_EQ(ReadFileBytes(log), c.bytes) << c.name;
    }
    for (const auto& entry : fs::directory_iterator(fs::temp_directory_path()))
        EXPECT_EQ(entry.path().filename().string().rfind("zynlog-check-", 0), std::string::npos) << "scratch left";
}

TEST_F(Inspector, CheckOfAMissingFileDoesNotCreateIt) {
    std::string missing = dir_.file("missing.log");
    Outcome run = Inspect("check " + missing);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("no such file"), std::string::npos) << run.out;
    EXPECT_FALSE(fs::exists(missing));
}

TEST_F(Inspector, NormalizeWritesWhatASaveWrites) {
    std::string in = Log("messy.log", "[HEADER]\"Max Demo\"\"1\"\"Demo 0\" \"Zyn Demo\"}  [Demo 0][Files]"
                                      "\"C:\\\\ZYN\\\\A.EXE\"=\"0\"");
    std::string out = dir_.file("clean.log");
    Outcome run = Inspect("normalize " + in + " " + out);
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(ReadFileBytes(out), kInstalled);

    std::string refused = dir_.file("refused.log");
    run = Inspect("normalize " + Log("bad.log", "}}[A]") + " " + refused);
    EXPECT_EQ(run.status, 1);
    EXPECT_FALSE(fs::exists(refused));
}

TEST_F(Inspector, WrongArgumentsShowTheUsage) {
    for (const char* arguments : {"", "show", "normalize only-one", "remove x"}) {
        Outcome run = Inspect(arguments);
        EXPECT_EQ(run.status, 2) << arguments;
        EXPECT_NE(run.out.find("usage: zynlog show FILE"), std::string::npos) << arguments;
    }
}

}  // namespace
