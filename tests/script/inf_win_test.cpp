#include "script/inf.h"

#include <gtest/gtest.h>

#include <string>

#include "support/testsupport.h"
#include "sys/sys32.h"

namespace {

// The test executable carries tests/script/inf_test.inf as TEXT "INSTALL_INF": its bytes
// come back exactly, and the reader finds its sections, up to a last line without line end.
TEST(InfResource, LoadReadsTheEmbeddedScript) {
    const std::string file = zyntest::ReadFileBytes(std::string(ZYN_SOURCE_DIR) + "/tests/script/inf_test.inf");
    ASSERT_FALSE(file.empty());
    uint32_t size = 0, loaded = 0;
    ASSERT_EQ(SYS_ResourceSize(nullptr, "INSTALL_INF", "TEXT", &size), 0);
    std::string bytes(size, '\0');
    ASSERT_EQ(SYS_LoadResource(nullptr, "INSTALL_INF", "TEXT", bytes.data(), size, &loaded), 0);
    EXPECT_EQ(loaded, size);
    EXPECT_EQ(bytes, file);
    EXPECT_EQ(SYS_LoadResource(nullptr, "INSTALL_INF", "TEXT", bytes.data(), size - 1, &loaded), ERROR_SYS_BUFFER_TOO_SMALL);
    EXPECT_EQ(SYS_ResourceSize(nullptr, "NO_SUCH_SCRIPT", "TEXT", &size), ERROR_SYS_RESOURCE_NOT_FOUND);

    ASSERT_EQ(INF_Load("INSTALL_INF"), 0);
    std::string files = "Files", disks = "disks";
    ASSERT_EQ(INF_FindSection(files.data()), 0);
    char table[13][256];
    ASSERT_EQ(INF_ReadTokens(table[0], 13, 256), 0);
    EXPECT_STREQ(table[3], "$(WindowsDirectory)\\demo.scr");
    EXPECT_STREQ(table[12], "Y");
    EXPECT_EQ(INF_GetLineNumber(), 6);
    ASSERT_EQ(INF_FindSection(disks.data()), 0);
    ASSERT_EQ(INF_ReadTokens(table[0], 3, 256), 0);
    ASSERT_EQ(INF_ReadLine(table[0], 256), 0);
    EXPECT_STREQ(table[0], "last line without e");
    EXPECT_EQ(INF_ReadLine(table[0], 256), 1);
    INF_Terminate();
}

}  // namespace
