// The syntax of a diskette path typed into the diskette prompt.
#include <gtest/gtest.h>

#include <string>

#include "sections/nextdisk.h"

namespace {

TEST(DiskettePaths, DriveOrNetworkPathsOfPlainCharacters) {
    struct Case { const char *typed, *kept; };  // kept: the path after trimming; null: refused
    const Case cases[] = {
        {"A:", "A:"},
        {"D:\\DEMO FILES  \\", "D:\\DEMO FILES\\"},
        {"D:\\x   ", "D:\\x"},
        {"D:\\(setup)[1]~!@#^_-.", "D:\\(setup)[1]~!@#^_-."},
        {"\\\\server\\share\\disk2", "\\\\server\\share\\disk2"},
    };
    for (const Case& c : cases) {
        std::string path = c.typed;
        EXPECT_EQ(NEXTDISK_IsValidPath(path), 1) << c.typed;
        EXPECT_EQ(path, c.kept) << c.typed;
    }
    for (const char* typed : {"D:\\a;b", "D:\\a\\\\b", "\\\\server\\\\share", "1:\\x", "disk2", "\\disk2", "D:\\a:b",
                              "   ", ""}) {
        std::string path = typed;
        EXPECT_EQ(NEXTDISK_IsValidPath(path), 0) << typed;
    }
}

}  // namespace
