#include "script/inf.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/testsupport.h"
#include "sys/sys32.h"

namespace {

// The test executable carries tests/script/inf_test.inf as TEXT "INSTALL_INF".
class InfResource : public ::testing::Test {
protected:
    void TearDown() override { INF_Terminate(); }

    static std::vector<std::string> Section(const char* name) {
        std::string copy = name;
        EXPECT_EQ(INF_FindSection(copy.data()), 0) << name;
        std::vector<std::string> lines;
        char line[512];
        while (INF_ReadLine(line, sizeof line) == 0) lines.emplace_back(line);
        return lines;
    }
};

TEST_F(InfResource, TheEmbeddedBytesAreTheScriptFile) {
    const std::string file = zyntest::ReadFileBytes(std::string(ZYN_SOURCE_DIR) + "/tests/script/inf_test.inf");
    ASSERT_FALSE(file.empty());
    uint32_t size = 0;
    ASSERT_EQ(SYS_ResourceSize(nullptr, "INSTALL_INF", "TEXT", &size), 0);
    std::string bytes(size, '\0');
    uint32_t loaded = 0;
    ASSERT_EQ(SYS_LoadResource(nullptr, "INSTALL_INF", "TEXT", bytes.data(), size, &loaded), 0);
    EXPECT_EQ(loaded, size);
    EXPECT_EQ(bytes, file);
    EXPECT_EQ(SYS_LoadResource(nullptr, "INSTALL_INF", "TEXT", bytes.data(), size - 1, &loaded),
              ERROR_SYS_BUFFER_TOO_SMALL);
    EXPECT_EQ(SYS_ResourceSize(nullptr, "NO_SUCH_SCRIPT", "TEXT", &size), ERROR_SYS_RESOURCE_NOT_FOUND);
}

TEST_F(InfResource, LoadReadsEverySectionOfTheResource) {
    ASSERT_EQ(INF_Load("INSTALL_INF"), 0);
    using Lines = std::vector<std::string>;
    EXPECT_EQ(Section("Application"), Lines({"$(ApplicationName)=Resource Demo"}));
    EXPECT_EQ(Section("FILES"),
              Lines({"Screen Saver Files, demo.scr,, $(WindowsDirectory)\\demo.scr, C, 0, N, N, 0, N, N, Y, Y"}));
    EXPECT_EQ(Section("PM Info"), Lines({"Demo, 1, \"Uninstall $(ApplicationName), now\", Y"}));
    EXPECT_EQ(Section("disks"), Lines({"1, Disk One, DISK1", "last line without e"}));

    std::string files = "Files";
    ASSERT_EQ(INF_FindSection(files.data()), 0);
    char table[13][256];
    ASSERT_EQ(INF_ReadTokens(table[0], 13, 256), 0);
    EXPECT_STREQ(table[3], "$(WindowsDirectory)\\demo.scr");
    EXPECT_STREQ(table[12], "Y");
    EXPECT_EQ(INF_GetLineNumber(), 6);
}

}  // namespace
