// Searches, directories, drives and file times of the Win32 file layer.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "support/process_win.h"
#include "support/testsupport.h"
#include "sys/sys32.h"

namespace {

namespace fs = std::filesystem;
using zyntest::WriteFileBytes;

std::set<std::string> FindAll(const std::string& pattern, uint32_t mask) {
    std::set<std::string> names;
    SYS_FINDINFO entry;
    for (int r = SYS_FindFirst(pattern.c_str(), mask, &entry); r == 0; r = SYS_FindNext(&entry)) {
        names.insert(entry.name);
    }
    return names;
}

class SearchLayer : public ::testing::Test {
protected:
    void SetUp() override {
        WriteFileBytes(dir_.file("plain.txt"), "p");
        WriteFileBytes(dir_.file("hidden.txt"), "h");
        WriteFileBytes(dir_.file("system.txt"), "s");
        WriteFileBytes(dir_.file("readonly.txt"), "r");
        WriteFileBytes(dir_.file("other.dat"), "o");
        fs::create_directory(dir_.file("sub.txt"));
        SetFileAttributesA(dir_.file("hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
        SetFileAttributesA(dir_.file("system.txt").c_str(), FILE_ATTRIBUTE_SYSTEM);
        SetFileAttributesA(dir_.file("readonly.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    }
    void TearDown() override {
        SYS_FindClose();
        for (const char* name : {"hidden.txt", "system.txt", "readonly.txt"}) {
            SetFileAttributesA(dir_.file(name).c_str(), FILE_ATTRIBUTE_NORMAL);
        }
    }
    zyntest::TempDir dir_;
};

TEST_F(SearchLayer, MaskDecidesWhichEntriesAreFound) {
    struct Case {
        uint32_t mask;
        std::set<std::string> names;
    };
    const Case cases[] = {
        {0x80, {"plain.txt", "readonly.txt"}},
        {0x86, {"plain.txt", "readonly.txt", "hidden.txt", "system.txt"}},
        {0x82, {"plain.txt", "readonly.txt", "hidden.txt"}},
        {0x96, {"plain.txt", "readonly.txt", "hidden.txt", "system.txt", "sub.txt"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FindAll(dir_.file("*.txt"), c.mask), c.names) << std::hex << c.mask;
    }
}

TEST_F(SearchLayer, ReportsAttributesAndEndsWithNotFound) {
    SYS_FINDINFO entry;
    ASSERT_EQ(SYS_FindFirst(dir_.file("readonly.txt").c_str(), 0x80, &entry), 0);
    EXPECT_STREQ(entry.name, "readonly.txt");
    EXPECT_NE(entry.attributes & SYS_ATTR_READONLY, 0u);
    EXPECT_EQ(SYS_FindNext(&entry), ERROR_SYS_FILE_NOT_FOUND);
    EXPECT_EQ(SYS_FindNext(&entry), ERROR_SYS_FILE_NOT_FOUND) << "stays closed";
    EXPECT_EQ(SYS_FindFirst(dir_.file("none*").c_str(), 0x86, &entry), ERROR_SYS_FILE_NOT_FOUND);
    EXPECT_EQ(SYS_FindFirst(dir_.file("hidden.txt").c_str(), 0x80, &entry), ERROR_SYS_FILE_NOT_FOUND)
        << "the only entry is filtered out";
    EXPECT_EQ(SYS_FindFirst(nullptr, 0x80, &entry), ERROR_SYS_FILE_NOT_FOUND);
}

TEST_F(SearchLayer, ANewSearchReplacesTheOpenOne) {
    SYS_FINDINFO entry;
    ASSERT_EQ(SYS_FindFirst(dir_.file("*.txt").c_str(), 0x86, &entry), 0);
    ASSERT_EQ(SYS_FindFirst(dir_.file("*.dat").c_str(), 0x86, &entry), 0);
    EXPECT_STREQ(entry.name, "other.dat");
    EXPECT_EQ(SYS_FindNext(&entry), ERROR_SYS_FILE_NOT_FOUND) << "the .txt search is gone";
}

TEST(DriveLayer, CurrentDirectoryAndDriveChecks) {
    zyntest::TempDir dir;
    char saved[MAX_PATH];
    ASSERT_EQ(SYS_GetCurrentDirectory(saved, sizeof saved), 0);
    SYS_SetCurrentDirectory(dir.path().c_str());
    char now[MAX_PATH];
    ASSERT_EQ(SYS_GetCurrentDirectory(now, sizeof now), 0);
    EXPECT_EQ(fs::path(now), fs::path(dir.path()));
    char tiny[3];
    EXPECT_EQ(SYS_GetCurrentDirectory(tiny, sizeof tiny), ERROR_SYS_GET_CURRENT_DIRECTORY);
    EXPECT_STREQ(tiny, "");

    EXPECT_EQ(SYS_CheckDrive('C'), 0);
    EXPECT_EQ(SYS_CheckDrive('c'), 0);
    // Wine maps only C: and Z: unless told otherwise.
    EXPECT_EQ(SYS_CheckDrive('Q'), ERROR_SYS_DRIVE_INVALID);
    EXPECT_EQ(SYS_CheckDrive('1'), ERROR_SYS_DRIVE_INVALID);
    ASSERT_EQ(SYS_GetCurrentDirectory(now, sizeof now), 0);
    EXPECT_EQ(fs::path(now), fs::path(dir.path())) << "a drive check leaves the current directory alone";
    SYS_SetCurrentDirectory(saved);
}

TEST(DriveLayer, ClusterSizeAndFreeSpaceNeedADriveLetter) {
    uint32_t cluster = 0;
    EXPECT_EQ(SYS_GetClusterSize("C:\\anything\\below", &cluster), 0);
    EXPECT_GT(cluster, 0u);
    EXPECT_EQ(cluster & (cluster - 1), 0u) << "a power of two";
    double free_bytes = -1;
    EXPECT_EQ(SYS_GetFreeSpace("c:", &free_bytes), 0);
    EXPECT_GT(free_bytes, 0.0);

    for (const char* bad : {"\\demo", "demo", "", ":\\"}) {
        EXPECT_EQ(SYS_GetClusterSize(bad, &cluster), ERROR_SYS_DRIVE_INVALID) << bad;
        free_bytes = 5;
        EXPECT_EQ(SYS_GetFreeSpace(bad, &free_bytes), ERROR_SYS_DRIVE_INVALID) << bad;
        EXPECT_EQ(free_bytes, 0.0);
    }
    EXPECT_EQ(SYS_GetClusterSize("Q:\\", &cluster), ERROR_SYS_DRIVE_INVALID);
    EXPECT_EQ(SYS_GetFreeSpace("Q:\\", &free_bytes), ERROR_SYS_GET_FREE_SPACE);
    EXPECT_EQ(free_bytes, 0.0);
}

// Owns an open file for the time tests.
struct OpenFile {
    explicit OpenFile(const std::string& path) {
        SYS_FileOpen(path.c_str(), SYS_OPEN_READ | SYS_OPEN_WRITE, SYS_SHARE_READ | SYS_SHARE_WRITE, &handle);
    }
    ~OpenFile() { SYS_FileClose(handle); }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    SYS_HANDLE handle = SYS_INVALID_HANDLE;
};

using zyntest::FileTimeOfYear;

TEST(TimeLayer, SourceNotOlderComparesLastWriteTimes) {
    zyntest::TempDir dir;
    WriteFileBytes(dir.file("src"), "s");
    WriteFileBytes(dir.file("dst"), "d");
    OpenFile source(dir.file("src")), destination(dir.file("dst"));
    struct Case {
        int source_year, destination_year, result;
    };
    for (const Case& c : {Case{2000, 1999, 1}, Case{2000, 2000, 1}, Case{2000, 2001, 0}}) {
        FILETIME s = FileTimeOfYear(c.source_year), d = FileTimeOfYear(c.destination_year);
        ASSERT_TRUE(SetFileTime(static_cast<HANDLE>(source.handle), nullptr, nullptr, &s));
        ASSERT_TRUE(SetFileTime(static_cast<HANDLE>(destination.handle), nullptr, nullptr, &d));
        EXPECT_EQ(SYS_SourceNotOlder(source.handle, destination.handle), c.result)
            << c.source_year << " vs " << c.destination_year;
    }
}

TEST(TimeLayer, SourceNotOlderWithoutATimeIsFatal) {
    EXPECT_EXIT(SYS_SourceNotOlder(SYS_INVALID_HANDLE, SYS_INVALID_HANDLE),
                ::testing::ExitedWithCode(zyntest::kFatalExitCode), "");
}

TEST(TimeLayer, CopyFileTimeCarriesAllThreeTimes) {
    zyntest::TempDir dir;
    WriteFileBytes(dir.file("src"), "s");
    WriteFileBytes(dir.file("dst"), "d");
    OpenFile source(dir.file("src")), destination(dir.file("dst"));
    FILETIME created = FileTimeOfYear(1997), accessed = FileTimeOfYear(1998), written = FileTimeOfYear(1999);
    ASSERT_TRUE(SetFileTime(static_cast<HANDLE>(source.handle), &created, &accessed, &written));
    ASSERT_EQ(SYS_CopyFileTime(source.handle, destination.handle), 0);
    FILETIME c{}, a{}, w{};
    ASSERT_TRUE(GetFileTime(static_cast<HANDLE>(destination.handle), &c, &a, &w));
    EXPECT_EQ(CompareFileTime(&w, &written), 0);
    EXPECT_EQ(CompareFileTime(&a, &accessed), 0);
    EXPECT_EQ(SYS_CopyFileTime(SYS_INVALID_HANDLE, destination.handle), ERROR_SYS_FILE_GET_TIME);
    EXPECT_EQ(SYS_CopyFileTime(source.handle, SYS_INVALID_HANDLE), ERROR_SYS_FILE_SET_TIME);
}

}  // namespace
