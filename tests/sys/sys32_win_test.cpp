// Searches, directories, drives and file times of the Win32 file layer.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>

#include "support/process_win.h"
#include "support/testsupport.h"
#include "sys/sys32.h"

namespace {

namespace fs = std::filesystem;
using zyntest::WriteFileBytes;

// The mask's rules are the attribute filter's table; here that the search applies them.
TEST(SearchLayer, MaskFiltersEntriesAndANewSearchReplacesTheOpenOne) {
    zyntest::TempDir dir;
    const std::pair<const char*, DWORD> files[] = {{"plain.txt", 0}, {"hidden.txt", FILE_ATTRIBUTE_HIDDEN},
        {"system.txt", FILE_ATTRIBUTE_SYSTEM}, {"readonly.txt", FILE_ATTRIBUTE_READONLY}, {"other.dat", 0}};
    for (auto [name, attributes] : files) {
        WriteFileBytes(dir.file(name), name);
        if (attributes) SetFileAttributesA(dir.file(name).c_str(), attributes);
    }
    SYS_FINDINFO entry;
    ASSERT_EQ(SYS_FindFirst(dir.file("readonly.txt").c_str(), 0x80, &entry), 0);
    EXPECT_NE(entry.attributes & SYS_ATTR_READONLY, 0u);
    EXPECT_EQ(SYS_FindNext(&entry), ERROR_SYS_FILE_NOT_FOUND);
    EXPECT_EQ(SYS_FindFirst(dir.file("hidden.txt").c_str(), 0x80, &entry), ERROR_SYS_FILE_NOT_FOUND)
        << "the only entry is filtered out";
    ASSERT_EQ(SYS_FindFirst(dir.file("*.txt").c_str(), 0x86, &entry), 0);
    ASSERT_EQ(SYS_FindFirst(dir.file("*.dat").c_str(), 0x86, &entry), 0);
    EXPECT_EQ(SYS_FindNext(&entry), ERROR_SYS_FILE_NOT_FOUND) << "the .txt search is gone";
    SYS_FindClose();
    for (auto [name, attributes] : files) SetFileAttributesA(dir.file(name).c_str(), FILE_ATTRIBUTE_NORMAL);
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
    double free_bytes = -1;
    for (const char* bad : {"\\demo", ":\\"}) {
        EXPECT_EQ(SYS_GetClusterSize(bad, &cluster), ERROR_SYS_DRIVE_INVALID) << bad;
        free_bytes = 5;
        EXPECT_EQ(SYS_GetFreeSpace(bad, &free_bytes), ERROR_SYS_DRIVE_INVALID) << bad;
        EXPECT_EQ(free_bytes, 0.0);
    }
    EXPECT_EQ(SYS_GetClusterSize("Q:\\", &cluster), ERROR_SYS_DRIVE_INVALID);
    EXPECT_EQ(SYS_GetFreeSpace("Q:\\", &free_bytes), ERROR_SYS_GET_FREE_SPACE);
}

TEST(TimeLayer, SourceNotOlderAndCopyFileTime) {
    zyntest::TempDir dir;
    SYS_HANDLE source = SYS_INVALID_HANDLE, destination = SYS_INVALID_HANDLE;
    ASSERT_EQ(SYS_FileOpen(dir.file("src").c_str(), SYS_OPEN_READ | SYS_OPEN_WRITE, SYS_SHARE_READ, &source), 0);
    ASSERT_EQ(SYS_FileOpen(dir.file("dst").c_str(), SYS_OPEN_READ | SYS_OPEN_WRITE, SYS_SHARE_READ, &destination), 0);
    for (auto [source_year, destination_year, result] : {std::tuple{2000, 1999, 1}, {2000, 2000, 1}, {2000, 2001, 0}}) {
        FILETIME s = zyntest::FileTimeOfYear(source_year), d = zyntest::FileTimeOfYear(destination_year);
        ASSERT_TRUE(SetFileTime(source, nullptr, nullptr, &s) && SetFileTime(destination, nullptr, nullptr, &d));
        EXPECT_EQ(SYS_SourceNotOlder(source, destination), result) << source_year << " vs " << destination_year;
    }
    FILETIME accessed = zyntest::FileTimeOfYear(1998), a{}, w{};
    ASSERT_TRUE(SetFileTime(source, nullptr, &accessed, nullptr));
    ASSERT_EQ(SYS_CopyFileTime(source, destination), 0);
    ASSERT_TRUE(GetFileTime(destination, nullptr, &a, &w));
    EXPECT_EQ(CompareFileTime(&a, &accessed), 0) << "all three times, not only the last write";
    EXPECT_EQ(SYS_CopyFileTime(SYS_INVALID_HANDLE, destination), ERROR_SYS_FILE_GET_TIME);
    EXPECT_EQ(SYS_CopyFileTime(source, SYS_INVALID_HANDLE), ERROR_SYS_FILE_SET_TIME);
    SYS_FileClose(source);
    SYS_FileClose(destination);
    EXPECT_EXIT(SYS_SourceNotOlder(SYS_INVALID_HANDLE, SYS_INVALID_HANDLE),
                ::testing::ExitedWithCode(zyntest::kFatalExitCode), "");
}

}  // namespace
