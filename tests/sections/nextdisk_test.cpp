// Diskette names from [Disks] lines and the syntax of a diskette path.
#include <gtest/gtest.h>

#include <string>

#include "sections/nextdisk.h"

namespace {

TEST(DiskLines, NumberAndNameTrimmed) {
    struct Case { const char *line, *number, *name; };  // number null: not a disk line
    const Case cases[] = {
        {"1=Disk One", "1", "Disk One"}, {"  2 =   Aquarium, disk 2  ", "2", "Aquarium, disk 2"},
        {"3 = a = b", "3", "a = b"},     {"4 =", "4", ""},
        {"no equals sign", nullptr, ""},
    };
    for (const Case& c : cases) {
        std::string number, name;
        EXPECT_EQ(NEXTDISK_ParseDiskLine(c.line, &number, &name), c.number != nullptr) << c.line;
        EXPECT_EQ(number + "|" + name, c.number ? std::string(c.number) + "|" + c.name : "|") << c.line;
    }
}

TEST(DiskettePaths, DriveOrNetworkPathsOfPlainCharacters) {
    struct Case { const char *typed, *kept; };  // kept: the path after trimming; null: refused
    const Case cases[] = {
        {"A:", "A:"},
        {"a:\\", "a:\\"},
        {"D:\\DISK 2\\", "D:\\DISK 2\\"},
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
