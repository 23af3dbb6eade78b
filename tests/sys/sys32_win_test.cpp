// Searches, directories and drives of the Win32 file layer.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/process_win.h"
#include "support/testsupport.h"
#include "sys/sys32.h"

namespace {

namespace fs = std::filesystem;
using zyntest::WriteFileBytes;

// The mask's rules are the attribute filter's table; here that the search applies them.
TEST(SearchLayer, MaskFiltersEntriesAndANewSearchReplacesTheOpenOne) {
    zyntest::TempDir dir;
    for (const char* name : {"hidden.txt", "readonly.txt", "other.dat"}) WriteFileBytes(dir.file(name), name);
    SetFileAttributesA(dir.file("hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesA(dir.file("readonly.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    SYS_FINDINFO entry;
    ASSERT_EQ(SYS_FindFirst(dir.file("readonly.txt").c_str(), 0x80, &entry), 0);
    EXPECT_NE(entry.attributes & SYS_ATTR_READONLY, 0u);
    EXPECT_EQ(SYS_FindFirst(dir.file("hidden.txt").c_str(), 0x80, &entry), ERROR_SYS_FILE_NOT_FOUND)
        << "the only entry is filtered out";
    ASSERT_EQ(SYS_FindFirst(dir.file("*.txt").c_str(), 0x86, &entry), 0);
    ASSERT_EQ(SYS_FindFirst(dir.file("*.dat").c_str(), 0x86, &entry), 0);
    EXPECT_EQ(SYS_FindNext(&entry), ERROR_SYS_FILE_NOT_FOUND) << "the .txt search is gone";
    SYS_FindClose();
    for (const char* name : {"hidden.txt", "readonly.txt"}) SetFileAttributesA(dir.file(name).c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(DriveLayer, CurrentDirectoryDriveChecksAndBadDrives) {
    zyntest::TempDir dir;
    char saved[MAX_PATH], now[MAX_PATH], tiny[3];
    ASSERT_EQ(SYS_GetCurrentDirectory(saved, sizeof saved), 0);
    SYS_SetCurrentDirectory(dir.path().c_str());
    EXPECT_EQ(SYS_GetCurrentDirectory(tiny, sizeof tiny), ERROR_SYS_GET_CURRENT_DIRECTORY);
    EXPECT_STREQ(tiny, "");
    // Wine maps only C: and Z: unless told otherwise.
    EXPECT_EQ(SYS_CheckDrive('C') | SYS_CheckDrive('c'), 0);
    EXPECT_EQ(SYS_CheckDrive('Q'), ERROR_SYS_DRIVE_INVALID);
    ASSERT_EQ(SYS_GetCurrentDirectory(now, sizeof now), 0);
    EXPECT_EQ(fs::path(now), fs::path(dir.path())) << "a drive check leaves the current directory alone";
    SYS_SetCurrentDirectory(saved);

    uint32_t cluster = 0;
    double free_bytes = 0;
    EXPECT_EQ(SYS_GetClusterSize("\\demo", &cluster), ERROR_SYS_DRIVE_INVALID);
    EXPECT_EQ(SYS_GetFreeSpace("Q:\\", &free_bytes), ERROR_SYS_GET_FREE_SPACE);
}

}  // namespace
