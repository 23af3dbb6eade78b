// Script paths made absolute, and directories made and recorded by the install run.
#include "run/loginst.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "log/zynlog.h"
#include "script/var.h"
#include "support/testsupport.h"

namespace {

class InstallPaths : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(VAR_Init(VAR_DEFAULT_MAX_NUM), 0);
        VAR_Set("SourceDirectory", "D:\\SRC");
        VAR_Set("DestinationDirectory", dir_.path().c_str());
    }
    void TearDown() override {
        ZYNLOG_Terminate();
        VAR_Terminate();
    }
    zyntest::TempDir dir_;
};

TEST_F(InstallPaths, RelativePathsJoinTheBaseDirectoryWithinTheBuffer) {
    struct Case { const char *path, *expected; } cases[] = {
        {"a.txt", "D:\\SRC\\a.txt"}, {"sub\\a.txt", "D:\\SRC\\sub\\a.txt"}, {"", "D:\\SRC\\"}, {"C:x.txt", "C:x.txt"},
        {"C:\\abs\\x.txt", "C:\\abs\\x.txt"}, {"\\\\server\\share\\x", "\\\\server\\share\\x"}};
    for (const Case& c : cases) {
        char buffer[64];
        std::strcpy(buffer, c.path);
        EXPECT_EQ(LOGINST_MakeSourcePath(buffer, sizeof buffer), 0) << c.path;
        EXPECT_STREQ(buffer, c.expected) << c.path;
    }
    // Base, backslash, path and terminator must fit: "D:\SRC" + "\" + "ab" + NUL is 10.
    char exact[16] = "ab";
    EXPECT_EQ(LOGINST_MakeSourcePath(exact, 9), ERROR_LOGINST_BUFFER_TOO_SMALL);
    EXPECT_STREQ(exact, "ab");
    EXPECT_EQ(LOGINST_MakeSourcePath(exact, 10), 0);
}

// A whole install run shows the list going to the log once it is open; here what goes on it.
TEST_F(InstallPaths, OnlyDirectoriesThatWereMadeAreRemembered) {
    std::string first = dir_.file("a"), second = dir_.file("a\\b");
    ASSERT_EQ(LOGINST_CreateDirectories((second + "\\").c_str()), 0);
    EXPECT_TRUE(std::filesystem::is_directory(second));
    ASSERT_EQ(LOGINST_CreateDirectories(dir_.file("a\\c").c_str()), 0);
    char list[1024] = "";
    ASSERT_EQ(VAR_Get(LOGINST_ADDED_DIRECTORIES, list, sizeof list), 0);
    EXPECT_EQ(list, first + ";" + second + ";" + dir_.file("a\\c"));
    EXPECT_EQ(LOGINST_CreateDirectories("\\\\server\\share\\x"), 0) << "network paths are left alone";
    zyntest::WriteFileBytes(dir_.file("file"), "x");
    EXPECT_EQ(LOGINST_CreateDirectories(dir_.file("file\\sub").c_str()), ERROR_SYS_DIRECTORY_MAKE);
}

}  // namespace
