#include "sys/sys32.h"

#include <gtest/gtest.h>

namespace {

TEST(FileLayerNative, ThereAreNoResources) {
    char buffer[16];
    uint32_t size = 99;
    EXPECT_EQ(SYS_LoadResource(nullptr, "INSTALL_INF", "TEXT", buffer, sizeof buffer, &size),
              ERROR_SYS_RESOURCE_NOT_FOUND);
    EXPECT_EQ(size, 0u);
    EXPECT_EQ(SYS_ResourceSize(nullptr, "INSTALL_INF", "TEXT", &size), ERROR_SYS_RESOURCE_NOT_FOUND);
}

}  // namespace
