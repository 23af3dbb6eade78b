#include "script/inf.h"

#include <gtest/gtest.h>

#include <string>

#include "support/testsupport.h"
#include "sys/sys32.h"

namespace {

// The test executable carries tests/script/inf_test.inf as TEXT "INSTALL_INF": its bytes
// come back exactly, and only into a buffer that holds them all. The scenarios load the
// installer's own script this way on every run.
TEST(InfResource, LoadReadsTheEmbeddedScript) {
    const std::string file = zyntest::ReadFileBytes(std::string(ZYN_SOURCE_DIR) + "/tests/script/inf_test.inf");
    uint32_t size = 0, loaded = 0;
    ASSERT_EQ(SYS_ResourceSize(nullptr, "INSTALL_INF", "TEXT", &size), 0);
    std::string bytes(size, '\0');
    ASSERT_EQ(SYS_LoadResource(nullptr, "INSTALL_INF", "TEXT", bytes.data(), size, &loaded), 0);
    EXPECT_EQ(loaded, size);
    EXPECT_EQ(bytes, file);
    EXPECT_EQ(SYS_LoadResource(nullptr, "INSTALL_INF", "TEXT", bytes.data(), size - 1, &loaded), ERROR_SYS_BUFFER_TOO_SMALL);
    EXPECT_EQ(SYS_ResourceSize(nullptr, "NO_SUCH_SCRIPT", "TEXT", &size), ERROR_SYS_RESOURCE_NOT_FOUND);
    EXPECT_EQ(INF_Load("INSTALL_INF"), 0);
    INF_Terminate();
}

}  // namespace
