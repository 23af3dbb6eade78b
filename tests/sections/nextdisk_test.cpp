// Diskette names from [Disks] lines and the syntax of a diskette path.
#include <gtest/gtest.h>

#include <string>

#include "sections/nextdisk.h"

namespace {

TEST(DiskLines, NumberAndNameTrimmed) {
    struct Case {
        const char* line;
        bool ok;
        const char* number;
        const char* name;
    };
    const Case cases[] = {
        {"1=Disk One", true, "1", "Disk One"},
        {"  2 =   Aquarium, disk 2  ", true, "2", "Aquarium, disk 2"},
        {"3 = a = b", true, "3", "a = b"},
        {"4 =", true, "4", ""},
        {"no equals sign", false, "", ""},
    };
    for (const Case& c : cases) {
        std::string number, name;
        EXPECT_EQ(NEXTDISK_ParseDiskLine(c.line, &number, &name), c.ok) << c.line;
        if (c.ok) {
            EXPECT_EQ(number, c.number) << c.line;
            EXPECT_EQ(name, c.name) << c.line;
        }
    }
}

TEST(DiskettePaths, DriveOrNetworkPathsOfPlainCharacters) {
    struct Case {
        const char* typed;
        int valid;
        const char* kept;  // the path after trimming
    };
    const Case cases[] = {
        {"A:", 1, "A:"},
        {"a:\\", 1, "a:\\"},
        {"D:\\DISK 2\\", 1, "D:\\DISK 2\\"},
        {"D:\\DEMO FILES  \\", 1, "D:\\DEMO FILES\\"},
        {"D:\\x   ", 1, "D:\\x"},
        {"D:\\(setup)[1]~!@#^_-.", 1, "D:\\(setup)[1]~!@#^_-."},
        {"\\\\server\\share\\disk2", 1, "\\\\server\\share\\disk2"},
        {"D:\\a;b", 0, nullptr},
        {"D:\\a\\\\b", 0, nullptr},
        {"\\\\server\\\\share", 0, nullptr},
        {"1:\\x", 0, nullptr},
        {"disk2", 0, nullptr},
        {"\\disk2", 0, nullptr},
        {"D:\\a:b", 0, nullptr},
        {"   ", 0, nullptr},
        {"", 0, nullptr},
    };
    for (const Case& c : cases) {
        std::string path = c.typed;
        EXPECT_EQ(NEXTDISK_IsValidPath(path), c.valid) << c.typed;
        if (c.kept) {
            EXPECT_EQ(path, c.kept) << c.typed;
        }
    }
}

}  // namespace
