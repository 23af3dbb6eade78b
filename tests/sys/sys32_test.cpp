// The file layer's edges: what open creates or truncates, short reads, growing and
// cutting, and the code of each failure. Plain reads and writes run under every log test.
#include "sys/sys32.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/testsupport.h"

namespace {

namespace fs = std::filesystem;
using zyntest::ReadFileBytes;
using zyntest::WriteFileBytes;

// Closes a handle whatever the test's outcome.
struct File {
    File(const std::string& path, uint32_t mode) {
        result = SYS_FileOpen(path.c_str(), mode, SYS_SHARE_READ | SYS_SHARE_WRITE, &handle);
    }
    ~File() { SYS_FileClose(handle); }
    SYS_HANDLE handle = SYS_INVALID_HANDLE;
    int result;
};

TEST(FileLayer, OpenCreatesAndTruncatesOnlyWhenAskedAndShortReadsFail) {
    zyntest::TempDir dir;
    const std::string path = dir.file("a.txt");
    EXPECT_EQ(File(path, SYS_OPEN_READ).result, 0);
    EXPECT_TRUE(fs::exists(path)) << "opened always: created even for reading";
    WriteFileBytes(path, "0123456789");
    {
        File file(path, SYS_OPEN_READ | SYS_OPEN_WRITE);
        uint32_t done = 0, position = 0;
        char buffer[16] = {};
        EXPECT_EQ(SYS_FileSeek(file.handle, -4, SYS_SEEK_END, &position), 0);
        EXPECT_EQ(SYS_FileSeek(file.handle, -1, SYS_SEEK_CURRENT, &position), 0);
        EXPECT_EQ(position, 5u);
        // A read that cannot be satisfied in full is a failure, with what it got.
        EXPECT_EQ(SYS_FileRead(file.handle, buffer, 8, &done), ERROR_SYS_FILE_READ);
        EXPECT_EQ(std::string(buffer, done), "56789");
        EXPECT_EQ(SYS_FileSeek(file.handle, -20, SYS_SEEK_BEGIN, &position), ERROR_SYS_FILE_SEEK);
        ASSERT_EQ(SYS_SetLength(file.handle, 70000), 0);
    }
    EXPECT_EQ(ReadFileBytes(path), "0123456789" + std::string(70000 - 10, '\0')) << "grown with zeros";
    {
        File file(path, SYS_OPEN_READ | SYS_OPEN_WRITE);
        ASSERT_EQ(SYS_SetLength(file.handle, 2), 0);
        ASSERT_EQ(SYS_FileWrite(file.handle, "Z", 1, nullptr), 0) << "positioned at the new end";
    }
    EXPECT_EQ(ReadFileBytes(path), "01Z");
    EXPECT_EQ(File(path, SYS_OPEN_WRITE | SYS_OPEN_CREATE).result, 0);
    EXPECT_EQ(ReadFileBytes(path), "");
    File bad(dir.file("missing/a.txt"), SYS_OPEN_READ);
    EXPECT_EQ(bad.result, ERROR_SYS_FILE_OPEN);
    EXPECT_EQ(bad.handle, SYS_INVALID_HANDLE);
}

TEST(FileLayer, ReadOnlyFilesDeleteAndRenameWithoutReplacingAndFoldersFailWithTheirCodes) {
    zyntest::TempDir dir;
    std::string from = dir.file("from.txt"), to = dir.file("to.txt"), other = dir.file("other.txt");
    std::string missing = dir.file("missing"), sub = dir.file("sub");
    uint32_t attributes = 0;
    WriteFileBytes(from, "payload");
    WriteFileBytes(other, "keep me");
    ASSERT_EQ(SYS_SetAttributes(from.c_str(), SYS_ATTR_READONLY), 0);
    EXPECT_EQ(SYS_RenameFile(from.c_str(), to.c_str()), 0);
    EXPECT_EQ(SYS_RenameFile(to.c_str(), other.c_str()), ERROR_SYS_FILE_RENAME);
    EXPECT_EQ(ReadFileBytes(other), "keep me");
    ASSERT_EQ(SYS_GetAttributes(to.c_str(), &attributes), 0);
    EXPECT_NE(attributes & SYS_ATTR_READONLY, 0u) << "kept by the rename, put back after the failed one";
    EXPECT_EQ(SYS_GetAttributes(missing.c_str(), &attributes), ERROR_SYS_ATTRIBUTES);
    EXPECT_EQ(SYS_Exists(to.c_str()) + SYS_Exists(missing.c_str()) + SYS_Exists(nullptr), 1);
    EXPECT_EQ(SYS_DeleteFile(to.c_str()), 0);
    EXPECT_EQ(SYS_DeleteFile(dir.path().c_str()), ERROR_SYS_FILE_DELETE);

    EXPECT_EQ(SYS_MakeDirectory(sub.c_str()), 0);
    EXPECT_EQ(SYS_MakeDirectory(sub.c_str()), ERROR_SYS_DIRECTORY_MAKE);
    WriteFileBytes(sub + "/f", "x");
    EXPECT_EQ(SYS_RemoveDirectory(sub.c_str()), ERROR_SYS_DIRECTORY_DELETE) << "not empty";
    EXPECT_EQ(SYS_RemoveDirectory((sub + "/.").c_str()), 0) << "dot entries are skipped";
    fs::remove(sub + "/f");
    EXPECT_EQ(SYS_RemoveDirectory(sub.c_str()), 0);
}

}  // namespace
